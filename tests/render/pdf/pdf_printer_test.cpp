// What the PDF printer throws when it cannot start its browser: a program
// that is not there is told apart from one that starts and fails, so that a
// caller can say what to install. Printing itself is checked end to end by
// the batch render and browser tests.
#include "render/pdf/chromium.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace velmora::testing {
namespace {

using render::pdf::BrowserMissing;
using render::pdf::Paper;
using render::pdf::PdfPrinter;
using render::pdf::PrintFailed;

struct StartFailure {
    std::string reason;
    bool missing = false;
};

// Why a printer with `program` as its browser did not start.
StartFailure startWith(const char* program) {
    ::setenv("VELMORA_CHROMIUM", program, 1);
    StartFailure failure{"it started", false};
    try {
        const PdfPrinter printer(Paper::Letter);
    } catch (const BrowserMissing& missing) {
        failure = {missing.what(), true};
    } catch (const PrintFailed& failed) {
        failure = {failed.what(), false};
    }
    ::unsetenv("VELMORA_CHROMIUM");
    return failure;
}

TEST(PdfPrinter, AMissingBrowserIsToldApartFromOneThatEndsAtOnce) {
    const StartFailure missing = startWith("/nowhere/chromium");
    EXPECT_TRUE(missing.missing) << missing.reason;
    EXPECT_NE(missing.reason.find("no program '/nowhere/chromium' was found"), std::string::npos)
        << missing.reason;
    // `true` starts and ends without a word on the pipe.
    const StartFailure ended = startWith("true");
    EXPECT_FALSE(ended.missing) << ended.reason;
    EXPECT_EQ(ended.reason.rfind("Chromium could not be started: Chromium ended", 0), 0u)
        << ended.reason;
}

} // namespace
} // namespace velmora::testing
