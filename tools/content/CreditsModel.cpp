// The credits scene's two models. "credits": one bevelled steel slab per panel of Credits.h, facing the
// light. The title and the group's panels swing in first, rise out of the picture while the roles follow
// one by one in front of the camera, and come down again as a caption beneath the point sphere, where
// they stay once the scene draws only meshes 0 and 1. "helpers": a unit square, never drawn, whose four
// corners the scene joins with lines; its node faces it to the camera around the sphere and turns it.
#include "Credits.h"
#include "Models.h"
#include "ShowLayout.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace halcyra::tools {
namespace {

// The panels face the light's side of the scene, where the camera stays.
const double facingAzimuth = std::atan2(show::farLight.z, show::farLight.x) * 180.0 / pi;

// Turns a panel's front (local +z) towards the given azimuth and tips it back by `tilt` degrees.
Quatd facing(double azimuth, double tilt = 0.0) {
    return yaw(90.0 - azimuth) * pitch(-tilt);
}

// Where the roles are read, one at a time, and where the title stands first.
const Vec3d cardSpot = cylindrical(facingAzimuth, 95.0, 57.0);
const Vec3d titleSpot = cylindrical(facingAzimuth, 95.0, 64.0);
const Vec3d groupSpot = cylindrical(facingAzimuth, 95.0, 51.5);
// The caption beneath the point sphere in the second part.
const Vec3d titleCaption = cylindrical(facingAzimuth - 2.0, 85.0, 22.0);
const Vec3d groupCaption = cylindrical(facingAzimuth - 2.0, 85.0, 12.5);
constexpr double captionTilt = 12.0;
// Out of the picture, above the spot the roles use.
constexpr double parkedHeight = 150.0;
// Where hidden panels wait: far below everything, shrunk.
const Vec3d hidden{0.0, -600.0, 0.0};

// A slab with its text on the front (local +z) and steel on the bevel, the edges and the back.
MeshBuilder slab(const Placement& place, const CreditPanel& panel, double depth, double bevel) {
    MeshBuilder mesh;
    const double iw = panel.width * 0.5, ih = panel.height * 0.5;
    const double ow = iw + bevel, oh = ih + bevel;
    const double front = depth * 0.5, edge = depth * 0.5 - bevel, back = -depth * 0.5;
    // Rings of corners counter-clockwise seen from the front: the face, the bevel's outer edge, the back.
    auto ring = [&](double w, double h, double z) {
        return std::array<Vec3d, 4>{place.apply({-w, -h, z}), place.apply({w, -h, z}), place.apply({w, h, z}),
                                    place.apply({-w, h, z})};
    };
    const auto face = ring(iw, ih, front);
    const auto rim = ring(ow, oh, edge);
    const auto rear = ring(ow, oh, back);
    const UvRect steel = creditSteelUv();
    mesh.face(face[0], face[1], face[2], face[3], creditFrontUv(panel));
    for (int e = 0; e < 4; ++e) {
        const int n = (e + 1) % 4;
        mesh.face(face[n], face[e], rim[e], rim[n], steel);
        mesh.face(rim[n], rim[e], rear[e], rear[n], steel);
    }
    mesh.face(rear[1], rear[0], rear[3], rear[2], steel);
    return mesh;
}

// A panel swinging in from the right and out to the left about its own vertical axis, growing from and
// shrinking to nothing; `in` and `out` run 0 → 1.
Pose swing(const Vec3d& spot, double azimuth, double in, double out) {
    const Quatd turned = facing(azimuth);
    const Vec3d right = turned.rotate({1.0, 0.0, 0.0});
    const Vec3d forward = turned.rotate({0.0, 0.0, 1.0});
    Pose pose;
    pose.position =
        spot + right * (22.0 * (1.0 - in) - 22.0 * out) - forward * (12.0 * (1.0 - in) + 12.0 * out);
    pose.orientation = facing(azimuth + 75.0 * (1.0 - in) - 75.0 * out);
    pose.scale = 0.02 + 0.98 * ease(0.0, 0.45, in) * (1.0 - ease(0.55, 1.0, out));
    return pose;
}

Pose hiddenPose() {
    return {hidden, {}, 0.02};
}

// A role: in at `from` ms, out at `until` ms.
Pose rolePose(double ms, double from, double until) {
    constexpr double inLength = 900.0, outLength = 700.0;
    if (ms < from || ms >= until + outLength)
        return hiddenPose();
    return swing(cardSpot, facingAzimuth, easeSmoother(from, from + inLength, ms),
                 easeSmoother(until, until + outLength, ms));
}

// The title and the group: in, up out of the picture, down to the caption, then a slow sway.
Pose captionPose(double ms, double delay, const Vec3d& first, const Vec3d& caption) {
    const double in = easeSmoother(200.0 + delay, 1600.0 + delay, ms);
    if (ms < 200.0 + delay)
        return hiddenPose();
    if (ms < 3900.0 + delay)
        return swing(first, facingAzimuth, in, 0.0);
    const Vec3d parked{first.x, parkedHeight + first.y - titleSpot.y, first.z};
    const double rise = easeSmoother(3900.0 + delay, 5300.0 + delay, ms);
    const double fall = easeSmoother(13300.0 + delay, 16800.0 + delay, ms);
    Pose pose;
    pose.position = lerp(lerp(first, parked, rise), caption, fall);
    const double sway = ease(16800.0, 18800.0, ms);
    pose.position.y += sway * 0.8 * std::sin(2.0 * pi * (ms - 16800.0) / 7200.0 + delay * 0.001);
    pose.orientation =
        facing(facingAzimuth - 2.0 * fall + sway * 2.5 * std::sin(2.0 * pi * (ms - 16800.0) / 11000.0),
               captionTilt * fall);
    return pose;
}

} // namespace

ModelFile creditsModel() {
    Material3ds plate;
    plate.name = "credits";
    plate.textureMap = "credits.png";
    plate.bumpMap = "credits_n.png";
    plate.specular = {16, 19, 22};
    ModelAssembly assembly({plate});
    const int frames = framesFor(show::creditsLength);
    const std::vector<CreditPanel>& panels = creditPanels();
    const char* const names[] = {"Title", "Group", "RoleCode", "RoleMusic", "RoleGraphics"};
    // Each role's time in front of the camera, ms.
    const double roles[3][2] = {{4600.0, 7400.0}, {7800.0, 10400.0}, {10800.0, 13100.0}};

    for (size_t i = 0; i < panels.size(); ++i) {
        const CreditPanel& panel = panels[i];
        const bool caption = i < 2;
        const double depth = caption ? 2.6 : 2.0;
        const Vec3d spot = i == 0 ? titleSpot : (i == 1 ? groupSpot : cardSpot);
        const Pose rest{spot, facing(facingAzimuth), 1.0};
        const MeshBuilder mesh = slab({rest.orientation, rest.position}, panel, depth, 0.45);
        std::function<Pose(double)> poseAt;
        if (caption) {
            const double delay = i == 0 ? 0.0 : 500.0;
            const Vec3d captionSpot = i == 0 ? titleCaption : groupCaption;
            poseAt = [spot, delay, captionSpot](double ms) {
                return captionPose(ms, delay, spot, captionSpot);
            };
        } else {
            const double from = roles[i - 2][0], until = roles[i - 2][1];
            poseAt = [from, until](double ms) { return rolePose(ms, from, until); };
        }
        assembly.animated(names[i], mesh, "credits", rest, frames, poseAt);
    }
    return assembly.finish("credits");
}

ModelFile helpersModel() {
    // Four corners of a square, in order round it: the scene joins them on the beat into three sides of
    // the square with spokes to the sphere's centre, then both diagonals, then three sides again from the
    // other corner, so the lines draw a frame that opens, crosses and turns.
    const Vec3d corners[4] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {-1.0, 0.0, 0.0}, {0.0, -1.0, 0.0}};
    const double uv[4][2] = {{1.0, 0.5}, {0.5, 1.0}, {0.0, 0.5}, {0.5, 0.0}};
    MeshBuilder mesh;
    for (int i = 0; i < 4; ++i)
        mesh.vertex(corners[i], uv[i][0], uv[i][1]);
    mesh.triangle(0, 1, 2);
    mesh.triangle(0, 2, 3);

    ModelAssembly assembly({steelMaterial()});
    const Vec3d centre = show::sphereCentre;
    assembly.animated(
        "Corners", mesh, "steel", Pose{}, framesFor(show::creditsLength),
        [centre](double ms) {
            // Square to the camera, which looks at the sphere from the light's side; it turns slowly in
            // the picture and rocks a little out of it, so the lines keep their depth.
            Pose pose;
            pose.position = centre;
            pose.orientation = facing(facingAzimuth) * pitch(6.0 * std::sin(2.0 * pi * ms / 13000.0)) *
                               yaw(8.0 * std::sin(2.0 * pi * ms / 17000.0)) *
                               roll(45.0 + 360.0 * ms / 24000.0);
            // The point sphere's radius: it first shows about three beats into the second part and grows by
            // about 0.989 per 451 ms beat; the square keeps its corners outside it.
            const double sphere = std::max(0.0, (ms - show::creditsSecondPart) / 451.11 * 0.989 - 3.0);
            pose.scale = 74.0 + 0.55 * sphere + 4.0 * std::sin(2.0 * pi * ms / 9000.0);
            return pose;
        },
        false, false);
    return assembly.finish("helpers");
}

} // namespace halcyra::tools
