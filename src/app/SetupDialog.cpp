#include "app/SetupDialog.h"

#include "app/Banner.h"
#include "app/Fonts.h"
#include "core/DisplayConfig.h"
#include "core/GlExtensions.h"
#include "core/Message.h"

#include <SDL.h>
#include <imgui.h>
#include <imgui_impl_opengl2.h>
#include <imgui_impl_sdl.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace halcyra {

void DialogState::selectMode(int control) {
    mode4x3 = control == ModeButton4x3;
    mode16x9 = control == ModeButton16x9;
    mode16x10 = control == ModeButton16x10;
    mode16x9_5 = control == ModeButton16x9_5;
}

int DialogState::selectedMode() const {
    if (mode16x10)
        return ModeButton16x10;
    if (mode16x9)
        return ModeButton16x9;
    if (mode4x3)
        return ModeButton4x3;
    if (mode16x9_5)
        return ModeButton16x9_5;
    return 0;
}

DialogState initialDialogState(const GlExtensions& extensions) {
    DialogState state;
    state.selectMode(ModeButton4x3);
    state.vsync = extensions.has(GlExtension::WglExtSwapControl);
    state.fullscreen = true;
    return state;
}

void applyDialogChoice(const DialogState& state, const GlExtensions& extensions, DisplayConfig& config) {
    if (const DisplayMode* mode = displayModeOfButton(state.selectedMode())) {
        config.width = mode->width;
        config.height = mode->height;
        config.aspect = mode->aspect;
    }
    config.fullscreen = state.fullscreen;
    config.vsync = state.vsync ? 1 : 0;
    config.renderTargetSize = 1024;
    config.sampleCount = extensions.has(GlExtension::ArbMultisample) ? 4 : 0;
    config.running = true;
}

int modeButtonForCaption(const char* caption) {
    for (const DisplayMode& mode : displayModes)
        if (caption != nullptr && std::strcmp(caption, mode.caption) == 0)
            return mode.button;
    return 0;
}

namespace {

// The dialog is laid out in dialog units of an 8-point font: one unit is 1.5 pixels across and 1.625 down.
constexpr float unitX = 1.5f;
constexpr float unitY = 1.625f;
constexpr int dialogWidth = 515;  // 343 units
constexpr int dialogHeight = 353; // 217 units

ImVec2 unitsToPixels(float x, float y) {
    return ImVec2(x * unitX, y * unitY);
}

const ImVec4 background(0.055f, 0.067f, 0.082f, 1.0f);
const ImVec4 frameLine(0.22f, 0.27f, 0.31f, 1.0f);
const ImVec4 buttonFace(0.11f, 0.14f, 0.17f, 1.0f);
const ImVec4 buttonHover(0.16f, 0.21f, 0.25f, 1.0f);
const ImVec4 accent(0.06f, 0.38f, 0.47f, 1.0f);
const ImVec4 accentHover(0.09f, 0.46f, 0.56f, 1.0f);
const ImVec4 text(0.86f, 0.91f, 0.94f, 1.0f);
const ImVec4 disabledText(0.42f, 0.48f, 0.53f, 1.0f);

void applyFlatStyle() {
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowPadding = ImVec2(0, 0);
    style.WindowBorderSize = 0.0f;
    style.WindowRounding = 0.0f;
    style.FrameRounding = 0.0f;
    style.FrameBorderSize = 0.0f;
    style.Colors[ImGuiCol_WindowBg] = background;
    style.Colors[ImGuiCol_Text] = text;
    style.Colors[ImGuiCol_TextDisabled] = disabledText;
    style.Colors[ImGuiCol_Button] = buttonFace;
    style.Colors[ImGuiCol_ButtonHovered] = buttonHover;
    style.Colors[ImGuiCol_ButtonActive] = accent;
    style.Colors[ImGuiCol_NavHighlight] = ImVec4(0, 0, 0, 0);
}

// A flat frame with its caption centred on the top edge.
void groupFrame(const char* caption, float x, float y, float width, float height) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetWindowPos();
    const ImVec2 topLeft = unitsToPixels(x, y);
    const ImVec2 size = unitsToPixels(width, height);
    const ImVec2 captionSize = ImGui::CalcTextSize(caption);
    const float lineY = origin.y + topLeft.y + captionSize.y * 0.5f;
    draw->AddRect(ImVec2(origin.x + topLeft.x, lineY),
                  ImVec2(origin.x + topLeft.x + size.x, origin.y + topLeft.y + size.y),
                  ImGui::GetColorU32(frameLine));
    const float captionX = origin.x + topLeft.x + (size.x - captionSize.x) * 0.5f;
    draw->AddRectFilled(ImVec2(captionX - 5, origin.y + topLeft.y),
                        ImVec2(captionX + captionSize.x + 5, lineY + 1), ImGui::GetColorU32(background));
    draw->AddText(ImVec2(captionX, origin.y + topLeft.y), ImGui::GetColorU32(text), caption);
}

// A push-like button that shows its state by colour. Returns true when clicked.
bool pushButton(const char* caption, bool pressed, float x, float y, float width, float height) {
    ImGui::SetCursorPos(unitsToPixels(x, y));
    if (pressed) {
        ImGui::PushStyleColor(ImGuiCol_Button, accent);
        ImGui::PushStyleColor(ImGuiCol_ButtonHovered, accentHover);
    }
    const bool clicked = ImGui::Button(caption, unitsToPixels(width, height));
    if (pressed)
        ImGui::PopStyleColor(2);
    return clicked;
}

// The arrow keys walk the mode buttons left to right.
void stepMode(DialogState& state, int direction) {
    const int count = static_cast<int>(displayModes.size());
    int index = 0;
    for (int i = 0; i < count; ++i)
        if (displayModes[static_cast<size_t>(i)].button == state.selectedMode())
            index = i;
    state.selectMode(displayModes[static_cast<size_t>((index + direction + count) % count)].button);
}

// Draws one frame of the dialog; sets `result` when Run or Exit is pressed.
void drawDialog(DialogState& state, unsigned bannerTexture, const BannerPicture& banner, bool& decided,
                DialogResult& result) {
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImVec2(dialogWidth, dialogHeight));
    ImGui::Begin("setup", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus | ImGuiWindowFlags_NoNav);

    // Banner at its real size inside a one-pixel edge.
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetWindowPos();
    draw->AddRect(origin, ImVec2(origin.x + banner.width + 2, origin.y + banner.height + 2),
                  ImGui::GetColorU32(frameLine));
    ImGui::SetCursorPos(ImVec2(1, 1));
    ImGui::Image(reinterpret_cast<ImTextureID>(static_cast<intptr_t>(bannerTexture)),
                 ImVec2(static_cast<float>(banner.width), static_cast<float>(banner.height)));

    groupFrame("Mode", 6, 145, 203, 30);
    // The mode buttons left to right, 47 units apart.
    for (size_t i = 0; i < displayModes.size(); ++i) {
        const DisplayMode& mode = displayModes[i];
        if (pushButton(mode.caption, state.selectedMode() == mode.button,
                       12.0f + 47.0f * static_cast<float>(i), 156, 47, 12))
            state.selectMode(mode.button);
    }

    groupFrame("Options", 227, 145, 109, 30);
    if (pushButton("VSync", state.vsync, 234, 156, 47, 12))
        state.vsync = !state.vsync;
    if (pushButton("Fullscreen", state.fullscreen, 281, 156, 47, 12))
        state.fullscreen = !state.fullscreen;

    if (pushButton("Run", false, 6, 180, 156, 20)) {
        decided = true;
        result = DialogResult::Run;
    }
    if (pushButton("Exit", false, 181, 180, 156, 20)) {
        decided = true;
        result = DialogResult::Exit;
    }

    // Credit line: disabled, centred, in a sunken frame.
    const ImVec2 creditTopLeft = unitsToPixels(0, 206);
    const ImVec2 creditSize = unitsToPixels(343, 11);
    draw->AddRect(ImVec2(origin.x + creditTopLeft.x, origin.y + creditTopLeft.y),
                  ImVec2(origin.x + creditTopLeft.x + creditSize.x, origin.y + dialogHeight),
                  ImGui::GetColorU32(frameLine));
    const char* credit = "mosslight  \xC2\xB7  Escape ends the show  \xC2\xB7  F12 saves a frame";
    const ImVec2 creditText = ImGui::CalcTextSize(credit);
    ImGui::SetCursorPos(ImVec2((creditSize.x - creditText.x) * 0.5f,
                               creditTopLeft.y + (dialogHeight - creditTopLeft.y - creditText.y) * 0.5f));
    ImGui::TextDisabled("%s", credit);
    ImGui::End();
}

} // namespace

DialogResult runSetupDialog(DialogState& state) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow("halcyra by mosslight", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, dialogWidth,
                         dialogHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (context == nullptr) {
        showMessage(std::string("The setup dialog could not be shown: ") + SDL_GetError());
        if (window != nullptr)
            SDL_DestroyWindow(window);
        return DialogResult::Run;
    }
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(1);
    SDL_RaiseWindow(window);

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    applyFlatStyle();
    const std::string fontFile = findFontFile("Liberation Sans", "Liberation Sans");
    if (!fontFile.empty())
        io.Fonts->AddFontFromFileTTF(fontFile.c_str(), 15.0f);
    ImGui_ImplSDL2_InitForOpenGL(window, context);
    ImGui_ImplOpenGL2_Init();

    const BannerPicture banner = bannerPicture();
    GLuint bannerTexture = 0;
    glGenTextures(1, &bannerTexture);
    glBindTexture(GL_TEXTURE_2D, bannerTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, banner.width, banner.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 banner.rgb);

    bool decided = false;
    DialogResult result = DialogResult::Run;
    while (!decided) {
        SDL_Event event;
        bool hasEvent = SDL_WaitEventTimeout(&event, 100) != 0;
        while (hasEvent && !decided) {
            bool forImGui = true;
            if (event.type == SDL_QUIT ||
                (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
                decided = true;
                result = DialogResult::Exit;
            } else if (event.type == SDL_KEYDOWN) {
                forImGui = false;
                switch (event.key.keysym.sym) {
                case SDLK_RETURN:
                case SDLK_KP_ENTER:
                    decided = true;
                    result = DialogResult::Run;
                    break;
                case SDLK_ESCAPE:
                    decided = true;
                    result = DialogResult::Exit;
                    break;
                case SDLK_LEFT:
                case SDLK_UP:
                    stepMode(state, -1);
                    break;
                case SDLK_RIGHT:
                case SDLK_DOWN:
                    stepMode(state, +1);
                    break;
                default:
                    forImGui = true;
                }
            }
            if (forImGui)
                ImGui_ImplSDL2_ProcessEvent(&event);
            hasEvent = SDL_PollEvent(&event) != 0;
        }
        if (decided)
            break;

        ImGui_ImplOpenGL2_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        drawDialog(state, bannerTexture, banner, decided, result);
        ImGui::Render();
        int width = 0;
        int height = 0;
        SDL_GL_GetDrawableSize(window, &width, &height);
        glViewport(0, 0, width, height);
        glClearColor(background.x, background.y, background.z, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        SDL_GL_SwapWindow(window);
    }

    glDeleteTextures(1, &bannerTexture);
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    return result;
}

} // namespace halcyra
