// The extended-length form of Windows paths: which paths get it, how a UNC
// path is spelled in it, and the plain form people are shown again. Text
// rules, the same for narrow and wide paths, so they are checked here.
#include "platform/long_path_form.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

std::string extended(std::string_view path) {
    return extendedLengthForm<char>(path);
}

std::string plain(std::string_view path) {
    return plainForm<char>(path);
}

TEST(LongPathForm, FullPathsTakeThePrefixOfTheirKindAndComeBackPlain) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Deals\\Nguyen.hud", "\\\\?\\C:\\Deals\\Nguyen.hud"},
        {"z:\\", "\\\\?\\z:\\"},
        {"\\\\server\\share\\Deals", "\\\\?\\UNC\\server\\share\\Deals"},
    };
    for (const auto& [full, prefixed] : cases) {
        EXPECT_EQ(extended(full), prefixed);
        EXPECT_EQ(plain(prefixed), full);
    }
    EXPECT_EQ(extendedLengthForm<wchar_t>(L"\\\\s\\x\\\u0141\u00f3d\u017a"),
              L"\\\\?\\UNC\\s\\x\\\u0141\u00f3d\u017a");
    EXPECT_EQ(plainForm<wchar_t>(L"\\\\?\\C:\\\u03a9mega"), L"C:\\\u03a9mega");
}

TEST(LongPathForm, OtherPathsAreLeftAsTheyAre) {
    // Already extended, devices, and what is not a full path: the prefix
    // would make the system take "." or "/" literally.
    for (const char* path : {"\\\\?\\C:\\x", "\\\\.\\NUL", "\\\\?\\UNC\\s\\x", "deals\\x.hud",
                             "C:deal.hud", "C:/Deals/x", "\\Deals\\x", "\\\\", ""})
        EXPECT_EQ(extended(path), path) << path;
    // No plainer form: a volume path, a prefix with nothing after it.
    for (const char* path :
         {"\\\\?\\Volume{1b3c}\\x", "\\\\?\\UNC\\", "\\\\?\\", "\\\\?\\C:", "C:\\x", "\\\\s\\x"})
        EXPECT_EQ(plain(path), path) << path;
}

TEST(LongPathForm, TheRootOfAnExtendedPathEndsAfterTheDriveOrTheShare) {
    EXPECT_EQ(extendedRootLength<char>("\\\\?\\C:\\Deals\\x.hud"), 7u);
    EXPECT_EQ(extendedRootLength<char>("\\\\?\\C:\\"), 7u);
    EXPECT_EQ(extendedRootLength<wchar_t>(L"\\\\?\\UNC\\server\\share\\Deals"), 21u);
    EXPECT_EQ(extendedRootLength<char>("\\\\?\\UNC\\server\\share\\"), 21u);
    for (const char* path :
         {"C:\\Deals", "\\\\?\\C:", "\\\\?\\UNC\\server\\share", "\\\\?\\UNC\\server\\\\x",
          "\\\\?\\UNC\\\\share\\x", "\\\\?\\Volume{1b3c}\\x", "\\\\server\\share\\x"})
        EXPECT_EQ(extendedRootLength<char>(path), 0u) << path;
}

} // namespace
} // namespace velmora
