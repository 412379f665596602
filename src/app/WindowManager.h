// WindowManager: whether anybody acts on a fullscreen request. On X11 a fullscreen window is the window
// manager's work; on a bare X server (a kiosk, an xinit session, Xvfb) there is none, and start-up then
// covers the display with a borderless window itself.
#pragma once

namespace halcyra {

// False only on X11 with no window manager that announces itself (EWMH's _NET_SUPPORTING_WM_CHECK);
// true on every other video driver.
bool windowManagerRuns();

} // namespace halcyra
