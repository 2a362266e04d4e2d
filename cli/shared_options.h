// The options several commands take, defined in one place so that each means
// the same wherever it appears.
//
// --type and --yes belong to the whole tool and may stand before a command's
// name; each command they apply to defines them again, bound to the same
// values, so that its --help shows them.
#pragma once

#include "batch/shard.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

namespace velmora::cli {

inline constexpr char kTypeDescription[] =
    "Document type: hud (a statement) or hud1a (a refinance statement) (default: hud)";
inline constexpr char kYesDescription[] =
    "Answer Yes to every question (default: ask on a terminal; without one, answer No)";

struct GlobalOptions {
    std::string documentType; // empty: the provider's default
    bool yes = false;
    // How long a reading command waits for another holder of its file to let go.
    double waitSeconds = 10.0;
};

// --type: "hud" or "hud1a", anything else a usage error. Those are the only
// types a document is created or converted as, and for reading a document
// the type set beforehand matters only for a "hud" statement. A command whose
// default differs says so in its own `description`.
void addTypeOption(CLI::App& command, GlobalOptions& options,
                   const std::string& description = kTypeDescription);
// --yes: the answer to the questions a command may ask.
void addYesOption(CLI::App& command, GlobalOptions& options,
                  const std::string& description = kYesDescription);
// --wait SECONDS, for the commands that only read their files.
void addWaitOption(CLI::App& command, GlobalOptions& options);
// --code-page N, for the commands that read legacy deals: the single-byte
// Windows code page their text was written in, for the whole run. Any other
// number is a usage error.
void addCodePageOption(CLI::App& command);
// --shard K/N, for the commands that work through trees: only shard K of N of
// the files found. Anything but K/N with 1 <= K <= N is a usage error.
void addShardOption(CLI::App& command, std::optional<batch::Shard>& shard,
                    const std::string& description);

} // namespace velmora::cli
