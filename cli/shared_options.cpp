#include "shared_options.h"

#include "document/hud_document.h"

namespace velmora::cli {
namespace {

std::string documentTypeProblem(const std::string& text) {
    if (text == document_types::kHud || text == document_types::kHud1a)
        return {};
    return "takes hud (a statement) or hud1a (a refinance statement), not '" + text + "'";
}

} // namespace

void addTypeOption(CLI::App& command, GlobalOptions& options) {
    command
        .add_option("--type", options.documentType,
                    "Document type: hud (a statement, the default) or hud1a (a refinance "
                    "statement)")
        ->check(documentTypeProblem, "hud|hud1a");
}

void addYesOption(CLI::App& command, GlobalOptions& options) {
    command.add_flag("--yes", options.yes, "Answer Yes to every question");
}

void addWaitOption(CLI::App& command, GlobalOptions& options) {
    command
        .add_option("--wait", options.waitSeconds,
                    "Seconds to wait for another program that holds the file to let go (default "
                    "10; 0 refuses at once)")
        ->check(CLI::NonNegativeNumber);
}

} // namespace velmora::cli
