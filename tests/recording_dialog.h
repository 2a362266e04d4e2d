// A test double for the message-box seam: records every box shown and answers
// from a script. Installed for the lifetime of the object.
#pragma once

#include "platform/dialog.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::testing {

struct ShownMessage {
    std::string caption;
    std::string text;
    unsigned flags = 0;
};

class RecordingDialog final : public Dialog {
public:
    RecordingDialog() : previous_(installDialog(this)) {}
    ~RecordingDialog() override { installDialog(previous_); }
    RecordingDialog(const RecordingDialog&) = delete;
    RecordingDialog& operator=(const RecordingDialog&) = delete;

    // Answers given in order; once used up, boxes are declined.
    void script(std::initializer_list<DialogButton> answers) {
        std::lock_guard lock(mutex_);
        answers_.insert(answers_.end(), answers);
    }

    DialogButton ask(const std::string& caption, const std::string& text, unsigned flags) override {
        std::lock_guard lock(mutex_);
        shown_.push_back({caption, text, flags});
        if (answers_.empty())
            return decliningAnswer(flags);
        const DialogButton answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    std::vector<ShownMessage> shown() const {
        std::lock_guard lock(mutex_);
        return shown_;
    }

private:
    Dialog* previous_;
    mutable std::mutex mutex_;
    std::deque<DialogButton> answers_;
    std::vector<ShownMessage> shown_;
};

} // namespace velmora::testing
