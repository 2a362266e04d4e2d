// What to say when the first word of a command line names no command: CLI11
// would only say that a command is required.
#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

namespace velmora::cli {

// "unknown command 'shwo'; did you mean 'show'?" (without the question when
// no command is close) when parsing ended without a command and the first
// argument left over is a word; none otherwise.
std::optional<std::string> unknownCommandMessage(const CLI::App& app);

} // namespace velmora::cli
