#include "app/Events.h"

#include "app/Platform.h"

#include "core/DisplayConfig.h"
#include "core/Platform.h"
#include "support/GlTestContext.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace halcyra {
namespace {

int captures = 0;
void countCapture() {
    ++captures;
}

// Events go through SDL's queue and the dispatch the timeline calls once per frame, as a viewer's keys do.
class EventDispatch : public testing::Test {
protected:
    EventDispatch() {
        captures = 0;
        PlatformSettings settings;
        settings.capture = countCapture;
        configurePlatform(settings);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    ~EventDispatch() override { configurePlatform({}); }

    static void pressKey(SDL_Keycode key) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = key;
        event.key.windowID = SDL_GetWindowID(DisplayConfig::instance().window);
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    static void closeWindow() {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        event.window.windowID = SDL_GetWindowID(DisplayConfig::instance().window);
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    test::GlTestContext context;
};

TEST_F(EventDispatch, EscapeStopsTheShowAndOtherKeysAreLeftAside) {
    ASSERT_TRUE(DisplayConfig::instance().running);
    pressKey(SDLK_a);
    EXPECT_FALSE(dispatchOneMessage()) << "a key the show does not handle is no message";
    EXPECT_TRUE(DisplayConfig::instance().running);
    pressKey(SDLK_SPACE);
    pressKey(SDLK_ESCAPE);
    EXPECT_TRUE(dispatchOneMessage());
    EXPECT_FALSE(DisplayConfig::instance().running);
    EXPECT_EQ(DisplayConfig::instance().stopReason(), StopReason::Escape);
    EXPECT_EQ(captures, 0);
}

TEST_F(EventDispatch, ClosingTheWindowStopsTheShow) {
    closeWindow();
    EXPECT_TRUE(dispatchOneMessage());
    EXPECT_FALSE(DisplayConfig::instance().running);
    EXPECT_EQ(DisplayConfig::instance().stopReason(), StopReason::WindowClosed);
}

TEST_F(EventDispatch, F12CapturesAndOneMessageIsHandledPerCall) {
    pressKey(SDLK_F12);
    pressKey(SDLK_F12);
    pressKey(SDLK_ESCAPE);
    EXPECT_TRUE(dispatchOneMessage());
    EXPECT_EQ(captures, 1);
    EXPECT_TRUE(DisplayConfig::instance().running);
    EXPECT_TRUE(dispatchOneMessage());
    EXPECT_EQ(captures, 2);
    EXPECT_TRUE(DisplayConfig::instance().running);
    EXPECT_TRUE(dispatchOneMessage());
    EXPECT_FALSE(DisplayConfig::instance().running);
    EXPECT_FALSE(dispatchOneMessage()) << "the queue is empty";
}

} // namespace
} // namespace halcyra
