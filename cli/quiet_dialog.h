// A dialog that declines every box without showing it, for commands whose
// own report already says what the engine's messages would.
#pragma once

#include "platform/dialog.h"

namespace velmora::cli {

class QuietDialog final : public Dialog {
public:
    DialogButton ask(const std::string&, const std::string&, unsigned flags) override {
        return decliningAnswer(flags);
    }
};

} // namespace velmora::cli
