// The dialog of batch commands: the engine's messages about one file (a
// converted file that does not read back, a document that does not load) are
// carried by the run's records, and nothing is asked.
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
