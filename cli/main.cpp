// velmora: open, inspect, edit and create settlement documents from the
// command line. Exit codes: 0 done, 1 refused / not found / failed (the
// reason on standard error), 2 usage error.
#include "command_suggestion.h"
#include "commands.h"
#include "shown_lines.h"
#include "terminal_dialog.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>
#include <string>

#ifdef _WIN32
#include <objbase.h>
#include <windows.h>
#endif

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "0.0.0"
#endif

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

#ifdef _WIN32
// COM, once for the whole run: the file-use registry is a COM component, and
// the engine never initialises COM itself. The multithreaded apartment takes
// in the batch conversion's worker threads as well.
class ComInitialised {
public:
    ComInitialised() : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ComInitialised() {
        if (ok_)
            ::CoUninitialize();
    }
    ComInitialised(const ComInitialised&) = delete;
    ComInitialised& operator=(const ComInitialised&) = delete;

private:
    bool ok_;
};

// The tool writes UTF-8 everywhere (its manifest makes that the process code
// page), to files and pipes as they are; a console is told to show it as
// such, and given its own code page back at the end, since the shell that
// owns it goes on using it. GetConsoleOutputCP answers 0 without a console.
class Utf8Console {
public:
    Utf8Console() : previous_(::GetConsoleOutputCP()) {
        if (previous_ != 0)
            ::SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8Console() {
        if (previous_ != 0)
            ::SetConsoleOutputCP(previous_);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    UINT previous_;
};
#endif

} // namespace

int main(int argc, char** argv) {
    using namespace velmora::cli;
#ifdef _WIN32
    const ComInitialised com;
    const Utf8Console console;
#endif

    CLI::App app("velmora - read, edit and create settlement documents", "velmora");
    app.require_subcommand(1);
    app.fallthrough();
    app.set_version_flag("--version", VELMORA_VERSION);

    GlobalOptions options;
    addTypeOption(app, options,
                  "Document type: hud (a statement) or hud1a (a refinance statement) (default: "
                  "hud; convert takes each deal as the kind it is)");
    addYesOption(app, options);

    TerminalDialog dialog(options.yes);
    velmora::installDialog(&dialog);

    addEditCommands(app, options);
    addQueryCommands(app, options);
    addCheckCommand(app, options);
    addConvertCommand(app, options);
    addIndexCommand(app, options);
    addSearchCommand(app, options);
    addRenderCommand(app, options);
    addServeCommand(app, options);
    addAuditCommand(app, options);
    addDemoCommand(app, options);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        return app.exit(done);
    } catch (const CLI::ParseError& error) {
        if (const std::optional<std::string> unknown = unknownCommandMessage(app)) {
            printLine(std::cerr, "velmora: " + *unknown);
            return kExitUsage;
        }
        app.exit(error);
        return kExitUsage;
    } catch (const CannotRun& refusal) {
        printLine(std::cerr, std::string("velmora: ") + refusal.what());
        return kExitUsage;
    } catch (const RunStopped& stopped) {
        printLine(std::cerr, std::string("velmora: ") + stopped.what());
        return stopped.exitStatus();
    } catch (const std::exception& failure) {
        // A message may carry a path or a value from a file.
        printLine(std::cerr, std::string("velmora: ") + failure.what());
        return kExitFailed;
    }
    return 0;
}
