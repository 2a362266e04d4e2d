// The users file: what adding and removing a person leaves in it (a salted
// hash that takes that person's token alone, never the token), the lines
// and names it refuses, and the people a running server sees as the file
// changes under it.
#include "serve/manual_clock.h"
#include "serve/people.h"
#include "serve/users_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora::serve {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;
using namespace std::chrono_literals;

const std::string kSalt(32, 'a');
const std::string kHash(64, 'b');

class UsersFile : public ::testing::Test {
protected:
    // Why the file holding `text` is refused; empty when it is taken.
    std::string refusalOf(const std::string& text) {
        writeBytes(path_, text);
        try {
            readUsersFile(path_);
            return "";
        } catch (const UsersRefused& refusal) {
            return refusal.what();
        }
    }

    TempFolder folder_;
    const std::string path_ = folder_.file("users");
};

TEST_F(UsersFile, AddedPeopleAreKeptAsSaltedHashesOfTheirOwnTokens) {
    const std::string dana = addUser(path_, "dana.whitlock@office");
    const std::string lee = addUser(path_, "Lee_2");
    EXPECT_EQ(dana.size(), 32u);
    EXPECT_NE(dana, lee);
    EXPECT_EQ(std::filesystem::status(path_).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    const std::string text = readBytes(path_);
    EXPECT_EQ(text.find(dana), std::string::npos) << text;
    EXPECT_EQ(text.find(lee), std::string::npos) << text;
    const std::vector<UserLine> lines = readUsersFile(path_);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name, "dana.whitlock@office");
    EXPECT_EQ(lines[1].name, "Lee_2");
    EXPECT_EQ(text, usersText(lines));
    EXPECT_TRUE(holdsToken(lines[0], dana));
    EXPECT_FALSE(holdsToken(lines[0], lee));
    EXPECT_FALSE(holdsToken(lines[0], dana.substr(1)));
    // The same token under another salt is another hash.
    EXPECT_NE(userLineOf("x", dana).hash, userLineOf("x", dana).hash);

    removeUser(path_, "dana.whitlock@office");
    EXPECT_EQ(readUsersFile(path_), std::vector<UserLine>{lines[1]});
    EXPECT_EQ(std::filesystem::status(path_).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(UsersFile, NamesThatCouldForgeALineOrAFieldAreRefused) {
    const std::string problem = "a name is 1 to 64 letters, digits, '.', '_', '-' or '@'";
    for (const std::string& odd : {std::string(""), std::string("a:b"), std::string("a\nb"),
                                   std::string("a b"), std::string("a\"b"), std::string(65, 'a'),
                                   std::string("d\xC3\xA9"
                                               "bora")}) {
        EXPECT_EQ(userNameProblem(odd), problem) << odd;
        try {
            addUser(path_, odd);
            ADD_FAILURE() << odd;
        } catch (const UsersRefused& refusal) {
            EXPECT_EQ(refusal.what(), problem);
        }
    }
    EXPECT_EQ(userNameProblem(std::string(64, 'a')), "");
    EXPECT_FALSE(std::filesystem::exists(path_));

    addUser(path_, "dana");
    EXPECT_THROW(addUser(path_, "dana"), UsersRefused);
    EXPECT_THROW(removeUser(path_, "lee"), UsersRefused);
    EXPECT_THROW(removeUser(path_, "a:b"), UsersRefused);
    EXPECT_EQ(readUsersFile(path_).size(), 1u);
}

TEST_F(UsersFile, ALineThatIsNoPersonsIsRefusedByItsNumberAndNeverShown) {
    const std::string good = "dana:" + kSalt + ":" + kHash;
    EXPECT_EQ(refusalOf(good + "\r\n\n\nlee:" + kSalt + ":" + kHash), "");
    EXPECT_EQ(refusalOf(""), "");
    const std::string secret = "4f1c9a27d0b38e65c2a7194e0d5b8f36";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {secret, "it is not NAME:SALT:HASH"},
        {"lee:" + kSalt, "it is not NAME:SALT:HASH"},
        {"lee:" + kSalt + ":" + kHash + ":" + secret, "it is not NAME:SALT:HASH"},
        {"lee " + secret + ":" + kSalt + ":" + kHash,
         "a name is 1 to 64 letters, digits, '.', '_', '-' or '@'"},
        {"lee:" + kSalt.substr(1) + ":" + kHash, "the salt is not 32 lowercase hexadecimal digits"},
        {"lee:" + std::string(32, 'A') + ":" + kHash,
         "the salt is not 32 lowercase hexadecimal digits"},
        {"lee:" + kSalt + ":" + secret, "the hash is not 64 lowercase hexadecimal digits"},
        {"lee:" + kSalt + ":" + kHash + " ", "the hash is not 64 lowercase hexadecimal digits"},
        {good, "dana is named twice"},
    };
    for (const auto& [line, why] : cases) {
        const std::string refusal = refusalOf(good + "\n\n" + line + "\n" + good + "\n");
        EXPECT_EQ(refusal, path_ + ", line 3: " + why) << line;
        EXPECT_EQ(refusal.find(secret), std::string::npos);
    }
    EXPECT_EQ(refusalOf(std::string(kLargestUsersFile + 1, '\n')),
              path_ + ": the users file is larger than 1048576 bytes");
    EXPECT_EQ(refusalOf(std::string(kLargestUsersFile, '\n')), "");
    std::filesystem::remove(path_);
    EXPECT_THROW(readUsersFile(path_), UsersRefused);
    EXPECT_THROW(removeUser(path_, "dana"), UsersRefused);
}

TEST_F(UsersFile, ARunningServerSeesTheFileChangeAndKeepsTheLastGoodList) {
    testing::ManualClock clock;
    std::vector<std::string> notices;
    const std::string dana = addUser(path_, "dana");
    UsersOnFile people(path_, clock.reader(),
                       [&](const std::string& line) { notices.push_back(line); });
    const std::optional<Person> person = people.byToken(dana);
    ASSERT_TRUE(person);
    EXPECT_EQ(person->name, "dana");
    EXPECT_EQ(people.byToken(dana + "0"), std::nullopt);

    const std::string lee = addUser(path_, "lee");
    removeUser(path_, "dana");
    // Looked at again once a second, not at every request.
    EXPECT_TRUE(people.present(*person));
    EXPECT_EQ(people.byToken(lee), std::nullopt);
    clock.advance(kUsersFileCheck);
    EXPECT_FALSE(people.present(*person));
    EXPECT_EQ(people.byToken(dana), std::nullopt);
    EXPECT_EQ(people.byToken(lee)->name, "lee");

    // Added again under the same name, dana is someone new: what the old
    // line let in stays out.
    const std::string again = addUser(path_, "dana");
    clock.advance(kUsersFileCheck);
    EXPECT_FALSE(people.present(*person));
    EXPECT_TRUE(people.present(*people.byToken(again)));

    const std::string before = readBytes(path_);
    for (const std::string& bad : {before + "broken\n", before + "still broken\n"}) {
        writeBytes(path_, bad);
        clock.advance(kUsersFileCheck);
        EXPECT_EQ(people.byToken(lee)->name, "lee");
    }
    std::filesystem::remove(path_);
    clock.advance(kUsersFileCheck);
    EXPECT_EQ(people.byToken(lee)->name, "lee");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], path_ + ", line 3: it is not NAME:SALT:HASH; the last good list of "
                                  "users stays in use");

    // Good again, and then bad again: that is told anew.
    writeBytes(path_, before);
    clock.advance(kUsersFileCheck);
    EXPECT_TRUE(people.byToken(again));
    std::filesystem::remove(path_);
    clock.advance(kUsersFileCheck);
    EXPECT_TRUE(people.byToken(lee));
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1], path_ + ": the users file cannot be read; the last good list of users "
                                  "stays in use");
}

} // namespace
} // namespace velmora::serve
