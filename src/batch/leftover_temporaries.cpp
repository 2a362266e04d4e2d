#include "batch/leftover_temporaries.h"

#include "batch/file_kind.h"
#include "platform/file_system.h"

#include <array>
#include <string_view>

namespace velmora::batch {
namespace {

// The first bytes of everything the batch commands write beside a deal.
bool beginsAsOurs(const std::string& first) {
    static constexpr std::array<std::string_view, 3> kBeginnings = {"<calverin>", "<!DOCTYPE html",
                                                                    "%PDF-"};
    for (const std::string_view beginning : kBeginnings) {
        if (first.starts_with(beginning))
            return true;
    }
    return false;
}

} // namespace

std::vector<std::string> removeLeftoverTemporaries(const TreeWalk& walk) {
    std::vector<std::string> lines;
    for (const std::string& path : walk.leftoverTemporaries) {
        const std::optional<std::string> first = readFirstBytes(path);
        if (!first || !beginsAsOurs(*first)) {
            lines.push_back(path + ": a leftover temporary file of another program; left as it is");
            continue;
        }
        if (!removeFile(path)) {
            lines.push_back(path + ": a leftover temporary file of a stopped run; it could not "
                                   "be removed");
            continue;
        }
        lines.push_back(path + ": a leftover temporary file of a stopped run; removed");
    }
    return lines;
}

} // namespace velmora::batch
