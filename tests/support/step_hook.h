// A test double for the file-fault seam that hands each step of the file
// layer to a function: a test plays another program there (one that writes a
// file at that very moment, taking no lock), or fails the step by answering
// true. Install it with ScopedFileFaults.
#pragma once

#include "platform/file_faults.h"

#include <functional>
#include <string>
#include <utility>

namespace velmora::testing {

class StepHook final : public FileFaults {
public:
    using Hook = std::function<bool(FileStep step, const std::string& path)>;
    explicit StepHook(Hook hook) : hook_(std::move(hook)) {}

    bool fails(FileStep step, const std::string& path) override { return hook_(step, path); }

private:
    Hook hook_;
};

} // namespace velmora::testing
