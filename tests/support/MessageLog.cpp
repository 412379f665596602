#include "support/MessageLog.h"

namespace halcyra::test {

MessageLog::MessageLog() {
    setMessageSink([this](const Message& message) { log.push_back(message); });
}

MessageLog::~MessageLog() {
    setMessageSink(nullptr);
}

std::vector<std::string> MessageLog::texts() const {
    std::vector<std::string> result;
    for (const Message& message : log)
        result.push_back(message.text);
    return result;
}

} // namespace halcyra::test
