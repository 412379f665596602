#include "Models.h"

namespace halcyra::tools {
namespace {

Material3ds material(const std::string& name, const std::string& texture, const std::string& bump,
                     Color3ds specular) {
    Material3ds m;
    m.name = name;
    m.textureMap = texture;
    m.bumpMap = bump;
    m.specular = specular;
    return m;
}

} // namespace

Material3ds steelMaterial() {
    return material("steel", "steel", "steel_n", {90, 98, 108});
}

Material3ds floorMaterial() {
    return material("floor", "floor", "steel_n", {110, 118, 128});
}

Material3ds tealMaterial() {
    return material("teal", "teal", "teal_n", {150, 220, 235});
}

Material3ds glowMaterial() {
    return material("glow", "glow", "flat_n", {255, 255, 255});
}

Material3ds lampMaterial() {
    return material("lamp", "lamp", "flat_n", {255, 230, 200});
}

ModelAssembly::ModelAssembly(std::vector<Material3ds> materials) {
    model.materials = std::move(materials);
}

void ModelAssembly::still(const std::string& name, const MeshBuilder& mesh, const std::string& material,
                          const Vec3d& origin, bool casts, bool receives) {
    const auto id = static_cast<uint16_t>(model.nodes.size());
    model.objects.push_back(mesh.object(name, material, origin));
    model.nodes.push_back(stillNode(name, id, Pose{origin, {}, 1.0}));
    shadows.push_back({name, casts, receives});
}

void ModelAssembly::animated(const std::string& name, const MeshBuilder& mesh, const std::string& material,
                             const Pose& rest, int frames, const std::function<Pose(double ms)>& poseAt,
                             bool casts, bool receives) {
    const auto id = static_cast<uint16_t>(model.nodes.size());
    model.objects.push_back(mesh.object(name, material, rest.position));
    // The mesh is stored already turned by the rest orientation; each key turns it on from there.
    const Quatd undoRest = rest.orientation.conjugate();
    model.nodes.push_back(animatedNode(name, id, frames, [&](double ms) {
        Pose pose = poseAt(ms);
        pose.orientation = pose.orientation * undoRest;
        return pose;
    }));
    shadows.push_back({name, casts, receives});
}

ModelFile ModelAssembly::finish(const std::string& modelName) {
    return {modelName, std::move(model), std::move(shadows)};
}

std::vector<ModelFile> productionModels() {
    std::vector<ModelFile> models;
    models.push_back(creditsModel());
    models.push_back(helpersModel());
    models.push_back(mixmax1Model());
    models.push_back(mixmaxtrModel());
    models.push_back(mixmax2Model());
    models.push_back(mixmax2tModel());
    models.push_back(mixmax3Model());
    models.push_back(planetModel());
    return models;
}

} // namespace halcyra::tools
