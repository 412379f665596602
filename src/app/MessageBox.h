// Message boxes: while the session is interactive (a real display, the dialog allowed, no offline render),
// every message of the program is also shown in a modal SDL box, owned by the main window once it is
// shown. setInteractive installs the box as the core's message presenter.
#pragma once

namespace halcyra {

// Marks the session as interactive: messages are then also shown in modal boxes.
void setInteractive(bool interactive);
bool isInteractive();

} // namespace halcyra
