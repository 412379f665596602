#include "scene3ds/AnimationNode.h"
#include "scene3ds/Mesh.h"
#include "scene3ds/ObjectLoader.h"

#include "assets/TextureManager.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include "Keyframes.h"
#include "MeshBuilder.h"
#include "Models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

namespace halcyra {
namespace {

using tools::MeshBuilder;
using tools::Object3ds;
using tools::Quatd;
using tools::Vec3d;

tools::Material3ds material(const std::string& name, const std::string& texture, const std::string& bump) {
    tools::Material3ds m;
    m.name = name;
    m.textureMap = texture;
    m.bumpMap = bump;
    return m;
}

// Writes a one-material model of the given objects and nodes and reads it back without GL.
std::unique_ptr<Model> roundTrip(const test::TempDir& dir, std::vector<Object3ds> objects,
                                 std::vector<tools::ObjectNode3ds> nodes) {
    TextureManager::instance().add(std::make_unique<Texture>("t"));
    TextureManager::instance().add(std::make_unique<Texture>("n"));
    tools::Model3ds model;
    model.materials = {material("m", "t", "n")};
    model.objects = std::move(objects);
    model.nodes = std::move(nodes);
    std::vector<tools::ShadowInfo3ds> shadows;
    for (const auto& object : model.objects)
        shadows.push_back({object.name, true, true});
    const std::string path = dir.write("models/thing.3ds", "").string();
    tools::saveFile3ds(path, tools::writeModel3ds(model));
    tools::saveFile3ds(tools::shadowInfoPath(path), tools::writeShadowInfo(shadows));
    ObjectLoader loader;
    loader.createBuffers = false;
    loader.loadModel(path.c_str(), "thing");
    TextureManager::destroy();
    return std::move(loader.model);
}

// Enclosed volume by the divergence theorem: positive when every triangle faces outwards.
double signedVolume(const MeshBuilder& mesh, const Object3ds& object) {
    double volume = 0.0;
    for (const auto& f : object.faces) {
        const Vec3d& a = mesh.vertices()[f[0]];
        const Vec3d& b = mesh.vertices()[f[1]];
        const Vec3d& c = mesh.vertices()[f[2]];
        volume += tools::dot(a, tools::cross(b, c)) / 6.0;
    }
    return volume;
}

// Edges between welded positions, each counted once per direction: a closed surface uses every edge once
// each way.
bool closed(const MeshBuilder& mesh, const Object3ds& object) {
    auto key = [&](int i) {
        const Vec3d& p = mesh.vertices()[static_cast<size_t>(i)];
        return std::make_tuple(std::lround(p.x * 1e4), std::lround(p.y * 1e4), std::lround(p.z * 1e4));
    };
    std::map<std::pair<decltype(key(0)), decltype(key(0))>, int> edges;
    for (const auto& f : object.faces)
        for (int k = 0; k < 3; ++k) {
            const auto a = key(f[k]), b = key(f[(k + 1) % 3]);
            if (a != b)
                ++edges[{a, b}];
        }
    for (const auto& [edge, count] : edges)
        if (count != 1 || edges.count({edge.second, edge.first}) == 0 ||
            edges.at({edge.second, edge.first}) != 1)
            return false;
    return true;
}

TEST(MeshBuilder, ShapesAreClosedAndFaceOutwardsSoTheyCastShadows) {
    const tools::Placement place{tools::yaw(30.0) * tools::pitch(20.0), {3.0, -2.0, 5.0}};
    struct Shape {
        const char* name;
        MeshBuilder mesh;
        double volume;
    };
    std::vector<Shape> shapes(6);
    shapes[0] = {"box", {}, 2.0 * 3.0 * 4.0};
    shapes[0].mesh.box(place, {1.0, 1.5, 2.0}, 0.1);
    shapes[1] = {"column", {}, 2.0 * 2.0 * 10.0 + 2.0 * 2.0 * 1.0 / 3.0};
    shapes[1].mesh.column(place, 1.0, 1.0, 0.0, 10.0, 1.0, 0.1);
    shapes[2] = {"sphere", {}, 4.0 / 3.0 * tools::pi * 8.0};
    shapes[2].mesh.sphere(place, 2.0, 64, 32);
    shapes[3] = {"torus", {}, 2.0 * tools::pi * tools::pi * 10.0};
    shapes[3].mesh.torus(place, 10.0, 1.0, 96, 24, 4.0, 1.0);
    shapes[4] = {"stepped lathe", {}, tools::pi * (36.0 * 4.0 - 1.0 * 4.0) + tools::pi * (25.0 - 1.0) * 2.0};
    tools::LatheOptions options;
    options.segments = 256;
    shapes[4].mesh.lathe(place, tools::hardStrips({{1, 0}, {6, 0}, {6, 4}, {5, 4}, {5, 6}, {1, 6}, {1, 0}}),
                         options);
    shapes[5] = {"segmented ring", {}, 0.75 * tools::pi * (16.0 - 4.0) * 1.0};
    shapes[5].mesh.segmentedRing(place, 2.0, 4.0, 1.0, 8, 11.25, 0.1);
    for (Shape& shape : shapes) {
        const Object3ds object = shape.mesh.object(shape.name, "m", {0.0, 0.0, 0.0});
        EXPECT_TRUE(closed(shape.mesh, object)) << shape.name;
        EXPECT_NEAR(signedVolume(shape.mesh, object), shape.volume, shape.volume * 0.02) << shape.name;
    }
}

TEST(MeshBuilder, TextureSpaceIsRightHandedSoPicturesAndReliefAreNotMirrored) {
    test::TempDir dir;
    MeshBuilder sphere, torus, box, lathe;
    sphere.sphere({}, 5.0, 32, 16);
    torus.torus({}, 10.0, 2.0, 48, 16, 6.0, 1.0);
    box.box({tools::yaw(40.0), {}}, {3.0, 2.0, 1.0}, 0.1);
    tools::LatheOptions options;
    lathe.lathe({}, tools::hardStrips({{2, 0}, {5, 0}, {5, 3}, {2, 3}, {2, 0}}), options);
    const auto model = roundTrip(dir,
                                 {sphere.object("Sphere", "m", {}), torus.object("Torus", "m", {}),
                                  box.object("Box", "m", {}), lathe.object("Lathe", "m", {})},
                                 {});
    ASSERT_EQ(model->meshCount, 4);
    for (int32_t i = 0; i < model->meshCount; ++i) {
        const Mesh& mesh = *model->meshes.at(i);
        for (int32_t v = 0; v < mesh.vertexCount; ++v) {
            const float handedness =
                Vec3::dot(Vec3::cross(mesh.tangents[v], mesh.binormals[v]), mesh.normals[v]);
            ASSERT_GT(handedness, 0.5f) << mesh.name << " vertex " << v;
        }
    }
}

TEST(Keyframes, NodesPlayBackThePosesTheyWereMadeFrom) {
    test::TempDir dir;
    MeshBuilder mesh;
    mesh.box({{}, {4.0, 1.0, -2.0}}, {1.0, 2.0, 3.0}, 0.1);
    const tools::Pose rest{{4.0, 1.0, -2.0}, {}, 1.0};
    auto poseAt = [](double ms) {
        tools::Pose pose;
        pose.position = Vec3d{4.0, 1.0, -2.0} + Vec3d{std::sin(ms * 0.001) * 5.0, ms * 0.002, 0.0};
        pose.orientation = Quatd::axisAngle({0.3, 1.0, -0.4}, ms * 0.0021) * tools::roll(ms * 0.01);
        pose.scale = 1.0 + 0.5 * std::sin(ms * 0.0007);
        return pose;
    };
    const int frames = 200;
    const auto model = roundTrip(dir, {mesh.object("Box", "m", rest.position)},
                                 {tools::animatedNode("Box", 0, frames, poseAt)});
    ASSERT_EQ(model->nodes.count(), 1);
    const Mesh& loaded = *model->meshes.at(0);
    const AnimationNode& node = *model->nodes.at(0);
    EXPECT_EQ(node.positionKeyCount(), frames);
    EXPECT_EQ(node.rotationKeyCount(), frames);
    for (int frame = 0; frame < frames; frame += 13) {
        const tools::Pose pose = poseAt(frame * 40.0);
        const Mat4 m = node.matrixAt(frame, loaded.origin);
        for (int32_t v = 0; v < loaded.vertexCount; ++v) {
            const Vec3d local = mesh.vertices()[static_cast<size_t>(v)] - rest.position;
            const Vec3d expected = pose.orientation.rotate(local * pose.scale) + pose.position;
            const Vec3 actual = Mat4::transformPoint(m, loaded.positions[v]);
            ASSERT_NEAR(actual.x, expected.x, 2e-3) << "frame " << frame;
            ASSERT_NEAR(actual.y, expected.y, 2e-3) << "frame " << frame;
            ASSERT_NEAR(actual.z, expected.z, 2e-3) << "frame " << frame;
        }
    }
}

TEST(Keyframes, CameraFilesReadBackAsTheShotsTheyWereMadeFrom) {
    test::TempDir dir;
    auto shotAt = [](double ms) {
        return tools::CameraShot{
            {ms * 0.01, 5.0, -20.0}, {0.0, std::sin(ms * 0.001), 3.0}, 10.0 * std::sin(ms * 0.0005)};
    };
    const tools::CameraFile3ds camera = tools::cameraFile("Cam", 4000.0, 5, shotAt);
    const std::string path = dir.write("models/cam.3ds", "").string();
    tools::saveFile3ds(path, tools::writeCamera3ds(camera));
    test::MessageLog log;
    const auto track = ObjectLoader().loadCameraTrack(path.c_str());
    EXPECT_TRUE(log.texts().empty());
    ASSERT_EQ(track->keyCount(), 21) << "keys every 200 ms from 0 to 4000";
    EXPECT_EQ(track->keys.back().time, 4000);
    for (const CameraKey& key : track->keys) {
        const tools::CameraShot shot = shotAt(key.time);
        EXPECT_NEAR(key.eye.x, shot.eye.x, 1e-4);
        EXPECT_NEAR(key.eye.y, shot.eye.y, 1e-4);
        EXPECT_NEAR(key.eye.z, shot.eye.z, 1e-4);
        EXPECT_NEAR(key.target.y, shot.target.y, 1e-4);
        EXPECT_NEAR(key.target.z, shot.target.z, 1e-4);
    }
    // The program negates the file's roll; the shot gives the file's value.
    ASSERT_EQ(track->rollKeyCount(), 21);
    EXPECT_NEAR(track->rollKeys[3].roll, -shotAt(600.0).roll, 1e-4);
}

} // namespace
} // namespace halcyra
