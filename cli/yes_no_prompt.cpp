#include "yes_no_prompt.h"

#include <iostream>

namespace velmora::cli {

bool askYesNo(const std::string& question) {
    std::cerr << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer))
        return false;
    return answer == "y" || answer == "Y" || answer == "yes";
}

} // namespace velmora::cli
