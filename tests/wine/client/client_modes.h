// The runs of com_client.exe besides its checks, each started by its first
// argument. Each returns the process's exit status: 0 passed, 1 failed, 2
// bad arguments.
#pragma once

#include <string>
#include <vector>

namespace velmora::wine_client {

// save-race SECONDS FILE...: opens, changes and saves the given documents,
// one at a time in a random order, for SECONDS, as a host does, while another
// process does the same; prints how many saves succeeded and failed.
int runSaveRace(const std::vector<std::wstring>& arguments);

// reload-cost CYCLES: creates, uses and releases a provider CYCLES times,
// asking COM to unload the DLL after each, and fails when the process keeps
// more memory, handles or threads at the end than after a warm-up.
int runReloadCost(const std::vector<std::wstring>& arguments);

} // namespace velmora::wine_client
