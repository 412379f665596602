#include "assets/ShaderFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace halcyra {
namespace {

struct Folder {
    test::TempDir dir;
    std::vector<ShaderSources> programs;
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
    struct Case {
        std::vector<std::pair<const char*, const char*>> files;
        std::string error;
    };
    const Case cases[] = {
        {{{"blur.frag", "f"}}, "blur.frag has no blur.vert"},
        {{{"blur.frag", "f"},
          {"blur.vert", "v"},
          {"shared/quad.vert", "q"},
          {"shared/programs", "quad.vert blur"}},
         "blur has both blur.vert and the shared quad.vert"},
        {{{"blur.frag", "f"},
          {"shared/quad.vert", "q"},
          {"shared/band.vert", "b"},
          {"shared/programs", "quad.vert blur\nband.vert blur\n"}},
         "shared/programs gives blur two vertex sources"},
        {{{"shared/quad.vert", "q"}, {"shared/programs", "quad.vert glow\n"}},
         "shared/programs names glow, which has no glow.frag"},
    };
    for (const Case& refused : cases) {
        Folder folder;
        for (const auto& [name, text] : refused.files)
            folder.dir.write(name, text);
        EXPECT_FALSE(folder.read());
        EXPECT_EQ(folder.error, refused.error);
    }

    Folder missing;
    missing.dir.write("blur.frag", "f");
    missing.dir.write("shared/programs", "quad.vert blur\n");
    EXPECT_FALSE(missing.read());
    EXPECT_NE(missing.error.find("cannot read"), std::string::npos) << missing.error;
    EXPECT_NE(missing.error.find("quad.vert"), std::string::npos) << missing.error;
}

} // namespace
} // namespace halcyra
