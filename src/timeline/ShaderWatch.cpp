#include "timeline/ShaderWatch.h"

#include "assets/ShaderFolder.h"
#include "assets/ShaderManager.h"
#include "core/Message.h"
#include "core/Platform.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

namespace halcyra {

ShaderWatch::ShaderWatch(std::string sourceFolder) : folder(std::move(sourceFolder)) {
    times = fileTimes();
    apply(true);
    lastLook = performanceCounter();
}

std::map<std::filesystem::path, std::filesystem::file_time_type> ShaderWatch::fileTimes() const {
    namespace fs = std::filesystem;
    std::map<fs::path, fs::file_time_type> found;
    std::error_code code;
    for (const fs::path& place : {fs::path(folder), fs::path(folder) / "shared"})
        for (fs::directory_iterator entry(place, code), end; !code && entry != end; entry.increment(code)) {
            std::error_code timeCode;
            const auto time = entry->last_write_time(timeCode);
            if (!timeCode && entry->is_regular_file(timeCode))
                found[entry->path()] = time;
        }
    return found;
}

bool ShaderWatch::apply(bool report) {
    std::vector<ShaderSources> programs;
    std::string error;
    if (!readShaderFolder(folder, programs, error)) {
        // A file half saved or misnamed: what builds now stays, and the reason shows until the folder reads.
        failures["(folder)"] = error;
        if (report)
            showMessage("The GLSL folder " + folder + " cannot be read (" + error +
                        "); the packet's programs play.");
        return false;
    }
    failures.erase("(folder)");
    ShaderManager& shaders = ShaderManager::instance();
    bool changed = false;
    for (ShaderSources& sources : programs) {
        ShaderProgram* program = shaders.find(sources.key.c_str());
        if (program == nullptr) {
            shaders.add(std::make_unique<ShaderProgram>(), {}, {}, sources.key.c_str());
            program = shaders.find(sources.key.c_str());
        }
        if (program->vertexSource == sources.vertexSource &&
            program->fragmentSource == sources.fragmentSource) {
            failures.erase(sources.key);
            continue;
        }
        std::string log;
        if (shaders.replaceSources(program, std::move(sources.vertexSource),
                                   std::move(sources.fragmentSource), log)) {
            failures.erase(sources.key);
            changed = true;
        } else {
            if (report)
                showMessage("The program \"" + sources.key + "\" of " + folder +
                            " does not build; the packet's plays. " + log);
            failures[sources.key] = log;
        }
    }
    return changed;
}

bool ShaderWatch::poll() {
    const uint64_t now = performanceCounter();
    if (counterMilliseconds(lastLook, now) < 100.0)
        return false;
    lastLook = now;
    auto current = fileTimes();
    if (current == times)
        return false;
    times = std::move(current);
    return apply(false);
}

double ShaderWatch::sinceChangeMs() const {
    std::filesystem::file_time_type newest = std::filesystem::file_time_type::min();
    for (const auto& [path, time] : times)
        newest = std::max(newest, time);
    const auto age = std::filesystem::file_time_type::clock::now() - newest;
    return std::max(0.0, std::chrono::duration<double, std::milli>(age).count());
}

std::string ShaderWatch::log() const {
    std::string text;
    for (const auto& [key, log] : failures)
        text += log + (log.empty() || log.back() == '\n' ? "" : "\n");
    return text;
}

} // namespace halcyra
