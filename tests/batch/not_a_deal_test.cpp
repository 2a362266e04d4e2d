// Which files that are no deal a person is told of, and what each is.
#include "batch/not_a_deal.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

namespace velmora::testing {
namespace {

TEST(NotADeal, ADealsNameOrBeingNamedIsToldWithWhatTheBytesAreClutterIsNot) {
    using Case = std::tuple<std::string, bool, std::string, std::optional<std::string>, unsigned>;
    const Case cases[] = {
        {"d/deal.hud", false, "", "empty", 0},
        {"d/DEAL.HUD", false, "\x91", "truncated", 0},
        {"d/loan.rfn", false, "<calv", "truncated", 0},
        {"d/loan.ref", false, std::string("\xA5\x06", 2) + "...", "unknown version word 1701",
         1701},
        {"d/notes.hud.txt", false, "Dear Dana,", std::nullopt, 0},
        {"d/Thumbs.db", false, "", std::nullopt, 0},
        {"d/notes.txt", true, "Dear Dana,", "neither an XML document nor a legacy deal", 0},
        {"d/empty.txt", true, "", "empty", 0},
        {"d.hud/notes", false, "Dear Dana,", std::nullopt, 0},
    };
    for (const auto& [path, named, bytes, reason, word] : cases) {
        const std::optional<batch::NotADealNote> note = batch::notADealNote(path, named, bytes);
        EXPECT_EQ(note ? std::optional(note->reason) : std::nullopt, reason) << path;
        EXPECT_EQ(note ? note->versionWord : 0u, word) << path;
    }
}

} // namespace
} // namespace velmora::testing
