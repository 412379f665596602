#include "app/MessageBox.h"

#include "core/DisplayConfig.h"
#include "core/Message.h"

#include <SDL.h>

#include <string>

namespace halcyra {

void showMessageBox(const Message& message) {
    const Uint32 flags = message.icon == MessageIcon::Warning ? SDL_MESSAGEBOX_WARNING : 0;
    const std::string title = message.caption.empty() ? "halcyra" : message.caption;
    SDL_Window* owner = DisplayConfig::instance().window;
    if (owner != nullptr && (SDL_GetWindowFlags(owner) & SDL_WINDOW_HIDDEN))
        owner = nullptr;
    SDL_ShowSimpleMessageBox(flags, title.c_str(), message.text.c_str(), owner);
}

} // namespace halcyra
