#include "assets/DataPacket.h"
#include "assets/ShaderManager.h"
#include "assets/TextureManager.h"

#include "ImageWriter.h"
#include "PacketWriter.h"
#include "core/GlExtensions.h"
#include "support/MessageLog.h"
#include "support/Registries.h"
#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

// Registration needs no GL: the shader registry only checks that the driver offers GLSL.
void offerShaders() {
    GlExtensions& ext = GlExtensions::instance();
    for (GlExtension e : {GlExtension::ArbShaderObjects, GlExtension::ArbVertexShader,
                          GlExtension::ArbFragmentShader, GlExtension::ArbShadingLanguage100})
        ext.flags[static_cast<int>(e)] = 1;
}

tools::PacketContents sampleContents() {
    tools::PacketContents contents;
    const std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    contents.textures.push_back({"c_noise.png", tools::encodePng(tools::makePng(2, 2, 3, pixels))});
    contents.textures.push_back({"..dots.first.png", tools::encodePng(tools::makePng(1, 1, 3, {9, 9, 9}))});
    contents.programs.push_back(
        {"blur", "void main() { gl_Position = gl_Vertex; }\n", "uniform sampler2D tex;\n"});
    contents.programs.push_back({"hdr_tonemap", std::string("// vertex\0with nul", 17), "// fragment"});
    return contents;
}

void readPacket(const std::vector<uint8_t>& bytes) {
    DataPacket::read(bytes.data(), bytes.size());
}

TEST(DataPacket, WriterOutputRoundTripsEveryKeyAndSourceByte) {
    test::RegistryScope registries;
    offerShaders();
    test::MessageLog log;
    const auto contents = sampleContents();
    readPacket(tools::writePacket(contents));
    EXPECT_TRUE(log.messages().empty());

    const TextureManager& textures = TextureManager::instance();
    ASSERT_EQ(textures.textures.count(), 2);
    EXPECT_EQ(textures.textures.at(0)->name, "c_noise");
    EXPECT_EQ(textures.textures.at(0)->width, 2);
    EXPECT_EQ(textures.textures.at(1)->name, "dots");

    const ShaderManager& shaders = ShaderManager::instance();
    ASSERT_EQ(shaders.programs.count(), 2);
    for (int i = 0; i < 2; ++i) {
        const ShaderProgram* program = shaders.find(contents.programs[i].key.c_str());
        ASSERT_NE(program, nullptr);
        EXPECT_EQ(program->index, i);
        EXPECT_FALSE(program->built);
        EXPECT_EQ(program->vertexSource, contents.programs[i].vertexSource);
        EXPECT_EQ(program->fragmentSource, contents.programs[i].fragmentSource);
        EXPECT_EQ(program->fragmentSource.c_str()[program->fragmentSource.size()], '\0');
    }
}

TEST(DataPacket, AllZeroCountsRegisterNothingAndSayNothing) {
    test::RegistryScope registries;
    test::MessageLog log;
    readPacket(std::vector<uint8_t>(24, 0));
    EXPECT_TRUE(log.messages().empty());
    EXPECT_EQ(TextureManager::instance().textures.count(), 0);
}

TEST(DataPacket, SkippedSectionsAreConsumedExactly) {
    test::RegistryScope registries;
    offerShaders();
    // Sections 1, 2, 3 and 5 carry entries the show ignores; section 4 must still be found.
    std::string bytes(4, '\0');
    for (int section = 1; section <= 3; ++section)
        bytes += std::string("\x01\0\0\0\x02\0\0\0ab\x03\0\0\0xyz", 17);
    tools::PacketContents programs;
    programs.programs.push_back({"mask", "v", "f"});
    const auto withProgram = tools::writePacket(programs);
    bytes += std::string(withProgram.begin() + 16, withProgram.end() - 4);
    bytes += std::string(12, '\0');
    bytes[bytes.size() - 12] = 1;
    test::MessageLog log;
    DataPacket::read(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    EXPECT_TRUE(log.messages().empty());
    ASSERT_NE(ShaderManager::instance().find("mask"), nullptr);
}

TEST(DataPacket, PacketKeyCutsAtTheFirstDotAfterLeadingDots) {
    auto key = [](const std::string& name) {
        return packetKey(reinterpret_cast<const uint8_t*>(name.data()), name.size());
    };
    EXPECT_EQ(key("blur.frag"), "blur");
    EXPECT_EQ(key("hdr_tonemap"), "hdr_tonemap");
    EXPECT_EQ(key("...hidden.png"), "hidden");
    EXPECT_EQ(key("a.b.c"), "a");
    EXPECT_EQ(key("..."), "");
    EXPECT_EQ(key(""), "");
}

TEST(DataPacket, TruncatedAtEveryByteStopsWithOneDamageMessageAndNoCrash) {
    offerShaders();
    const auto packet = tools::writePacket(sampleContents());
    for (size_t length = 0; length < packet.size(); length += (length < 64 ? 1 : 7)) {
        test::MessageLog log;
        DataPacket::read(packet.data(), length);
        ASSERT_EQ(log.texts(), std::vector<std::string>{"data packet is damaged"}) << length;
        ShaderManager::destroy();
        TextureManager::destroy();
    }
}

TEST(DataPacket, ImpossibleLengthsAndCountsStopBeforeAllocating) {
    offerShaders();
    auto patched = [](std::vector<uint8_t> bytes, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return bytes;
    };
    const auto packet = tools::writePacket(sampleContents());
    const std::vector<std::vector<uint8_t>> damaged = {
        patched(packet, 0, 0x7fffffff), // texture count far beyond the file
        patched(packet, 0, 0xffffffff), // negative texture count
        patched(packet, 4, 0x7ffffff0), // first name block longer than the file
        patched(packet, 4, 0x80000000), // negative block length
    };
    for (const auto& bytes : damaged) {
        test::MessageLog log;
        readPacket(bytes);
        EXPECT_EQ(log.texts(), std::vector<std::string>{"data packet is damaged"});
    }
}

TEST(DataPacket, OddShaderCountBuildsNoHalfPairAndKeepsTexturesReadBefore) {
    test::RegistryScope registries;
    offerShaders();
    tools::PacketContents contents = sampleContents();
    auto packet = tools::writePacket(contents);
    // Section 4's count follows section 0 and three empty counts.
    size_t at = 4;
    for (const auto& texture : contents.textures)
        at += 8 + texture.name.size() + texture.png.size();
    at += 12;
    ASSERT_EQ(packet[at], 4);
    packet[at] = 3;
    test::MessageLog log;
    readPacket(packet);
    EXPECT_EQ(log.texts(), std::vector<std::string>{"data packet is damaged"});
    EXPECT_EQ(TextureManager::instance().textures.count(), 2);
    EXPECT_EQ(ShaderManager::instance().programs.count(), 0);
}

TEST(DataPacket, MissingFileIsOneMessage) {
    test::TempDir dir;
    test::MessageLog log;
    DataPacket packet((dir.path() / "data.qz").c_str());
    EXPECT_EQ(log.texts(), std::vector<std::string>{"can't open data packet"});
}

TEST(DataPacket, UndecodableTextureIsStillRegistered) {
    test::RegistryScope registries;
    tools::PacketContents contents;
    contents.textures.push_back({"broken.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0}});
    test::MessageLog log;
    readPacket(tools::writePacket(contents));
    EXPECT_EQ(log.messages().size(), 1u);
    ASSERT_NE(TextureManager::instance().find("broken"), nullptr);
    EXPECT_TRUE(TextureManager::instance().find("broken")->pixels.empty());
}

TEST(PacketTool, TextureThatIsNotAPngIsRefusedWithItsName) {
    test::TempDir dir;
    const auto png = dir.write("steel.png", "");
    tools::writeFile(png.string(), tools::encodePng(tools::makePng(1, 1, 3, {9, 9, 9})));
    const auto jpeg = dir.write("teal.png", "");
    tools::writeFile(jpeg.string(), tools::encodeJpeg(8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 90)));
    const std::string out = (dir.path() / "data.qz").string();

    const auto packed = test::runProgram(HALCYRA_QZPACK, {"--out", out, "--texture", png.string()});
    EXPECT_EQ(packed.exitStatus, 0) << packed.err;
    const auto refused = test::runProgram(
        HALCYRA_QZPACK, {"--out", out, "--texture", png.string(), "--texture", jpeg.string()});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.err, "qzpack: " + jpeg.string() + " is not a PNG file; packet textures must be PNG\n");
}

using DataPacketDeathTest = testing::Test;

TEST(DataPacketDeathTest, DuplicateProgramKeyEndsTheProcess) {
    offerShaders();
    tools::PacketContents contents;
    contents.programs.push_back({"blur", "a", "b"});
    contents.programs.push_back({"blur", "c", "d"});
    const auto packet = tools::writePacket(contents);
    EXPECT_EXIT(readPacket(packet), testing::ExitedWithCode(255), "error: shaderi on jo");
}

TEST(DataPacketDeathTest, ShaderSectionWithoutGlslSupportEndsTheProcess) {
    tools::PacketContents contents;
    contents.programs.push_back({"blur", "a", "b"});
    const auto packet = tools::writePacket(contents);
    EXPECT_EXIT(readPacket(packet), testing::ExitedWithCode(255), "error: ps2.0 not supported");
}

} // namespace
} // namespace halcyra
