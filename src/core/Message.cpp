#include "core/Message.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace halcyra {
namespace {

MessagePresenter presenter = nullptr;

MessageSink& sink() {
    static MessageSink instance;
    return instance;
}

thread_local MessageHold* innermostHold = nullptr;

} // namespace

MessageHold::MessageHold() : outer(innermostHold) {
    innermostHold = this;
}

MessageHold::~MessageHold() {
    innermostHold = outer;
}

std::vector<Message> MessageHold::take() {
    return std::exchange(held, {});
}

void showMessages(const std::vector<Message>& messages) {
    for (const Message& message : messages)
        showMessage(message.text, message.caption, message.icon);
}

void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    Message message{std::string(text), std::string(caption), icon};
    if (innermostHold != nullptr) {
        innermostHold->held.push_back(std::move(message));
        return;
    }
    if (sink()) {
        sink()(message);
        return;
    }
    if (message.caption.empty())
        std::fprintf(stderr, "%s\n", message.text.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
    std::fflush(stderr);
    if (presenter)
        presenter(message);
}

void fatalError(std::string_view text, std::string_view caption, MessageIcon icon) {
    // A fatal message is shown at once, even where a hold is open: nothing would be left to show it later.
    innermostHold = nullptr;
    showMessage(text, caption, icon);
    exitFatally();
}

void exitFatally() {
    std::fflush(stdout);
    std::exit(-1);
}

void setMessagePresenter(MessagePresenter newPresenter) {
    presenter = newPresenter;
}

void setMessageSink(MessageSink newSink) {
    sink() = std::move(newSink);
}

} // namespace halcyra
