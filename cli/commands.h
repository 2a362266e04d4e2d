// The velmora commands, registered on the application by topic.
#pragma once

#include "session.h"

#include <CLI/CLI.hpp>
#include <string>

namespace velmora::cli {

// new, set, add, remove: commands that write the file.
void addEditCommands(CLI::App& app, GlobalOptions& options);
// show, get, count, child, find, export: commands that only read.
void addQueryCommands(CLI::App& app, GlobalOptions& options);
// check: what each file of folders and files is.
void addCheckCommand(CLI::App& app, GlobalOptions& options);
// convert: legacy files to XML, in place, in batches.
void addConvertCommand(CLI::App& app, GlobalOptions& options);
// index: the SQLite index of an archive, and index merge.
void addIndexCommand(CLI::App& app, const GlobalOptions& options);
// search: questions to that index.
void addSearchCommand(CLI::App& app, const GlobalOptions& options);
// render: the statement as an HTML page or a PDF.
void addRenderCommand(CLI::App& app, GlobalOptions& options);
// Writes the statement page of `document` to `path` safely, readable by no
// more people than the document; throws CommandFailed when it cannot.
void writeStatementPage(const std::string& page, const std::string& path,
                        const std::string& document);
// serve: the index and the statements over HTTP.
void addServeCommand(CLI::App& app, const GlobalOptions& options);
// audit: velmora serve's audit log, listed or checked.
void addAuditCommand(CLI::App& app, const GlobalOptions& options);
// demo: builds, saves, reads back and shows a sample deal.
void addDemoCommand(CLI::App& app, GlobalOptions& options);

} // namespace velmora::cli
