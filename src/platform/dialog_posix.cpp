// Without a desktop to show a box on, the platform declines every message.
#include "platform/dialog.h"

namespace velmora {

DialogButton showSystemMessage(const std::string&, const std::string&, unsigned flags) {
    return decliningAnswer(flags);
}

} // namespace velmora
