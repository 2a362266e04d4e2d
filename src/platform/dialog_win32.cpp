// The platform's message box: MessageBoxA, owned by no window, with the
// caption, text and flags unchanged. The flag values of dialog.h are the
// MB_ ones and the buttons the ID ones, so nothing is translated.
#include "platform/dialog.h"

#include <windows.h>

namespace velmora {

static_assert(dialog_flags::kYesNo == MB_YESNO && dialog_flags::kIconError == MB_ICONERROR &&
              dialog_flags::kIconQuestion == MB_ICONQUESTION &&
              dialog_flags::kIconWarning == MB_ICONWARNING &&
              dialog_flags::kIconInformation == MB_ICONINFORMATION &&
              dialog_flags::kOkCancel == MB_OKCANCEL &&
              dialog_flags::kYesNoCancel == MB_YESNOCANCEL);
static_assert(static_cast<int>(DialogButton::Yes) == IDYES &&
              static_cast<int>(DialogButton::No) == IDNO &&
              static_cast<int>(DialogButton::Ok) == IDOK &&
              static_cast<int>(DialogButton::Cancel) == IDCANCEL);

DialogButton showSystemMessage(const std::string& caption, const std::string& text,
                               unsigned flags) {
    const int button = ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
    // 0 (or -1, from Wine) when the box could not be shown, as on a machine
    // without a desktop.
    return button <= 0 ? decliningAnswer(flags) : static_cast<DialogButton>(button);
}

} // namespace velmora
