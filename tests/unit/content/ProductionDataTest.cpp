#include "GeneratedData.h"
#include "Pictures.h"

#include "math/Cube.h"
#include "math/Mat4.h"
#include "math/MetaballField.h"
#include "scene3ds/AnimationNode.h"
#include "scene3ds/Mesh.h"
#include "scenes/GreetingsScene.h"
#include "scenes/MetaballScene.h"
#include "show/ShowLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <functional>
#include <set>

namespace halcyra {
namespace {

const test::GeneratedData& data() {
    return test::generatedData();
}

// How long each camera track is followed, from the show's layout: metaballs, water, cube rain, planet (until
// its track ends), credits.
constexpr float trackLengths[5] = {show::metaballsLength, show::waterLength, show::cubeRainLength,
                                   show::planetTrackEnd, show::creditsLength};
constexpr float creditsSecondPart = show::phraseMs;
// At 25 frames per second a moving eye never travels this far between frames; a step this long is a cut.
constexpr float cutStep = 2.0f;
const Vec3 sphereCentre{show::sphereCentre.x, show::sphereCentre.y, show::sphereCentre.z};

using Triangle = std::array<Vec3, 3>;

// The mesh as the scene poses it at `frame`: the node's matrix applied to every position.
std::vector<Vec3> posed(const Model& model, int32_t meshIndex, int32_t frame) {
    const Mesh& mesh = *model.meshes.at(meshIndex);
    const Mat4 m = model.nodes.at(meshIndex)->matrixAt(frame, mesh.origin);
    std::vector<Vec3> points;
    for (const Vec3& p : mesh.positions)
        points.push_back(Mat4::transformPoint(m, p));
    return points;
}

std::vector<Triangle> posedTriangles(const Model& model, int32_t frame) {
    std::vector<Triangle> triangles;
    for (int32_t i = 0; i < model.meshCount; ++i) {
        const std::vector<Vec3> points = posed(model, i, frame);
        const std::vector<uint32_t>& index = model.meshes.at(i)->indices;
        for (size_t f = 0; f + 2 < index.size(); f += 3)
            triangles.push_back({points[index[f]], points[index[f + 1]], points[index[f + 2]]});
    }
    return triangles;
}

// Distance from p to the nearest point of triangle abc.
float distanceToTriangle(Vec3 p, const Triangle& t) {
    const Vec3 a = t[0], b = t[1], c = t[2];
    const Vec3 ab = Vec3::sub(b, a), ac = Vec3::sub(c, a), ap = Vec3::sub(p, a);
    auto distanceTo = [&](Vec3 q) { return Vec3::length(Vec3::sub(p, q)); };
    const float d1 = Vec3::dot(ab, ap), d2 = Vec3::dot(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        return distanceTo(a);
    const Vec3 bp = Vec3::sub(p, b);
    const float d3 = Vec3::dot(ab, bp), d4 = Vec3::dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return distanceTo(b);
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return distanceTo(Vec3::add(a, Vec3::scale(ab, d1 / (d1 - d3))));
    const Vec3 cp = Vec3::sub(p, c);
    const float d5 = Vec3::dot(ab, cp), d6 = Vec3::dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return distanceTo(c);
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return distanceTo(Vec3::add(a, Vec3::scale(ac, d2 / (d2 - d6))));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
        return distanceTo(Vec3::add(b, Vec3::scale(Vec3::sub(c, b), (d4 - d3) / ((d4 - d3) + (d5 - d6)))));
    const float denominator = 1.0f / (va + vb + vc);
    return distanceTo(
        Vec3::add(a, Vec3::add(Vec3::scale(ab, vb * denominator), Vec3::scale(ac, vc * denominator))));
}

float nearest(Vec3 p, const std::vector<Triangle>& triangles) {
    float best = 1e30f;
    for (const Triangle& t : triangles)
        best = std::min(best, distanceToTriangle(p, t));
    return best;
}

// The metaball surface as the scene builds it at `frame` (40 ms each).
std::vector<Triangle> metaballSurface(int32_t frame) {
    const float t = static_cast<float>(frame) * 40.0f;
    MetaballField field;
    MetaballScene::createField(field);
    MetaballScene::placeBalls(field, t);
    field.sampleField();
    std::vector<SurfaceVertex> vertices;
    field.polygonise(1.0f, MetaballScene::surfaceOffset(t), vertices);
    std::vector<Triangle> triangles;
    for (size_t v = 0; v + 2 < vertices.size(); v += 3)
        triangles.push_back({vertices[v].position, vertices[v + 1].position, vertices[v + 2].position});
    return triangles;
}

// Plays camera track `index` as a scene does, one 40 ms frame at a time, and hands over each frame
// number with the track's eye, target and roll. Fails when the track loops within `length`.
void playTrack(size_t index, float length, const std::function<void(int32_t, const CameraTrack&)>& visit) {
    CameraTrack track = *data().cameras[index];
    track.rewind();
    track.advance(0.0f);
    int32_t lastSample = 0;
    for (int32_t frame = 0; frame * 40.0f < length; ++frame) {
        if (frame > 0)
            track.advance(40.0f);
        ASSERT_GE(track.sampleIndex, lastSample) << "track " << index << " loops at frame " << frame;
        lastSample = track.sampleIndex;
        visit(frame, track);
    }
}

// Clip-space position of p seen from `eye` towards `target` under a camera rolled by `roll` degrees (as
// the camera turns its up vector), with the scene's perspective.
std::array<float, 3> project(Vec3 eye, Vec3 target, float roll, Vec3 p, float fovDegrees, float aspect) {
    const Vec3 forward = Vec3::normalize(Vec3::sub(target, eye));
    const float r = roll * 3.14159265f / 180.0f;
    const Vec3 up{-std::sin(r), std::cos(r), 0.0f};
    const Vec3 side = Vec3::normalize(Vec3::cross(forward, up));
    const Vec3 trueUp = Vec3::cross(side, forward);
    const Vec3 d = Vec3::sub(p, eye);
    const float depth = Vec3::dot(d, forward);
    const float f = 1.0f / std::tan(fovDegrees * 0.5f * 3.14159265f / 180.0f);
    return {Vec3::dot(d, side) * f / aspect / depth, Vec3::dot(d, trueUp) * f / depth, depth};
}

std::array<float, 3> project(const CameraTrack& camera, Vec3 p, float fovDegrees, float aspect) {
    return project(camera.eye, camera.target, camera.roll, p, fovDegrees, aspect);
}

// Which way a group's name stands in its face picture: degrees clockwise from the picture's up to the
// name's, square to the line of its letters (their coverage's long axis) on the side of the "greetings"
// line over it.
float paintedNameUp(int group) {
    const tools::GreetingLettering lettering = tools::greetingLettering(group);
    struct Moments {
        double x = 0.0, y = 0.0, xx = 0.0, xy = 0.0, yy = 0.0;
    };
    auto momentsOf = [](const tools::Raster& coverage) {
        Moments m;
        double mass = 0.0;
        for (int row = 0; row < coverage.height(); ++row)
            for (int column = 0; column < coverage.width(); ++column) {
                const double a = coverage.at(column, row);
                mass += a;
                m.x += a * column;
                m.y += a * row;
                m.xx += a * column * column;
                m.xy += a * column * row;
                m.yy += a * row * row;
            }
        m.x /= mass;
        m.y /= mass;
        m.xx = m.xx / mass - m.x * m.x;
        m.xy = m.xy / mass - m.x * m.y;
        m.yy = m.yy / mass - m.y * m.y;
        return m;
    };
    const Moments name = momentsOf(lettering.name), label = momentsOf(lettering.label);
    // Rows run downwards; the long axis at `along`, the name's up square to it, towards the label.
    const double along = 0.5 * std::atan2(2.0 * name.xy, name.xx - name.yy);
    double upX = -std::sin(along), upY = std::cos(along);
    if (upX * (label.x - name.x) + upY * (label.y - name.y) < 0.0) {
        upX = -upX;
        upY = -upY;
    }
    return static_cast<float>(std::atan2(upX, -upY) * 180.0 / 3.14159265);
}

TEST(ProductionData, EveryListLineLoadsThroughTheProgramsReadersWithoutAMessage) {
    EXPECT_EQ(data().messages, std::vector<std::string>{});
    // 53 lines, the packet and 7 scenes: the loading bar fills in exactly 61 steps.
    EXPECT_EQ(data().textureLines.size() + data().modelLines.size() + data().cameraLines.size() +
                  data().lightLines.size(),
              53u);

    std::multiset<std::string> names;
    for (const auto& model : data().models)
        names.insert(model->name);
    EXPECT_EQ(names, (std::multiset<std::string>{"credits", "helpers", "mixmax1", "mixmax2", "mixmax2t",
                                                 "mixmax3", "mixmaxtr", "planet"}));
    for (const auto& model : data().models) {
        ASSERT_GT(model->meshCount, 0) << model->name;
        ASSERT_EQ(model->nodes.count(), model->meshCount) << model->name << ": a node per mesh";
        for (int32_t i = 0; i < model->meshCount; ++i) {
            EXPECT_EQ(model->nodes.at(i)->name, model->meshes.at(i)->name) << model->name << " node " << i;
            EXPECT_GE(model->nodes.at(i)->rotationKeyCount(), 1) << model->name << " node " << i;
        }
    }
    ASSERT_NE(data().model("credits"), nullptr);
    EXPECT_GE(data().model("credits")->meshCount, 2) << "the credits scene keeps meshes 0 and 1";
    ASSERT_NE(data().model("helpers"), nullptr);
    EXPECT_GE(data().model("helpers")->meshes.at(0)->vertexCount, 4)
        << "the scene draws lines to four corners";

    // Every material's two maps, registered under lower-case names of at most 19 characters.
    ASSERT_FALSE(data().materialMaps.empty());
    for (const std::string& map : data().materialMaps) {
        EXPECT_NE(std::find(data().registeredTextures.begin(), data().registeredTextures.end(), map),
                  data().registeredTextures.end())
            << "\"" << map << "\"";
        EXPECT_LE(map.size(), 19u) << map;
        EXPECT_TRUE(std::none_of(map.begin(), map.end(), [](char c) { return std::isupper(c); })) << map;
    }

    ASSERT_EQ(data().cameras.size(), 5u);
    for (const auto& camera : data().cameras) {
        EXPECT_GE(camera->keyCount(), 2);
        EXPECT_GE(camera->rollKeyCount(), 2);
    }
    ASSERT_GE(data().lights.size(), 1u);
    for (const auto& light : data().lights)
        EXPECT_GE(light->keyCount(), 2) << "a light file holds a position track";
}

TEST(ProductionData, CameraPathsMoveSmoothlyBetweenAFewCutsThroughTheirWholeSceneWithoutLooping) {
    for (size_t i = 0; i < 5; ++i) {
        const CameraTrack& track = *data().cameras[i];
        ASSERT_TRUE(track.sampled) << "track " << i;
        EXPECT_GE(track.keys.back().time, trackLengths[i]) << "track " << i << " is shorter than its scene";
        // Even key spacing keeps the spline's speed free of jumps at the keys.
        for (size_t k = 1; k + 1 < track.keys.size(); ++k)
            EXPECT_EQ(track.keys[k + 1].time - track.keys[k].time, track.keys[1].time - track.keys[0].time)
                << "track " << i << " key " << k;
        // Between cuts the eye glides; a shot lasts long enough to be seen, and the planet's track has none,
        // since the scene glides on from where the track leaves the eye.
        std::vector<float> cuts;
        Vec3 previous;
        playTrack(i, trackLengths[i], [&](int32_t frame, const CameraTrack& camera) {
            if (frame > 0 && Vec3::length(Vec3::sub(camera.eye, previous)) > cutStep)
                cuts.push_back(static_cast<float>(frame) * 40.0f);
            previous = camera.eye;
        });
        EXPECT_LE(cuts.size(), i == 3 ? 0u : 2u) << "track " << i;
        float shotStart = 0.0f;
        for (const float cut : cuts) {
            EXPECT_GE(cut - shotStart, 4000.0f) << "track " << i << " cuts at " << cut << " ms";
            shotStart = cut;
        }
        EXPECT_GE(trackLengths[i] - shotStart, 4000.0f) << "track " << i << " cuts at " << shotStart << " ms";
    }
}

// The models each track films, posed frame by frame, and what the scene draws itself that the eye must
// stay out of.
TEST(ProductionData, CamerasKeepClearOfEverythingTheyFilm) {
    constexpr float clearance = 2.5f;
    struct Shot {
        size_t track;
        std::vector<std::string> models;
        std::function<bool(Vec3)> allowed;
    };
    const Shot shots[] = {
        // The metaball surface is checked as the scene draws it, below.
        {0, {"mixmax1", "mixmaxtr"}, [](Vec3) { return true; }},
        {1, {"mixmax2", "mixmax2t"}, [](Vec3 e) { return e.y > 10.0f + clearance; }},
        // Cubes fall within 15 of the axis and swell to a half edge of about 4.
        {2, {"mixmax3"}, [](Vec3 e) { return std::hypot(e.x, e.z) > 21.0f; }},
        {3, {"planet"}, [](Vec3) { return true; }},
        // Inside the point torus and outside the point sphere's final radius about (0, 57, 0).
        {4,
         {"credits"},
         [](Vec3 e) {
             const float fromSphere = Vec3::length(Vec3::sub(e, sphereCentre));
             return fromSphere > 65.0f && Vec3::length(e) < 185.0f;
         }},
    };
    for (const Shot& shot : shots) {
        std::vector<const Model*> models;
        for (const std::string& name : shot.models)
            models.push_back(data().model(name));
        float closest = 1e30f;
        int32_t closestFrame = 0;
        Vec3 previous;
        playTrack(shot.track, trackLengths[shot.track], [&](int32_t frame, const CameraTrack& camera) {
            // A cut swings from one shot's eye to the next within a frame's step; a frame drawn in that
            // step sees from a point between them, so the whole way must be clear.
            std::vector<Vec3> eyes{camera.eye};
            const bool cut = frame > 0 && Vec3::length(Vec3::sub(camera.eye, previous)) > cutStep;
            for (int k = 1; cut && k < 8; ++k)
                eyes.push_back(Vec3::add(previous, Vec3::scale(Vec3::sub(camera.eye, previous), k / 8.0f)));
            previous = camera.eye;
            for (const Vec3& eye : eyes)
                EXPECT_TRUE(shot.allowed(eye)) << "track " << shot.track << " frame " << frame;
            if (frame % 2 != 0 && !cut)
                return;
            std::vector<std::vector<Triangle>> filmed;
            for (const Model* model : models)
                filmed.push_back(posedTriangles(*model, frame));
            if (shot.track == 0)
                filmed.push_back(metaballSurface(frame));
            for (const std::vector<Triangle>& triangles : filmed) {
                for (const Vec3& eye : eyes) {
                    const float d = nearest(eye, triangles);
                    if (d < closest) {
                        closest = d;
                        closestFrame = frame;
                    }
                }
            }
        });
        EXPECT_GT(closest, clearance) << "track " << shot.track << " passes " << closest
                                      << " from what it films at frame " << closestFrame;
    }
}

TEST(ProductionData, ModelsLeaveRoomForWhatTheScenesDrawThemselves) {
    // The greeting cube, the greeting camera's orbit, the falling cubes and their point cloud all stay
    // within 30 of the vertical axis.
    const Model& structure = *data().model("mixmax3");
    for (int32_t frame = 0; frame < 723; frame += 7)
        for (int32_t i = 0; i < structure.meshCount; ++i)
            for (const Vec3& p : posed(structure, i, frame))
                ASSERT_GT(std::hypot(p.x, p.z), 36.0f) << structure.meshes.at(i)->name << " frame " << frame;

    // Nothing of the sculpture enters the box the metaball surface can fill.
    for (const char* name : {"mixmax1", "mixmaxtr"}) {
        const Model& model = *data().model(name);
        for (int32_t frame = 0; frame < 723; frame += 5)
            for (int32_t i = 0; i < model.meshCount; ++i)
                for (const Vec3& p : posed(model, i, frame))
                    ASSERT_FALSE(p.x > 9 && p.x < 29 && p.y > 5 && p.y < 75 && std::abs(p.z) < 10)
                        << model.meshes.at(i)->name << " frame " << frame;
    }

    // The planet and its ring stay well inside the 200-unit point torus.
    const Model& planet = *data().model("planet");
    for (int32_t i = 0; i < planet.meshCount; ++i)
        for (const Vec3& p : posed(planet, i, 0))
            ASSERT_LT(Vec3::length(p), 150.0f);
}

TEST(ProductionData, HelperCornersWanderOutsideThePointSphere) {
    const Model& helpers = *data().model("helpers");
    for (int32_t frame = static_cast<int32_t>(creditsSecondPart / 40.0f); frame < 1083; ++frame) {
        const std::vector<Vec3> corners = posed(helpers, 0, frame);
        for (int k = 0; k < 4; ++k) {
            const float fromCentre = Vec3::length(Vec3::sub(corners[static_cast<size_t>(k)], sphereCentre));
            ASSERT_GT(fromCentre, 63.0f) << "corner " << k << " frame " << frame;
            ASSERT_LT(fromCentre, 130.0f) << "corner " << k << " frame " << frame;
        }
    }
}

TEST(ProductionData, CreditsShowOnlyTheCaptionOnceItIsAloneAndKeepItInTheLetterbox) {
    const Model& credits = *data().model("credits");
    const int32_t secondPart = static_cast<int32_t>(creditsSecondPart / 40.0f);
    playTrack(4, trackLengths[4], [&](int32_t frame, const CameraTrack& camera) {
        // The roles have left the picture before the scene stops drawing them, so none vanishes at once.
        if (frame >= secondPart - 10 && frame <= secondPart) {
            for (int32_t i = 2; i < credits.meshCount; ++i)
                for (const Vec3& p : posed(credits, i, frame)) {
                    const auto clip = project(camera, p, 90.0f, 16.0f / 9.0f);
                    ASSERT_TRUE(clip[2] <= 0.0f || std::abs(clip[0]) > 1.0f || std::abs(clip[1]) > 1.0f)
                        << "role " << i << " frame " << frame;
                }
        }
        // Settled under the sphere, the title and the group stay inside the picture and clear of the
        // letterbox bars, on 4:3 and 16:9 screens.
        if (frame * 40.0f < 18000.0f)
            return;
        for (const float aspect : {4.0f / 3.0f, 16.0f / 9.0f})
            for (int32_t i = 0; i < 2; ++i)
                for (const Vec3& p : posed(credits, i, frame)) {
                    const auto clip = project(camera, p, 90.0f, aspect);
                    ASSERT_GT(clip[2], 1.0f);
                    ASSERT_LT(std::abs(clip[0]), 0.95f) << "panel " << i << " frame " << frame;
                    ASSERT_LT(std::abs(clip[1]), 0.72f) << "panel " << i << " frame " << frame;
                }
    });
}

TEST(ProductionData, GreetingNamesStandUprightWhenTheirFaceTurnsMostToTheEye) {
    // The greetings keep the up vector the cube rain's track leaves the camera with.
    float roll = 0.0f;
    playTrack(2, trackLengths[2], [&](int32_t, const CameraTrack& camera) { roll = camera.roll; });

    // Played as the scene plays at 60 frames a second: in the middle of each greeting, the moment a face
    // of the cube turns most squarely to the eye, and which way the picture's up then points on screen
    // (degrees clockwise). Every face shows the same picture, with v up.
    struct Moment {
        float facing = -1.0f;
        float pictureUp = 0.0f;
        float time = 0.0f;
    };
    std::array<Moment, GreetingsScene::groupCount> best;
    GreetingsScene::Clocks clocks;
    Cube cube;
    cube.build(GreetingsScene::cubeHalfEdge);
    cube.position = GreetingsScene::cubeCentre;
    const float dt = 1000.0f / 60.0f;
    for (float t = 0.0f; t < GreetingsScene::length; t += dt) {
        clocks.advance(dt);
        const float slot = clocks.greetClock / GreetingsScene::greetingLength;
        if (slot < 0.15f || slot > 0.85f)
            continue;
        const Vec3 eye = GreetingsScene::eyeAt(clocks.cameraClock, t);
        cube.rotation = GreetingsScene::cubeRotation(t);
        CubeVertices world;
        cube.transform(world);
        for (int f = 0; f < 6; ++f) {
            Vec3 centre, up;
            for (int k = 0; k < 4; ++k) {
                const Vec3 corner = world.corners[Cube::faceCorners[f][k]];
                centre = Vec3::add(centre, Vec3::scale(corner, 0.25f));
                // Up the picture: the corners at v = 1 less those at v = 0.
                const float v = Cube::texCoords[4 * f + k].y;
                up = Vec3::add(up, Vec3::scale(corner, v > 0.5f ? 0.5f : -0.5f));
            }
            const float facing = Vec3::dot(world.normals[f], Vec3::normalize(Vec3::sub(eye, centre)));
            Moment& moment = best[static_cast<size_t>(clocks.greetIndex)];
            if (facing <= moment.facing)
                continue;
            const Vec3 origin{};
            const auto from = project(eye, origin, roll, centre, 100.0f, 1.0f);
            const auto to =
                project(eye, origin, roll, Vec3::add(centre, Vec3::scale(up, 0.1f)), 100.0f, 1.0f);
            moment = {facing,
                      static_cast<float>(std::atan2(to[0] - from[0], to[1] - from[1]) * 180.0 / 3.14159265),
                      t};
        }
    }
    for (int g = 0; g < GreetingsScene::groupCount; ++g) {
        const Moment& moment = best[static_cast<size_t>(g)];
        const float onScreen = std::remainder(moment.pictureUp + paintedNameUp(g), 360.0f);
        EXPECT_LT(std::abs(onScreen), 20.0f)
            << GreetingsScene::groups[g] << " leans " << onScreen << " degrees at " << moment.time
            << " ms, where the picture's up points " << moment.pictureUp << " degrees clockwise";
    }
}

} // namespace
} // namespace halcyra
