// One document file opened through a provider, as every command uses it.
//
// Problems end the command with a CommandFailed carrying one clear line; the
// file is written only by save(), so a refused command changes nothing.
#pragma once

#include "com/provider.h"
#include "document/hud_document.h"

#include <stdexcept>
#include <string>

namespace velmora::cli {

class CommandFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct GlobalOptions {
    std::string documentType; // empty: the provider's default
    bool yes = false;
};

class Session {
public:
    explicit Session(const GlobalOptions& options);

    // Reads an existing document file; throws CommandFailed when it cannot.
    void open(const std::string& path);
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
    HudProvider provider_;
};

// Throws CommandFailed, saying why, when the file at `path` may not be
// replaced: it is read-only, or it is not a file.
void requireWritableTarget(const std::string& path);

// The uri as shown in messages: the empty uri is the root.
std::string describeUri(const std::string& uri);

} // namespace velmora::cli
