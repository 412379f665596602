#include "core/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace halcyra {
namespace {

PlatformFunctions installed;
std::string dataFolder;

template <typename Function>
Function require(Function function, const char* name) {
    if (function == nullptr) {
        std::fprintf(stderr,
                     "halcyra: %s was called before the platform layer was installed: call "
                     "installPlatform() (app/Platform.h) at start-up.\n",
                     name);
        std::abort();
    }
    return function;
}

} // namespace

void setPlatformFunctions(const PlatformFunctions& functions) {
    installed = functions;
}

const PlatformFunctions& platformFunctions() {
    return installed;
}

void presentFrame() {
    require(installed.presentFrame, "presentFrame")();
}

bool dispatchOneMessage() {
    return require(installed.dispatchOneMessage, "dispatchOneMessage")();
}

void sleepMilliseconds(uint32_t milliseconds) {
    require(installed.sleepMilliseconds, "sleepMilliseconds")(milliseconds);
}

uint64_t performanceCounter() {
    return require(installed.performanceCounter, "performanceCounter")();
}

uint64_t performanceFrequency() {
    return require(installed.performanceFrequency, "performanceFrequency")();
}

double threadCpuMilliseconds() {
    return require(installed.threadCpuMilliseconds, "threadCpuMilliseconds")();
}

double processCpuMilliseconds() {
    return require(installed.processCpuMilliseconds, "processCpuMilliseconds")();
}

double residentMebibytes() {
    return require(installed.residentMebibytes, "residentMebibytes")();
}

void returnFreeMemory() {
    require(installed.returnFreeMemory, "returnFreeMemory")();
}

void setSingleSampledScreen(bool on) {
    require(installed.setSingleSampledScreen, "setSingleSampledScreen")(on);
}

void resizePicture(int width, int height, bool full) {
    require(installed.resizePicture, "resizePicture")(width, height, full);
}

void setDataFolder(const std::string& folder) {
    dataFolder = folder;
}

std::string dataFilePath(const std::string& name) {
    if (dataFolder.empty() || dataFolder == "." || (!name.empty() && name.front() == '/'))
        return name;
    return dataFolder + (dataFolder.back() == '/' ? "" : "/") + name;
}

double counterMilliseconds(uint64_t from, uint64_t to) {
    return static_cast<double>(to - from) / static_cast<double>(performanceFrequency()) * 1000.0;
}

} // namespace halcyra
