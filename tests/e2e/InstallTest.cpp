#include "support/RunProgram.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace halcyra {
namespace {

namespace fs = std::filesystem;

using test::headless;

// A program found on PATH, or "" when none is there.
std::string findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const fs::path candidate = fs::path(folder) / name;
        std::error_code code;
        if (!folder.empty() && fs::is_regular_file(candidate, code) &&
            (fs::status(candidate, code).permissions() & fs::perms::owner_exec) != fs::perms::none)
            return candidate.string();
    }
    return {};
}

// Every file under `root` with its size, to tell whether anything was written there.
std::map<std::string, uintmax_t> filesUnder(const fs::path& root) {
    std::map<std::string, uintmax_t> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        files[fs::relative(entry.path(), root).string()] = entry.is_regular_file() ? entry.file_size() : 0;
    return files;
}

// The paths an asset list names: a count, then one path per line.
std::vector<std::string> listedPaths(const fs::path& list) {
    std::ifstream in(list);
    int count = 0;
    in >> count;
    std::vector<std::string> paths(count > 0 ? count : 0);
    for (std::string& path : paths)
        in >> path;
    return paths;
}

// `cmake --install` of this build into a fresh prefix.
class InstallTest : public testing::Test {
protected:
    void SetUp() override {
        const auto result = test::runProgram(
            HALCYRA_CMAKE, {"--install", HALCYRA_BUILD_DIR, "--prefix", prefix.path().string()});
        ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
    }

    fs::path data() const { return prefix.path() / "share/halcyra"; }

    test::TempDir prefix;
};

TEST_F(InstallTest, ProgramDataDesktopEntryIconAndManualLandUnderThePrefix) {
    EXPECT_TRUE(fs::is_regular_file(prefix.path() / "bin/halcyra"));
    for (const char* file : {"data.qz", "muzak.mp3", "textures/logo.png", "textures/tex", "models/models",
                             "models/cameras", "models/lights"})
        EXPECT_TRUE(fs::is_regular_file(data() / file)) << file;
    // Everything the lists name is there, so loading finds every file the build folder has.
    int named = 0;
    for (const char* list : {"textures/tex", "models/models", "models/cameras", "models/lights"}) {
        for (const std::string& path : listedPaths(data() / list)) {
            EXPECT_TRUE(fs::is_regular_file(data() / path)) << list << ": " << path;
            ++named;
        }
    }
    EXPECT_EQ(named, 53) << "the lines the loading bar counts";
    EXPECT_TRUE(fs::is_regular_file(prefix.path() / "share/applications/halcyra.desktop"));
    EXPECT_TRUE(fs::is_regular_file(prefix.path() / "share/man/man6/halcyra.6.gz"));

    // The icon: a 256 x 256 PNG, 8-bit RGBA (its IHDR chunk follows the 8-byte signature).
    const std::string icon = test::readFile(prefix.path() / "share/icons/hicolor/256x256/apps/halcyra.png");
    ASSERT_GE(icon.size(), 33u);
    EXPECT_EQ(icon.substr(1, 3), "PNG");
    EXPECT_EQ(icon.substr(12, 4), "IHDR");
    EXPECT_EQ(icon.substr(16, 8), std::string("\0\0\x01\0\0\0\x01\0", 8));
    EXPECT_EQ(icon[24], 8);
    EXPECT_EQ(icon[25], 6);
}

TEST_F(InstallTest, InstalledProgramPlaysItsOwnDataFromAnotherFolderAndWritesNothingThere) {
    // A folder that happens to hold a data.qz (a download folder, say): the program keeps to its own data.
    test::TempDir elsewhere;
    elsewhere.write("data.qz", "not the show's packet");
    const auto before = filesUnder(prefix.path());
    const auto result = test::runProgram((prefix.path() / "bin/halcyra").string(),
                                         {"--no-dialog", "--windowed", "--duration", "1"},
                                         elsewhere.path().string(), headless);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.err, "") << "a message means it missed its data";
    EXPECT_EQ(filesUnder(elsewhere.path()).size(), 1u) << "only the data.qz put there";
    EXPECT_EQ(filesUnder(prefix.path()), before);
}

TEST_F(InstallTest, DesktopEntryValidates) {
    const std::string validator = findOnPath("desktop-file-validate");
    if (validator.empty())
        GTEST_SKIP() << "desktop-file-validate is not installed (Debian package desktop-file-utils; "
                        "scripts/install-deps --test installs it)";
    const auto result =
        test::runProgram(validator, {(prefix.path() / "share/applications/halcyra.desktop").string()});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out + result.err, "") << "errors, warnings and hints alike";
}

// The .deb cpack makes of this build, packed into a fresh folder so that the build's own packages stay.
class PackageInstallTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps", "file"})
            if (findOnPath(tool).empty())
                GTEST_SKIP() << tool
                             << " is not installed (Debian packages dpkg-dev and file; "
                                "scripts/install-deps --test installs them)";
    }

    // Makes the package and returns its path ("" when cpack made none).
    fs::path pack() const {
        const auto result = test::runProgram(
            HALCYRA_CPACK, {"-G", "DEB", "--config", std::string(HALCYRA_BUILD_DIR) + "/CPackConfig.cmake",
                            "-B", folder.path().string()});
        EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
        for (const auto& entry : fs::directory_iterator(folder.path()))
            if (entry.path().extension() == ".deb")
                return entry.path();
        return {};
    }

    test::TempDir folder;
};

TEST_F(PackageInstallTest, LintianFindsNothingToReport) {
    const std::string lintian = findOnPath("lintian");
    if (lintian.empty())
        GTEST_SKIP() << "lintian is not installed (scripts/install-deps --test installs it)";
    const fs::path package = pack();
    ASSERT_FALSE(package.empty());
    // Tags go to standard output; standard error only warns when run as root.
    const auto result = test::runProgram(lintian, {package.string()});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "") << "errors and warnings alike";
}

TEST_F(PackageInstallTest, ProgramInUsrGamesPlaysTheDataInstalledBesideIt) {
    const fs::path package = pack();
    ASSERT_FALSE(package.empty());
    const fs::path root = folder.path() / "root";
    const auto unpacked = test::runProgram(findOnPath("dpkg-deb"), {"-x", package.string(), root.string()});
    ASSERT_EQ(unpacked.exitStatus, 0) << unpacked.err;
    test::TempDir elsewhere;
    const auto result = test::runProgram((root / "usr/games/halcyra").string(),
                                         {"--no-dialog", "--windowed", "--duration", "1"},
                                         elsewhere.path().string(), headless);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "") << "a message means it missed its data";
}

// Every option a text names.
std::set<std::string> optionsIn(const std::string& text) {
    static const std::regex option("--[a-z][a-z-]*");
    std::set<std::string> options;
    for (std::sregex_iterator i(text.begin(), text.end(), option), end; i != end; ++i)
        options.insert(i->str());
    return options;
}

std::string manualText() {
    // troff's escaped minus reads as a plain one.
    return std::regex_replace(test::readFile(fs::path(HALCYRA_SOURCE_DIR) / "packaging/halcyra.6"),
                              std::regex(R"(\\-)"), "-");
}

TEST(ManualPage, DescribesEveryOptionOfHelpAndNoOther) {
    const auto help = test::runProgram(test::halcyraBinary(), {"--help"});
    ASSERT_EQ(help.exitStatus, 0);
    // The head of an entry: "  --fullscreen, --windowed" before the description's column in --help, the
    // line after ".TP" in the page.
    std::string helpHeads;
    std::istringstream helpLines(help.out);
    for (std::string line; std::getline(helpLines, line);)
        if (line.rfind("  --", 0) == 0)
            helpHeads += line.substr(0, line.find("   ", 2)) + "\n";

    const std::string manual = manualText();
    std::string manualHeads;
    std::istringstream manualLines(manual);
    for (std::string line; std::getline(manualLines, line);)
        if (line == ".TP" && std::getline(manualLines, line))
            manualHeads += line + "\n";

    const std::set<std::string> helpOptions = optionsIn(helpHeads);
    EXPECT_GE(helpOptions.size(), 20u);
    EXPECT_EQ(optionsIn(manualHeads), helpOptions);
    // Options the page mentions anywhere else (descriptions, examples) exist too.
    for (const std::string& mentioned : optionsIn(manual))
        EXPECT_TRUE(helpOptions.count(mentioned)) << mentioned;

    const auto version = test::runProgram(test::halcyraBinary(), {"--version"});
    EXPECT_NE(manual.find(".TH HALCYRA 6 \"\" \"" + version.out.substr(0, version.out.find('\n')) + "\""),
              std::string::npos)
        << "the page's header names the version the program prints";
}

TEST(ManualPage, FormatsWithoutWarnings) {
    const std::string groff = findOnPath("groff");
    if (groff.empty())
        GTEST_SKIP() << "groff is not installed (Debian package groff-base)";
    const auto result = test::runProgram(
        groff, {"-ww", "-z", "-man", (fs::path(HALCYRA_SOURCE_DIR) / "packaging/halcyra.6").string()});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
}

} // namespace
} // namespace halcyra
