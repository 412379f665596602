#include "scene3ds/ObjectLoader.h"

#include "assets/TextureManager.h"
#include "support/Expect.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include "Writer3ds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace halcyra {
namespace {

using tools::Float3;
using tools::Material3ds;
using tools::Model3ds;
using tools::Object3ds;
using tools::ShadowInfo3ds;

// A textured right triangle in the file's axes, with its first vertex at `first`.
Object3ds triangle(const std::string& name, const std::string& material, Float3 first = {1, 2, 3}) {
    Object3ds object;
    object.name = name;
    object.vertices = {first, {first[0] + 1, first[1], first[2]}, {first[0], first[1], first[2] + 1}};
    object.texCoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
    object.faces = {{0, 1, 2}};
    object.groups = {{material, {0}}};
    return object;
}

Material3ds material(const std::string& name, const std::string& textureMap, const std::string& bumpMap) {
    Material3ds m;
    m.name = name;
    m.textureMap = textureMap;
    m.bumpMap = bumpMap;
    return m;
}

using test::expectVec3;

class ObjectLoaderTest : public ::testing::Test {
protected:
    ~ObjectLoaderTest() override { TextureManager::destroy(); }

    // Writes the model and, unless `shadows` is empty, its shadow-info file (every object casting and
    // receiving when `shadows` is not given).
    std::string write(const Model3ds& model,
                      std::optional<std::vector<ShadowInfo3ds>> shadows = std::vector<ShadowInfo3ds>{},
                      const std::string& file = "models/thing.3ds") {
        const std::string path = dir.write(file, "").string();
        tools::saveFile3ds(path, tools::writeModel3ds(model));
        if (shadows) {
            if (shadows->empty())
                for (const Object3ds& object : model.objects)
                    shadows->push_back({object.name, true, true});
            tools::saveFile3ds(tools::shadowInfoPath(path), tools::writeShadowInfo(*shadows));
        }
        return path;
    }

    static void registerTexture(const std::string& name) {
        for (const auto& texture : TextureManager::instance().textures)
            if (texture->name == name)
                return;
        TextureManager::instance().add(std::make_unique<Texture>(name));
    }
    // A model with the one material "m": texture t.png and bump map n.png, both registered.
    static Model3ds modelWithMaterialM() {
        registerTexture("t.png");
        registerTexture("n.png");
        Model3ds model;
        model.materials = {material("m", "t.png", "n.png")};
        return model;
    }

    // Loads without GL: every upload hands out the next id and records the texture's name.
    std::unique_ptr<Model> load(const std::string& path) {
        ObjectLoader loader;
        loader.createBuffers = false;
        loader.uploadTexture = [this](Texture& texture, uint32_t, uint32_t) {
            uploads.push_back(texture.name);
            TextureBinding binding;
            binding.id = static_cast<uint32_t>(uploads.size());
            return binding;
        };
        test::MessageLog log;
        loader.loadModel(path.c_str(), "thing");
        messages = log.texts();
        return std::move(loader.model);
    }

    // The name of the texture that `binding` came from.
    std::string uploaded(const TextureBinding& binding) const {
        return binding.id >= 1 && binding.id <= uploads.size() ? uploads[binding.id - 1] : "(none)";
    }

    size_t messageCount(const std::string& fragment) const {
        return static_cast<size_t>(std::count_if(messages.begin(), messages.end(), [&](const std::string& m) {
            return m.find(fragment) != std::string::npos;
        }));
    }

    test::TempDir dir;
    std::vector<std::string> uploads;
    std::vector<std::string> messages;
};

TEST_F(ObjectLoaderTest, VerticesTurnYUpAndSitAroundTheObjectOrigin) {
    Model3ds model = modelWithMaterialM();
    model.objects = {triangle("AtZero", "m"), triangle("AtOne", "m")};
    model.objects[1].setOrigin({1, 0, 0});
    const auto loaded = load(write(model));

    ASSERT_EQ(loaded->meshCount, 2);
    ASSERT_EQ(loaded->meshes.count(), 2);
    const Mesh& atZero = *loaded->meshes.at(0);
    const Mesh& atOne = *loaded->meshes.at(1);
    EXPECT_EQ(atZero.name, "AtZero");
    expectVec3(atZero.positions[0], {1, 3, -2});
    expectVec3(atZero.positions[2], {1, 4, -2});
    expectVec3(atOne.positions[0], {0, 3, -2});
    expectVec3(atOne.origin, {1, 0, 0});
    EXPECT_EQ(atZero.texCoords[1].x, 1.0f);
    EXPECT_EQ(atZero.texCoords[2].y, 1.0f);
    EXPECT_EQ(atZero.indices, (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(loaded->name, "thing");
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(ObjectLoaderTest, MaterialGivesItsSpecularColourAndLowerCasedMaps) {
    registerTexture("hull_t.png");
    registerTexture("hull_n.png");
    Model3ds model;
    model.materials = {material("Steel Hull", "Hull_T.PNG", "HULL_n.png")};
    model.materials[0].specular = {255, 128, 0};
    model.materials[0].diffuse = {1, 2, 3};
    model.objects = {triangle("Hull", "STEEL HULL")};
    const auto loaded = load(write(model));

    ASSERT_EQ(loaded->meshCount, 1);
    const MeshMaterial& m = *loaded->meshes.at(0)->material;
    EXPECT_FLOAT_EQ(m.specular[0], 1.0f);
    EXPECT_NEAR(m.specular[1], 0.50196f, 1e-5f);
    EXPECT_FLOAT_EQ(m.specular[2], 0.0f);
    EXPECT_EQ(uploads, (std::vector<std::string>{"hull_n.png", "hull_t.png"})) << "bump map first";
    EXPECT_EQ(uploaded(m.texture), "hull_t.png");
    EXPECT_EQ(uploaded(m.bump), "hull_n.png");
    EXPECT_EQ(m.mapCount, 2);
    EXPECT_EQ(m.shininess, 64.0f);
    EXPECT_TRUE(m.fromFile);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ObjectLoaderTest, MaterialAndMapNamesAreCutToNineteenCharacters) {
    registerTexture("abcdefghijklmnopqrs");
    registerTexture("n.png");
    Model3ds model;
    model.materials = {
        material("A_Material_Name_Longer_Than_Nineteen", "ABCDEFGHIJKLMNOPQRSTUVWXYZ.png", "n.png")};
    model.objects = {triangle("Plate", "a_material_name_longer_than_anything")};
    const auto loaded = load(write(model));

    ASSERT_EQ(loaded->meshCount, 1);
    EXPECT_EQ(uploaded(loaded->meshes.at(0)->material->texture), "abcdefghijklmnopqrs");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ObjectLoaderTest, ObjectsWithoutTextureCoordinatesOrMaterialGroupMakeNoMesh) {
    Model3ds model = modelWithMaterialM();
    Object3ds noCoordinates = triangle("NoCoordinates", "m");
    noCoordinates.texCoords.clear();
    // Four vertices with their own coordinates: none of it may leak into the next object.
    Object3ds noGroup = triangle("NoGroup", "m");
    noGroup.vertices.push_back({9, 9, 9});
    noGroup.texCoords = {{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}};
    noGroup.groups.clear();
    Object3ds late = triangle("Late", "m");
    late.texCoords.clear();
    model.objects = {noCoordinates, noGroup, late, triangle("Whole", "m", {7, 8, 9})};
    const auto loaded = load(write(model));

    ASSERT_EQ(loaded->meshCount, 1);
    ASSERT_EQ(loaded->meshes.count(), 1);
    const Mesh& whole = *loaded->meshes.at(0);
    EXPECT_EQ(whole.name, "Whole");
    EXPECT_EQ(whole.vertexCount, 3);
    expectVec3(whole.positions[0], {7, 9, -8});
    EXPECT_EQ(whole.texCoords[1].x, 1.0f);
}

TEST_F(ObjectLoaderTest, SecondMaterialGroupIsSkippedAndTheWalkStaysAligned) {
    for (const char* name : {"a.png", "b.png", "n.png"})
        registerTexture(name);
    Model3ds model;
    model.materials = {material("a", "a.png", "n.png"), material("b", "b.png", "n.png")};
    Object3ds two = triangle("Two", "a");
    two.vertices.push_back({0, 0, 0});
    two.texCoords.push_back({0, 0});
    two.faces.push_back({0, 2, 3});
    two.groups = {{"a", {0}}, {"b", {1}}};
    model.objects = {two, triangle("Next", "b", {4, 5, 6})};
    const auto loaded = load(write(model));

    ASSERT_EQ(loaded->meshCount, 2);
    const Mesh& first = *loaded->meshes.at(0);
    const Mesh& next = *loaded->meshes.at(1);
    EXPECT_EQ(first.triangleCount, 2);
    EXPECT_EQ(uploaded(first.material->texture), "a.png") << "every face takes the first group's material";
    EXPECT_EQ(next.name, "Next");
    expectVec3(next.positions[0], {4, 6, -5});
    EXPECT_EQ(uploaded(next.material->texture), "b.png");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ObjectLoaderTest, TruncatedFilesNeverCrashOrHang) {
    Model3ds model = modelWithMaterialM();
    model.objects = {triangle("A", "m"), triangle("B", "m")};
    model.nodes.resize(2);
    for (auto& node : model.nodes) {
        node.name = "node";
        node.position = {{0, {1, 2, 3}, {}}, {1, {2, 3, 4}, {0x1F, {1, 2, 3, 4, 5}}}};
        node.rotation = {{0, 1.0f, {0, 0, 1}, {}}};
        node.scale = {{0, {1, 1, 1}, {}}};
    }
    const std::vector<uint8_t> whole = tools::writeModel3ds(model);
    const std::string path = write(model);

    for (size_t size = 0; size < whole.size(); ++size) {
        tools::saveFile3ds(path, std::vector<uint8_t>(whole.begin(), whole.begin() + size));
        const auto loaded = load(path);
        ASSERT_LE(loaded->meshCount, 2) << "cut at " << size;
        EXPECT_EQ(loaded->meshCount, loaded->meshes.count());
        EXPECT_LE(loaded->nodes.count(), 2);
        EXPECT_EQ(messageCount(size == 0 ? "BufferSize = 0" : "cut short"), 1u) << "cut at " << size;
        for (const auto& mesh : loaded->meshes)
            for (uint32_t index : mesh->indices)
                EXPECT_LT(index, static_cast<uint32_t>(mesh->vertexCount));
    }
}

TEST_F(ObjectLoaderTest, ValueEndingAtTheLastByteIsRead) {
    // The vertex list comes last, so the file ends with the last vertex's z.
    tools::ChunkWriter out;
    out.open(0x4D4D);
    out.open(0x3D3D);
    out.open(0x4000);
    out.text("Last");
    out.open(0x4100);
    out.open(0x4140);
    out.u16(3);
    for (int i = 0; i < 6; ++i)
        out.f32(0.0f);
    out.close();
    out.open(0x4120);
    out.u16(1);
    for (uint16_t value : {0, 1, 2, 0})
        out.u16(value);
    out.open(0x4130);
    out.text("m");
    out.u16(0);
    out.close();
    out.close();
    out.open(0x4110);
    out.u16(3);
    for (float value : {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 42.0f})
        out.f32(value);
    const std::string path = dir.write("models/last.3ds", "").string();
    tools::saveFile3ds(path, out.take());
    tools::saveFile3ds(tools::shadowInfoPath(path), std::string("1\nLast 1 1\n"));
    const auto loaded = load(path);

    ASSERT_EQ(loaded->meshCount, 1);
    EXPECT_EQ(loaded->meshes.at(0)->positions[2].y, 42.0f);
    EXPECT_EQ(messageCount("cut short"), 0u);
}

TEST_F(ObjectLoaderTest, ChunkLengthsBelowSixOrPastTheEndStopTheWalk) {
    Model3ds model = modelWithMaterialM();
    model.objects = {triangle("A", "m")};
    const std::vector<uint8_t> whole = tools::writeModel3ds(model);
    const std::string path = write(model);
    // The master-scale chunk (id 0x0100, length 10, the float 1) sits between the materials and the object.
    const std::vector<uint8_t> masterScale{0x00, 0x01, 10, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F};
    const auto found = std::search(whole.begin(), whole.end(), masterScale.begin(), masterScale.end());
    ASSERT_NE(found, whole.end());
    const size_t scale = static_cast<size_t>(found - whole.begin());

    for (uint32_t length : {0u, 5u, 0xFFFFFFFFu, 0x80000000u}) {
        std::vector<uint8_t> broken = whole;
        for (size_t k = 0; k < 4; ++k)
            broken[scale + 2 + k] = static_cast<uint8_t>(length >> (8 * k));
        tools::saveFile3ds(path, broken);
        const auto loaded = load(path);
        EXPECT_EQ(loaded->meshCount, 0) << length;
        EXPECT_EQ(messageCount(length < 6 ? "shorter than its own header" : "cut short"), 1u) << length;
        EXPECT_EQ(messages.size(), 1u) << length;
    }
}

TEST_F(ObjectLoaderTest, ListCountTheFileCannotHoldIsRefusedBeforeAllocating) {
    struct List {
        uint16_t id;
        const char* report;
    };
    // Each list declares 65535 entries and holds one; the object never becomes a mesh.
    for (const List& list :
         {List{0x4110, "its vertex list declares 65535 vertices but only 12 bytes are left"},
          List{0x4120, "its face list declares 65535 faces but only 8 bytes are left"},
          List{0x4140, "its texture-coordinate list declares 65535 coordinates but only 8 "
                       "bytes are left"}}) {
        tools::ChunkWriter out;
        out.open(0x4D4D);
        out.open(0x3D3D);
        out.open(0x4000);
        out.text("Huge");
        out.open(0x4100);
        out.open(list.id);
        out.u16(65535);
        for (int i = 0; i < (list.id == 0x4110 ? 3 : 2); ++i)
            out.f32(0.0f);
        const std::string path = dir.write("models/huge.3ds", "").string();
        tools::saveFile3ds(path, out.take());
        tools::saveFile3ds(tools::shadowInfoPath(path), std::string("0\n"));
        const auto loaded = load(path);

        EXPECT_EQ(loaded->meshCount, 0);
        ASSERT_EQ(messages.size(), 1u) << list.id;
        EXPECT_NE(messages[0].find("cut short at byte 37 ("), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find(list.report), std::string::npos) << messages[0];
    }
}

TEST_F(ObjectLoaderTest, MoreThanTwentyMaterialsAreReportedAndIgnored) {
    registerTexture("n.png");
    Model3ds model;
    for (int i = 0; i < 23; ++i) {
        const std::string number = std::to_string(i);
        std::string map = "t";
        map.append(number).append(".png");
        registerTexture(map);
        model.materials.push_back(material(std::string("m").append(number), map, "n.png"));
    }
    model.objects = {triangle("Known", "m19"), triangle("Ignored", "m21")};
    const auto loaded = load(write(model));

    ASSERT_EQ(loaded->meshCount, 2);
    EXPECT_EQ(uploaded(loaded->meshes.at(0)->material->texture), "t19.png");
    EXPECT_EQ(uploaded(loaded->meshes.at(1)->material->texture), "Stand-in: neutral grey");
    EXPECT_EQ(messageCount("more than 20 materials"), 1u);
    EXPECT_EQ(messageCount("material not found"), 1u);
}

TEST_F(ObjectLoaderTest, MissingMaterialOrMapGetsNeutralGreyAndFlatBump) {
    registerTexture("t.png");
    Model3ds model;
    model.materials = {material("nobump", "t.png", ""), material("unregistered", "t.png", "gone.png")};
    model.objects = {triangle("Lost", "nowhere"), triangle("NoBump", "nobump"),
                     triangle("Unregistered", "unregistered")};
    const auto loaded = load(write(model));

    ASSERT_EQ(loaded->meshCount, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(uploaded(loaded->meshes.at(i)->material->bump), "Stand-in: flat bump") << i;
    EXPECT_EQ(uploaded(loaded->meshes.at(0)->material->texture), "Stand-in: neutral grey");
    EXPECT_EQ(uploaded(loaded->meshes.at(1)->material->texture), "t.png");
    EXPECT_EQ(messageCount("material not found"), 1u);
    EXPECT_EQ(messageCount("names no bump map"), 1u);
    EXPECT_EQ(messageCount("Required texture not found. \"gone.png\""), 1u);

    TextureManager& registry = TextureManager::instance();
    const auto standIn = [&](const char* name) {
        for (const auto& texture : registry.textures)
            if (texture->name == name)
                return texture->pixels;
        return std::vector<uint8_t>{};
    };
    EXPECT_EQ(standIn("Stand-in: neutral grey"), (std::vector<uint8_t>{128, 128, 128}));
    EXPECT_EQ(standIn("Stand-in: flat bump"), (std::vector<uint8_t>{128, 128, 255}));
}

TEST_F(ObjectLoaderTest, ShadowFlagsAreSetExactlyByOne) {
    Model3ds model = modelWithMaterialM();
    model.objects = {triangle("Caster", "m"), triangle("Receiver", "m"), triangle("Unlisted", "m")};
    const std::string path = write(model, std::nullopt);
    tools::saveFile3ds(tools::shadowInfoPath(path), std::string("2\nCaster 1 0\nReceiver 2 1\n"));
    const auto loaded = load(path);

    ASSERT_EQ(loaded->meshCount, 3);
    EXPECT_TRUE(loaded->meshes.at(0)->castsShadows);
    EXPECT_FALSE(loaded->meshes.at(0)->receivesShadows);
    EXPECT_FALSE(loaded->meshes.at(1)->castsShadows);
    EXPECT_TRUE(loaded->meshes.at(1)->receivesShadows);
    EXPECT_TRUE(loaded->meshes.at(2)->castsShadows);
    EXPECT_TRUE(loaded->meshes.at(2)->receivesShadows);
    EXPECT_EQ(messages, std::vector<std::string>{"Shadow info not found."});
}

TEST_F(ObjectLoaderTest, MissingShadowInfoFileIsOneMessageAndEveryMeshCastsAndReceives) {
    Model3ds model = modelWithMaterialM();
    model.objects = {triangle("A", "m"), triangle("B", "m")};
    const auto loaded = load(write(model, std::nullopt));

    ASSERT_EQ(loaded->meshCount, 2);
    for (const auto& mesh : loaded->meshes) {
        EXPECT_TRUE(mesh->castsShadows);
        EXPECT_TRUE(mesh->receivesShadows);
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("models/thing\""), std::string::npos) << messages[0];
}

// Files in the layout that several exporters write, unlike our own writer: each object's face list (with
// its material group) comes before its texture coordinates and local axes, and colours are float chunks.
class OtherLayoutTest : public ObjectLoaderTest {
protected:
    void leaf(uint16_t id, auto&& fields) {
        out.open(id);
        fields();
        out.close();
    }
    // A material whose specular colour is the given colour chunks, each (id, three values).
    void material(const std::string& name, const std::vector<std::pair<uint16_t, Float3>>& specular) {
        out.open(0xAFFF);
        leaf(0xA000, [&] { out.text(name); });
        out.open(0xA030);
        for (const auto& colour : specular) {
            leaf(colour.first, [&] {
                for (float value : colour.second) {
                    if (colour.first == 0x0011)
                        out.u8(static_cast<uint8_t>(value));
                    else
                        out.f32(value);
                }
            });
        }
        out.close();
        leaf(0xA200, [&] { leaf(0xA300, [&] { out.text("t.png"); }); });
        leaf(0xA230, [&] { leaf(0xA300, [&] { out.text("n.png"); }); });
        out.close();
    }
    // The triangle of triangle() with the given origin.
    void object(const std::string& name, const std::string& materialName, Float3 origin) {
        out.open(0x4000);
        out.text(name);
        out.open(0x4100);
        leaf(0x4110, [&] {
            out.u16(3);
            for (const Float3& v : {Float3{1, 2, 3}, Float3{2, 2, 3}, Float3{1, 2, 4}})
                out.float3(v);
        });
        out.open(0x4120);
        out.u16(1);
        for (uint16_t value : {0, 1, 2, 7})
            out.u16(value);
        leaf(0x4130, [&] {
            out.text(materialName);
            out.u16(1);
            out.u16(0);
        });
        out.close();
        leaf(0x4140, [&] {
            out.u16(3);
            for (float value : {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f})
                out.f32(value);
        });
        leaf(0x4160, [&] {
            for (float value : {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f})
                out.f32(value);
            out.float3(origin);
        });
        out.close();
        out.close();
    }
    std::unique_ptr<Model> loadWritten(const std::string& shadowInfo) {
        const std::string path = dir.write("models/other.3ds", "").string();
        tools::saveFile3ds(path, out.take());
        tools::saveFile3ds(tools::shadowInfoPath(path), shadowInfo);
        return load(path);
    }
    tools::ChunkWriter out;
};

TEST_F(OtherLayoutTest, CoordinatesAndLocalAxesAfterTheFaceListStillPlaceTheMesh) {
    registerTexture("t.png");
    registerTexture("n.png");
    out.open(0x4D4D);
    out.open(0x3D3D);
    material("m", {{0x0011, {255, 128, 0}}});
    object("Moved", "m", {1, 0, 0});
    object("Next", "m", {0, 0, 5});
    const auto loaded = loadWritten("2\nMoved 1 1\nNext 1 1\n");

    ASSERT_EQ(loaded->meshCount, 2);
    const Mesh& moved = *loaded->meshes.at(0);
    expectVec3(moved.origin, {1, 0, 0});
    expectVec3(moved.positions[0], {0, 3, -2});
    EXPECT_EQ(moved.texCoords[1].x, 1.0f);
    expectVec3(loaded->meshes.at(1)->origin, {0, 5, 0});
    expectVec3(loaded->meshes.at(1)->positions[0], {1, -2, -2});
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(OtherLayoutTest, FloatColoursAreReadLikeByteColours) {
    registerTexture("t.png");
    registerTexture("n.png");
    out.open(0x4D4D);
    out.open(0x3D3D);
    material("float", {{0x0010, {1.0f, 0.5f, 0.25f}}});
    material("linear", {{0x0013, {0.2f, 0.4f, 0.6f}}});
    // Beside a byte colour its linear float twin is not used; float channels stay within 0 … 1.
    material("pair", {{0x0011, {255, 0, 0}}, {0x0013, {0.0f, 0.0f, 1.0f}}});
    material("bright", {{0x0010, {2.0f, -1.0f, 0.5f}}});
    for (const char* name : {"float", "linear", "pair", "bright"})
        object(name, name, {0, 0, 0});
    const auto loaded = loadWritten("0\n");

    ASSERT_EQ(loaded->meshCount, 4);
    const auto specular = [&](int mesh) {
        const float* rgb = loaded->meshes.at(mesh)->material->specular;
        return Vec3{rgb[0], rgb[1], rgb[2]};
    };
    expectVec3(specular(0), {1.0f, 0.5f, 0.25f});
    expectVec3(specular(1), {0.2f, 0.4f, 0.6f});
    expectVec3(specular(2), {1.0f, 0.0f, 0.0f});
    expectVec3(specular(3), {1.0f, 0.0f, 0.5f});
}

TEST_F(ObjectLoaderTest, ObjectsLeftOutAreNamedAndMeshesFindTheirNodesByName) {
    Model3ds model = modelWithMaterialM();
    Object3ds noCoordinates = triangle("NoCoordinates", "m");
    noCoordinates.texCoords.clear();
    Object3ds noGroup = triangle("NoGroup", "m");
    noGroup.groups.clear();
    Object3ds neither = triangle("Neither", "m");
    neither.texCoords.clear();
    neither.groups.clear();
    model.objects = {triangle("First", "m"), noCoordinates, noGroup, neither, triangle("Last", "m")};
    for (const Object3ds& object : model.objects) {
        tools::ObjectNode3ds node;
        node.name = object.name;
        node.nodeId = static_cast<uint16_t>(model.nodes.size());
        model.nodes.push_back(node);
    }
    const auto poser = [](const std::unique_ptr<Model>& loaded, int mesh) {
        const AnimationNode* node = loaded->nodeFor(mesh);
        return node != nullptr ? node->name : "(none)";
    };

    const auto loaded = load(write(model));
    ASSERT_EQ(loaded->meshCount, 2);
    EXPECT_EQ(loaded->meshes.at(1)->name, "Last");
    EXPECT_EQ(poser(loaded, 0), "First");
    EXPECT_EQ(poser(loaded, 1), "Last") << "posed by its own node, not by the second node of the file";
    EXPECT_EQ(messages, std::vector<std::string>{
                            "3ds file \"" + (dir.path() / "models/thing.3ds").string() +
                            "\" has objects that are left out: \"NoCoordinates\" (no texture coordinates), "
                            "\"NoGroup\" (no material group), \"Neither\" (no texture coordinates, no "
                            "material group)."});

    // Where no node has a mesh's name, the mesh takes the node at its own index.
    for (size_t i = 0; i < model.nodes.size(); ++i)
        model.nodes[i].name = "Dummy" + std::to_string(i);
    const auto unnamed = load(write(model));
    EXPECT_EQ(poser(unnamed, 0), "Dummy0");
    EXPECT_EQ(poser(unnamed, 1), "Dummy1");
}

TEST_F(ObjectLoaderTest, EmptyFileGivesAnEmptyModelAndOneMessage) {
    const std::string path = dir.write("models/empty.3ds", "").string();
    dir.write("models/empty", "0\n");
    const auto loaded = load(path);
    EXPECT_EQ(loaded->meshCount, 0);
    EXPECT_EQ(loaded->name, "thing");
    EXPECT_EQ(messages, std::vector<std::string>{"ObjectLoader: BufferSize = 0!"});
}

TEST_F(ObjectLoaderTest, FileThatCannotBeOpenedEndsTheProcess) {
    for (const std::string& path : {(dir.path() / "models/missing.3ds").string(), dir.path().string()}) {
        ObjectLoader loader;
        EXPECT_EXIT(loader.loadModel(path.c_str(), "missing"), ::testing::ExitedWithCode(255),
                    "ERROR: Could not open 3ds file\\.");
    }
}

} // namespace
} // namespace halcyra
