// velmora index: the SQLite index of an archive's deals, built or brought up
// to date, and indexes of several machines joined into one. velmora search
// asks it (search_command.cpp). The work is the index layer's.
#include "commands.h"
#include "index_database.h"
#include "quiet_dialog.h"
#include "shown_lines.h"

#include "batch/progress.h"
#include "index/index_merge.h"
#include "index/index_schema.h"
#include "index/index_update.h"
#include "platform/code_page.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/stop_request.h"

#include <iostream>
#include <memory>

namespace velmora::cli {
namespace {

struct IndexArguments {
    std::vector<std::string> paths;
    std::string database = kDefaultIndexPath;
    unsigned jobs = 1;
    std::optional<batch::Shard> shard;
    std::string mergeOutput;
    std::vector<std::string> mergeInputs;
};

void runIndex(const IndexArguments& args) {
    if (args.paths.empty())
        throw CommandFailed("name the files or folders to index (or 'index merge OUT IN...')");
    const std::unique_ptr<index::Database> db = openIndexForWriting(args.database);
    batch::Progress progress(0);
    // Ctrl-C lets the files being read finish and be written, so that the
    // index holds what was done.
    const StopRequests stopRequests;
    const index::IndexOptions options{args.jobs, args.shard,
                                      [&](std::size_t files) { progress.setTotal(files); },
                                      [] { return stopRequested() != 0; }};
    QuietDialog quiet;
    ScopedDialog scoped(quiet);
    const index::IndexRun run =
        index::updateIndex(*db, args.paths, options, [&] { progress.fileDone(); });
    for (const std::string& note : run.notes)
        printLine(std::cerr, "velmora: " + note);
    for (const index::IndexProblem& problem : run.problems)
        printLine(std::cerr, "not indexed: " + problem.path + ": " + problem.reason);
    for (const index::IndexProblem& file : run.notDealsTold)
        printLine(std::cerr, "not a deal: " + file.path + ": " + file.reason);
    for (const index::IndexProblem& link : run.brokenLinks)
        printLine(std::cerr, "broken link: " + link.path + ": " + link.reason);
    std::cout << index::indexRunLine(run) << '\n';
    if (run.stopped)
        throw RunStopped(stopRequested(), run.filesDone, run.files);
}

void runMerge(const IndexArguments& args) {
    const std::optional<FileIdentity> output = fileIdentity(args.mergeOutput);
    // Every input is checked before the output is made or touched.
    for (const std::string& input : args.mergeInputs) {
        if (output && fileIdentity(input) == output)
            throw CommandFailed(input + ": is the index merged into; nothing was merged");
        index::checkMergeInput(*openIndexForReading(input));
    }
    const std::unique_ptr<index::Database> db = openIndexForWriting(args.mergeOutput);
    std::vector<std::string> inputs;
    for (const std::string& input : args.mergeInputs)
        inputs.push_back(treeTextToUtf8(input));
    const index::MergeRun run = index::mergeIndexes(*db, inputs, kIndexBusySeconds);
    std::cout << "added: " << run.added << ", replaced: " << run.replaced << ", kept: " << run.kept
              << '\n';
}

// How to make the database an index, in the tool's own terms.
std::string hintOf(index::IndexNotReady::Why why) {
    switch (why) {
    case index::IndexNotReady::Why::Empty:
        return " (make one with 'velmora index')";
    case index::IndexNotReady::Why::OlderSchema:
        return "; run 'velmora index' to rebuild it";
    }
    return "";
}

} // namespace

std::unique_ptr<index::Database> openIndexForWriting(const std::string& path) {
    auto db = std::make_unique<index::Database>(treeTextToUtf8(path), index::OpenMode::Create,
                                                kIndexBusySeconds);
    index::prepareIndexSchema(*db);
    return db;
}

std::unique_ptr<index::Database> openIndexForReading(const std::string& path) {
    if (!fileExists(path))
        throw CommandFailed(path + ": no index here (make one with 'velmora index PATH...')");
    auto db = std::make_unique<index::Database>(treeTextToUtf8(path), index::OpenMode::ReadOnly,
                                                kIndexBusySeconds);
    try {
        index::requireIndexSchema(*db);
    } catch (const index::IndexNotReady& refusal) {
        throw CommandFailed(refusal.what() + hintOf(refusal.why()));
    }
    return db;
}

void addIndexCommand(CLI::App& app, const GlobalOptions&) {
    auto args = std::make_shared<IndexArguments>();
    CLI::App* index = app.add_subcommand(
        "index", "Build or update the SQLite index of the deals among files and folders");
    index->add_option("PATH", args->paths, "Files or folders (searched recursively)");
    index->add_option("--db", args->database, "The index database")->capture_default_str();
    index->add_option("-j,--jobs", args->jobs, "Files read at once (default 1)")
        ->check(CLI::Range(1u, 256u));
    addShardOption(*index, args->shard,
                   "Take only shard K of N (K/N), as convert does (default: every file)");
    index->require_subcommand(0, 1);
    index->callback([args, index] {
        if (index->got_subcommand("merge"))
            return;
        runIndex(*args);
    });

    CLI::App* merge = index->add_subcommand(
        "merge", "Join indexes (of shards, or of other machines) into OUT, made if missing");
    merge->add_option("OUT", args->mergeOutput, "The index to merge into")->required();
    merge->add_option("IN", args->mergeInputs, "Indexes to merge")->required();
    merge->callback([args] { runMerge(*args); });
}

} // namespace velmora::cli
