// What every fuzz target shares: a message sink that drops the readers' messages (a damaged file is the
// normal case here), one scratch file per process for the readers that open a path, and a check that
// stops the run when a reader breaks its own contract. Only the fuzz targets link it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace halcyra {

struct Texture;

namespace fuzz {

// Raised instead of ending the process for the one message that ends it by design (a data packet that
// registers a program name twice); the packet target catches it and goes on with the next input.
struct ProcessEnd {};

// Installs the sink once; later calls do nothing.
void dropMessages();

// A file under the system's temporary folder, made on first use and removed at exit. `write` replaces its
// content; `remove` deletes it so that a reader finds nothing at the path.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view suffix);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const char* path() const { return filePath.c_str(); }
    void write(const uint8_t* bytes, size_t length) const;
    void remove() const;

private:
    std::string filePath;
};

// The folder every scratch file of this process lives in.
const std::string& scratchFolder();

// Aborts with `what` on stderr, so that libFuzzer keeps the input as a finding.
[[noreturn]] void contractBroken(const char* what);

// A texture either holds width × height pixels of bitsPerPixel / 8 bytes, or nothing at all (size 0).
void checkTexture(const Texture& texture);

// Decodes the input from memory and through a file, checks both results and that they agree.
void decodeBothWays(const uint8_t* bytes, size_t length, int kind);

} // namespace fuzz
} // namespace halcyra
