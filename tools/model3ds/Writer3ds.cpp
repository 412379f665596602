#include "Writer3ds.h"

#include "scene3ds/Chunks3ds.h"

#include <cstring>
#include <fstream>

namespace halcyra::tools {

Float3 fileFromShowPosition(Float3 show) {
    return {show[0], -show[2], show[1]};
}

Float3 fileFromShowAxis(Float3 show) {
    return {-show[0], show[2], -show[1]};
}

void ChunkWriter::open(uint16_t id) {
    openChunks.push_back(bytes.size());
    u16(id);
    u32(0); // filled in by close()
}

void ChunkWriter::close() {
    if (openChunks.empty())
        return;
    const size_t start = openChunks.back();
    openChunks.pop_back();
    const uint32_t length = static_cast<uint32_t>(bytes.size() - start);
    for (size_t i = 0; i < 4; ++i)
        bytes[start + 2 + i] = static_cast<uint8_t>(length >> (8 * i));
}

void ChunkWriter::u8(uint8_t value) {
    bytes.push_back(value);
}

void ChunkWriter::u16(uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void ChunkWriter::u32(uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void ChunkWriter::i32(int32_t value) {
    u32(static_cast<uint32_t>(value));
}

void ChunkWriter::f32(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    u32(bits);
}

void ChunkWriter::float3(const Float3& value) {
    for (float component : value)
        f32(component);
}

void ChunkWriter::text(const std::string& value) {
    bytes.insert(bytes.end(), value.begin(), value.end());
    bytes.push_back(0);
}

std::vector<uint8_t> ChunkWriter::take() {
    while (!openChunks.empty())
        close();
    return std::move(bytes);
}

void Object3ds::setOrigin(const Float3& origin) {
    localAxes[9] = origin[0];
    localAxes[10] = origin[1];
    localAxes[11] = origin[2];
}

namespace {

void leaf(ChunkWriter& out, uint16_t id, auto&& fields) {
    out.open(id);
    fields();
    out.close();
}

void color(ChunkWriter& out, uint16_t id, const Color3ds& c) {
    out.open(id);
    leaf(out, chunk3ds::byteColour, [&] {
        out.u8(c.r);
        out.u8(c.g);
        out.u8(c.b);
    });
    out.close();
}

void map(ChunkWriter& out, uint16_t id, const std::string& fileName, const Material3ds& material) {
    out.open(id);
    leaf(out, chunk3ds::percent, [&] { out.u16(100); }); // strength in percent
    leaf(out, chunk3ds::mapFileName, [&] { out.text(fileName); });
    leaf(out, chunk3ds::mapUScale, [&] { out.f32(material.uScale); });
    leaf(out, chunk3ds::mapVScale, [&] { out.f32(material.vScale); });
    out.close();
}

// Track header, then per key: frame, spline flags and their values, then `value` writes the key's own.
template <typename Key, typename Value>
void track(ChunkWriter& out, uint16_t id, const std::vector<Key>& keys, Value&& value) {
    out.open(id);
    out.u16(0); // flags
    out.u32(0); // two words the reader does not use
    out.u32(0);
    out.u32(static_cast<uint32_t>(keys.size()));
    for (const Key& key : keys) {
        out.i32(key.frame);
        out.u16(key.spline.flags);
        for (int bit = 0; bit < 5; ++bit)
            if (key.spline.flags & (1u << bit))
                out.f32(key.spline.values[static_cast<size_t>(bit)]);
        value(key);
    }
    out.close();
}

void positionTrack(ChunkWriter& out, const std::vector<PositionKey3ds>& keys) {
    track(out, chunk3ds::positionTrack, keys, [&](const PositionKey3ds& key) { out.float3(key.position); });
}

void nodeHeader(ChunkWriter& out, uint16_t nodeId, const std::string& name, uint16_t parentId) {
    leaf(out, chunk3ds::nodeId, [&] { out.u16(nodeId); });
    leaf(out, chunk3ds::nodeHeader, [&] {
        out.text(name);
        out.u16(0x4000); // flags
        out.u16(0);
        out.u16(parentId);
    });
}

void fileStart(ChunkWriter& out) {
    out.open(chunk3ds::main);
    leaf(out, chunk3ds::fileVersion, [&] { out.u32(3); }); // file version
    out.open(chunk3ds::editor);
    leaf(out, chunk3ds::meshVersion, [&] { out.u32(3); }); // mesh version
}

void material(ChunkWriter& out, const Material3ds& m) {
    out.open(chunk3ds::material);
    leaf(out, chunk3ds::materialName, [&] { out.text(m.name); });
    color(out, chunk3ds::ambientColour, m.diffuse); // ambient
    color(out, chunk3ds::diffuseColour, m.diffuse);
    color(out, chunk3ds::specularColour, m.specular);
    if (!m.textureMap.empty())
        map(out, chunk3ds::textureMap, m.textureMap, m);
    if (!m.bumpMap.empty())
        map(out, chunk3ds::bumpMap, m.bumpMap, m);
    out.close();
}

void object(ChunkWriter& out, const Object3ds& o) {
    out.open(chunk3ds::namedObject);
    out.text(o.name);
    out.open(chunk3ds::triangleMesh);
    leaf(out, chunk3ds::vertexList, [&] {
        out.u16(static_cast<uint16_t>(o.vertices.size()));
        for (const Float3& v : o.vertices)
            out.float3(v);
    });
    if (!o.texCoords.empty()) {
        leaf(out, chunk3ds::textureCoordinates, [&] {
            out.u16(static_cast<uint16_t>(o.texCoords.size()));
            for (const auto& uv : o.texCoords) {
                out.f32(uv[0]);
                out.f32(uv[1]);
            }
        });
    }
    leaf(out, chunk3ds::localAxes, [&] {
        for (float value : o.localAxes)
            out.f32(value);
    });
    out.open(chunk3ds::faceList);
    out.u16(static_cast<uint16_t>(o.faces.size()));
    for (const auto& face : o.faces) {
        out.u16(face[0]);
        out.u16(face[1]);
        out.u16(face[2]);
        out.u16(7); // edge visibility flags
    }
    for (const MaterialGroup3ds& group : o.groups) {
        leaf(out, chunk3ds::faceMaterial, [&] {
            out.text(group.material);
            out.u16(static_cast<uint16_t>(group.faces.size()));
            for (uint16_t face : group.faces)
                out.u16(face);
        });
    }
    leaf(out, chunk3ds::smoothingGroups, [&] { // smoothing groups
        for (size_t i = 0; i < o.faces.size(); ++i)
            out.u32(1);
    });
    out.close(); // face list
    out.close(); // triangle mesh
    out.close(); // named object
}

void node(ChunkWriter& out, const ObjectNode3ds& n) {
    out.open(chunk3ds::objectNode);
    nodeHeader(out, n.nodeId, n.name, n.parentId);
    leaf(out, chunk3ds::pivot, [&] { out.float3(n.pivot); });
    positionTrack(out, n.position);
    track(out, chunk3ds::rotationTrack, n.rotation, [&](const RotationKey3ds& key) {
        out.f32(key.angle);
        out.float3(key.axis);
    });
    track(out, chunk3ds::scaleTrack, n.scale, [&](const ScaleKey3ds& key) { out.float3(key.scale); });
    out.close();
}

void keyframerHeader(ChunkWriter& out, const std::string& name, int32_t frames) {
    out.open(chunk3ds::keyframer);
    leaf(out, chunk3ds::keyframerHeader, [&] { // keyframer header: revision, name, length in frames
        out.u16(5);
        out.text(name);
        out.i32(frames);
    });
}

} // namespace

std::vector<uint8_t> writeModel3ds(const Model3ds& model) {
    ChunkWriter out;
    fileStart(out);
    for (const Material3ds& m : model.materials)
        material(out, m);
    leaf(out, chunk3ds::masterScale, [&] { out.f32(1.0f); }); // master scale
    for (const Object3ds& o : model.objects)
        object(out, o);
    out.close(); // 3D editor
    keyframerHeader(out, "MAXSCENE", 100);
    for (const ObjectNode3ds& n : model.nodes)
        node(out, n);
    out.close(); // keyframer
    out.close(); // main
    return out.take();
}

std::vector<uint8_t> writeCamera3ds(const CameraFile3ds& camera) {
    ChunkWriter out;
    fileStart(out);
    out.open(chunk3ds::namedObject);
    out.text(camera.name);
    leaf(out, chunk3ds::camera, [&] { // camera: position, target, bank angle, lens
        out.float3(camera.eye.empty() ? Float3{} : camera.eye.front().position);
        out.float3(camera.target.empty() ? Float3{} : camera.target.front().position);
        out.f32(0.0f);
        out.f32(50.0f);
    });
    out.close();
    out.close(); // 3D editor
    keyframerHeader(out, "MAXSCENE", 100);
    out.open(chunk3ds::cameraNode);
    nodeHeader(out, 0, camera.name, 0xFFFF);
    positionTrack(out, camera.eye);
    const std::vector<RollKey3ds> fov{{0, camera.fieldOfView, {}}};
    track(out, chunk3ds::fovTrack, fov, [&](const RollKey3ds& key) { out.f32(key.degrees); });
    track(out, chunk3ds::rollTrack, camera.roll, [&](const RollKey3ds& key) { out.f32(key.degrees); });
    out.close();
    out.open(chunk3ds::targetNode);
    nodeHeader(out, 1, camera.name, 0xFFFF);
    positionTrack(out, camera.target);
    out.close();
    out.close(); // keyframer
    out.close(); // main
    return out.take();
}

std::vector<uint8_t> writeLight3ds(const LightFile3ds& light) {
    ChunkWriter out;
    fileStart(out);
    out.open(chunk3ds::namedObject);
    out.text(light.name);
    leaf(out, chunk3ds::light, [&] { // light: position
        out.float3(light.position.empty() ? Float3{} : light.position.front().position);
    });
    out.close();
    out.close(); // 3D editor
    keyframerHeader(out, "MAXSCENE", 100);
    out.open(chunk3ds::lightNode);
    nodeHeader(out, 0, light.name, 0xFFFF);
    positionTrack(out, light.position);
    out.close();
    out.close(); // keyframer
    out.close(); // main
    return out.take();
}

std::string writeShadowInfo(const std::vector<ShadowInfo3ds>& entries) {
    std::string text = std::to_string(entries.size()) + "\n";
    for (const ShadowInfo3ds& entry : entries)
        text += entry.object + " " + (entry.castsShadows ? "1" : "0") + " " +
                (entry.receivesShadows ? "1" : "0") + "\n";
    return text;
}

std::string shadowInfoPath(const std::string& modelPath) {
    return modelPath.size() >= 4 ? modelPath.substr(0, modelPath.size() - 4) : std::string();
}

bool saveFile3ds(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

bool saveFile3ds(const std::string& path, const std::string& text) {
    return saveFile3ds(path, std::vector<uint8_t>(text.begin(), text.end()));
}

} // namespace halcyra::tools
