#include "platform/dialog.h"

#include <atomic>

namespace velmora {
namespace {

class DecliningDialog final : public Dialog {
public:
    DialogButton ask(const std::string&, const std::string&, unsigned flags) override {
        return decliningAnswer(flags);
    }
};

DecliningDialog& decliningDialog() {
    static DecliningDialog instance;
    return instance;
}

std::atomic<Dialog*> installed{nullptr};

} // namespace

DialogButton decliningAnswer(unsigned flags) {
    switch (flags & dialog_flags::kButtonMask) {
    case dialog_flags::kOk:
        return DialogButton::Ok;
    case dialog_flags::kYesNo:
        return DialogButton::No;
    default:
        return DialogButton::Cancel;
    }
}

Dialog& currentDialog() {
    Dialog* dialog = installed.load(std::memory_order_acquire);
    return dialog ? *dialog : decliningDialog();
}

Dialog* installDialog(Dialog* dialog) {
    return installed.exchange(dialog, std::memory_order_acq_rel);
}

} // namespace velmora
