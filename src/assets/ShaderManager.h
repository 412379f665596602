// ShaderManager: the show's GLSL programs by name, as the data packet registered them. The Engine and the
// scenes find a program, build it (compile and link) when they first need it, keep its uniform locations and
// set uniforms through the thin setters. Every shader failure is fatal: the show cannot run without its
// programs. A failing compile or link writes the driver's info log to stderr before its message.
#pragma once

#include "assets/PointerList.h"
#include "core/Singleton.h"

#include <cstdint>
#include <memory>
#include <string>

namespace halcyra {

struct ShaderProgram {
    std::string name;
    std::string vertexSource;
    std::string fragmentSource;
    uint32_t vertexShader = 0;
    uint32_t fragmentShader = 0;
    uint32_t handle = 0; // the program object handed to glUseProgramObjectARB
    int32_t index = 0;   // number of programs registered before this one
    bool built = false;
};

// The first instance() needs the four shader extensions: without them "ps2.0 not supported" ends the
// process. destroy() tears the registry down and deletes the object.
class ShaderManager : public Singleton<ShaderManager> {
public:
    // Takes `program` with its two sources and registers it as `name`; a name registered twice ends the
    // process ("shaderi on jo").
    void add(std::unique_ptr<ShaderProgram> program, std::string vertexSource, std::string fragmentSource,
             const char* name);
    // The program named exactly `name`, or null (no message).
    ShaderProgram* find(const char* name) const;
    // Compiles and links once; does nothing for a built program.
    void build(ShaderProgram* program);
    // Deletes the program's GL objects; does nothing for one not built. It can be built again.
    void release(ShaderProgram* program);
    // New sources for a registered program (read from a folder, edited in the studio): they are compiled
    // and linked on their own first. When they build they become the program's sources, and a built program
    // is built again from them (new GL objects: callers fetch their locations again); true. When they do not,
    // the program keeps its sources and its build, `log` gets the driver's account, and false. Never fatal.
    bool replaceSources(ShaderProgram* program, std::string vertexSource, std::string fragmentSource,
                        std::string& log);
    // Releases and frees every program in registration order.
    void teardown();

    int32_t uniformLocation(const ShaderProgram* program, const char* name) const;
    int32_t attribLocation(const ShaderProgram* program, const char* name) const;
    // Each makes one GL call on the current program, none for a negative location.
    void setInt(int32_t location, int32_t value) const;
    void setFloat(int32_t location, float value) const;
    void setVec3(int32_t location, const float* values) const;
    void setVec4(int32_t location, const float* values) const;

    PointerList<ShaderProgram> programs{0};
    ShaderProgram* currentProgram = nullptr;
    std::unique_ptr<ShaderProgram> defaultProgram;

private:
    friend class Singleton<ShaderManager>;
    ShaderManager();
    friend struct std::default_delete<ShaderManager>;
    ~ShaderManager();
};

} // namespace halcyra
