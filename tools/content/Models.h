// The production's 3DS content: the eight models the scenes look up (each with its shadow-info entries),
// the five camera paths in the order the scenes number their tracks, and the light file. Everything is
// built from code with fixed numbers, so two runs give the same bytes. Models are assembled part by part:
// every part is one object with one material and one keyframe node, in the same order.
#pragma once

#include "Keyframes.h"
#include "MeshBuilder.h"
#include "Writer3ds.h"

#include <functional>
#include <string>
#include <vector>

namespace halcyra::tools {

struct ModelFile {
    std::string name; // as the scenes look it up; written as models/<name>.3ds
    Model3ds model;
    std::vector<ShadowInfo3ds> shadows;
};

struct CameraPathFile {
    std::string name; // written as models/<name>.3ds
    CameraFile3ds camera;
};

struct LightPathFile {
    std::string name;
    LightFile3ds light;
};

// In models/models order.
std::vector<ModelFile> productionModels();
// In models/cameras order: track 0 metaballs, 1 water, 2 cube rain, 3 planet, 4 credits.
std::vector<CameraPathFile> productionCameras();
std::vector<LightPathFile> productionLights();

// The models one by one (productionModels() lists them).
ModelFile creditsModel();
ModelFile helpersModel();
ModelFile mixmax1Model();
ModelFile mixmaxtrModel();
ModelFile mixmax2Model();
ModelFile mixmax2tModel();
ModelFile mixmax3Model();
ModelFile planetModel();

// The surfaces the models share. Map names are the names the textures register under: pictures in the
// packet without their extension, listed pictures with it.
Material3ds steelMaterial();
Material3ds floorMaterial();
Material3ds tealMaterial();
Material3ds glowMaterial();
Material3ds lampMaterial();

// Collects a model's objects, nodes and shadow entries in step.
class ModelAssembly {
public:
    explicit ModelAssembly(std::vector<Material3ds> materials);

    // A part that never moves; its node turns it about `origin` by nothing.
    void still(const std::string& name, const MeshBuilder& mesh, const std::string& material,
               const Vec3d& origin, bool casts = true, bool receives = true);
    // A part built in place at `rest` (its origin there, turned by rest's orientation) whose node moves it
    // to poseAt(ms) in each of `frames` frames.
    void animated(const std::string& name, const MeshBuilder& mesh, const std::string& material,
                  const Pose& rest, int frames, const std::function<Pose(double ms)>& poseAt,
                  bool casts = true, bool receives = true);

    ModelFile finish(const std::string& modelName);

private:
    Model3ds model;
    std::vector<ShadowInfo3ds> shadows;
};

} // namespace halcyra::tools
