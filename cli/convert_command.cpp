// velmora convert: migrates folders of deal files to the XML format in place,
// in one pass over both kinds, with a record of what became of every file.
// The work is the archive layer's; this is its command line.
#include "commands.h"
#include "quiet_dialog.h"

#include "archive/migration.h"
#include "archive/progress.h"
#include "archive/shard.h"
#include "platform/safe_file.h"
#include "quiet_dialog.h"

#include <iostream>
#include <memory>
#include <unistd.h>

namespace velmora::cli {
namespace {

struct ConvertArguments {
    std::vector<std::string> paths;
    unsigned jobs = 1;
    bool dryRun = false;
    bool json = false;
    std::string report;
    std::string shard;
};

bool agreed(const GlobalOptions& options, std::size_t candidates) {
    if (options.yes)
        return true;
    if (!::isatty(STDIN_FILENO)) {
        std::cerr << "velmora: legacy files are converted in place; run with --yes to agree "
                     "(or --dry-run to see what would happen)\n";
        return false;
    }
    std::cerr << "Look at " << candidates
              << " files and convert the legacy deals among them in place? A backup of each "
                 "goes to UpgradeBackup beside it; converted files will not be compatible with "
                 "the older version. [y/N] "
              << std::flush;
    std::string answer;
    return std::getline(std::cin, answer) && (answer == "y" || answer == "Y" || answer == "yes");
}

std::string reportText(const std::vector<archive::FileRecord>& records, bool csv) {
    std::string text = csv ? archive::csvHeader() + "\n" : std::string();
    for (const archive::FileRecord& record : records)
        text += (csv ? archive::csvRecord(record) : archive::jsonRecord(record)) + "\n";
    return text;
}

std::vector<archive::FoundFile> filesOfShard(std::vector<archive::FoundFile> files,
                                             const std::string& shardText) {
    if (shardText.empty())
        return files;
    const archive::Shard shard = *archive::parseShard(shardText);
    std::erase_if(files, [&](const archive::FoundFile& file) {
        return !archive::isInShard(shard, file.relative);
    });
    return files;
}

void printProblems(const std::vector<archive::FileRecord>& records) {
    using archive::Outcome;
    for (const archive::FileRecord& record : records) {
        if (record.outcome == Outcome::Refused || record.outcome == Outcome::Failed)
            std::cerr << archive::outcomeName(record.outcome) << ": " << record.path << ": "
                      << record.reason << '\n';
    }
}

void runConvert(const GlobalOptions& options, const ConvertArguments& args) {
    if (!args.report.empty())
        requireWritableTarget(args.report);
    const archive::TreeWalk walk = archive::walkTree(args.paths);
    for (const std::string& note : walk.notes)
        std::cerr << "velmora: " << note << '\n';
    const std::vector<archive::FoundFile> files = filesOfShard(walk.files, args.shard);
    if (!args.dryRun && !files.empty() && !agreed(options, files.size()))
        throw CommandFailed("nothing converted");

    // The engine's messages on the batch road (a converted file that does not
    // read back) are carried by the records; nothing is asked.
    QuietDialog quiet;
    ScopedDialog scoped(quiet);
    archive::Progress progress(files.size());
    const archive::MigrationOptions migration{options.documentType, args.dryRun};
    const std::vector<archive::FileRecord> records =
        archive::migrateFiles(files, migration, args.jobs, [&] { progress.fileDone(); });

    // What happened is told first, so that a report that cannot be written
    // does not hide it.
    printProblems(records);
    const archive::RunSummary summary = archive::summarize(records);
    if (args.json)
        std::cout << archive::summaryJson(summary, args.dryRun) << '\n';
    else
        std::cout << archive::summaryLine(summary)
                  << (args.dryRun ? " (dry run: nothing was written)" : "") << '\n';
    if (!args.report.empty() &&
        !writeFileReplacing(args.report, reportText(records, args.report.ends_with(".csv"))))
        throw CommandFailed(args.report + ": the report could not be written");
    if (!summary.allDealsDone()) {
        const std::size_t left =
            summary.count(archive::Outcome::Refused) + summary.count(archive::Outcome::Failed);
        throw CommandFailed(std::to_string(left) + " of " + std::to_string(summary.files()) +
                            " files were refused or failed");
    }
}

} // namespace

void addConvertCommand(CLI::App& app, GlobalOptions& options) {
    auto args = std::make_shared<ConvertArguments>();
    CLI::App* convert = app.add_subcommand(
        "convert", "Convert the legacy deals among files and folders to XML documents, in place");
    convert->add_option("PATH", args->paths, "Files or folders (searched recursively)")->required();
    convert->add_option("-j,--jobs", args->jobs, "Files converted at once (default 1)")
        ->check(CLI::Range(1u, 256u));
    convert->add_flag("--dry-run", args->dryRun,
                      "Say what would happen to each file; write nothing, ask nothing");
    convert->add_option("--report", args->report,
                        "Write one record per file to FILE: JSON Lines, or CSV for a .csv name");
    convert->add_flag("--json", args->json, "Print the summary as one JSON object");
    convert
        ->add_option("--shard", args->shard,
                     "Take only shard K of N (K/N) of the files, split by a stable hash of their "
                     "path below the folder given")
        ->check([](const std::string& text) {
            return archive::parseShard(text) ? std::string()
                                             : std::string("--shard takes K/N with 1 <= K <= N");
        });
    addTypeOption(*convert, options);
    addYesOption(*convert, options);
    convert->callback([&options, args] { runConvert(options, *args); });
}

} // namespace velmora::cli
