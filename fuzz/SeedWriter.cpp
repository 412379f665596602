// fuzz_seeds OUT: writes the fuzz targets' starting corpora into OUT/<target>/, every seed made by our own
// writers (packet, images, 3DS files) or spelled out here (lists, shadow info). Deterministic: the same
// program writes the same bytes.
#include "ImageWriter.h"
#include "PacketWriter.h"
#include "Writer3ds.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace halcyra::fuzz {
namespace {

using Bytes = std::vector<uint8_t>;
using tools::Float3;

std::filesystem::path outFolder;
bool failed = false;

void seed(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::filesystem::path folder = outFolder / target;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!tools::writeFile((folder / name).string(), bytes)) {
        std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", (folder / name).c_str());
        failed = true;
    }
}

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A small picture with some structure, so that compressors have runs and edges to work on.
Bytes pattern(int width, int height, int channels) {
    Bytes pixels(static_cast<size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                pixels[(static_cast<size_t>(y) * width + x) * channels + c] =
                    static_cast<uint8_t>(x < width / 2 ? 40 * c + 16 * y : 255 - 30 * c - 8 * x);
    return pixels;
}

// PNG rows of `depth`-bit samples, `samples` per pixel, filled with a ramp.
tools::PngImage pngOf(int width, int height, int colorType, int depth, int samples) {
    tools::PngImage image;
    image.width = width;
    image.height = height;
    image.colorType = colorType;
    image.bitDepth = depth;
    const size_t rowBytes = (static_cast<size_t>(width) * samples * depth + 7) / 8;
    image.rows.resize(rowBytes * height);
    for (size_t i = 0; i < image.rows.size(); ++i)
        image.rows[i] = static_cast<uint8_t>(i * 37 + i / rowBytes * 11);
    return image;
}

void writeImageSeeds() {
    seed("tga", "rgb-2x2", tools::encodeTga(2, 2, 3, pattern(2, 2, 3), false));
    seed("tga", "rgba-5x3", tools::encodeTga(5, 3, 4, pattern(5, 3, 4), false));
    seed("tga", "rle-rgb-16x4", tools::encodeTga(16, 4, 3, pattern(16, 4, 3), true));
    seed("tga", "rle-rgba-9x9", tools::encodeTga(9, 9, 4, pattern(9, 9, 4), true));
    seed("tga", "rle-flat-200x1", tools::encodeTga(200, 1, 3, Bytes(600, 7), true));

    seed("png", "rgb-4x3", tools::encodePng(tools::makePng(4, 3, 3, pattern(4, 3, 3))));
    seed("png", "rgba-5x5", tools::encodePng(tools::makePng(5, 5, 4, pattern(5, 5, 4))));
    for (int depth : {1, 2, 4, 8, 16})
        seed("png", "grey-" + std::to_string(depth), tools::encodePng(pngOf(7, 3, 0, depth, 1)));
    seed("png", "grey-alpha-8", tools::encodePng(pngOf(3, 3, 4, 8, 2)));
    seed("png", "rgb-16", tools::encodePng(pngOf(3, 2, 2, 16, 3)));
    seed("png", "rgba-16", tools::encodePng(pngOf(2, 2, 6, 16, 4)));
    for (int depth : {1, 2, 4, 8}) {
        tools::PngImage palette = pngOf(5, 4, 3, depth, 1);
        const int entries = 1 << depth;
        for (int i = 0; i < entries; ++i)
            palette.palette.insert(palette.palette.end(), {static_cast<uint8_t>(i * 9), 80, 200});
        for (size_t i = 0; i < palette.rows.size(); ++i)
            palette.rows[i] &= static_cast<uint8_t>(depth == 8 ? entries - 1 : 0xFF);
        if (depth == 4)
            palette.transparency = {0, 128, 255};
        seed("png", "palette-" + std::to_string(depth), tools::encodePng(palette));
    }
    tools::PngImage keyed = pngOf(4, 4, 2, 8, 3);
    keyed.transparency = {0, 1, 0, 2, 0, 3};
    seed("png", "rgb-colour-key", tools::encodePng(keyed));
    tools::PngImage interlaced = tools::makePng(9, 9, 3, pattern(9, 9, 3));
    interlaced.interlaced = true;
    seed("png", "interlaced-9x9", tools::encodePng(interlaced));

    seed("jpeg", "rgb-8x8", tools::encodeJpeg(8, 8, 3, pattern(8, 8, 3)));
    seed("jpeg", "rgb-17x9", tools::encodeJpeg(17, 9, 3, pattern(17, 9, 3), 50));
    seed("jpeg", "grey-16x16", tools::encodeJpeg(16, 16, 1, pattern(16, 16, 1)));
    seed("jpeg", "progressive-24x16", tools::encodeJpeg(24, 16, 3, pattern(24, 16, 3), 80, true));
}

void writePacketSeeds(const std::string& shaderFolder) {
    seed("data_packet", "empty", Bytes(24, 0));
    tools::PacketContents contents;
    contents.textures.push_back({"c_noise.png", tools::encodePng(tools::makePng(2, 2, 3, pattern(2, 2, 3)))});
    contents.textures.push_back({"..dots.first.png", tools::encodePng(pngOf(3, 1, 0, 8, 1))});
    contents.programs.push_back({"blur", "void main() { gl_Position = gl_Vertex; }\n", "void main() {}\n"});
    contents.programs.push_back({"mask", "", ""});
    seed("data_packet", "two-textures-two-programs", tools::writePacket(contents));

    // Two of the show's own programs, as the build packs them.
    std::vector<tools::PacketProgram> programs;
    std::string error;
    if (!tools::readPacketPrograms(shaderFolder, programs, error)) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", error.c_str());
        failed = true;
        return;
    }
    tools::PacketContents shaders;
    for (size_t i = 0; i < programs.size() && i < 2; ++i)
        shaders.programs.push_back(programs[i]);
    seed("data_packet", "show-programs", tools::writePacket(shaders));
}

tools::Object3ds triangleObject(const std::string& name, const std::string& material, Float3 first) {
    tools::Object3ds object;
    object.name = name;
    object.vertices = {first, {first[0] + 1, first[1], first[2]}, {first[0], first[1], first[2] + 1}};
    object.texCoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
    object.faces = {{0, 1, 2}};
    object.groups = {{material, {0}}};
    object.setOrigin(first);
    return object;
}

tools::ObjectNode3ds nodeOf(const std::string& name, uint16_t id) {
    tools::ObjectNode3ds node;
    node.name = name;
    node.nodeId = id;
    node.pivot = {0.5f, 0.0f, 0.0f};
    node.position = {{0, {0, 0, 0}, {}}, {20, {1, 2, 3}, {0x1F, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f}}}};
    node.rotation = {{0, 0.0f, {0, 0, 1}, {}}, {10, 1.5707964f, {0, 0, 1}, {0x03, {0.5f, 0.5f}}}};
    node.scale = {{0, {1, 1, 1}, {}}, {30, {2, 2, 2}, {}}};
    return node;
}

// The model target's input: the shadow-info text, a NUL, then the 3DS bytes; a NUL first means that the
// shadow-info file is missing.
Bytes modelInput(const std::string& shadowInfo, const Bytes& model) {
    Bytes input = bytesOf(shadowInfo);
    input.push_back(0);
    input.insert(input.end(), model.begin(), model.end());
    return input;
}

void writeModelSeeds() {
    tools::Model3ds model;
    tools::Material3ds steel;
    steel.name = "Steel";
    steel.textureMap = "hull_t.png";
    steel.bumpMap = "hull_n.png";
    tools::Material3ds bare;
    bare.name = "bare";
    model.materials = {steel, bare};
    model.objects = {triangleObject("Hull", "steel", {1, 2, 3}), triangleObject("Fin", "bare", {0, 0, 0})};
    tools::Object3ds quad = triangleObject("Quad", "nowhere", {4, 4, 4});
    quad.vertices.push_back({5, 4, 5});
    quad.texCoords.push_back({1.0f, 1.0f});
    quad.faces.push_back({1, 3, 2});
    quad.groups.push_back({"bare", {1}});
    model.objects.push_back(quad);
    model.nodes = {nodeOf("Hull", 0), nodeOf("Fin", 1)};
    model.nodes[1].parentId = 0;
    const Bytes bytes = tools::writeModel3ds(model);
    const std::string shadows = tools::writeShadowInfo({{"Hull", true, false}, {"Fin", false, true}});
    seed("model_3ds", "three-objects", modelInput(shadows, bytes));
    seed("model_3ds", "no-shadow-info", modelInput("", bytes));

    tools::Model3ds single;
    single.materials = {steel};
    single.objects = {triangleObject("Only", "steel", {0, 0, 0})};
    seed("model_3ds", "one-triangle", modelInput("1\nOnly 1 1\n", tools::writeModel3ds(single)));
}

void writeTrackSeeds() {
    tools::CameraFile3ds camera;
    camera.eye = {{0, {0, -10, 2}, {}}, {25, {5, -8, 2}, {0x07, {0.1f, 0.2f, 0.3f}}}, {50, {8, 0, 3}, {}}};
    camera.target = {{0, {0, 0, 0}, {}}, {25, {1, 0, 0}, {}}, {50, {1, 1, 0}, {}}};
    camera.roll = {{0, 0.0f, {}}, {50, 30.0f, {0x18, {0, 0, 0, 0.5f, 0.5f}}}};
    seed("camera_3ds", "three-keys-with-roll", tools::writeCamera3ds(camera));
    camera.target.pop_back();
    camera.roll.clear();
    seed("camera_3ds", "short-target-path", tools::writeCamera3ds(camera));

    tools::LightFile3ds light;
    light.position = {{0, {1, 2, 3}, {}}, {40, {4, 5, 6}, {0x1F, {1, 2, 3, 4, 5}}}};
    seed("light_3ds", "two-keys", tools::writeLight3ds(light));
    light.position.resize(1);
    seed("light_3ds", "one-key", tools::writeLight3ds(light));
}

void writeListSeeds() {
    seed("asset_list", "textures",
         bytesOf("4\ntextures/c_noise.jpg\ntextures/logo.png\ntextures/grain.tga\ntextures/x.jpg.png\n"));
    seed("asset_list", "models-crlf", bytesOf("2\r\n\r\n  models/planet.3ds\r\nmodels/ship.3ds"));
    seed("asset_list", "count-past-the-end", bytesOf("5\nmodels/a.3ds\nmodels/b.3ds\n"));
    seed("asset_list", "long-and-short-lines",
         bytesOf("3\n" + std::string(300, 'x') + "\nmodels/\ntextures/abc.png\n"));
}

} // namespace
} // namespace halcyra::fuzz

int main(int argc, char** argv) {
    using namespace halcyra::fuzz;
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds OUT SHADER_FOLDER\n");
        return 2;
    }
    outFolder = argv[1];
    writeImageSeeds();
    writePacketSeeds(argv[2]);
    writeModelSeeds();
    writeTrackSeeds();
    writeListSeeds();
    return failed ? 1 : 0;
}
