// Random bytes from the operating system's generator, for values that must
// not repeat across processes and runs (GUIDs): a per-process seed would
// give at most as many sequences as the seed has values.
#pragma once

#include <cstdint>
#include <span>

namespace velmora {

// Fills `bytes`; throws std::system_error when the system cannot give them.
void fillWithSystemRandom(std::span<std::uint8_t> bytes);

} // namespace velmora
