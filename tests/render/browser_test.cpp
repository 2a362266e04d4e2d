// The rendered statement in a real browser: Debian's headless Chromium draws
// the page (a screenshot kept in the build folder for people to look at) and
// prints it to PDF through `velmora render --pdf`.
#include "render/statement_fixture.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <regex>

namespace velmora::testing {
namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 2600;
constexpr int kBrowserSeconds = 120;

bool chromiumInstalled() {
    return std::system("command -v chromium >/dev/null 2>&1") == 0;
}

// The screenshot in shades of grey, or nothing when it is no PNG of the size asked for.
std::vector<png_byte> greyPixels(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_GRAY;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    const bool read = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    if (!read || image.width != kWidth || image.height != kHeight)
        return {};
    return pixels;
}

std::size_t pageCount(const std::string& pdf) {
    const std::regex page(R"(/Type\s*/Page(?![A-Za-z]))");
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST(RenderInBrowser, ChromiumDrawsTheFormAndPrintsItOnTwoPages) {
    if (!chromiumInstalled())
        GTEST_SKIP() << "Chromium is not installed (scripts/install-deps installs Debian's "
                        "'chromium'); the rendered page was not checked in a browser";
    TempFolder folder;
    const std::string deal = folder.file("deal.xml");
    writeStatement(deal, "hud", purchaseSettings());
    const std::string page = folder.file("deal.html");
    ASSERT_EQ(runCli({"render", deal}).exitCode, 0);

    const std::string shot = std::string(VELMORA_BUILD_DIR) + "/render-test/statement.png";
    std::filesystem::create_directories(std::filesystem::path(shot).parent_path());
    std::filesystem::remove(shot);
    const CliRun browser = runProgram(
        {"chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
         "--no-first-run", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--disable-dev-shm-usage", "--user-data-dir=" + folder.file("profile"),
         "--hide-scrollbars", "--screenshot=" + shot,
         "--window-size=" + std::to_string(kWidth) + "," + std::to_string(kHeight),
         "file://" + page},
        kBrowserSeconds);
    ASSERT_EQ(browser.exitCode, 0) << browser;
    std::cout << "The rendered statement as Chromium draws it: " << shot << '\n';

    // Not blank and not one colour: the sheets are mostly white paper, the
    // form's rules and text are dark.
    const std::vector<png_byte> pixels = greyPixels(shot);
    ASSERT_FALSE(pixels.empty()) << shot;
    const auto count = [&](auto test) {
        return static_cast<double>(std::count_if(pixels.begin(), pixels.end(), test)) /
               static_cast<double>(pixels.size());
    };
    EXPECT_GT(count([](png_byte grey) { return grey == 255; }), 0.3);
    EXPECT_GT(count([](png_byte grey) { return grey < 128; }), 0.01);

    const std::string pdf = folder.file("deal.pdf");
    const CliRun print = runProgram({VELMORA_CLI_PATH, "render", "--pdf", deal}, kBrowserSeconds);
    ASSERT_EQ(print.exitCode, 0) << print;
    const std::string bytes = readBytes(pdf);
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(pageCount(bytes), 2u);
}

} // namespace
} // namespace velmora::testing
