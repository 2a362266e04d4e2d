#include "held_back_dialog.h"

#include "document/hud_document.h"

#include <algorithm>

namespace velmora::cli {

DialogButton HeldBackDialog::ask(const std::string& caption, const std::string& text,
                                 unsigned flags) {
    if ((flags & dialog_flags::kButtonMask) != dialog_flags::kOk) {
        passOn();
        return next_.ask(caption, text, flags);
    }
    kept_.push_back({caption, text, flags});
    return DialogButton::Ok;
}

bool HeldBackDialog::metHolder() const {
    return std::any_of(kept_.begin(), kept_.end(), [](const Message& message) {
        return message.caption == kSharingErrorCaption;
    });
}

void HeldBackDialog::passOn() {
    for (const Message& message : kept_)
        next_.ask(message.caption, message.text, message.flags);
    kept_.clear();
}

} // namespace velmora::cli
