#include "PacketWriter.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halcyra {
namespace {

using tools::PacketProgram;
using tools::readShaderFolder;

struct Folder {
    test::TempDir dir;
    std::vector<PacketProgram> programs;
    std::string error;

    bool read() { return readShaderFolder(dir.path().string(), programs, error); }
};

TEST(ShaderFolder, SharedVertexSourceServesEveryKeyItListsBesideOwnPairs) {
    Folder folder;
    folder.dir.write("blur.frag", "blur fragment");
    folder.dir.write("static.frag", "static fragment");
    folder.dir.write("mask.vert", "mask vertex");
    folder.dir.write("mask.frag", "mask fragment");
    folder.dir.write("shared/quad.vert", "quad vertex");
    folder.dir.write("shared/programs", "# comment line\n\nquad.vert static blur\n");
    ASSERT_TRUE(folder.read()) << folder.error;
    ASSERT_EQ(folder.programs.size(), 3u);
    EXPECT_EQ(folder.programs[0].key, "blur");
    EXPECT_EQ(folder.programs[0].vertexSource, "quad vertex");
    EXPECT_EQ(folder.programs[0].fragmentSource, "blur fragment");
    EXPECT_EQ(folder.programs[1].key, "mask");
    EXPECT_EQ(folder.programs[1].vertexSource, "mask vertex");
    EXPECT_EQ(folder.programs[2].key, "static");
    EXPECT_EQ(folder.programs[2].vertexSource, "quad vertex");
}

TEST(ShaderFolder, AKeyWithNoVertexSourceOrTwoOrAMissingSharedFileIsRefusedByName) {
    {
        Folder folder;
        folder.dir.write("blur.frag", "f");
        EXPECT_FALSE(folder.read());
        EXPECT_EQ(folder.error, "blur.frag has no blur.vert");
    }
    {
        Folder folder;
        folder.dir.write("blur.frag", "f");
        folder.dir.write("blur.vert", "v");
        folder.dir.write("shared/quad.vert", "q");
        folder.dir.write("shared/programs", "quad.vert blur\n");
        EXPECT_FALSE(folder.read());
        EXPECT_EQ(folder.error, "blur has both blur.vert and the shared quad.vert");
    }
    {
        Folder folder;
        folder.dir.write("blur.frag", "f");
        folder.dir.write("shared/quad.vert", "q");
        folder.dir.write("shared/band.vert", "b");
        folder.dir.write("shared/programs", "quad.vert blur\nband.vert blur\n");
        EXPECT_FALSE(folder.read());
        EXPECT_EQ(folder.error, "shared/programs gives blur two vertex sources");
    }
    {
        Folder folder;
        folder.dir.write("shared/quad.vert", "q");
        folder.dir.write("shared/programs", "quad.vert glow\n");
        EXPECT_FALSE(folder.read());
        EXPECT_EQ(folder.error, "shared/programs names glow, which has no glow.frag");
    }
    {
        Folder folder;
        folder.dir.write("blur.frag", "f");
        folder.dir.write("shared/programs", "quad.vert blur\n");
        EXPECT_FALSE(folder.read());
        EXPECT_NE(folder.error.find("cannot read"), std::string::npos) << folder.error;
        EXPECT_NE(folder.error.find("quad.vert"), std::string::npos) << folder.error;
    }
}

} // namespace
} // namespace halcyra
