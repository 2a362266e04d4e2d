// The message handler a host sets instead of the platform's boxes, and the
// order in which a message finds its way: installed dialog, handler, platform.
#include "platform/dialog.h"
#include "recording_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::testing {
namespace {

struct HandlerLog {
    int answer = static_cast<int>(DialogButton::Yes);
    std::vector<std::string> seen;
};

int VELMORA_STDCALL logMessage(const char* caption, const char* text, unsigned flags,
                               void* context) {
    auto& log = *static_cast<HandlerLog*>(context);
    log.seen.push_back(std::string(caption) + "|" + text + "|" + std::to_string(flags));
    return log.answer;
}

class HostMessageHandler : public ::testing::Test {
protected:
    void SetUp() override { setMessageHandler(&logMessage, &log); }
    void TearDown() override { setMessageHandler(nullptr, nullptr); }
    DialogButton ask(unsigned flags) { return currentDialog().ask("", "question", flags); }

    HandlerLog log;
};

TEST_F(HostMessageHandler, ReceivesEachMessageAndChoosesTheButton) {
    const unsigned flags = dialog_flags::kYesNo | dialog_flags::kIconQuestion;
    EXPECT_EQ(currentDialog().ask("Convert", "Convert the file?", flags), DialogButton::Yes);
    log.answer = static_cast<int>(DialogButton::No);
    EXPECT_EQ(currentDialog().ask("", "Load document failed", dialog_flags::kOk), DialogButton::No);
    EXPECT_EQ(log.seen, (std::vector<std::string>{"Convert|Convert the file?|36",
                                                  "|Load document failed|0"}));
    // No button at all declines the box.
    for (const int answer : {0, -1}) {
        log.answer = answer;
        EXPECT_EQ(ask(dialog_flags::kYesNo), DialogButton::No);
        EXPECT_EQ(ask(dialog_flags::kOk), DialogButton::Ok);
    }
    EXPECT_EQ(log.seen.size(), 6u);
}

TEST_F(HostMessageHandler, InstalledDialogComesFirstAndNullRestoresThePlatform) {
    {
        RecordingDialog recording;
        recording.script({DialogButton::Cancel});
        EXPECT_EQ(ask(dialog_flags::kYesNoCancel), DialogButton::Cancel);
        EXPECT_EQ(recording.shown().size(), 1u);
    }
    EXPECT_TRUE(log.seen.empty());
    EXPECT_EQ(ask(dialog_flags::kYesNo), DialogButton::Yes);
    EXPECT_EQ(log.seen.size(), 1u);

    setMessageHandler(nullptr, &log);
    // Without a desktop the platform declines.
    EXPECT_EQ(ask(dialog_flags::kYesNo), DialogButton::No);
    EXPECT_EQ(log.seen.size(), 1u);
}

} // namespace
} // namespace velmora::testing
