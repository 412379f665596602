#include "app/Studio.h"

#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Platform.h"
#include "render/Engine.h"
#include "render/RenderTarget.h"
#include "timeline/Demo.h"
#include "timeline/ShaderWatch.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace halcyra {
namespace {

// The pass views' own program: a target's texture brought into view. Colour is scaled (the bright pass is
// stored divided by four times the range, the HDR picture runs above 1); depth is made linear between the
// projection's planes (1 and 2000) and shown near as light, far as dark.
const char* const viewVertex = R"(#version 110
varying vec2 uv;
void main() {
    gl_Position = ftransform();
    uv = gl_MultiTexCoord0.xy;
})";
const char* const viewFragment = R"(#version 110
uniform sampler2D tex;
uniform float scale;
uniform int depth;
varying vec2 uv;
void main() {
    vec4 texel = texture2D(tex, uv);
    if (depth != 0) {
        float z = texel.r * 2.0 - 1.0;
        float distance = 2.0 * 2000.0 / (2001.0 - z * 1999.0);
        gl_FragColor = vec4(vec3(1.0 - clamp(distance / 600.0, 0.0, 1.0)), 1.0);
    } else {
        gl_FragColor = vec4(clamp(texel.rgb * scale, 0.0, 1.0), 1.0);
    }
})";
const char* viewName(PassView view) {
    switch (view) {
    case PassView::Hdr:
        return "F2 HDR target";
    case PassView::Bright:
        return "F3 bright pass";
    case PassView::Blur:
        return "F4 blur target";
    case PassView::Shadow:
        return "F5 shadow map";
    default:
        return "F1 picture";
    }
}

// Saves what the studio's drawing changes, and sets the window's pixels as the units: origin bottom left.
class WindowDrawing {
public:
    WindowDrawing(int x, int y, int width, int height) {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        const GlExtensions& ext = GlExtensions::instance();
        ext.glUseProgramObjectARB(0);
        ext.glActiveTextureARB(GL_TEXTURE0_ARB);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
        for (const GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(matrix);
            glPushMatrix();
            glLoadIdentity();
        }
        glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
        glViewport(x, y, width, height);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_LIGHTING);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
    }
    ~WindowDrawing() {
        for (const GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(matrix);
            glPopMatrix();
        }
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
        glPopAttrib();
    }
    WindowDrawing(const WindowDrawing&) = delete;
    WindowDrawing& operator=(const WindowDrawing&) = delete;

private:
    GLint boundTexture = 0;
};

void texturedQuad(float width, float height) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(width, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(width, height);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, height);
    glEnd();
}

std::string clock(double ms) {
    const long long whole = std::llround(std::max(0.0, ms));
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", whole / 60000, whole / 1000 % 60, whole % 1000);
    return text;
}

// The last measured frame's passes, each with its milliseconds: on the GL's timeline where it was measured.
std::vector<std::pair<const char*, float>> framePasses() {
    std::vector<std::pair<const char*, float>> passes;
    if (!Engine::exists())
        return passes;
    const PassFrame& frame = Engine::instance().passTimes.latest();
    for (int pass = 0; pass < passKinds; ++pass) {
        const float ms = frame.gpuMeasured ? frame.gpu[pass] : frame.cpu[pass];
        if (ms >= 0.05f)
            passes.emplace_back(passName(static_cast<Pass>(pass)), ms);
    }
    return passes;
}

} // namespace

bool Studio::drawPassView(int x, int y, int width, int height) {
    if (view == PassView::Picture || !Engine::exists())
        return false;
    const Engine& engine = Engine::instance();
    const RenderTarget* target = nullptr;
    int texture = 0;
    switch (view) {
    case PassView::Hdr:
        target = engine.hdrTarget.get();
        texture = 1;
        break;
    case PassView::Bright:
        target = engine.brightTarget.get();
        break;
    case PassView::Blur:
        target = engine.blurTarget.get();
        texture = 1;
        break;
    case PassView::Shadow:
        target = engine.shadowTarget.get();
        break;
    default:
        break;
    }
    if (target == nullptr || texture >= target->colorCount)
        return false;
    const GLuint id = target->textures[texture].id;
    const float scale = view == PassView::Bright ? 4.0f * DisplayConfig::instance().hdrRange
                        : view == PassView::Hdr  ? 0.5f
                                                 : 1.0f;
    WindowDrawing drawing(x, y, width, height);
    const GlExtensions& ext = GlExtensions::instance();
    ShaderManager& registry = ShaderManager::instance();
    registry.build(&viewProgram);
    const GLhandleARB program = viewProgram.handle;
    ext.glUseProgramObjectARB(program);
    ext.glUniform1iARB(ext.glGetUniformLocationARB(program, "tex"), 0);
    ext.glUniform1fARB(ext.glGetUniformLocationARB(program, "scale"), scale);
    ext.glUniform1iARB(ext.glGetUniformLocationARB(program, "depth"), target->depthOnly ? 1 : 0);
    glBindTexture(GL_TEXTURE_2D, id);
    // The shadow map compares depths when sampled; shown, it gives the depths themselves.
    GLint compare = GL_NONE;
    if (target->depthOnly) {
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, &compare);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_NONE);
    }
    texturedQuad(static_cast<float>(width), static_cast<float>(height));
    if (target->depthOnly)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, compare);
    ext.glUseProgramObjectARB(0);
    return true;
}

void Studio::drawOverlay(int width, int height) {
    if (!showOverlay || width <= 0 || height <= 0)
        return;
    const int size = std::clamp(height / 48, 12, 40);
    if (size != fontHeight) {
        if (fontHeight != 0)
            font.destroy();
        font.create(DisplayConfig::instance().fontFile, size);
        fontHeight = size;
    }
    const std::vector<std::string> lines = overlayLines();
    const std::vector<std::pair<const char*, float>> passes = framePasses();
    const int lineHeight = size + size / 3;
    const int margin = size / 2;
    const int panelHeight = static_cast<int>(lines.size() + passes.size()) * lineHeight + margin * 2;
    const int panelWidth = std::min(width, size * 44);

    WindowDrawing drawing(0, 0, width, height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glRecti(0, height - panelHeight, panelWidth, height);
    glDisable(GL_BLEND);
    int y = height - margin - size;
    for (size_t i = 0; i < lines.size(); ++i, y -= lineHeight) {
        const bool log = i >= 4;
        font.print(margin, y, log ? Rgba{1.0f, 0.45f, 0.35f, 1.0f} : Rgba{0.85f, 0.95f, 1.0f, 1.0f}, "%s",
                   lines[i].c_str());
    }
    // A bar per pass of the last measured frame: a frame of 1/30 s fills the panel's bar column.
    const int barLeft = margin + size * 12;
    const float perMs = static_cast<float>(panelWidth - barLeft - margin) / (1000.0f / 30.0f);
    for (const auto& [name, ms] : passes) {
        font.print(margin, y, Rgba{0.7f, 0.8f, 0.85f, 1.0f}, "%-12s%5.1f", name, ms);
        glColor3f(0.35f, 0.75f, 0.85f);
        glRecti(barLeft + size * 2, y + size / 6,
                barLeft + size * 2 + std::max(1, static_cast<int>(ms * perMs)), y + size - size / 6);
        y -= lineHeight;
    }
}

// The lines of the overlay, top first.
std::vector<std::string> Studio::overlayLines() const {
    const Transport& shown = transport;
    const double ms = shown.shownTime();
    const long long bar = static_cast<long long>(std::floor(ms / Transport::barMs));
    const int beat = static_cast<int>(std::floor((ms - bar * Transport::barMs) / Transport::beatMs)) + 1;
    const long long row = static_cast<long long>(std::floor(ms / (Transport::beatMs / 4.0)));
    const DisplayConfig& look = DisplayConfig::instance();
    char line[256];
    std::vector<std::string> lines;
    std::snprintf(line, sizeof line, "%s   bar %lld beat %d   row %lld%s", clock(ms).c_str(), bar, beat, row,
                  shown.paused() ? "   paused" : "");
    lines.emplace_back(line);
    std::snprintf(line, sizeof line, "scene %d %s   frame %.1f ms", shown.sceneIndex() + 1,
                  shown.sceneIndex() >= 0 && shown.sceneIndex() < static_cast<int>(sceneNames.size())
                      ? sceneNames[static_cast<size_t>(shown.sceneIndex())].c_str()
                      : "",
                  shown.frameTime());
    lines.emplace_back(line);
    std::snprintf(line, sizeof line, "exposure %.3f  range %.2f  glow %.3f  light %.3f  ambient %.3f%s",
                  look.hdrExposure, look.hdrRange, look.hdrBlurStrength, look.lightLevel, look.ambientLevel,
                  look.hdrEnabled ? "" : "  (HDR off)");
    lines.emplace_back(line);
    std::string views = viewName(view);
    if (shown.looping())
        views += "   loop " + clock(shown.loopFrom()) + " - " + clock(shown.loopTo());
    lines.push_back(views);
    std::istringstream log(shaders != nullptr ? shaders->log() : std::string());
    int logLines = 0;
    for (std::string text; std::getline(log, text) && logLines < 14; ++logLines)
        lines.push_back((logLines == 0 ? "! " : "  ") + text.substr(0, 120));
    return lines;
}

Studio::Studio(Transport& show, ShaderWatch* watch)
    : transport(show), shaders(watch), sceneNames(Demo::sceneNames()) {
    viewProgram.name = "studio's pass view";
    viewProgram.vertexSource = viewVertex;
    viewProgram.fragmentSource = viewFragment;
}

Studio::~Studio() {
    if (fontHeight != 0)
        font.destroy();
    if (viewProgram.built && ShaderManager::exists())
        ShaderManager::instance().release(&viewProgram);
}

void Studio::handle(const PlayerRequest& request) {
    if (request.command == PlayerCommand::ToggleOverlay)
        showOverlay = !showOverlay;
    else if (request.command == PlayerCommand::PassView && request.argument >= 0 &&
             request.argument <= static_cast<int>(PassView::Shadow))
        view = static_cast<PassView>(request.argument);
}

void Studio::betweenFrames() {
    if (rebuildSaved >= 0.0 && transport.framesShown() != framesAtRebuild) {
        rebuildTimes.push_back(rebuildSaved + counterMilliseconds(rebuildAt, performanceCounter()));
        rebuildSaved = -1.0;
    }
    if (shaders == nullptr || !shaders->poll() || !Engine::exists())
        return;
    rebuildSaved = shaders->sinceChangeMs();
    rebuildAt = performanceCounter();
    framesAtRebuild = transport.framesShown();
    // Scenes fetch their programs' locations as they start, the Engine its own now: the frame on screen is
    // drawn again, replayed from the top, with the new programs.
    Engine::instance().refreshPrograms();
    transport.redraw();
}

std::string Studio::report() const {
    return latencyLine("GLSL rebuilds, file saved to the first frame drawn with it", rebuildTimes);
}

void Studio::writeJson(JsonWriter& json) const {
    writeLatencies(json, "rebuildsMs", rebuildTimes);
}

} // namespace halcyra
