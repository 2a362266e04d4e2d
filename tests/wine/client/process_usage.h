// What a process holds of the system: private memory, working set, handles
// and threads, read the same way under Windows and under Wine.
#pragma once

namespace velmora::wine_client {

// A measure that cannot be taken reads 0.
struct ProcessUsage {
    long long privateBytes = 0; // the commit charge of the process
    long long workingSet = 0;
    long long handles = 0;
    long long threads = 0;
};

ProcessUsage usageOfThisProcess();

} // namespace velmora::wine_client
