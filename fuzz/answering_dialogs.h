// Dialogs that answer the engine's message boxes without a person, for the
// fuzz targets. Each installs itself for its lifetime.
#pragma once

#include "platform/dialog.h"

#include <functional>

namespace velmora::fuzzing {

// Answers Yes, then No, then Yes, ... whatever the box asks, so that a run
// takes both branches of every question it meets.
class AlternatingDialog final : public Dialog {
public:
    AlternatingDialog() : scope_(*this) {}
    DialogButton ask(const std::string&, const std::string&, unsigned) override {
        yes_ = !yes_;
        return yes_ ? DialogButton::Yes : DialogButton::No;
    }

private:
    ScopedDialog scope_;
    bool yes_ = false;
};

// Answers with what `choose` gives: the input decides each answer.
class ChoosingDialog final : public Dialog {
public:
    explicit ChoosingDialog(std::function<DialogButton()> choose)
        : choose_(std::move(choose)), scope_(*this) {}
    DialogButton ask(const std::string&, const std::string&, unsigned) override {
        return choose_();
    }

private:
    std::function<DialogButton()> choose_;
    ScopedDialog scope_;
};

} // namespace velmora::fuzzing
