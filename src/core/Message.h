// Messages: the one way the program tells its user about a failure.
// Every message goes to stderr as one line; in an interactive session the platform layer also shows it
// in a modal box. Fatal messages end the process with exit status 255 after they are shown.
// Tests install a sink to read the messages instead. Work done ahead on another thread holds its messages
// back (MessageHold) so that the main thread shows them where the work would have shown them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// While a hold lives, showMessage on its thread keeps the message in the hold instead of showing it.
// Holds nest; the innermost takes the messages. Fatal messages are never held.
class MessageHold {
public:
    MessageHold();
    ~MessageHold();
    MessageHold(const MessageHold&) = delete;
    MessageHold& operator=(const MessageHold&) = delete;

    // The messages held so far, in the order they were raised; the hold is empty afterwards.
    std::vector<Message> take();

private:
    friend void showMessage(std::string_view, std::string_view, MessageIcon);
    std::vector<Message> held;
    MessageHold* outer;
};

// Shows messages that a hold kept, in order, on the calling thread.
void showMessages(const std::vector<Message>& messages);

} // namespace halcyra
