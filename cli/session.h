// One document file opened through a provider, as every command uses it.
//
// Problems end the command with a CommandFailed carrying one clear line; the
// file is written only by save(), so a refused command changes nothing.
#pragma once

#include "com/provider.h"
#include "document/hud_document.h"
#include "shared_options.h"

#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace velmora::cli {

class CommandFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command that cannot run as it was asked to (nothing there to work on):
// the tool exits as it does for a usage error.
class CannotRun final : public CommandFailed {
public:
    using CommandFailed::CommandFailed;
};

// A batch run that a person stopped (Ctrl-C, SIGTERM) after it had finished
// the files in flight and told what it did; the tool exits as the signal
// would have ended it.
class RunStopped final : public CommandFailed {
public:
    RunStopped(int signal, std::size_t done, std::size_t files);
    int exitStatus() const { return exitStatus_; }

private:
    int exitStatus_;
};

// The file is held by another program past the time the command would wait.
class FileHeld final : public CommandFailed {
public:
    using CommandFailed::CommandFailed;
};

class Session {
public:
    explicit Session(const GlobalOptions& options);

    // Reads an existing document file, waiting as long as the options say for
    // another holder of it to let go; throws CommandFailed when it cannot.
    void open(const std::string& path);
    // Reads a document file to change it: one another holds is refused at
    // once, as a host's open refuses it, rather than an edit being queued
    // behind someone else's.
    void openToEdit(const std::string& path);
    // Writes the document to `path`; throws CommandFailed when it cannot.
    void save(const std::string& path);

    HudProvider& provider() { return provider_; }
    CHudDocument& document() { return *provider_.document(); }

    // The node at `uri`; throws CommandFailed when there is none.
    CSectionNode& node(const std::string& uri);
    // Throws CommandFailed unless `node` has the property `name`.
    static void requireProperty(CSectionNode& node, const std::string& uri,
                                const std::string& name);
    // Throws CommandFailed unless `text` reads whole as a value of the
    // property's kind: the engine would quietly store 0 for "abc".
    static void requireValueText(CSectionNode& node, const std::string& name,
                                 const std::string& text);
    // Whether another provider or process holds the file against us.
    static bool isHeldElsewhere(const std::string& path);

private:
    enum class Attempt { Read, Held };

    void read(const std::string& path, std::chrono::milliseconds patience);
    Attempt tryRead(const std::string& path);

    HudProvider provider_;
    std::chrono::milliseconds wait_;
};

// Waits as long as the options say while another program holds the file at
// `path` against readers (whatever sharing it chose, or a lock); false when
// it still does at the end.
bool waitWhileHeld(const GlobalOptions& options, const std::string& path);

// Throws CommandFailed, saying why, when the file at `path` may not be
// replaced: it is read-only, or it is not a file.
void requireWritableTarget(const std::string& path);

// The uri as shown in messages: the empty uri is the root.
std::string describeUri(const std::string& uri);

} // namespace velmora::cli
