#include "timeline/LoadingScreen.h"

#include "core/DisplayConfig.h"
#include "timeline/BitmapFont.h"

#include <GL/gl.h>

namespace halcyra {

const char* loadingStageText(int stage) {
    static const char* const texts[] = {"Loading Shaders...", "Loading Textures...", "Loading Models...",
                                        "Loading Cameras...", "Loading Lights...",   "Loading Scenes...",
                                        "Loading... Done"};
    return stage >= 0 && stage < 7 ? texts[stage] : nullptr;
}

int loadingBarEnd(float progress) {
    return 258 + static_cast<int>(500.0f * progress);
}

void drawLoadingCanvas(float progress, uint32_t logoTexture, int stage, BitmapFont& font) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1024.0, 0.0, 768.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glDisable(GL_DEPTH_TEST);
    if (logoTexture != 0) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, logoTexture);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2i(0, 256);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2i(1024, 256);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2i(1024, 512);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2i(0, 512);
        glEnd();
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    const int barEnd = loadingBarEnd(progress);
    glColor3f(0.2f, 0.88f, 0.98f);
    glBegin(GL_QUADS);
    glVertex2i(258, 309);
    glVertex2i(258, 299);
    glVertex2i(barEnd, 299);
    glVertex2i(barEnd, 309);
    glEnd();

    glColor3f(1.0f, 1.0f, 1.0f);
    if (const char* text = loadingStageText(stage))
        font.print(460, 280, Rgba{1.0f, 1.0f, 1.0f, 1.0f}, "%s", text);

    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

} // namespace halcyra
