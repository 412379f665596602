#include "app/WindowManager.h"

#include <SDL.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>

namespace halcyra {
namespace {

// The window a window manager names in `property` of `window`, or None.
Window supportingWindow(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    Window named = None;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1 && data != nullptr)
        named = *reinterpret_cast<Window*>(data);
    if (data != nullptr)
        XFree(data);
    return named;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

bool windowManagerRuns() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0)
        return true;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return true;
    // A running manager names a window of its own on the root, and that window names itself; a name left
    // behind by a manager that has gone points at a window that no longer exists.
    const auto previous = XSetErrorHandler(ignoreErrors);
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    bool runs = false;
    if (check != None) {
        const Window named = supportingWindow(display, DefaultRootWindow(display), check);
        runs = named != None && supportingWindow(display, named, check) == named;
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return runs;
}

} // namespace halcyra
