#include "core/Message.h"

#include "support/MessageLog.h"

#include <gtest/gtest.h>

#include <thread>

namespace halcyra {
namespace {

TEST(Messages, SinkReceivesTextCaptionAndIcon) {
    test::MessageLog log;
    showMessage("prc");
    showMessage("Could not read file header", "ERROR");
    showMessage("ps2.0 not supported", "error", MessageIcon::Warning);
    ASSERT_EQ(log.messages().size(), 3u);
    EXPECT_EQ(log.messages()[0].text, "prc");
    EXPECT_EQ(log.messages()[0].caption, "");
    EXPECT_EQ(log.messages()[1].caption, "ERROR");
    EXPECT_EQ(log.messages()[2].icon, MessageIcon::Warning);
}

TEST(Messages, HoldKeepsItsThreadsMessagesInOrderUntilTheyAreShown) {
    test::MessageLog log;
    std::vector<Message> held;
    {
        MessageHold outer;
        showMessage("first", "ERROR");
        {
            MessageHold inner;
            showMessage("inner");
            EXPECT_EQ(inner.take().size(), 1u);
            EXPECT_TRUE(inner.take().empty()) << "take empties the hold";
        }
        showMessage("second");
        // A thread without a hold of its own shows its messages at once.
        std::thread([] { showMessage("other thread"); }).join();
        held = outer.take();
    }
    EXPECT_EQ(log.texts(), std::vector<std::string>{"other thread"});
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held[0].caption, "ERROR");
    showMessage("after");
    showMessages(held);
    EXPECT_EQ(log.texts(), (std::vector<std::string>{"other thread", "after", "first", "second"}));
    EXPECT_EQ(log.messages()[2].caption, "ERROR");
}

TEST(MessagesDeathTest, FatalErrorIsShownEvenWhileAHoldIsOpen) {
    EXPECT_EXIT(
        {
            MessageHold hold;
            showMessage("kept back");
            fatalError("shaderi on jo");
        },
        testing::ExitedWithCode(255), "^error: shaderi on jo\n$");
}

TEST(MessagesDeathTest, WithoutSinkOneLinePerMessageGoesToStderr) {
    EXPECT_EXIT(
        {
            showMessage("sound file not found");
            showMessage("Invalid texture information", "ERROR");
            std::exit(0);
        },
        testing::ExitedWithCode(0), "^sound file not found\nERROR: Invalid texture information\n$");
}

TEST(MessagesDeathTest, FatalErrorShowsItsTextAndExitsWith255) {
    EXPECT_EXIT(fatalError("shaderi on jo"), testing::ExitedWithCode(255), "^error: shaderi on jo\n$");
}

} // namespace
} // namespace halcyra
