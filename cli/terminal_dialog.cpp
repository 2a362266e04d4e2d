#include "terminal_dialog.h"

#include "platform/terminal.h"
#include "yes_no_prompt.h"

#include <iostream>
#include <string>

namespace velmora::cli {
namespace {

bool isQuestion(unsigned flags) {
    const unsigned buttons = flags & dialog_flags::kButtonMask;
    return buttons == dialog_flags::kYesNo || buttons == dialog_flags::kYesNoCancel;
}

} // namespace

DialogButton TerminalDialog::ask(const std::string& caption, const std::string& text,
                                 unsigned flags) {
    std::lock_guard lock(mutex_);
    const std::string message = caption.empty() ? text : caption + ": " + text;
    if (!isQuestion(flags)) {
        std::cerr << message << '\n';
        return DialogButton::Ok;
    }
    if (answerYes_) {
        std::cerr << message << " yes (--yes)\n";
        return DialogButton::Yes;
    }
    if (!isTerminal(StandardStream::Input)) {
        std::cerr << message << " no (not a terminal; --yes answers yes)\n";
        return DialogButton::No;
    }
    return askYesNo(message) ? DialogButton::Yes : DialogButton::No;
}

} // namespace velmora::cli
