// The engine's messages during an attempt that may be tried again.
//
// Reading a file that another program takes hold of at the same moment fails
// with the engine's sharing message; when the tool tries again, that message
// was no news to anyone. Messages are kept until the attempt is known to
// count, then passed on or dropped. Questions cannot wait for an answer, so
// one is passed on at once, after the messages kept before it.
#pragma once

#include "platform/dialog.h"

#include <string>
#include <vector>

namespace velmora::cli {

class HeldBackDialog final : public Dialog {
public:
    explicit HeldBackDialog(Dialog& next) : next_(next) {}

    DialogButton ask(const std::string& caption, const std::string& text, unsigned flags) override;

    // Whether the engine said that another program holds the file.
    bool metHolder() const;
    // Passes on the messages kept, in order.
    void passOn();

private:
    struct Message {
        std::string caption;
        std::string text;
        unsigned flags;
    };

    Dialog& next_;
    std::vector<Message> kept_;
};

} // namespace velmora::cli
