// "planet": the last scene's world at the origin, radius 60, well inside the 200-unit point torus, with a
// ring of three bands in its equator plane. The axis leans so that the ring opens towards the final
// view from (0, 0, 250); the surface map's seam (u = 0) faces away from the light, on the night side.
#include "Models.h"
#include "ShowLayout.h"

#include <cmath>

namespace halcyra::tools {

ModelFile planetModel() {
    Material3ds surface;
    surface.name = "planet";
    surface.textureMap = "planet.jpg";
    surface.bumpMap = "planet_n.png";
    surface.specular = {70, 95, 110};
    Material3ds bands;
    bands.name = "ring";
    bands.textureMap = "ring.png";
    bands.bumpMap = "flat_n";
    bands.specular = {60, 70, 76};
    ModelAssembly assembly({surface, bands});

    const double lightAzimuth = std::atan2(show::farLight.z, show::farLight.x) * 180.0 / pi;
    // u = 0 lies on the sphere's local +x: turn it to the far side from the light, then lean the axis.
    const Quatd lean = pitch(22.0) * roll(-9.0);
    const Quatd spin = yaw(-(lightAzimuth + 180.0));
    const Placement place{lean * spin, {0.0, 0.0, 0.0}};

    MeshBuilder sphere;
    sphere.sphere(place, show::planetRadius, 112, 56);
    assembly.still("Planet", sphere, "planet", place.translation);

    MeshBuilder ring;
    const double edges[3][2] = {{78.0, 90.0}, {92.0, 103.0}, {104.5, 112.0}};
    static_assert(112.0 < 0.6 * show::torusRadius, "the ring stays well inside the point torus");
    for (const auto& band : edges) {
        LatheOptions options;
        options.segments = 192;
        options.uRepeat = 8.0;
        // v across the ring from 78 to 112, so that the picture's bands run on over the gaps.
        const double inner = band[0], outer = band[1], h = 0.3;
        options.vOf = [](const ProfilePoint& p) { return (p.radius - 78.0) / (112.0 - 78.0); };
        const std::vector<std::vector<ProfilePoint>> strips =
            hardStrips({{inner, -h}, {outer, -h}, {outer, h}, {inner, h}, {inner, -h}});
        ring.lathe({lean, place.translation}, strips, options);
    }
    assembly.still("Ring", ring, "ring", place.translation);
    return assembly.finish("planet");
}

} // namespace halcyra::tools
