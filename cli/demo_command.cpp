#include "commands.h"

#include "platform/dialog.h"
#include "platform/file_system.h"
#include "platform/guid.h"
#include "render/statement_view.h"
#include "tree_text.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

namespace velmora::cli {

// Made at build time by make_legacy_sample.
extern const unsigned char kLegacySample[];
extern const std::size_t kLegacySampleSize;

namespace {

// The demo converts its own sample, so it agrees to the conversion question
// itself; every other message goes to the terminal as usual.
class AgreeingDialog final : public Dialog {
public:
    explicit AgreeingDialog(Dialog& terminal) : terminal_(terminal) {}
    DialogButton ask(const std::string& caption, const std::string& text, unsigned flags) override {
        if ((flags & dialog_flags::kButtonMask) == dialog_flags::kYesNo)
            return DialogButton::Yes;
        return terminal_.ask(caption, text, flags);
    }

private:
    Dialog& terminal_;
};

struct Setting {
    const char* uri;
    const char* property;
    const char* value;
};

// A small purchase: the parties, the price and deposit, a few charges.
constexpr Setting kSampleValues[] = {
    {"", "placeOfSettlement", "Velmora Title, 12 Harbor Street, Portland ME"},
    {"", "i_settlementDate", "9/16/2008"},
    {"b", "fileNo_6", "2008-0917"},
    {"b", "loanNo_7", "447-1182"},
    {"d", "name1", "Dana Whitlock"},
    {"d", "street", "88 Alder Lane"},
    {"e", "name1", "Morgan & Lee Estates"},
    {"g", "street", "14 Quarry Road"},
    {"n100/n104", "amount", "250000.00"},
    {"n100", "n101", "250000.00"},
    {"n100", "n120", "256125.50"},
    {"n200/n204", "amount", "25000.00"},
    {"n700/price", "amount", "250000.00"},
    {"n700/price", "at", "6"},
    {"n800/n801", "borrowerFund", "2500.00"},
    {"n1100/n1101", "borrowerFund", "450.00"},
    {"n1200/n1201", "deed", "125.00"},
};

std::string makeDemoFolder(const std::string& requested) {
    if (!requested.empty()) {
        std::filesystem::create_directories(requested);
        return requested;
    }
    // A new folder of a name nobody has taken: creating it fails otherwise.
    const std::filesystem::path temporary = std::filesystem::temp_directory_path();
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string folder =
            (temporary / ("velmora-demo-" + newGuidText().substr(0, 8))).string();
        if (createFolder(folder) == FolderResult::Created)
            return folder;
    }
    throw CommandFailed("could not create a folder for the demo");
}

void fill(Session& session) {
    HudProvider& provider = session.provider();
    provider.initHUDDocument();
    for (const Setting& setting : kSampleValues) {
        int result = -1;
        provider.setNodePropertyValue(setting.uri, setting.property, setting.value, &result);
        if (result != 0)
            throw CommandFailed(std::string("demo: could not set ") + setting.property);
    }
    std::string name;
    provider.createNode("ledger", "", &name);
    provider.createNode("deposits", "ledger", &name);
    for (const char* amount : {"25000.00", "231125.50"}) {
        provider.createNode("deposit", "ledger/deposits", &name);
        int result = -1;
        provider.setNodePropertyByCriterion("ledger/deposits", "name=" + name, "amount", amount,
                                            &result);
    }
    provider.createNode("address", "d_borrowers", &name);
    int result = -1;
    provider.setNodePropertyValue("d_borrowers/address", "name1", "Riley Whitlock", &result);
}

std::string pathIn(const std::string& folder, const char* name) {
    return (std::filesystem::path(folder) / name).string();
}

void convertLegacySample(const GlobalOptions& options, const std::string& folder) {
    const std::string file = pathIn(folder, "legacy-deal.hud");
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(kLegacySample),
                  static_cast<std::streamsize>(kLegacySampleSize));
        if (!out)
            throw CommandFailed(file + ": could not write the legacy sample");
    }
    GlobalOptions statement = options;
    statement.documentType = document_types::kHud;
    Session session(statement);
    AgreeingDialog agreeing(currentDialog());
    ScopedDialog scoped(agreeing);
    int result = -1;
    session.provider().readHUD(file, &result);
    if (result != 0)
        throw CommandFailed(file + ": the legacy sample could not be converted");

    std::cout << "\nA deal file of the older binary format, converted in place to XML "
                 "(its backup is in "
              << (std::filesystem::path(folder) / "UpgradeBackup").string() << "):\n\n";
    printTree(std::cout, session.node("d"), -1);
    printTree(std::cout, session.node("d_borrowers"), -1);
    printTree(std::cout, session.node("n500/n504"), -1);
    printTree(std::cout, session.node("ledger"), -1);
    std::cout << "\nThe converted document: " << file << '\n';
    writeStatementPage(render::renderStatement(session.document()),
                       pathIn(folder, "legacy-deal.html"));
}

void runDemo(const GlobalOptions& options, const std::string& requestedFolder) {
    const std::string folder = makeDemoFolder(requestedFolder);
    const std::string file = pathIn(folder, "sample-deal.xml");

    {
        Session builder(options);
        fill(builder);
        builder.save(file);
    }

    Session reader(options);
    reader.open(file);
    std::cout << "A sample deal, saved and read back:\n\n";
    printTree(std::cout, reader.node(""), 1);
    std::cout << "\nBlock 100 in full:\n";
    printTree(std::cout, reader.node("n100"), -1);
    std::cout << "\nThe ledger:\n";
    printTree(std::cout, reader.node("ledger"), -1);
    std::cout << "\nThe document: " << file << "\n"
              << "Try: velmora show " << file << " n700\n"
              << "     velmora get " << file << " n100/n104 amount\n";
    writeStatementPage(render::renderStatement(reader.document()),
                       pathIn(folder, "sample-deal.html"));

    convertLegacySample(options, folder);
    std::cout << "\nBoth statements as pages of the printed form (velmora render), to open in "
                 "a browser:\n  "
              << pathIn(folder, "sample-deal.html") << "\n  " << pathIn(folder, "legacy-deal.html")
              << '\n';
}

} // namespace

void addDemoCommand(CLI::App& app, GlobalOptions& options) {
    auto folder = std::make_shared<std::string>();
    CLI::App* demo =
        app.add_subcommand("demo", "Build a sample deal, save it, read it back and show it");
    demo->add_option("DIR", *folder, "Folder for the files (default: a new temporary folder)");
    demo->callback([&options, folder] { runDemo(options, *folder); });
}

} // namespace velmora::cli
