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
// one, messages go to the message handler if one is set, and otherwise to the
// platform: a message box on Windows; elsewhere they are declined without
// blocking (OK boxes answer OK, questions answer No or Cancel), so an
// unattended process never waits for a person.
Dialog& currentDialog();

// Installs `dialog` for the whole process (nullptr restores the default) and
// returns the previous one. The caller keeps ownership and keeps it alive.
Dialog* installDialog(Dialog* dialog);

// The answer that declines a box with the given flags.
DialogButton decliningAnswer(unsigned flags);

#ifdef _WIN32
#define VELMORA_STDCALL __stdcall
#else
#define VELMORA_STDCALL
#endif

// A host's function that receives each message instead of a message box and
// returns the button id chosen (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7; zero or
// less declines the box as if it could not be shown). The DLL exports the C
// function through which hosts without a desktop set it.
using MessageHandler = int(VELMORA_STDCALL*)(const char* caption, const char* text, unsigned flags,
                                             void* context);

// Sets the handler, with the context handed back to it on each call, for the
// whole process; a null handler restores the platform's message boxes. A
// dialog installed with installDialog still comes first.
void setMessageHandler(MessageHandler handler, void* context);

// The platform's own box: MessageBoxA with no owner window on Windows, the
// declining answer elsewhere. A box that cannot be shown (no desktop)
// answers as if declined.
DialogButton showSystemMessage(const std::string& caption, const std::string& text, unsigned flags);

// Installs a dialog for the lifetime of the object, then puts back the one
// that was installed before.
class ScopedDialog {
public:
    explicit ScopedDialog(Dialog& dialog) : previous_(installDialog(&dialog)) {}
    ~ScopedDialog() { installDialog(previous_); }
    ScopedDialog(const ScopedDialog&) = delete;
    ScopedDialog& operator=(const ScopedDialog&) = delete;

    // The dialog that was installed before, or nullptr for the default.
    Dialog* previous() const { return previous_; }

private:
    Dialog* previous_;
};

} // namespace velmora
