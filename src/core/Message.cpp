#include "core/Message.h"

#include <cstdio>
#include <cstdlib>

namespace halcyra {
namespace {

MessagePresenter presenter = nullptr;

MessageSink& sink() {
    static MessageSink instance;
    return instance;
}

} // namespace

void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    Message message{std::string(text), std::string(caption), icon};
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
