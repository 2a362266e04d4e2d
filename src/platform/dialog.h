// The message-box seam.
//
// The component talks to the user itself, through modal message boxes, when a
// file cannot be opened, must be converted, or a property is missing. Each host
// of the engine decides how such a box appears: the DLL shows a real one, the
// command-line tool asks on the terminal, and tests script the answers. The
// flag and button values are the Windows ones, so that the DLL can hand them
// through unchanged.
#pragma once

#include <string>

namespace velmora {

namespace dialog_flags {
inline constexpr unsigned kOk = 0x0;
inline constexpr unsigned kOkCancel = 0x1;
inline constexpr unsigned kYesNoCancel = 0x3;
inline constexpr unsigned kYesNo = 0x4;
inline constexpr unsigned kIconError = 0x10;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconWarning = 0x30;
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr unsigned kButtonMask = 0xF;
} // namespace dialog_flags

enum class DialogButton : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

class Dialog {
public:
    virtual ~Dialog() = default;
    // Shows `text` under `caption` with the buttons and icon of `flags` and
    // returns the button chosen. Must be safe to call from several threads.
    virtual DialogButton ask(const std::string& caption, const std::string& text,
                             unsigned flags) = 0;
};

// The dialog every message of the engine goes through. Until a host installs
// one, messages are declined without blocking: OK boxes answer OK, questions
// answer No (or Cancel), so an unattended process never waits for a person.
Dialog& currentDialog();

// Installs `dialog` for the whole process (nullptr restores the default) and
// returns the previous one. The caller keeps ownership and keeps it alive.
Dialog* installDialog(Dialog* dialog);

// The answer that declines a box with the given flags.
DialogButton decliningAnswer(unsigned flags);

} // namespace velmora
