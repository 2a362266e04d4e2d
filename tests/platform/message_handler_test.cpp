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
    int answer = 0;
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
    void TearDown() override { setMessageHandler(nullptr, nullptr); }
};

TEST_F(HostMessageHandler, ReceivesEachMessageAndChoosesTheButton) {
    HandlerLog log{static_cast<int>(DialogButton::Yes), {}};
    setMessageHandler(&logMessage, &log);
    const unsigned flags = dialog_flags::kYesNo | dialog_flags::kIconQuestion;
    EXPECT_EQ(currentDialog().ask("Convert", "Convert the file?", flags), DialogButton::Yes);
    log.answer = static_cast<int>(DialogButton::No);
    EXPECT_EQ(currentDialog().ask("", "Load document failed", dialog_flags::kOk), DialogButton::No);
    EXPECT_EQ(log.seen, (std::vector<std::string>{"Convert|Convert the file?|36",
                                                  "|Load document failed|0"}));
}

TEST_F(HostMessageHandler, NoButtonDeclinesTheBox) {
    HandlerLog log;
    setMessageHandler(&logMessage, &log);
    for (const int answer : {0, -1}) {
        log.answer = answer;
        EXPECT_EQ(currentDialog().ask("", "question", dialog_flags::kYesNo), DialogButton::No);
        EXPECT_EQ(currentDialog().ask("", "note", dialog_flags::kOk), DialogButton::Ok);
    }
    EXPECT_EQ(log.seen.size(), 4u);
}

TEST_F(HostMessageHandler, NullHandlerRestoresThePlatformBox) {
    HandlerLog log{static_cast<int>(DialogButton::Yes), {}};
    setMessageHandler(&logMessage, &log);
    setMessageHandler(nullptr, &log);
    // Without a desktop the platform declines.
    EXPECT_EQ(currentDialog().ask("", "question", dialog_flags::kYesNo), DialogButton::No);
    EXPECT_TRUE(log.seen.empty());
}

TEST_F(HostMessageHandler, AnInstalledDialogComesFirst) {
    HandlerLog log{static_cast<int>(DialogButton::Yes), {}};
    setMessageHandler(&logMessage, &log);
    {
        RecordingDialog recording;
        recording.script({DialogButton::Cancel});
        EXPECT_EQ(currentDialog().ask("", "question", dialog_flags::kYesNoCancel),
                  DialogButton::Cancel);
        EXPECT_EQ(recording.shown().size(), 1u);
    }
    EXPECT_TRUE(log.seen.empty());
    EXPECT_EQ(currentDialog().ask("", "question", dialog_flags::kYesNo), DialogButton::Yes);
    EXPECT_EQ(log.seen.size(), 1u);
}

} // namespace
} // namespace velmora::testing
