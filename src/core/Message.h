// Messages: the one way the program tells its user about a failure.
// Every message goes to stderr as one line; in an interactive session the platform layer also shows it
// in a modal box. Fatal messages end the process with exit status 255 after they are shown.
// Tests install a sink to read the messages instead.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace halcyra {

enum class MessageIcon { Plain, Warning };

struct Message {
    std::string text;
    std::string caption; // empty: the system's default caption
    MessageIcon icon = MessageIcon::Plain;
};

// Shows one message and returns once the user has seen it.
void showMessage(std::string_view text, std::string_view caption = {}, MessageIcon icon = MessageIcon::Plain);

// Shows one message with the caption "error" and the warning icon, then ends the process.
[[noreturn]] void fatalError(std::string_view text, std::string_view caption = "error",
                             MessageIcon icon = MessageIcon::Warning);

// Ends the process the way every fatal failure does: exit status 255, no clean-up.
[[noreturn]] void exitFatally();

// The platform layer installs a presenter that shows modal boxes while the session is interactive.
using MessagePresenter = void (*)(const Message&);
void setMessagePresenter(MessagePresenter presenter);

// Replaces stderr and the presenter; an empty function restores them.
using MessageSink = std::function<void(const Message&)>;
void setMessageSink(MessageSink sink);

} // namespace halcyra
