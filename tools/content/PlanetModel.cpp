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

    // The ring is one thin sheet across all its bands; its picture draws the lanes between them, which the
    // texture's filtering keeps smooth at any distance where cut edges would show as stair-stepped lines.
    MeshBuilder ring;
    static_assert(show::ringOuter < 0.6 * show::torusRadius, "the ring stays well inside the point torus");
    LatheOptions options;
    options.segments = 192;
    options.uRepeat = 8.0;
    options.vOf = [](const ProfilePoint& p) {
        return (p.radius - show::ringInner) / (show::ringOuter - show::ringInner);
    };
    const double inner = show::ringInner, outer = show::ringOuter, h = 0.3;
    ring.lathe({lean, place.translation},
               hardStrips({{inner, -h}, {outer, -h}, {outer, h}, {inner, h}, {inner, -h}}), options);
    assembly.still("Ring", ring, "ring", place.translation);
    return assembly.finish("planet");
}

} // namespace halcyra::tools
