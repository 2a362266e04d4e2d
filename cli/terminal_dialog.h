// The message-box seam for the command line: a box becomes "caption: text" on
// standard error; a question is answered by --yes, by the person at the
// terminal, or, when nobody is there, with No, so a script never hangs.
#pragma once

#include "platform/dialog.h"

#include <mutex>

namespace velmora::cli {

class TerminalDialog final : public Dialog {
public:
    // `answerYes` is read at each question, so it may be set after construction.
    explicit TerminalDialog(const bool& answerYes) : answerYes_(answerYes) {}

    DialogButton ask(const std::string& caption, const std::string& text, unsigned flags) override;

private:
    const bool& answerYes_;
    std::mutex mutex_;
};

} // namespace velmora::cli
