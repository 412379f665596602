// Collects the messages the program shows while it lives, instead of printing them.
#pragma once

#include "core/Message.h"

#include <string>
#include <vector>

namespace halcyra::test {

class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    const std::vector<Message>& messages() const { return log; }
    std::vector<std::string> texts() const;
    void clear() { log.clear(); }

private:
    std::vector<Message> log;
};

} // namespace halcyra::test
