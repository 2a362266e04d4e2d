// Test doubles for the process-wide seams of the platform layer: the file-use
// registry and the clock. Each installs itself for its lifetime and puts back
// what was installed before.
#pragma once

#include "platform/clock.h"
#include "platform/file_use_registry.h"

#include <deque>
#include <string>
#include <vector>

namespace velmora::testing {

// Records every call in order and answers queries from a script (then "no").
class RecordingRegistry final : public FileUseRegistry {
public:
    RecordingRegistry() : previous_(installFileUseRegistry(this)) {}
    ~RecordingRegistry() override { installFileUseRegistry(previous_); }
    RecordingRegistry(const RecordingRegistry&) = delete;
    RecordingRegistry& operator=(const RecordingRegistry&) = delete;

    bool queryFileInUse(const std::string& path) override {
        calls.push_back("query " + path);
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void claimFile(const std::string& path) override { calls.push_back("claim " + path); }
    void releaseFile(const std::string& path) override { calls.push_back("release " + path); }

    std::deque<bool> answers;
    std::vector<std::string> calls;

private:
    FileUseRegistry* previous_;
};

// A clock that always tells the same local time.
class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalTime time) : time_(time), previous_(installClock(this)) {}
    ~FixedClock() override { installClock(previous_); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
    LocalTime now() override { return time_; }

private:
    LocalTime time_;
    Clock* previous_;
};

} // namespace velmora::testing
