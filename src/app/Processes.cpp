#include "app/Processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace halcyra {

bool programInstalled(const char* name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

pid_t startProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const ChildDescriptors& descriptors, std::string& error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (descriptors.quietOutput)
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (const auto& [from, to] : descriptors.mapped)
        posix_spawn_file_actions_adddup2(&actions, from, to);
    std::vector<std::string> args = arguments;
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        error = program + " cannot be started: " + std::strerror(spawned);
        return -1;
    }
    return child;
}

ErrorLog::ErrorLog() {
    // The user's temporary folder (TMPDIR), as every program keeps its scratch files there.
    const char* folder = std::getenv("TMPDIR");
    std::string pattern =
        std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/halcyra-log-XXXXXX";
    file = mkstemp(pattern.data());
    if (file >= 0) {
        name = pattern;
        fcntl(file, F_SETFD, FD_CLOEXEC);
    }
}

ErrorLog::~ErrorLog() {
    if (file >= 0) {
        close(file);
        std::remove(name.c_str());
    }
}

std::string ErrorLog::text() const {
    std::ifstream in(name);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string exitText(int status) {
    if (WIFEXITED(status))
        return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return std::string("signal ") + strsignal(WTERMSIG(status));
    return "status " + std::to_string(status);
}

std::string lastLine(const std::string& text) {
    std::string line;
    std::stringstream lines(text);
    for (std::string current; std::getline(lines, current);)
        if (!current.empty())
            line = current;
    return line;
}

} // namespace halcyra
