// Whether a legacy deal reads whole, told by reading and converting it in
// memory: nothing is written, asked or held.
#pragma once

#include "batch/file_kind.h"

#include <optional>
#include <string>

namespace velmora::batch {

// For a legacy deal of a kind that converts (`kind` Statement or
// Refinance): none when it reads whole, else why not ("it ends inside a
// field", "the file cannot be read").
std::optional<std::string> legacyDamage(const std::string& path, FileKind kind);

} // namespace velmora::batch
