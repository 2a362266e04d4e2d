// The questions the tool puts to the person at the terminal: written once
// with " [y/N] " after it, and only y, Y and yes mean yes.
#include "cli/cli_runner.h"
#include "document/document_messages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace velmora::testing {
namespace {

// A pseudo-terminal with `typed` waiting in it, as if typed ahead; the tool
// gets its terminal end (`path`) as standard input.
class TypedTerminal {
public:
    explicit TypedTerminal(const std::string& typed) {
        controller_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (controller_ < 0 || ::grantpt(controller_) != 0 || ::unlockpt(controller_) != 0)
            return;
        const char* name = ::ptsname(controller_);
        // Held open, so that what is typed stays queued until the tool reads it.
        terminal_ = name ? ::open(name, O_RDWR | O_NOCTTY) : -1;
        if (terminal_ >= 0 &&
            ::write(controller_, typed.data(), typed.size()) == static_cast<ssize_t>(typed.size()))
            path_ = name;
    }
    ~TypedTerminal() {
        for (const int descriptor : {terminal_, controller_}) {
            if (descriptor >= 0)
                ::close(descriptor);
        }
    }
    TypedTerminal(const TypedTerminal&) = delete;
    TypedTerminal& operator=(const TypedTerminal&) = delete;

    const std::string& path() const { return path_; }

private:
    int controller_ = -1;
    int terminal_ = -1;
    std::string path_;
};

CliRun answering(const std::string& typed, const std::vector<std::string>& args) {
    const TypedTerminal terminal(typed);
    EXPECT_FALSE(terminal.path().empty()) << "no pseudo-terminal";
    return runCli(args, terminal.path().empty() ? "/dev/null" : terminal.path());
}

bool isXml(const std::string& path) {
    return readBytes(path).rfind("<calverin>", 0) == 0;
}

// The engine's questions reach the terminal through the same prompt, but
// the tool refuses legacy files before the engine could ask about one.
TEST(Prompt, ConvertAsksOnceForTheWholeFolderAndTakesOnlyYesForYes) {
    const std::string question =
        "Look at 2 files and convert the legacy deals among them in place? A backup of each goes "
        "to UpgradeBackup beside it; converted files will not be compatible with the older "
        "version. [y/N] ";
    const std::pair<const char*, bool> answers[] = {
        {"y\n", true},    {"Y\n", true},   {"yes\n", true}, {"n\n", false},
        {"YES\n", false}, {" y\n", false}, {"\n", false}};
    for (const auto& [typed, agreed] : answers) {
        TempFolder folder;
        for (const char* name : {"a.hud", "b.hud"})
            writeBytes(folder.file(name), hudFile(statementRecord()));
        const CliRun run = answering(typed, {"convert", folder.path()});
        EXPECT_EQ(run.err.rfind(question, 0), 0u) << run;
        EXPECT_EQ(run.err.find(question, 1), std::string::npos) << run;
        EXPECT_EQ(run.exitCode, agreed ? 0 : 1) << run;
        EXPECT_EQ(isXml(folder.file("a.hud")), agreed) << typed;
        EXPECT_EQ(isXml(folder.file("b.hud")), agreed) << typed;
    }
}

} // namespace
} // namespace velmora::testing
