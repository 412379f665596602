// "mixmax3", the structure of the cube rain and the greetings: a tall open cage about the vertical axis.
// Twelve steel ribs stand on a circle, four segmented teal plates ring the shaft at different heights and
// turn against each other, and each plate's inner lip glows. Nothing comes nearer the axis than 40 units,
// which leaves the rain's column, its point cloud, the greeting cube and the greeting camera's orbit free.
#include "Models.h"
#include "ShowLayout.h"

#include <cmath>
#include <numbers>

namespace halcyra::tools {
namespace {

constexpr double ribRadius = 47.0;
constexpr double ribTop = 115.0;
constexpr double ribBottom = -125.0;
constexpr double plateInner = 40.0;
constexpr double plateOuter = 54.0;
constexpr double plateHeights[4] = {-75.0, -25.0, 25.0, 75.0};
// One turn in this many ms; neighbours turn opposite ways.
constexpr double platePeriods[4] = {52000.0, -40000.0, 46000.0, -58000.0};
constexpr double cagePeriod = 150000.0;

static_assert(plateInner > show::greetingEyeReach + 10.0, "the greeting camera's orbit needs room");
static_assert(plateInner > show::rainPointsHalfWidth * std::numbers::sqrt2 + 10.0,
              "the rain's camera passes between cloud and cage");

} // namespace

ModelFile mixmax3Model() {
    ModelAssembly assembly({steelMaterial(), tealMaterial(), glowMaterial()});
    const int frames = framesFor(std::max(show::cubeRainLength, show::greetingsLength));
    const Vec3d origin{0.0, 0.0, 0.0};

    MeshBuilder ribs;
    for (int i = 0; i < 12; ++i) {
        const double azimuth = 30.0 * i + 15.0;
        const Placement place = at(cylindrical(azimuth, ribRadius, 0.0), yaw(-azimuth));
        ribs.prism(place, {{1.6, 1.0}, {1.6, -1.0}, {-1.6, -1.0}, {-1.6, 1.0}}, ribBottom, ribTop,
                   1.0 / 16.0);
    }
    assembly.animated("Ribs", ribs, "steel", Pose{origin, {}, 1.0}, frames, [](double ms) {
        return Pose{{0.0, 0.0, 0.0}, yaw(360.0 * ms / cagePeriod), 1.0};
    });

    for (int p = 0; p < 4; ++p) {
        const Vec3d centre{0.0, plateHeights[p], 0.0};
        MeshBuilder plate;
        plate.segmentedRing(at(centre), plateInner, plateOuter, 1.8, 10, 4.0, 1.0 / 12.0);
        const double period = platePeriods[p];
        assembly.animated("Plate" + std::to_string(p + 1), plate, "teal", Pose{centre, {}, 1.0}, frames,
                          [centre, period](double ms) {
                              return Pose{centre, yaw(360.0 * ms / period), 1.0};
                          });
    }

    MeshBuilder lips;
    for (const double height : plateHeights)
        lips.torus(at({0.0, height, 0.0}), plateInner - 0.25, 0.45, 160, 8, 1.0, 1.0);
    assembly.still("Lips", lips, "glow", origin, false, true);
    return assembly.finish("mixmax3");
}

} // namespace halcyra::tools
