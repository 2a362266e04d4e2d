#include "serve/users_file.h"

#include "platform/native_path.h"
#include "platform/private_file.h"
#include "platform/safe_file.h"
#include "serve/access_token.h"
#include "serve/sha256.h"

#include <algorithm>
#include <fstream>

namespace velmora::serve {
namespace {

constexpr std::size_t kSaltDigits = 32;
constexpr std::size_t kHashDigits = 64;

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-' || c == '@';
}

bool isLowerHex(std::string_view text, std::size_t digits) {
    return text.size() == digits && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::string hashOf(std::string_view salt, std::string_view token) {
    std::string salted(salt);
    salted += token;
    return sha256Hex(salted);
}

// The line's three fields; a message when it does not have them.
std::string lineProblem(std::string_view line, UserLine& out) {
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos || line.find(':', second + 1) != std::string_view::npos)
        return "it is not NAME:SALT:HASH";
    out.name = line.substr(0, first);
    out.salt = line.substr(first + 1, second - first - 1);
    out.hash = line.substr(second + 1);
    if (!userNameProblem(out.name).empty())
        return userNameProblem(out.name);
    if (!isLowerHex(out.salt, kSaltDigits))
        return "the salt is not 32 lowercase hexadecimal digits";
    if (!isLowerHex(out.hash, kHashDigits))
        return "the hash is not 64 lowercase hexadecimal digits";
    return "";
}

std::string readUsersText(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    if (!in)
        throw UsersRefused(path + ": the users file cannot be read");
    std::string text;
    text.resize(kLargestUsersFile + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad())
        throw UsersRefused(path + ": the users file cannot be read");
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kLargestUsersFile)
        throw UsersRefused(path + ": the users file is larger than " +
                           std::to_string(kLargestUsersFile) + " bytes");
    return text;
}

void refuseOddName(std::string_view name) {
    const std::string problem = userNameProblem(name);
    if (!problem.empty())
        throw UsersRefused(problem);
}

void replaceUsers(const std::string& path, const std::vector<UserLine>& lines,
                  std::string_view before) {
    switch (writeFileReplacingIfUnchanged(path, usersText(lines), before)) {
    case GuardedReplace::Replaced:
        return;
    case GuardedReplace::Changed:
    case GuardedReplace::NotPutBack:
        throw UsersRefused(path + ": the users file was changed meanwhile; try again");
    case GuardedReplace::NotWritten:
        break;
    }
    throw UsersRefused(path + ": the users file cannot be written");
}

} // namespace

std::string userNameProblem(std::string_view name) {
    if (name.empty() || name.size() > kLongestUserName ||
        !std::all_of(name.begin(), name.end(), isNameCharacter))
        return "a name is 1 to 64 letters, digits, '.', '_', '-' or '@'";
    return "";
}

UserLine userLineOf(const std::string& name, std::string_view token) {
    UserLine line{name, randomId(), ""};
    line.hash = hashOf(line.salt, token);
    return line;
}

bool holdsToken(const UserLine& line, std::string_view token) {
    return sameSecret(hashOf(line.salt, token), line.hash);
}

std::vector<UserLine> parseUsers(std::string_view text, const std::string& path) {
    std::vector<UserLine> lines;
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty())
            continue;
        UserLine read;
        const std::string problem = lineProblem(line, read);
        if (!problem.empty())
            throw UsersRefused(path + ", line " + std::to_string(number) + ": " + problem);
        const auto same = std::find_if(lines.begin(), lines.end(), [&](const UserLine& known) {
            return known.name == read.name;
        });
        if (same != lines.end())
            throw UsersRefused(path + ", line " + std::to_string(number) + ": " + read.name +
                               " is named twice");
        lines.push_back(std::move(read));
    }
    return lines;
}

std::string usersText(const std::vector<UserLine>& lines) {
    std::string text;
    for (const UserLine& line : lines)
        text += line.name + ":" + line.salt + ":" + line.hash + "\n";
    return text;
}

std::vector<UserLine> readUsersFile(const std::string& path) {
    return parseUsers(readUsersText(path), path);
}

std::string addUser(const std::string& path, const std::string& name) {
    refuseOddName(name);
    makeOwnerOnlyFile(path);
    const std::string before = readUsersText(path);
    std::vector<UserLine> lines = parseUsers(before, path);
    if (std::any_of(lines.begin(), lines.end(),
                    [&](const UserLine& line) { return line.name == name; }))
        throw UsersRefused(path + ": " + name + " is there already; remove them first to give " +
                           "them a new token");
    std::string token = randomId();
    lines.push_back(userLineOf(name, token));
    replaceUsers(path, lines, before);
    return token;
}

void removeUser(const std::string& path, const std::string& name) {
    refuseOddName(name);
    const std::string before = readUsersText(path);
    std::vector<UserLine> lines = parseUsers(before, path);
    const std::size_t removed =
        std::erase_if(lines, [&](const UserLine& line) { return line.name == name; });
    if (removed == 0)
        throw UsersRefused(path + ": no one is named " + name);
    replaceUsers(path, lines, before);
}

} // namespace velmora::serve
