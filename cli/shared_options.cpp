#include "shared_options.h"

#include "document/hud_document.h"
#include "legacy/archive_code_page.h"
#include "platform/single_byte_code_pages.h"

namespace velmora::cli {
namespace {

std::string documentTypeProblem(const std::string& text) {
    if (text == document_types::kHud || text == document_types::kHud1a)
        return {};
    return "takes hud (a statement) or hud1a (a refinance statement), not '" + text + "'";
}

std::string shardProblem(const std::string& text) {
    return batch::parseShard(text) ? std::string() : "--shard takes K/N with 1 <= K <= N";
}

std::string codePageProblem(const std::string& text) {
    unsigned codePage = 0;
    if (CLI::detail::lexical_cast(text, codePage) && isSingleByteCodePage(codePage))
        return {};
    return "takes one of " + singleByteCodePageNames() + ", not '" + text + "'";
}

} // namespace

void addTypeOption(CLI::App& command, GlobalOptions& options, const std::string& description) {
    command.add_option("--type", options.documentType, description)
        ->check(documentTypeProblem, "hud|hud1a");
}

void addYesOption(CLI::App& command, GlobalOptions& options, const std::string& description) {
    command.add_flag("--yes", options.yes, description);
}

void addWaitOption(CLI::App& command, GlobalOptions& options) {
    command
        .add_option("--wait", options.waitSeconds,
                    "Seconds to wait for another program that holds the file to let go (default "
                    "10; 0 refuses at once)")
        ->check(CLI::NonNegativeNumber);
}

void addCodePageOption(CLI::App& command) {
    command
        .add_option_function<unsigned>(
            "--code-page", [](unsigned codePage) { setArchiveCodePage(codePage); },
            "The Windows code page the text of legacy deals was written in: one of " +
                singleByteCodePageNames() + " (default " + std::to_string(kWindows1252) + ")")
        ->check(codePageProblem);
}

void addShardOption(CLI::App& command, std::optional<batch::Shard>& shard,
                    const std::string& description) {
    // Checked before it is read, so that only a valid text becomes a shard.
    command
        .add_option_function<std::string>(
            "--shard", [&shard](const std::string& text) { shard = batch::parseShard(text); },
            description)
        ->check(shardProblem);
}

} // namespace velmora::cli
