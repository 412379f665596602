#include "app/Processes.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace halcyra {
namespace {

// A started program's standard error is kept where the user keeps temporary files, not always in /tmp.
TEST(ErrorLog, LivesInTheUsersTemporaryFolder) {
    test::TempDir folder;
    const char* before = std::getenv("TMPDIR");
    const std::optional<std::string> saved = before ? std::optional<std::string>(before) : std::nullopt;
    setenv("TMPDIR", folder.path().c_str(), 1);
    {
        const ErrorLog log;
        ASSERT_GE(log.descriptor(), 0);
        int files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            files += entry.path().filename().string().rfind("halcyra-log-", 0) == 0;
        EXPECT_EQ(files, 1);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "removed with the log";
    if (saved)
        setenv("TMPDIR", saved->c_str(), 1);
    else
        unsetenv("TMPDIR");
}

} // namespace
} // namespace halcyra
