#include "app/DataFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace halcyra {
namespace {

namespace fs = std::filesystem;

// A working directory, a build folder (the program beside its data) and an install prefix (bin/halcyra,
// the data in share/halcyra), each made as the test asks.
class DataFolderTest : public testing::Test {
protected:
    fs::path folder(const std::string& relative) const {
        fs::create_directories(root.path() / relative);
        return root.path() / relative;
    }
    void packet(const std::string& relative) const { root.write(relative + "/data.qz", "QZ"); }

    test::TempDir root;
    const fs::path working = folder("work");
    const fs::path buildProgram = folder("build") / "halcyra";
    const fs::path installedProgram = folder("usr/bin") / "halcyra";
};

TEST_F(DataFolderTest, BuildFolderAndInstallTreeAreFoundFromTheProgram) {
    packet("build");
    packet("usr/share/halcyra");
    EXPECT_EQ(findDataFolder(working, buildProgram), root.path() / "build");
    EXPECT_EQ(findDataFolder(working, installedProgram), root.path() / "usr/share/halcyra");
}

TEST_F(DataFolderTest, PacketInTheWorkingDirectoryComesFirst) {
    packet("work");
    packet("build");
    packet("usr/share/halcyra");
    EXPECT_EQ(findDataFolder(working, buildProgram), working);
    EXPECT_EQ(findDataFolder(working, installedProgram), working);
}

TEST_F(DataFolderTest, ProgramBesideItsDataIsNotSentToAnInstallTree) {
    // A build folder under a prefix that also holds an installed copy plays its own data.
    packet("usr/bin");
    packet("usr/share/halcyra");
    EXPECT_EQ(findDataFolder(working, installedProgram), root.path() / "usr/bin");
}

TEST_F(DataFolderTest, WithoutAnyPacketTheProgramFolderIsUsedForLoadingToReport) {
    EXPECT_EQ(findDataFolder(working, installedProgram), root.path() / "usr/bin");
    // A folder named data.qz is no packet.
    folder("usr/share/halcyra/data.qz");
    EXPECT_EQ(findDataFolder(working, installedProgram), root.path() / "usr/bin");
    // Unknown program: the working directory.
    packet("build");
    EXPECT_EQ(findDataFolder(working, {}), working);
}

TEST(DataFolder, ProgramPathIsThisRunningExecutable) {
    const fs::path program = programPath();
    ASSERT_FALSE(program.empty());
    EXPECT_TRUE(program.is_absolute());
    EXPECT_TRUE(fs::equivalent(program, "/proc/self/exe"));
}

} // namespace
} // namespace halcyra
