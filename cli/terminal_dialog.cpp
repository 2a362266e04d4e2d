#include "terminal_dialog.h"

#include "platform/terminal.h"

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
    std::cerr << (caption.empty() ? text : caption + ": " + text);
    if (!isQuestion(flags)) {
        std::cerr << '\n';
        return DialogButton::Ok;
    }
    if (answerYes_) {
        std::cerr << " yes (--yes)\n";
        return DialogButton::Yes;
    }
    if (!isTerminal(StandardStream::Input)) {
        std::cerr << " no (not a terminal; --yes answers yes)\n";
        return DialogButton::No;
    }
    std::cerr << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer))
        return DialogButton::No;
    return answer == "y" || answer == "Y" || answer == "yes" ? DialogButton::Yes : DialogButton::No;
}

} // namespace velmora::cli
