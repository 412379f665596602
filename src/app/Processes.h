// Processes: the programs this one starts (ffmpeg, its own render jobs): finding one on PATH, starting it
// with its standard streams (and any further descriptors) where the caller wants them, and saying how one
// ended.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace halcyra {

// Whether `name` is an executable program in a folder of PATH.
bool programInstalled(const char* name);

// Where a started program's descriptors go: each pair is (the caller's descriptor, the number the program
// sees it as). Standard input, output or error left out are inherited; `quietOutput` sends standard output
// to /dev/null.
struct ChildDescriptors {
    std::vector<std::pair<int, int>> mapped;
    bool quietOutput = false;
};

// Starts `program` (looked up on PATH) with `arguments` (without the program's name). Returns the process,
// or -1 with the reason in `error`.
pid_t startProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const ChildDescriptors& descriptors, std::string& error);

// A temporary file a started program writes its standard error to, read back when it has ended; removed
// with the object.
class ErrorLog {
public:
    ErrorLog();
    ~ErrorLog();
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;
    // The descriptor to hand the program as its standard error; -1 when the file could not be made.
    int descriptor() const { return file; }
    // Everything written to it so far.
    std::string text() const;

private:
    std::string name;
    int file = -1;
};

// "exit status 2", "signal Killed", as waitpid reported it.
std::string exitText(int status);

// The last line of `text` that is not empty: a failed program's last word.
std::string lastLine(const std::string& text);

} // namespace halcyra
