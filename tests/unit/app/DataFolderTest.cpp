#include "app/DataFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace halcyra {
namespace {

namespace fs = std::filesystem;

// A build folder (the program beside its data) and an install prefix (bin/halcyra or games/halcyra, the
// data in share/halcyra), each made as the test asks.
class DataFolderTest : public testing::Test {
protected:
    fs::path folder(const std::string& relative) const {
        fs::create_directories(root.path() / relative);
        return root.path() / relative;
    }
    void packet(const std::string& relative) const { root.write(relative + "/data.qz", "QZ"); }

    test::TempDir root;
    const fs::path buildProgram = folder("build") / "halcyra";
    const fs::path installedProgram = folder("usr/bin") / "halcyra";
    const fs::path gamesProgram = folder("usr/games") / "halcyra";
};

TEST_F(DataFolderTest, BuildFolderAndInstallTreeAreFoundFromTheProgram) {
    packet("build");
    packet("usr/share/halcyra");
    EXPECT_EQ(findDataFolder(buildProgram), root.path() / "build");
    EXPECT_EQ(findDataFolder(installedProgram), root.path() / "usr/share/halcyra");
    EXPECT_EQ(findDataFolder(gamesProgram), root.path() / "usr/share/halcyra");
}

TEST_F(DataFolderTest, ProgramBesideItsDataIsNotSentToAnInstallTree) {
    // A build folder under a prefix that also holds an installed copy plays its own data.
    packet("usr/bin");
    packet("usr/share/halcyra");
    EXPECT_EQ(findDataFolder(installedProgram), root.path() / "usr/bin");
}

TEST_F(DataFolderTest, WithoutAnyPacketTheProgramFolderIsUsedForLoadingToReport) {
    EXPECT_EQ(findDataFolder(installedProgram), root.path() / "usr/bin");
    // A folder named data.qz is no packet.
    folder("usr/share/halcyra/data.qz");
    EXPECT_EQ(findDataFolder(installedProgram), root.path() / "usr/bin");
    // Unknown program: no folder, rather than a guess.
    EXPECT_EQ(findDataFolder({}), fs::path());
}

TEST_F(DataFolderTest, PacketInTheWorkingDirectoryIsNotTaken) {
    packet("work");
    const test::WorkingDirectory entered(root.path() / "work");
    fs::path chosen;
    std::string error;
    ASSERT_TRUE(resolveDataFolder("", chosen, error)) << error;
    EXPECT_EQ(chosen, findDataFolder(programPath()));
    EXPECT_NE(chosen, root.path() / "work");
}

TEST(DataFolder, ProgramPathIsThisRunningExecutable) {
    const fs::path program = programPath();
    ASSERT_FALSE(program.empty());
    EXPECT_TRUE(program.is_absolute());
    EXPECT_TRUE(fs::equivalent(program, "/proc/self/exe"));
}

} // namespace
} // namespace halcyra
