// The sculptures of the metaball and water scenes, both standing on the axis through (19, y, 0) where the
// scenes float their metaball surface and circle their light.
// Metaballs: "mixmax1" is a stepped steel plinth with a teal drum and four slender pillars crowned with
// light, "mixmaxtr" three tilted rings that precess about the axis, wide enough that the camera circles
// the surface inside them.
// Water: "mixmax2" is a low island and a circle of monoliths with glowing bands at the waterline,
// "mixmax2t" a great ring standing half in the water, turning, with lights orbiting it and a segmented
// halo above.
#include "Models.h"
#include "ShowLayout.h"

#include <array>
#include <cmath>

namespace halcyra::tools {
namespace {

constexpr double steelUv = 1.0 / 16.0; // one steel panel per 8 units
constexpr double tealUv = 1.0 / 12.0;  // four tiles per 12 units

Vec3d onAxis(double height) {
    return {show::metaballCentre.x, height, show::metaballCentre.z};
}

LatheOptions around(int segments, double circumference, double uvPerUnit) {
    LatheOptions options;
    options.segments = segments;
    options.uRepeat = std::max(1.0, std::round(circumference * uvPerUnit));
    options.vPerUnit = uvPerUnit;
    return options;
}

// A ring of radius `radius` tilted by `tilt` degrees whose tilt turns about the vertical axis once per
// `period` ms (in the sense of `direction`), centred on the axis at `height`.
Pose precessing(double ms, double height, double tilt, double period, double direction, double phase) {
    const double turn = direction * (360.0 * ms / period) + phase;
    Pose pose;
    pose.position = onAxis(height);
    pose.orientation = yaw(turn) * roll(tilt) * yaw(-turn * 0.5);
    return pose;
}

} // namespace

ModelFile mixmax1Model() {
    ModelAssembly assembly({steelMaterial(), floorMaterial(), tealMaterial(), glowMaterial()});
    const Placement axis = at(onAxis(0.0));

    MeshBuilder plinth;
    plinth.lathe(axis, hardStrips({{6, -6}, {40, -6}, {40, -3}, {34, -3}, {34, 0}, {6, 0}, {6, -6}}),
                 around(96, 2 * pi * 34, steelUv));
    assembly.still("Plinth", plinth, "floor", onAxis(0.0));

    MeshBuilder drum;
    // Narrower than the surface floating over it, so that the surface stays the larger shape.
    drum.lathe(axis, hardStrips({{0, 0}, {6, 0}, {6, 2}, {5.3, 3}, {0, 3}}), around(64, 2 * pi * 6, tealUv));
    assembly.still("Drum", drum, "teal", onAxis(0.0));

    MeshBuilder pillars;
    MeshBuilder crowns;
    for (int i = 0; i < 4; ++i) {
        const double azimuth = 45.0 + 90.0 * i;
        const Placement place = at(onAxis(0.0) + cylindrical(azimuth, 36.0, 0.0), yaw(-azimuth));
        pillars.column(place, 1.2, 1.2, 0.0, 50.0, 1.6, steelUv);
        crowns.box(at(place.apply({0.0, 46.0, 0.0}), place.rotation), {1.45, 0.35, 1.45}, 0.25);
        crowns.box(at(place.apply({0.0, 42.5, 0.0}), place.rotation), {1.45, 0.2, 1.45}, 0.25);
    }
    assembly.still("Pillars", pillars, "steel", onAxis(0.0));
    assembly.still("Crowns", crowns, "glow", onAxis(0.0));

    MeshBuilder inlay;
    inlay.torus(at(onAxis(-2.75)), 37.0, 0.35, 128, 8, 1.0, 1.0);
    assembly.still("Inlay", inlay, "glow", onAxis(0.0), false, true);
    return assembly.finish("mixmax1");
}

ModelFile mixmaxtrModel() {
    ModelAssembly assembly({steelMaterial(), tealMaterial()});
    const int frames = framesFor(show::metaballsLength);
    struct Ring {
        const char* name;
        const char* material;
        double uvPerUnit;
        double radius, tube, height, tilt, period, direction, phase;
    };
    // The rings leave room inside them for the camera's orbit about the surface (12 from the axis) at
    // any tilt they take.
    const Ring rings[] = {{"RingLow", "teal", tealUv, 25.0, 0.7, 18.0, 18.0, 14000.0, 1.0, 0.0},
                          {"RingMiddle", "steel", steelUv, 27.5, 0.55, 38.0, 24.0, 19000.0, -1.0, 120.0},
                          {"RingHigh", "teal", tealUv, 30.0, 0.8, 58.0, 14.0, 23000.0, 1.0, 240.0}};
    for (const Ring& r : rings) {
        const Pose rest = precessing(0.0, r.height, r.tilt, r.period, r.direction, r.phase);
        MeshBuilder mesh;
        mesh.torus({rest.orientation, rest.position}, r.radius, r.tube, 128, 12,
                   std::round(2 * pi * r.radius * r.uvPerUnit), 1.0);
        // Studs every 45°, so that the turning reads even where the tilt does not.
        for (int k = 0; k < 8; ++k) {
            const Vec3d local = cylindrical(45.0 * k, r.radius, 0.0);
            mesh.box({rest.orientation * yaw(-45.0 * k), rest.orientation.rotate(local) + rest.position},
                     {r.tube * 1.6, r.tube * 1.6, r.tube * 2.2}, 0.2);
        }
        const Ring ring = r;
        assembly.animated(r.name, mesh, r.material, rest, frames, [ring](double ms) {
            return precessing(ms, ring.height, ring.tilt, ring.period, ring.direction, ring.phase);
        });
    }
    return assembly.finish("mixmaxtr");
}

ModelFile mixmax2Model() {
    ModelAssembly assembly({steelMaterial(), floorMaterial(), glowMaterial()});
    const double water = show::waterHeight;
    const Vec3d centre = onAxis(water);

    // The island and the stones reach only a little under the surface: the dark water hides what lies
    // deeper, and the frame would only draw it to cover it with the water.
    const double footing = water - 8.0;
    MeshBuilder island;
    island.lathe(
        at(onAxis(0.0)),
        hardStrips({{0, footing}, {16, footing}, {16, water + 0.6}, {15.2, water + 1.4}, {0, water + 1.4}}),
        around(96, 2 * pi * 16, steelUv));
    assembly.still("Island", island, "floor", centre);

    MeshBuilder monoliths;
    MeshBuilder bands;
    const double heights[show::waterStoneCount] = {22.0, 34.0, 27.0, 41.0, 24.0, 31.0, 37.0};
    for (int i = 0; i < show::waterStoneCount; ++i) {
        const double azimuth = show::waterStoneAzimuth(i);
        // Broad side to the axis, leaning a little outwards.
        const Quatd turn = yaw(90.0 - azimuth) * pitch(2.5);
        const Placement place = at(onAxis(0.0) + cylindrical(azimuth, 46.0, 0.0), turn);
        monoliths.column(place, 2.6, 1.1, footing, water + heights[i], 2.2, steelUv);
        bands.box(at(place.apply({0.0, water + 2.2, 0.0}), turn), {2.85, 0.3, 1.35}, 0.25);
    }
    assembly.still("Monoliths", monoliths, "steel", centre);
    assembly.still("Bands", bands, "glow", centre, false, true);
    return assembly.finish("mixmax2");
}

ModelFile mixmax2tModel() {
    ModelAssembly assembly({steelMaterial(), tealMaterial(), glowMaterial(), lampMaterial()});
    const int frames = framesFor(show::waterLength);
    const double water = show::waterHeight;

    // The ring stands in the island's middle and turns once in the scene.
    const Pose gateRest{onAxis(water), pitch(90.0), 1.0};
    MeshBuilder gate;
    gate.torus({gateRest.orientation, gateRest.position}, 26.0, 2.0, 144, 16,
               std::round(2 * pi * 26 * tealUv), 1.0);
    auto gatePose = [water](double ms) {
        return Pose{onAxis(water), yaw(360.0 * ms / 30000.0) * pitch(90.0), 1.0};
    };
    assembly.animated("Gate", gate, "teal", gateRest, frames, gatePose);
    // A line of light round the ring's inner edge, turning with it.
    MeshBuilder gateLight;
    gateLight.torus({gateRest.orientation, gateRest.position}, 23.7, 0.38, 144, 8, 1.0, 1.0);
    assembly.animated("GateLight", gateLight, "glow", gateRest, frames, gatePose, false, true);

    // Three small amber lamps circling the ring at different heights, their orbit rocking gently; small, so
    // that they glow as points with a halo rather than swelling into discs.
    const Pose orbitRest{onAxis(water), {}, 1.0};
    MeshBuilder lights;
    const double lightHeights[3] = {16.0, 22.0, 28.0};
    for (int i = 0; i < 3; ++i)
        lights.sphere(at(onAxis(water + lightHeights[i]) + cylindrical(120.0 * i, 31.0, 0.0)), 1.0, 24, 12);
    assembly.animated(
        "Orbiters", lights, "lamp", orbitRest, frames,
        [water](double ms) {
            return Pose{onAxis(water),
                        yaw(-360.0 * ms / 17000.0) * roll(4.0 * std::sin(2 * pi * ms / 11000.0)), 1.0};
        },
        false, true);

    const Pose haloRest{onAxis(44.0), {}, 1.0};
    MeshBuilder halo;
    halo.segmentedRing(at(haloRest.position), 30.0, 35.0, 1.2, 12, 6.0, steelUv);
    assembly.animated("Halo", halo, "steel", haloRest, frames, [](double ms) {
        return Pose{onAxis(44.0 + 1.5 * std::sin(2 * pi * ms / 9000.0)), yaw(360.0 * ms / 45000.0), 1.0};
    });
    return assembly.finish("mixmax2t");
}

} // namespace halcyra::tools
