// Message boxes: while the session is interactive (a real display, the dialog allowed, no offline render),
// every message of the program is also shown in a modal SDL box, owned by the main window once it is
// shown. configurePlatform installs showMessageBox as the core's message presenter then.
#pragma once

#include "core/Message.h"

namespace halcyra {

// A modal box with the message's text, caption and icon.
void showMessageBox(const Message& message);

} // namespace halcyra
