// The 3DS writer: model files (materials with texture and bump maps, triangle meshes with local axes,
// texture coordinates and material groups, keyframer object nodes with position, rotation and scale
// tracks), camera files (eye, target and roll tracks), light files (a position track) and the shadow-info
// text beside each model. Values are given in the file's Z-up axes; the helpers below convert from the
// show's Y-up axes. Used by the content generator and by the reader's tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace halcyra::tools {

using Float3 = std::array<float, 3>;

// Inverses of the reader's conversions: a position (x, y, z) of the show is (x, −z, y) in the file, and a
// rotation axis (x, y, z) of the show is (−x, z, −y).
Float3 fileFromShowPosition(Float3 show);
Float3 fileFromShowAxis(Float3 show);

// Little-endian chunk assembly: open a chunk, write its fields and child chunks, close it; closing fills
// in the length, header included.
class ChunkWriter {
public:
    void open(uint16_t id);
    void close();
    void u8(uint8_t value);
    void u16(uint16_t value);
    void u32(uint32_t value);
    void i32(int32_t value);
    void f32(float value);
    void float3(const Float3& value);
    // The characters, then a NUL.
    void text(const std::string& value);
    // Every chunk must be closed first.
    std::vector<uint8_t> take();

private:
    std::vector<uint8_t> bytes;
    std::vector<size_t> openChunks;
};

// Spline parameters of a key: bit i of `flags` (0 tension, 1 continuity, 2 bias, 3 ease to, 4 ease from)
// writes values[i]. The reader drops them.
struct Spline3ds {
    uint16_t flags = 0;
    std::array<float, 5> values{};
};

struct PositionKey3ds {
    int32_t frame = 0;
    Float3 position{};
    Spline3ds spline;
};

// Relative to the key before: the reader composes them.
struct RotationKey3ds {
    int32_t frame = 0;
    float angle = 0.0f; // radians
    Float3 axis{0.0f, 0.0f, 1.0f};
    Spline3ds spline;
};

struct ScaleKey3ds {
    int32_t frame = 0;
    Float3 scale{1.0f, 1.0f, 1.0f};
    Spline3ds spline;
};

struct RollKey3ds {
    int32_t frame = 0;
    float degrees = 0.0f;
    Spline3ds spline;
};

struct Color3ds {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

struct Material3ds {
    std::string name;
    Color3ds diffuse{200, 200, 200};
    Color3ds specular{255, 255, 255};
    std::string textureMap; // file name as registered with the textures; empty: no map
    std::string bumpMap;    // empty: no map
    float uScale = 1.0f;
    float vScale = 1.0f;
};

struct MaterialGroup3ds {
    std::string material;
    std::vector<uint16_t> faces;
};

struct Object3ds {
    std::string name;
    std::vector<Float3> vertices; // the file stores world positions; the reader subtracts the origin
    std::vector<std::array<float, 2>> texCoords; // empty: no texture-coordinate chunk
    std::vector<std::array<uint16_t, 3>> faces;  // counter-clockwise seen from the front
    std::array<float, 12> localAxes{1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};
    std::vector<MaterialGroup3ds> groups; // empty: no material group chunk

    void setOrigin(const Float3& origin);
};

// Node i of a model animates its mesh i. All three tracks are always written; reading the scale track
// completes a node.
struct ObjectNode3ds {
    std::string name;
    uint16_t nodeId = 0;
    uint16_t parentId = 0xFFFF;
    Float3 pivot{};
    std::vector<PositionKey3ds> position;
    std::vector<RotationKey3ds> rotation;
    std::vector<ScaleKey3ds> scale;
};

struct Model3ds {
    std::vector<Material3ds> materials;
    std::vector<Object3ds> objects;
    std::vector<ObjectNode3ds> nodes;
};

struct CameraFile3ds {
    std::string name = "Camera01";
    std::vector<PositionKey3ds> eye;
    std::vector<PositionKey3ds> target;
    std::vector<RollKey3ds> roll;
    float fieldOfView = 45.0f; // degrees; written as a track the reader skips
};

struct LightFile3ds {
    std::string name = "Light01";
    std::vector<PositionKey3ds> position;
};

struct ShadowInfo3ds {
    std::string object;
    bool castsShadows = true;
    bool receivesShadows = true;
};

std::vector<uint8_t> writeModel3ds(const Model3ds& model);
std::vector<uint8_t> writeCamera3ds(const CameraFile3ds& camera);
std::vector<uint8_t> writeLight3ds(const LightFile3ds& light);
// The count, then one "name casts receives" line per object.
std::string writeShadowInfo(const std::vector<ShadowInfo3ds>& entries);
// Where the reader looks for a model's shadow info: its path without the four-character extension.
std::string shadowInfoPath(const std::string& modelPath);

// Writes bytes or text to a file; false when it cannot be written completely.
bool saveFile3ds(const std::string& path, const std::vector<uint8_t>& bytes);
bool saveFile3ds(const std::string& path, const std::string& text);

} // namespace halcyra::tools
