#include "core/Message.h"

#include "support/MessageLog.h"

#include <gtest/gtest.h>

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
