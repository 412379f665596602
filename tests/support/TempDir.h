// A fresh folder under the system's temporary directory, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace halcyra::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return root; }
    // Writes `bytes` to `relative` (folders made as needed) and returns the full path.
    std::filesystem::path write(const std::string& relative, std::string_view bytes) const;

private:
    std::filesystem::path root;
};

// The whole content of a file, or "" when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// Enters a folder for the lifetime of the object, then returns to the folder before.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& folder);
    ~WorkingDirectory();

private:
    std::filesystem::path previous;
};

} // namespace halcyra::test
