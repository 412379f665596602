#include "assets/ShaderManager.h"

#include "core/GlExtensions.h"
#include "core/Message.h"

#include <cstdio>
#include <vector>

namespace halcyra {
namespace {

// The driver's own account of a compile or link.
std::string infoLog(GLhandleARB object) {
    const GlExtensions& ext = GlExtensions::instance();
    GLint length = 0;
    ext.glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    std::vector<GLcharARB> log(static_cast<size_t>(length > 1 ? length : 1), '\0');
    if (length > 1)
        ext.glGetInfoLogARB(object, length, nullptr, log.data());
    return log.data();
}

// The account of a failed compile or link, for whoever wrote the GLSL.
void writeInfoLog(GLhandleARB object, const std::string& programName, const char* what) {
    std::fprintf(stderr, "%s of program \"%s\" failed:\n%s\n", what, programName.c_str(),
                 infoLog(object).c_str());
    std::fflush(stderr);
}

} // namespace

ShaderManager::ShaderManager() {
    const GlExtensions& ext = GlExtensions::instance();
    if (!ext.has(GlExtension::ArbShaderObjects) || !ext.has(GlExtension::ArbVertexShader) ||
        !ext.has(GlExtension::ArbFragmentShader) || !ext.has(GlExtension::ArbShadingLanguage100))
        fatalError("ps2.0 not supported");
    defaultProgram = std::make_unique<ShaderProgram>();
    defaultProgram->index = 99;
    currentProgram = defaultProgram.get();
}

ShaderManager::~ShaderManager() = default;

void ShaderManager::add(std::unique_ptr<ShaderProgram> program, std::string vertexSource,
                        std::string fragmentSource, const char* name) {
    program->name = name != nullptr ? name : "";
    program->vertexSource = std::move(vertexSource);
    program->fragmentSource = std::move(fragmentSource);
    program->built = false;
    for (const auto& registered : programs)
        if (registered->name == program->name)
            fatalError("shaderi on jo");
    program->index = programs.count();
    programs.append(std::move(program));
}

ShaderProgram* ShaderManager::find(const char* name) const {
    for (const auto& program : programs)
        if (name != nullptr && program->name == name)
            return program.get();
    return nullptr;
}

void ShaderManager::build(ShaderProgram* program) {
    if (program->built)
        return;
    const GlExtensions& ext = GlExtensions::instance();
    program->handle = ext.glCreateProgramObjectARB();
    program->vertexShader = ext.glCreateShaderObjectARB(GL_VERTEX_SHADER_ARB);
    program->fragmentShader = ext.glCreateShaderObjectARB(GL_FRAGMENT_SHADER_ARB);
    const GLcharARB* vertexText = program->vertexSource.c_str();
    const GLcharARB* fragmentText = program->fragmentSource.c_str();
    ext.glShaderSourceARB(program->vertexShader, 1, &vertexText, nullptr);
    ext.glShaderSourceARB(program->fragmentShader, 1, &fragmentText, nullptr);
    ext.glCompileShaderARB(program->vertexShader);
    ext.glCompileShaderARB(program->fragmentShader);
    ext.glAttachObjectARB(program->handle, program->vertexShader);
    ext.glAttachObjectARB(program->handle, program->fragmentShader);

    GLint status = 0;
    ext.glGetObjectParameterivARB(program->vertexShader, GL_OBJECT_COMPILE_STATUS_ARB, &status);
    if (!status) {
        writeInfoLog(program->vertexShader, program->name, "Vertex shader compile");
        showMessage("vertex shader compile caused an error", "error", MessageIcon::Warning);
        fatalError(program->name);
    }
    ext.glGetObjectParameterivARB(program->fragmentShader, GL_OBJECT_COMPILE_STATUS_ARB, &status);
    if (!status) {
        writeInfoLog(program->fragmentShader, program->name, "Fragment shader compile");
        showMessage("fragment shader compile caused an error", "error", MessageIcon::Warning);
        fatalError(program->name);
    }
    ext.glLinkProgramARB(program->handle);
    ext.glGetObjectParameterivARB(program->handle, GL_OBJECT_LINK_STATUS_ARB, &status);
    if (!status) {
        writeInfoLog(program->handle, program->name, "Link");
        fatalError("shader linking caused an error");
    }
    program->built = true;
}

void ShaderManager::release(ShaderProgram* program) {
    if (program == nullptr || !program->built)
        return;
    const GlExtensions& ext = GlExtensions::instance();
    ext.glDetachObjectARB(program->handle, program->vertexShader);
    ext.glDetachObjectARB(program->handle, program->fragmentShader);
    ext.glDeleteObjectARB(program->vertexShader);
    ext.glDeleteObjectARB(program->fragmentShader);
    ext.glDeleteObjectARB(program->handle);
    program->built = false;
}

bool ShaderManager::replaceSources(ShaderProgram* program, std::string vertexSource,
                                   std::string fragmentSource, std::string& log) {
    const GlExtensions& ext = GlExtensions::instance();
    const GLhandleARB trial = ext.glCreateProgramObjectARB();
    const GLhandleARB shaders[2] = {ext.glCreateShaderObjectARB(GL_VERTEX_SHADER_ARB),
                                    ext.glCreateShaderObjectARB(GL_FRAGMENT_SHADER_ARB)};
    const GLcharARB* texts[2] = {vertexSource.c_str(), fragmentSource.c_str()};
    const char* stages[2] = {"vertex shader", "fragment shader"};
    bool built = true;
    log.clear();
    for (int i = 0; i < 2; ++i) {
        ext.glShaderSourceARB(shaders[i], 1, &texts[i], nullptr);
        ext.glCompileShaderARB(shaders[i]);
        ext.glAttachObjectARB(trial, shaders[i]);
        GLint status = 0;
        ext.glGetObjectParameterivARB(shaders[i], GL_OBJECT_COMPILE_STATUS_ARB, &status);
        if (!status) {
            log += std::string(stages[i]) + " of \"" + program->name + "\":\n" + infoLog(shaders[i]);
            built = false;
        }
    }
    if (built) {
        ext.glLinkProgramARB(trial);
        GLint status = 0;
        ext.glGetObjectParameterivARB(trial, GL_OBJECT_LINK_STATUS_ARB, &status);
        if (!status) {
            log = "linking \"" + program->name + "\":\n" + infoLog(trial);
            built = false;
        }
    }
    for (const GLhandleARB shader : shaders) {
        ext.glDetachObjectARB(trial, shader);
        ext.glDeleteObjectARB(shader);
    }
    ext.glDeleteObjectARB(trial);
    if (!built)
        return false;
    program->vertexSource = std::move(vertexSource);
    program->fragmentSource = std::move(fragmentSource);
    if (program->built) {
        release(program);
        build(program);
    }
    return true;
}

void ShaderManager::teardown() {
    for (const auto& program : programs)
        release(program.get());
    programs.clear();
    currentProgram = nullptr;
    defaultProgram.reset();
}

int32_t ShaderManager::uniformLocation(const ShaderProgram* program, const char* name) const {
    return GlExtensions::instance().glGetUniformLocationARB(program->handle, name);
}

int32_t ShaderManager::attribLocation(const ShaderProgram* program, const char* name) const {
    return GlExtensions::instance().glGetAttribLocationARB(program->handle, name);
}

void ShaderManager::setInt(int32_t location, int32_t value) const {
    if (location >= 0)
        GlExtensions::instance().glUniform1iARB(location, value);
}

void ShaderManager::setFloat(int32_t location, float value) const {
    if (location >= 0)
        GlExtensions::instance().glUniform1fARB(location, value);
}

void ShaderManager::setVec3(int32_t location, const float* values) const {
    if (location >= 0)
        GlExtensions::instance().glUniform3fvARB(location, 1, values);
}

void ShaderManager::setVec4(int32_t location, const float* values) const {
    if (location >= 0)
        GlExtensions::instance().glUniform4fvARB(location, 1, values);
}

} // namespace halcyra
