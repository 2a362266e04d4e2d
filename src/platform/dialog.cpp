#include "platform/dialog.h"

#include <atomic>
#include <mutex>

namespace velmora {
namespace {

struct HandlerSetting {
    MessageHandler handler = nullptr;
    void* context = nullptr;
};

std::mutex handlerMutex;
HandlerSetting handlerSetting;

HandlerSetting currentHandler() {
    std::lock_guard lock(handlerMutex);
    return handlerSetting;
}

// What a process gets before any host installs a dialog: the host's handler
// when it set one, the platform's box otherwise.
class DefaultDialog final : public Dialog {
public:
    DialogButton ask(const std::string& caption, const std::string& text, unsigned flags) override {
        const HandlerSetting setting = currentHandler();
        if (!setting.handler)
            return showSystemMessage(caption, text, flags);
        const int button = setting.handler(caption.c_str(), text.c_str(), flags, setting.context);
        // No button at all counts as declined, as a box that could not be shown.
        return button <= 0 ? decliningAnswer(flags) : static_cast<DialogButton>(button);
    }
};

DefaultDialog& defaultDialog() {
    static DefaultDialog instance;
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

void setMessageHandler(MessageHandler handler, void* context) {
    std::lock_guard lock(handlerMutex);
    handlerSetting = {handler, handler ? context : nullptr};
}

Dialog& currentDialog() {
    Dialog* dialog = installed.load(std::memory_order_acquire);
    return dialog ? *dialog : defaultDialog();
}

Dialog* installDialog(Dialog* dialog) {
    return installed.exchange(dialog, std::memory_order_acq_rel);
}

} // namespace velmora
