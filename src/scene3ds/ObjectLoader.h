// ObjectLoader: the 3DS reader. One loader reads one file whole into memory and walks its chunks: a model
// file becomes a Model (meshes with their materials and the shadow flags of the companion shadow-info
// file, and the keyframer's object nodes), a camera file a CameraTrack, a light file a LightTrack. An
// object becomes a mesh when its chunk ends, whatever order its lists came in; objects that make no mesh
// are named in one message. Positions arrive Z-up and leave Y-up. A damaged file is reported and what was
// read before the damage is kept; a file that cannot be opened ends the process ("Could not open 3ds file.").
#pragma once

#include "assets/Texture.h"
#include "math/CameraTrack.h"
#include "math/Vec2.h"
#include "math/Vec3.h"
#include "scene3ds/LightTrack.h"
#include "scene3ds/Model.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace halcyra {

// Makes the GL texture of a material map (Engine::uploadTexture), with the given filters.
using TextureUploader = std::function<TextureBinding(Texture&, uint32_t minFilter, uint32_t magFilter)>;

class ObjectLoader {
public:
    static constexpr int maxMaterials = 20;
    static constexpr size_t maxNameLength = 255;
    static constexpr size_t maxMaterialNameLength = 19;

    // Builds `model`, named `name`, from the 3DS file at `path` and its shadow-info file (the path without
    // its four-character extension).
    void loadModel(const char* path, const char* name);
    // Always a track, empty when the file holds no camera, so that track numbers follow the camera list.
    std::unique_ptr<CameraTrack> loadCameraTrack(const char* path);
    std::unique_ptr<LightTrack> loadLightTrack(const char* path);

    std::unique_ptr<Model> model;
    // Without an uploader a mesh gets the registry's binding record of its maps and no GL texture is made.
    TextureUploader uploadTexture;
    // Off, meshes get their tangent frames but no vertex buffers and keep every array on the CPU.
    bool createBuffers = true;

private:
    struct Material {
        std::string name;
        float specular[3] = {0.0f, 0.0f, 0.0f};
        float diffuse[3] = {0.0f, 0.0f, 0.0f};
        std::string textureMap;
        std::string bumpMap;
        bool hasTextureMap = false;
        bool hasBumpMap = false;
        float vScale = 0.0f;
        float uScale = 0.0f;
    };
    struct ShadowInfo {
        std::string name;
        bool castsShadows = false;
        bool receivesShadows = false;
    };
    // One track chunk: frames as read and up to four values per key.
    struct Track {
        std::vector<int32_t> frames;
        std::vector<std::array<float, 4>> values;
    };

    void readImage(const char* path);
    bool hasBytes(size_t count);
    uint8_t readU8();
    uint16_t readU16();
    uint32_t readU32();
    int32_t readI32();
    float readFloat();
    Vec3 readVec3();
    std::string readName(size_t limit, bool lowerCase);
    // The next chunk's header; false at the end of the image.
    bool readHeader(uint16_t& id, uint32_t& length);
    // For a chunk that is entered: notes a length that runs past the image.
    void enter(size_t start, uint32_t length);
    void skip(size_t start, uint32_t length);
    // Whether `count` entries of at least `entryBytes` each can still be read from the image. A count that
    // cannot is damage: the walk ends before anything is allocated for the list, and the damage report
    // says what the list declared.
    bool countFits(int64_t count, size_t entryBytes, const char* list, const char* entries);
    void readTrack(size_t valueCount, Track& track, const char* list);
    void reportDamage();

    // What the walk does with a chunk once its handler has read what it needs.
    enum class Step { Enter, Done, Skip };
    // Reads chunk headers until the end of the image and hands each chunk to `visit`: entered chunks go on
    // with their children, skipped ones are passed whole.
    void walk(Step (ObjectLoader::*visit)(uint16_t id));
    Step modelChunk(uint16_t id);
    Step cameraChunk(uint16_t id);
    Step lightChunk(uint16_t id);

    bool objectComplete() const;
    // At the end of an object's chunk: its mesh when it is complete, else a note for reportLeftOut.
    void finishObject();
    void reportLeftOut();
    void buildMesh();
    void applyMaterial(Mesh& mesh);
    TextureBinding bindMap(const Material& material, bool bump);
    TextureBinding bindTexture(Texture& texture);
    Texture& standIn(bool bump);
    void applyShadowInfo(Mesh& mesh);
    void readShadowInfo(const std::string& modelPath);
    void resetObject();
    void readRotationTrack();
    void buildNode();
    void resetNode();

    std::string path;
    std::vector<uint8_t> image;
    size_t position = 0;
    bool end = false;
    bool damaged = false;
    size_t damageOffset = 0;
    std::string damageDetail;
    size_t chunkEnd = 0; // of the chunk being visited, as its header declares

    // Current object.
    bool objectOpen = false;
    size_t objectEnd = 0;
    std::string objectName;
    bool hasObjectName = false;
    bool hasTriangleMesh = false;
    std::vector<Vec3> vertices;
    std::vector<std::array<uint16_t, 3>> faces;
    std::vector<Vec2> texCoords;
    float localAxes[12] = {};
    std::string groupMaterial;
    bool groupSeen = false;
    std::vector<std::string> leftOut; // objects without a mesh, each with what it lacks

    // Materials.
    std::array<Material, maxMaterials> materials;
    int32_t materialCount = 0;
    int32_t currentMaterial = -1;
    bool colorIsDiffuse = false;
    bool colorRead = false; // the current colour chunk had a float or 24-bit colour
    bool mapIsBump = false;
    bool tooManyMaterials = false;

    // Keyframer object node.
    std::string nodeName;
    uint16_t nodeId = 0;
    uint16_t parentId = 0;
    Vec3 pivot;
    Track positionTrack;
    std::vector<int32_t> rotationFrames;
    std::vector<Quat> rotations;
    Track scaleTrack;

    std::vector<ShadowInfo> shadowInfo;
    bool hasShadowInfo = false;

    // Camera and light files.
    Track eyeTrack;
    Track targetTrack;
    Track rollTrack;
    bool targetSelected = false;
    Track lightTrack;
};

} // namespace halcyra
