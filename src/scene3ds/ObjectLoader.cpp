#include "scene3ds/ObjectLoader.h"

#include "scene3ds/Chunks3ds.h"

#include "assets/TextureManager.h"
#include "core/Message.h"
#include "core/Platform.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

namespace halcyra {
namespace {

constexpr const char* loaderCaption = "3ds loader";
constexpr float fullTurn = 6.2831855f;
constexpr int32_t msPerKeyframe = 40;

// Z-up file axes to the show's Y-up axes.
Vec3 toShowAxes(Vec3 v) {
    return {v.x, v.z, -v.y};
}

Vec3 rotationAxisToShowAxes(Vec3 v) {
    return {-v.x, -v.z, v.y};
}

Vec3 vec3Of(const std::array<float, 4>& values) {
    return {values[0], values[1], values[2]};
}

// Keyframe number to milliseconds, held within int32 for damaged frame numbers.
int32_t keyframeTime(int32_t frame) {
    const int64_t time = int64_t(frame) * msPerKeyframe;
    return static_cast<int32_t>(
        std::clamp<int64_t>(time, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void warn(const std::string& text) {
    showMessage(text, loaderCaption, MessageIcon::Warning);
}

// A colour channel of a float colour chunk, held to 0 … 1 as the byte colours are.
float unitChannel(float value) {
    return value >= 0.0f ? std::min(value, 1.0f) : 0.0f;
}

// Names a file cannot give a stand-in: material and map names are lower-cased as they are read.
constexpr const char* greyStandInName = "Stand-in: neutral grey";
constexpr const char* flatBumpStandInName = "Stand-in: flat bump";

} // namespace

// ---- File image and primitives ----

void ObjectLoader::readImage(const char* filePath) {
    path = filePath != nullptr ? filePath : "";
    std::error_code error;
    std::ifstream in;
    const std::string file = dataFilePath(path);
    if (!std::filesystem::is_directory(file, error))
        in.open(file, std::ios::binary);
    if (!in.is_open())
        fatalError("Could not open 3ds file.", "ERROR", MessageIcon::Plain);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) {
        image.resize(static_cast<size_t>(size));
        in.read(reinterpret_cast<char*>(image.data()), size);
        image.resize(static_cast<size_t>(in.gcount()));
    }
    position = 0;
    end = false;
}

bool ObjectLoader::hasBytes(size_t count) {
    if (count <= image.size() - position)
        return true;
    end = true;
    if (!damaged) {
        damaged = true;
        damageOffset = position;
    }
    return false;
}

uint8_t ObjectLoader::readU8() {
    if (!hasBytes(1))
        return 0;
    return image[position++];
}

uint16_t ObjectLoader::readU16() {
    if (!hasBytes(2))
        return 0;
    const uint16_t value = static_cast<uint16_t>(image[position] | (image[position + 1] << 8));
    position += 2;
    return value;
}

uint32_t ObjectLoader::readU32() {
    if (!hasBytes(4))
        return 0;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | image[position + static_cast<size_t>(i)];
    position += 4;
    return value;
}

int32_t ObjectLoader::readI32() {
    return static_cast<int32_t>(readU32());
}

float ObjectLoader::readFloat() {
    const uint32_t bits = readU32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Vec3 ObjectLoader::readVec3() {
    const float x = readFloat();
    const float y = readFloat();
    const float z = readFloat();
    return {x, y, z};
}

std::string ObjectLoader::readName(size_t limit, bool lowerCase) {
    std::string name;
    while (hasBytes(1)) {
        char c = static_cast<char>(image[position++]);
        if (c == '\0')
            break;
        if (lowerCase && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        // Longer names are cut; the rest of the name is still consumed so the walk stays aligned.
        if (name.size() < limit)
            name.push_back(c);
    }
    return name;
}

bool ObjectLoader::readHeader(uint16_t& id, uint32_t& length) {
    if (position == image.size()) {
        end = true;
        return false;
    }
    const size_t start = position;
    id = readU16();
    length = readU32();
    if (end)
        return false;
    if (length < 6) {
        warn("3ds file \"" + path + "\" has a chunk shorter than its own header at byte " +
             std::to_string(start) + "; the rest of the file is ignored.");
        end = true;
        return false;
    }
    return true;
}

void ObjectLoader::enter(size_t start, uint32_t length) {
    if (length > image.size() - start && !damaged) {
        damaged = true;
        damageOffset = image.size();
    }
}

void ObjectLoader::skip(size_t start, uint32_t length) {
    if (length > image.size() - start) {
        hasBytes(image.size() - position + 1);
        return;
    }
    position = start + length;
}

bool ObjectLoader::countFits(int64_t count, size_t entryBytes, const char* list, const char* entries) {
    const size_t left = image.size() - position;
    if (count >= 0 && static_cast<uint64_t>(count) <= left / entryBytes)
        return true;
    if (!damaged) {
        damageDetail = std::string(list) + " declares " + std::to_string(count) + " " + entries;
        if (count >= 0)
            damageDetail += " but only " + std::to_string(left) + " bytes are left";
    }
    hasBytes(left + 1);
    return false;
}

void ObjectLoader::readTrack(size_t valueCount, Track& track, const char* list) {
    track = Track{};
    readU16(); // track flags
    readU32(); // two words that are not used
    readU32();
    const int32_t count = readI32();
    if (end)
        return;
    // Even a key without spline values needs its frame, its flags and its value.
    if (!countFits(count, 4 + 2 + 4 * valueCount, list, "keys"))
        return;
    track.frames.assign(static_cast<size_t>(count), 0);
    track.values.assign(static_cast<size_t>(count), std::array<float, 4>{});
    for (size_t i = 0; i < track.frames.size() && !end; ++i) {
        track.frames[i] = readI32();
        const uint16_t splineFlags = readU16();
        for (int bit = 0; bit < 5; ++bit)
            if (splineFlags & (1u << bit))
                readFloat(); // tension, continuity, bias, ease to, ease from: not used
        for (size_t k = 0; k < valueCount; ++k)
            track.values[i][k] = readFloat();
    }
}

void ObjectLoader::reportDamage() {
    if (!damaged)
        return;
    const std::string detail = damageDetail.empty() ? "" : " (" + damageDetail + ")";
    warn("3ds file \"" + path + "\" is damaged or cut short at byte " + std::to_string(damageOffset) +
         detail + "; what comes before it is used.");
}

void ObjectLoader::walk(Step (ObjectLoader::*visit)(uint16_t id)) {
    if (image.empty()) {
        warn("ObjectLoader: BufferSize = 0!");
        return;
    }
    while (!end) {
        const size_t start = position;
        uint16_t id = 0;
        uint32_t length = 0;
        // An object (only model files have them) becomes a mesh once its chunk is over: exporters write
        // its lists and local axes in any order.
        if (objectOpen && start >= objectEnd)
            finishObject();
        if (!readHeader(id, length))
            break;
        chunkEnd = start + length;
        const Step step = (this->*visit)(id);
        if (step == Step::Enter)
            enter(start, length);
        else if (step == Step::Skip)
            skip(start, length);
    }
    // The file ends with the last object's chunk, or inside it; an object the damage cut into is not used.
    if (objectOpen && (!damaged || damageOffset >= objectEnd))
        finishObject();
    resetObject();
    reportDamage();
}

// ---- Model files ----

void ObjectLoader::loadModel(const char* filePath, const char* name) {
    readImage(filePath);
    readShadowInfo(path);
    model = std::make_unique<Model>(name != nullptr ? name : "");
    walk(&ObjectLoader::modelChunk);
    reportLeftOut();
    image = {};
    shadowInfo = {};
}

ObjectLoader::Step ObjectLoader::modelChunk(uint16_t id) {
    Material* material = currentMaterial >= 0 ? &materials[static_cast<size_t>(currentMaterial)] : nullptr;
    switch (id) {
    case chunk3ds::main:      // main
    case chunk3ds::editor:    // 3D editor
    case chunk3ds::keyframer: // keyframer
        return Step::Enter;
    case chunk3ds::objectNode: // object node
        resetNode();
        return Step::Enter;
    case chunk3ds::namedObject: // named object
        // A new object never inherits what an earlier, incomplete one left behind.
        if (objectOpen)
            finishObject();
        resetObject();
        objectOpen = true;
        objectEnd = chunkEnd;
        objectName = readName(maxNameLength, false);
        hasObjectName = !end;
        return Step::Enter;
    case chunk3ds::triangleMesh: // triangle mesh
        hasTriangleMesh = true;
        groupSeen = false;
        return Step::Enter;
    case chunk3ds::vertexList: { // vertex list
        const uint16_t count = readU16();
        if (end || !countFits(count, 12, "its vertex list", "vertices"))
            return Step::Done;
        vertices.assign(count, Vec3{});
        for (size_t i = 0; i < vertices.size() && !end; ++i)
            vertices[i] = readVec3();
        return Step::Done;
    }
    case chunk3ds::faceList: { // face list; its children follow
        const uint16_t count = readU16();
        if (end || !countFits(count, 8, "its face list", "faces"))
            return Step::Done;
        faces.assign(count, std::array<uint16_t, 3>{});
        for (size_t i = 0; i < faces.size() && !end; ++i) {
            faces[i] = {readU16(), readU16(), readU16()};
            readU16(); // face flags
        }
        return Step::Enter;
    }
    case chunk3ds::faceMaterial: // face material group: the object's first one gives its material
        if (groupSeen)
            return Step::Skip;
        groupMaterial = readName(maxMaterialNameLength, true);
        for (int32_t i = 0, count = readU16(); i < count && !end; ++i)
            readU16(); // face index: every face takes the first group's material
        groupSeen = true;
        return Step::Done;
    case chunk3ds::textureCoordinates: { // texture coordinates
        const uint16_t count = readU16();
        if (end || !countFits(count, 8, "its texture-coordinate list", "coordinates"))
            return Step::Done;
        texCoords.assign(count, Vec2{});
        for (size_t i = 0; i < texCoords.size() && !end; ++i) {
            texCoords[i].x = readFloat();
            texCoords[i].y = readFloat();
        }
        return Step::Done;
    }
    case chunk3ds::localAxes: // local axes: X, Y, Z, origin
        for (float& value : localAxes)
            value = readFloat();
        return Step::Done;
    case chunk3ds::material: // material entry
        if (materialCount < maxMaterials) {
            currentMaterial = materialCount++;
        } else {
            if (!tooManyMaterials)
                warn("3ds file \"" + path + "\" has more than 20 materials; the rest are ignored.");
            tooManyMaterials = true;
            currentMaterial = -1;
        }
        return Step::Enter;
    case chunk3ds::materialName: { // material name
        const std::string materialName = readName(maxMaterialNameLength, true);
        if (material != nullptr)
            material->name = materialName;
        return Step::Done;
    }
    case chunk3ds::diffuseColour: // diffuse colour
        colorIsDiffuse = true;
        colorRead = false;
        return Step::Enter;
    case chunk3ds::specularColour: // specular colour
        colorIsDiffuse = false;
        colorRead = false;
        return Step::Enter;
    case chunk3ds::floatColour:         // float colour
    case chunk3ds::byteColour:          // 24-bit colour
    case chunk3ds::linearFloatColour: { // linear float colour: used when the colour has no other form
        float rgb[3];
        for (float& channel : rgb)
            channel = id == chunk3ds::byteColour ? static_cast<float>(readU8()) * 0.003921569f
                                                 : unitChannel(readFloat());
        if (material != nullptr && (id != chunk3ds::linearFloatColour || !colorRead))
            std::copy(rgb, rgb + 3, colorIsDiffuse ? material->diffuse : material->specular);
        colorRead = colorRead || id != chunk3ds::linearFloatColour;
        return Step::Done;
    }
    case chunk3ds::textureMap: // texture map
        mapIsBump = false;
        return Step::Enter;
    case chunk3ds::bumpMap: // bump map
        mapIsBump = true;
        return Step::Enter;
    case chunk3ds::mapFileName: { // map file name
        const std::string fileName = readName(maxMaterialNameLength, true);
        if (material != nullptr) {
            (mapIsBump ? material->bumpMap : material->textureMap) = fileName;
            (mapIsBump ? material->hasBumpMap : material->hasTextureMap) = true;
        }
        return Step::Done;
    }
    case chunk3ds::mapUScale: { // map U scale
        const float scale = readFloat();
        if (material != nullptr)
            material->uScale = scale;
        return Step::Done;
    }
    case chunk3ds::mapVScale: { // map V scale
        const float scale = readFloat();
        if (material != nullptr)
            material->vScale = scale;
        return Step::Done;
    }
    case chunk3ds::nodeHeader: // node header
        nodeName = readName(maxNameLength, false);
        readU16(); // flags
        readU16();
        parentId = readU16();
        return Step::Done;
    case chunk3ds::pivot: // pivot
        pivot = toShowAxes(readVec3());
        return Step::Done;
    case chunk3ds::positionTrack: // position track
        readTrack(3, positionTrack, "a position track");
        return Step::Done;
    case chunk3ds::rotationTrack: // rotation track
        readRotationTrack();
        return Step::Done;
    case chunk3ds::scaleTrack: // scale track: completes the node
        readTrack(3, scaleTrack, "a scale track");
        buildNode();
        return Step::Done;
    case chunk3ds::nodeId: // node ID
        nodeId = readU16();
        return Step::Done;
    default:
        return Step::Skip;
    }
}

bool ObjectLoader::objectComplete() const {
    return hasObjectName && !vertices.empty() && !faces.empty() && !texCoords.empty() && groupSeen;
}

void ObjectLoader::finishObject() {
    if (objectComplete()) {
        buildMesh();
    } else if (hasObjectName && hasTriangleMesh) {
        std::string missing;
        const std::pair<bool, const char*> parts[] = {{vertices.empty(), "no vertices"},
                                                      {faces.empty(), "no faces"},
                                                      {texCoords.empty(), "no texture coordinates"},
                                                      {!groupSeen, "no material group"}};
        for (const auto& [absent, what] : parts)
            if (absent)
                missing += (missing.empty() ? "" : ", ") + std::string(what);
        leftOut.push_back("\"" + objectName + "\" (" + missing + ")");
    }
    resetObject();
}

void ObjectLoader::reportLeftOut() {
    if (leftOut.empty())
        return;
    std::string names;
    for (const std::string& object : leftOut)
        names += (names.empty() ? "" : ", ") + object;
    warn("3ds file \"" + path + "\" has objects that are left out: " + names + ".");
}

void ObjectLoader::buildMesh() {
    const size_t vertexCount = vertices.size();
    for (const auto& face : faces) {
        if (face[0] >= vertexCount || face[1] >= vertexCount || face[2] >= vertexCount) {
            warn("3ds object \"" + objectName +
                 "\" has faces with vertices it does not have; it is left out.");
            resetObject();
            return;
        }
    }
    if (texCoords.size() != vertexCount)
        warn("3ds object \"" + objectName + "\" has " + std::to_string(texCoords.size()) +
             " texture coordinates for " + std::to_string(vertexCount) +
             " vertices; the missing ones are (0, 0).");

    auto mesh = std::make_unique<Mesh>(objectName);
    mesh->allocate(static_cast<int32_t>(vertexCount), static_cast<int32_t>(faces.size()));
    mesh->origin = toShowAxes({localAxes[9], localAxes[10], localAxes[11]});
    for (size_t i = 0; i < vertexCount; ++i) {
        mesh->positions[i] = Vec3::sub(toShowAxes(vertices[i]), mesh->origin);
        if (i < texCoords.size())
            mesh->texCoords[i] = texCoords[i];
    }
    for (size_t f = 0; f < faces.size(); ++f)
        for (size_t k = 0; k < 3; ++k)
            mesh->indices[3 * f + k] = faces[f][k];
    if (createBuffers)
        mesh->finalize();
    else
        mesh->computeTangentSpace();
    applyMaterial(*mesh);
    applyShadowInfo(*mesh);
    model->meshes.append(std::move(mesh));
    ++model->meshCount;
    resetObject();
}

void ObjectLoader::applyMaterial(Mesh& mesh) {
    const Material* found = nullptr;
    for (int32_t i = 0; i < materialCount && found == nullptr; ++i)
        if (materials[static_cast<size_t>(i)].name == groupMaterial)
            found = &materials[static_cast<size_t>(i)];
    MeshMaterial& material = *mesh.material;
    if (found == nullptr) {
        warn("material not found");
        material.bump = bindTexture(standIn(true));
        material.texture = bindTexture(standIn(false));
    } else {
        material.bump = bindMap(*found, true);
        material.texture = bindMap(*found, false);
        std::copy(found->specular, found->specular + 3, material.specular);
    }
    material.mapCount = 2;
    material.shininess = 64.0f;
    material.fromFile = true;
}

TextureBinding ObjectLoader::bindMap(const Material& material, bool bump) {
    const bool named = bump ? material.hasBumpMap : material.hasTextureMap;
    Texture* texture = nullptr;
    if (!named)
        warn("Material \"" + material.name + "\" names no " + (bump ? "bump" : "texture") +
             " map; a stand-in is used.");
    else
        texture = TextureManager::instance().find((bump ? material.bumpMap : material.textureMap).c_str());
    return bindTexture(texture != nullptr ? *texture : standIn(bump));
}

TextureBinding ObjectLoader::bindTexture(Texture& texture) {
    if (!uploadTexture)
        return texture.binding;
    return uploadTexture(texture, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
}

// A 1 × 1 texture in the registry (so it is released with the others): neutral grey for a missing
// texture map, a straight-up normal for a missing bump map.
Texture& ObjectLoader::standIn(bool bump) {
    TextureManager& registry = TextureManager::instance();
    const char* name = bump ? flatBumpStandInName : greyStandInName;
    for (const auto& texture : registry.textures)
        if (texture->name == name)
            return *texture;
    auto texture = std::make_unique<Texture>(name);
    texture->width = 1;
    texture->height = 1;
    texture->bitsPerPixel = 24;
    texture->format = GL_RGB;
    texture->pixels = bump ? std::vector<uint8_t>{128, 128, 255} : std::vector<uint8_t>{128, 128, 128};
    Texture& added = *texture;
    registry.add(std::move(texture));
    return added;
}

void ObjectLoader::readShadowInfo(const std::string& modelPath) {
    const std::string infoPath = modelPath.size() >= 4 ? modelPath.substr(0, modelPath.size() - 4) : "";
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(dataFilePath(infoPath), error))
        in.open(dataFilePath(infoPath));
    if (!in.is_open()) {
        warn("Shadow info file \"" + infoPath + "\" not found; every object casts and receives shadows.");
        return;
    }
    long long count = 0;
    if (!(in >> count)) {
        warn("Shadow info file \"" + infoPath +
             "\" has no entry count; every object casts and receives shadows.");
        return;
    }
    hasShadowInfo = true;
    for (long long i = 0; i < count && in; ++i) {
        ShadowInfo entry;
        int casts = 0, receives = 0;
        if (!(in >> entry.name >> casts >> receives))
            break;
        entry.castsShadows = casts == 1;
        entry.receivesShadows = receives == 1;
        shadowInfo.push_back(std::move(entry));
    }
    if (!in)
        warn("Shadow info file \"" + infoPath + "\" ends before its " + std::to_string(count) +
             " entries; objects it does not name cast and receive shadows.");
}

void ObjectLoader::applyShadowInfo(Mesh& mesh) {
    mesh.castsShadows = true;
    mesh.receivesShadows = true;
    if (!hasShadowInfo)
        return;
    for (const ShadowInfo& entry : shadowInfo) {
        if (entry.name == mesh.name) {
            mesh.castsShadows = entry.castsShadows;
            mesh.receivesShadows = entry.receivesShadows;
            return;
        }
    }
    warn("Shadow info not found.");
}

void ObjectLoader::resetObject() {
    objectOpen = false;
    objectEnd = 0;
    objectName.clear();
    hasObjectName = false;
    hasTriangleMesh = false;
    vertices = {};
    faces = {};
    texCoords = {};
    std::fill(std::begin(localAxes), std::end(localAxes), 0.0f);
    groupMaterial.clear();
    groupSeen = false;
}

// Rotation keys are stored relative to the key before; each becomes the absolute orientation.
void ObjectLoader::readRotationTrack() {
    Track track;
    readTrack(4, track, "a rotation track");
    rotationFrames = track.frames;
    rotations.assign(track.values.size(), Quat{});
    for (size_t i = 0; i < track.values.size(); ++i) {
        const auto& value = track.values[i];
        const double half = double(std::fmod(value[0], fullTurn) * 0.5f);
        const Vec3 axis = rotationAxisToShowAxes({value[1], value[2], value[3]});
        const float s = static_cast<float>(std::sin(half));
        Quat q(static_cast<float>(std::cos(half)), s * axis.x, s * axis.y, s * axis.z);
        if (i > 0)
            q = Quat::multiply(q, rotations[i - 1]);
        rotations[i] = q;
    }
}

void ObjectLoader::buildNode() {
    auto node = std::make_unique<AnimationNode>(nodeName);
    node->nodeId = nodeId;
    node->parentId = parentId;
    node->pivot = pivot;
    for (size_t i = 0; i < positionTrack.frames.size(); ++i) {
        const Vec3 p = toShowAxes(vec3Of(positionTrack.values[i]));
        node->positionKeys.push_back({positionTrack.frames[i], p, Mat4::translation(p)});
    }
    for (size_t i = 0; i < rotations.size(); ++i)
        node->rotationKeys.push_back({rotationFrames[i], rotations[i], Mat4::fromQuat(rotations[i])});
    for (size_t i = 0; i < scaleTrack.frames.size(); ++i) {
        const Vec3 s = vec3Of(scaleTrack.values[i]);
        node->scaleKeys.push_back({scaleTrack.frames[i], s, Mat4::scaling(s)});
    }
    model->nodes.append(std::move(node));
    resetNode();
}

void ObjectLoader::resetNode() {
    nodeName.clear();
    nodeId = 0;
    parentId = 0;
    pivot = Vec3{};
    positionTrack = Track{};
    rotationFrames = {};
    rotations = {};
    scaleTrack = Track{};
}

// ---- Camera and light files ----

ObjectLoader::Step ObjectLoader::cameraChunk(uint16_t id) {
    switch (id) {
    case chunk3ds::main:
    case chunk3ds::editor:
    case chunk3ds::keyframer:
        return Step::Enter;
    case chunk3ds::cameraNode: // camera node: the eye path
        targetSelected = false;
        return Step::Enter;
    case chunk3ds::targetNode: // target node: the target path
        targetSelected = true;
        return Step::Enter;
    case chunk3ds::positionTrack:
        readTrack(3, targetSelected ? targetTrack : eyeTrack, "a position track");
        return Step::Done;
    case chunk3ds::rollTrack: // roll track, in degrees
        readTrack(1, rollTrack, "the roll track");
        for (auto& value : rollTrack.values)
            value[0] = -value[0];
        return Step::Done;
    default:
        return Step::Skip;
    }
}

ObjectLoader::Step ObjectLoader::lightChunk(uint16_t id) {
    switch (id) {
    case chunk3ds::main:
    case chunk3ds::editor:
    case chunk3ds::keyframer:
    case chunk3ds::lightNode: // light node
        return Step::Enter;
    case chunk3ds::positionTrack:
        readTrack(3, lightTrack, "the position track");
        return Step::Done;
    default:
        return Step::Skip;
    }
}

std::unique_ptr<CameraTrack> ObjectLoader::loadCameraTrack(const char* filePath) {
    readImage(filePath);
    walk(&ObjectLoader::cameraChunk);

    const size_t eyeCount = eyeTrack.frames.size();
    const size_t targetCount = targetTrack.frames.size();
    if (eyeCount != targetCount)
        warn("eri määrä");
    auto track =
        std::make_unique<CameraTrack>(CameraTrack::Tcb, msPerKeyframe, static_cast<int32_t>(eyeCount),
                                      static_cast<int32_t>(rollTrack.frames.size()));
    for (size_t i = 0; i < eyeCount; ++i) {
        CameraKey& key = track->keys[i];
        key.time = keyframeTime(eyeTrack.frames[i]);
        key.eye = toShowAxes(vec3Of(eyeTrack.values[i]));
        // Eye keys beyond the target path keep looking at its last target.
        if (targetCount > 0)
            key.target = toShowAxes(vec3Of(targetTrack.values[std::min(i, targetCount - 1)]));
    }
    for (size_t i = 0; i < rollTrack.frames.size(); ++i) {
        track->rollKeys[i].time = keyframeTime(rollTrack.frames[i]);
        track->rollKeys[i].roll = rollTrack.values[i][0];
    }
    track->prepare(0.0f, 0.0f, 0.0f);
    image = {};
    return track;
}

std::unique_ptr<LightTrack> ObjectLoader::loadLightTrack(const char* filePath) {
    readImage(filePath);
    walk(&ObjectLoader::lightChunk);

    auto track = std::make_unique<LightTrack>();
    track->keys.resize(lightTrack.frames.size());
    for (size_t i = 0; i < track->keys.size(); ++i) {
        track->keys[i].frame = lightTrack.frames[i];
        track->keys[i].position = toShowAxes(vec3Of(lightTrack.values[i]));
    }
    image = {};
    return track;
}

} // namespace halcyra
