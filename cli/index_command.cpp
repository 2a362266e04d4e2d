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
#include "platform/private_file.h"
#include "platform/stop_request.h"
#include "platform/user_data.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>

namespace velmora::cli {
namespace {

struct IndexArguments {
    std::vector<std::string> paths;
    std::string database;
    unsigned jobs = 1;
    std::optional<batch::Shard> shard;
    std::string mergeOutput;
    std::vector<std::string> mergeInputs;
};

// Whether nothing at all is there under the name (a folder or file given
// by mistake, or a share that is not mounted).
bool isMissing(const std::string& path) {
    return !fileExists(path) && !isFolder(path);
}

// How many rows an existing index holds of `root`: none when there is no
// index there, or none of this schema. Nothing is made or written.
std::size_t rowsKnownUnder(const std::string& database, const std::string& root) {
    if (!fileExists(database))
        return 0;
    try {
        index::Database db(treeTextToUtf8(database), index::OpenMode::ReadOnly, kIndexBusySeconds);
        index::requireIndexSchema(db);
        return index::rowsUnder(db, root);
    } catch (const index::IndexError&) {
        return 0;
    }
}

// The names given that are missing; refuses the run, before anything is
// made or written, when one of them has no rows to keep either.
std::vector<std::string> missingOf(const IndexArguments& args) {
    std::vector<std::string> missing;
    for (const std::string& path : args.paths) {
        if (!isMissing(path))
            continue;
        if (rowsKnownUnder(args.database, path) == 0)
            throw CannotRun(path + ": no such file or folder; nothing was indexed");
        missing.push_back(path);
    }
    return missing;
}

void runIndex(IndexArguments args) {
    if (args.paths.empty())
        throw CommandFailed("name the files or folders to index (or 'index merge OUT IN...')");
    args.database = indexPathOf(args.database, true);
    const std::vector<std::string> missing = missingOf(args);
    std::vector<std::string> present;
    std::copy_if(args.paths.begin(), args.paths.end(), std::back_inserter(present),
                 [](const std::string& path) { return !isMissing(path); });
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
        index::updateIndex(*db, present, options, [&] { progress.fileDone(); });
    for (const std::string& note : run.notes)
        printLine(std::cerr, "velmora: " + note);
    for (const index::IndexProblem& problem : run.problems)
        printLine(std::cerr, "not indexed: " + problem.path + ": " + problem.reason);
    for (const index::IndexProblem& file : run.notDealsTold)
        printLine(std::cerr, "not a deal: " + file.path + ": " + file.reason);
    for (const index::IndexProblem& link : run.brokenLinks)
        printLine(std::cerr, "broken link: " + link.path + ": " + link.reason);
    // Its rows stay: a share that is not mounted must not empty the index.
    for (const std::string& path : missing)
        printLine(std::cerr, "missing: " + path + ": not there; its rows in the index were kept");
    std::cout << index::indexRunLine(run) << '\n';
    if (run.stopped)
        throw RunStopped(stopRequested(), run.filesDone, run.files);
    if (!missing.empty())
        throw CommandFailed(std::to_string(missing.size()) + " of the names given " +
                            (missing.size() == 1 ? "is" : "are") + " missing");
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

std::string indexPathOf(const std::string& given, bool forWriting) {
    if (!given.empty())
        return given;
    if (fileExists(kCurrentFolderIndex)) {
        printLine(std::cerr, std::string("velmora: using the index in the current folder, ") +
                                 kCurrentFolderIndex);
        return kCurrentFolderIndex;
    }
    const std::optional<std::string> folder = userDataFolder();
    if (!folder)
        throw CannotRun("no index named, and no data folder of the user's (neither HOME nor "
                        "XDG_DATA_HOME names one); name the index with --db");
    if (forWriting && !makeUserFolder(*folder))
        throw CannotRun(*folder + ": the folder for the index could not be made");
    return *folder + (folder->back() == '\\' ? "" : "/") + "index.db";
}

void warnIfReadableByOthers(const std::string& path, std::string_view holds) {
    static std::set<std::string> warned;
    if (warned.count(path) != 0 || !readableByOthers(path))
        return;
    warned.insert(path);
    printLine(std::cerr,
              "velmora: " + path + " can be read by other users of this machine, and it holds " +
                  std::string(holds) + "; 'chmod 600 " + path + "' makes it yours alone");
}

// The warning comes once the file is known to be an index.
std::unique_ptr<index::Database> openIndexForWriting(const std::string& path) {
    auto db = std::make_unique<index::Database>(treeTextToUtf8(path), index::OpenMode::Create,
                                                kIndexBusySeconds);
    index::prepareIndexSchema(*db);
    warnIfReadableByOthers(path);
    return db;
}

std::unique_ptr<index::Database> openIndexForReading(const std::string& path) {
    if (!fileExists(path))
        throw CannotRun(path + ": no index here (make one with 'velmora index PATH...')");
    auto db = std::make_unique<index::Database>(treeTextToUtf8(path), index::OpenMode::ReadOnly,
                                                kIndexBusySeconds);
    try {
        index::requireIndexSchema(*db);
    } catch (const index::IndexNotReady& refusal) {
        throw CannotRun(refusal.what() + hintOf(refusal.why()));
    }
    warnIfReadableByOthers(path);
    return db;
}

void addIndexCommand(CLI::App& app, const GlobalOptions&) {
    auto args = std::make_shared<IndexArguments>();
    CLI::App* index = app.add_subcommand(
        "index", "Build or update the SQLite index of the deals among files and folders");
    index->add_option("PATH", args->paths, "Files or folders (searched recursively)");
    index->add_option("--db", args->database, kDatabaseHelp);
    index->add_option("-j,--jobs", args->jobs, "Files read at once (default 1)")
        ->check(CLI::Range(1u, 256u));
    addShardOption(*index, args->shard,
                   "Take only shard K of N (K/N), as convert does (default: every file)");
    addCodePageOption(*index);
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
