#include "command_suggestion.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <vector>

namespace velmora::cli {
namespace {

// The edit distance between two words, a swap of neighbours counting as one
// edit: the typing slips people make.
std::size_t editDistance(std::string_view from, std::string_view to) {
    // Three rows of the optimal-alignment table: two back, one back, this one.
    std::vector<std::size_t> twoBack(to.size() + 1);
    std::vector<std::size_t> oneBack(to.size() + 1);
    std::vector<std::size_t> row(to.size() + 1);
    std::iota(oneBack.begin(), oneBack.end(), std::size_t{0});
    for (std::size_t i = 1; i <= from.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= to.size(); ++j) {
            const std::size_t change = from[i - 1] == to[j - 1] ? 0 : 1;
            row[j] = std::min({oneBack[j] + 1, row[j - 1] + 1, oneBack[j - 1] + change});
            if (i > 1 && j > 1 && from[i - 1] == to[j - 2] && from[i - 2] == to[j - 1])
                row[j] = std::min(row[j], twoBack[j - 2] + 1);
        }
        std::swap(twoBack, oneBack);
        std::swap(oneBack, row);
    }
    return oneBack[to.size()];
}

// Close enough to be what was meant: at most two slips, and fewer slips
// than letters, so that "x" does not suggest "new".
bool isClose(std::size_t distance, std::string_view typed, std::string_view name) {
    constexpr std::size_t kMostSlips = 2;
    return distance <= kMostSlips && distance < std::min(typed.size(), name.size());
}

std::optional<std::string> nearestCommand(const CLI::App& app, std::string_view typed) {
    std::optional<std::string> nearest;
    std::size_t best = std::string::npos;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        const std::string& name = command->get_name();
        const std::size_t distance = editDistance(typed, name);
        if (distance < best && isClose(distance, typed, name)) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

} // namespace

std::optional<std::string> unknownCommandMessage(const CLI::App& app) {
    if (!app.get_subcommands().empty())
        return std::nullopt;
    const std::vector<std::string> left = app.remaining();
    if (left.empty() || left.front().empty() || left.front().front() == '-')
        return std::nullopt;
    const std::string& typed = left.front();
    const std::optional<std::string> nearest = nearestCommand(app, typed);
    return "unknown command '" + typed + "'" +
           (nearest ? "; did you mean '" + *nearest + "'?" : std::string());
}

} // namespace velmora::cli
