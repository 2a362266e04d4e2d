// Running a program, the velmora tool above all, as the figures that time
// whole commands need.
#pragma once

#include <string>
#include <vector>

namespace velmora::bench {

// Runs `args` (the program's path first) and gives its exit status, or -1
// when it could not be run or did not exit; its standard output goes to
// `output` when given.
int runProcess(std::vector<std::string> args, std::string* output = nullptr);

} // namespace velmora::bench
