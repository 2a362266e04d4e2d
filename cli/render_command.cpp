// velmora render: the statement as an HTML page, or as a PDF printed from it
// by a headless Chromium.
#include "commands.h"

#include "platform/safe_file.h"
#include "render/chromium.h"
#include "render/statement_view.h"

#include <filesystem>
#include <iostream>
#include <memory>

namespace velmora::cli {
namespace {

struct RenderArguments {
    std::string file;
    std::string output;
    bool pdf = false;
};

std::string defaultOutput(const std::string& file, bool pdf) {
    std::filesystem::path path(file);
    path.replace_extension(pdf ? ".pdf" : ".html");
    return path.string();
}

// Read, render and let go: the document's file is released before anything
// is written, and before a browser is waited for.
std::string renderFile(const GlobalOptions& options, const std::string& file) {
    Session session(options);
    session.open(file);
    return renderStatement(session.document());
}

void runRender(const GlobalOptions& options, const RenderArguments& args) {
    const std::string output =
        args.output.empty() ? defaultOutput(args.file, args.pdf) : args.output;
    std::error_code ignored;
    if (std::filesystem::equivalent(args.file, output, ignored))
        throw CommandFailed(output + ": that is the document itself; name another output with -o");
    requireWritableTarget(output);
    const std::string page = renderFile(options, args.file);
    if (args.pdf)
        printHtmlToPdf(page, output);
    else
        writeStatementPage(page, output);
    std::cout << output << '\n';
}

} // namespace

void writeStatementPage(const std::string& page, const std::string& path) {
    requireWritableTarget(path);
    if (!writeFileReplacing(path, page))
        throw CommandFailed(path + ": could not be written");
}

void addRenderCommand(CLI::App& app, GlobalOptions& options) {
    auto args = std::make_shared<RenderArguments>();
    CLI::App* render = app.add_subcommand(
        "render", "Write the statement as an HTML page laid out like the printed form");
    render->add_option("FILE", args->file, "The document")->required();
    render->add_option("-o,--output", args->output,
                       "The file to write (default: FILE with .html, or .pdf with --pdf)");
    render->add_flag("--pdf", args->pdf, "Print the page to PDF through a headless Chromium");
    addWaitOption(*render, options);
    render->callback([&options, args] { runRender(options, *args); });
}

} // namespace velmora::cli
