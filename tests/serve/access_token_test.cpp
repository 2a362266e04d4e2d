// The secret a person logs in with: the token file as an office writes it
// (on any system), the tokens too weak or too odd to take, and the
// comparison that does not stop at the first difference.
#include "serve/access_token.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace velmora::serve {
namespace {

using testing::TempFolder;
using testing::writeBytes;

const std::string k32Hex = "0123456789abcdef0123456789ABCDEF";

class AccessToken : public ::testing::Test {
protected:
    std::string fileOf(const std::string& bytes) {
        writeBytes(file_, bytes);
        return file_;
    }
    // Why the token of the file is refused; empty when it is taken.
    static std::string refusalOf(const std::string& path) {
        try {
            readAccessToken(path);
            return "";
        } catch (const TokenRefused& refusal) {
            return refusal.what();
        }
    }

    TempFolder folder_;
    const std::string file_ = folder_.file("token");
};

TEST_F(AccessToken, TheFirstLineIsTheTokenWhateverEndsIt) {
    EXPECT_EQ(readAccessToken(fileOf(k32Hex + "\n")), k32Hex);
    EXPECT_EQ(readAccessToken(fileOf(k32Hex)), k32Hex);
    EXPECT_EQ(readAccessToken(fileOf(k32Hex + "\r\n")), k32Hex);
    EXPECT_EQ(readAccessToken(fileOf(k32Hex + "\r\nnot this\n")), k32Hex);
    // 128 bits in base64, padding left off: the shortest taken.
    EXPECT_EQ(readAccessToken(fileOf("q83vEjRWeJCrze8SNFZ4kA\n")), "q83vEjRWeJCrze8SNFZ4kA");
}

TEST_F(AccessToken, ATokenTooShortOrWithABlankOrAControlIsRefused) {
    const std::string shorter = ": the token is shorter than 22 characters (128 bits); make one of "
                                "32 hexadecimal digits or more";
    EXPECT_EQ(refusalOf(fileOf("q83vEjRWeJCrze8SNFZ4k\n")), file_ + shorter);
    EXPECT_EQ(refusalOf(fileOf("\n" + k32Hex + "\n")), file_ + shorter);
    EXPECT_EQ(refusalOf(fileOf("\r\n")), file_ + shorter);
    const std::string blank = ": the token holds a blank or a control character";
    for (const std::string& odd :
         {k32Hex.substr(0, 16) + " " + k32Hex.substr(16), k32Hex + " ", " " + k32Hex, k32Hex + "\t",
          k32Hex.substr(0, 30) + "\x7F", k32Hex + "\r\r\n", std::string(k32Hex + '\0' + "x")})
        EXPECT_EQ(refusalOf(fileOf(odd + "\n")), file_ + blank) << odd;
}

TEST_F(AccessToken, AFileThatCannotBeReadIsRefused) {
    const std::string unreadable = ": the token file cannot be read";
    EXPECT_EQ(refusalOf(folder_.file("missing")), folder_.file("missing") + unreadable);
    EXPECT_EQ(refusalOf(folder_.path()), folder_.path() + unreadable);
    EXPECT_EQ(refusalOf(fileOf("")), file_ + unreadable);
}

TEST(SameSecret, OnlyTheWholeSecretIsTheSecret) {
    EXPECT_TRUE(sameSecret(k32Hex, k32Hex));
    EXPECT_FALSE(sameSecret(k32Hex.substr(0, 31) + "0", k32Hex));
    EXPECT_FALSE(sameSecret("1" + k32Hex.substr(1), k32Hex));
    EXPECT_FALSE(sameSecret(k32Hex.substr(0, 31), k32Hex));
    EXPECT_FALSE(sameSecret(k32Hex + "0", k32Hex));
    // The shorter is compared as if padded with zeros: a NUL more is still a difference.
    EXPECT_FALSE(sameSecret(std::string(k32Hex + '\0'), k32Hex));
    EXPECT_FALSE(sameSecret(k32Hex, std::string(k32Hex + '\0')));
    EXPECT_FALSE(sameSecret("", k32Hex));
}

TEST(RandomId, Is128BitsInLowercaseHexadecimalAndNeverTheSame) {
    std::set<std::string> ids;
    for (int i = 0; i < 100; ++i) {
        const std::string id = randomId();
        EXPECT_EQ(id.size(), 32u);
        EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos) << id;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 100u);
}

} // namespace
} // namespace velmora::serve
