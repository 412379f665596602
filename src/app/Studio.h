// Studio: what the people who make the show get beside it (--studio), one object of the program that the run
// loop and the presentation call. Between frames, and while the show is paused, it rebuilds the programs
// whose GLSL files changed in the --shaders folder and has the frame on screen drawn again with them. As a
// frame is presented it draws into the window, never into the picture that F12 and captures read: one of the
// passes' targets in place of the finished picture (F2 to F5), and the overlay (Tab) with the show time, bar
// and beat, scene, frame time, look parameters, the last frame's passes and the compiler's log of a program
// that failed to build. Every GL state it changes is put back; its GL objects go with it (the context must be
// current then).
#pragma once

#include "assets/ShaderManager.h"
#include "core/JsonWriter.h"
#include "timeline/BitmapFont.h"
#include "timeline/Playback.h"
#include "timeline/Transport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace halcyra {

class ShaderWatch;

// What the studio shows in the picture's place: the finished picture or one of the passes' targets.
enum class PassView { Picture = 0, Hdr = 1, Bright = 2, Blur = 3, Shadow = 4 };

class Studio final : public RunLoopHook {
public:
    // `transport` is the show's; `shaders` the folder the programs are read from, or null.
    Studio(Transport& transport, ShaderWatch* shaders);
    ~Studio() override;
    Studio(const Studio&) = delete;
    Studio& operator=(const Studio&) = delete;

    // The studio's own keys: Tab and F1 to F5.
    void handle(const PlayerRequest& request);
    // Rebuilds the programs whose files changed, then has the transport draw the frame again.
    void betweenFrames() override;

    bool overlayShown() const { return showOverlay; }
    PassView passView() const { return view; }
    // Draws the chosen pass into (x, y, width, height) of the window; false, drawing nothing, for the
    // finished picture or when the Engine has no targets.
    bool drawPassView(int x, int y, int width, int height);
    // Draws the overlay over a window drawable of `width` × `height` when it is shown.
    void drawOverlay(int width, int height);

    // For --stats: program rebuilds, from the file's saving to the first frame drawn with it (ms each).
    std::string report() const;
    void writeJson(JsonWriter& json) const;

private:
    std::vector<std::string> overlayLines() const;

    Transport& transport;
    ShaderWatch* shaders;
    std::vector<std::string> sceneNames;
    bool showOverlay = true;
    PassView view = PassView::Picture;
    BitmapFont font;
    int fontHeight = 0;
    ShaderProgram viewProgram;
    double rebuildSaved = -1.0; // ms from a rebuilt file's saving to the rebuild; negative: none under way
    uint64_t rebuildAt = 0;
    int64_t framesAtRebuild = 0;
    std::vector<double> rebuildTimes;
};

} // namespace halcyra
