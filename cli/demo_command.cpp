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
extern const unsigned char kLegacyRefinanceSample[];
extern const std::size_t kLegacyRefinanceSampleSize;

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

// A purchase of 250,000.00 with a 200,000.00 loan, as a closing agent fills
// it: every line with an amount has its description, line 1400 is the sum
// of the charges, 120, 220, 420 and 520 the sums of their blocks, 303 and
// 603 what is left.
constexpr Setting kSampleValues[] = {
    {"", "placeOfSettlement", "Velmora Title, 12 Harbor Street, Portland ME"},
    {"", "i_settlementDate", "9/16/2008"},
    {"", "f_LenderName", "Harbor Bank"},
    {"", "f_LenderAddress", "1 Commercial Street, Portland ME 04101"},
    {"", "e_SellerTin", "01-0456789"},
    {"", "h_AgentTin", "01-0987654"},
    {"b", "loanOption", "3"},
    {"b", "fileNo_6", "2008-0917"},
    {"b", "loanNo_7", "447-1182"},
    {"d", "name1", "Dana Whitlock"},
    {"d", "street", "88 Alder Lane"},
    {"d", "city", "Portland"},
    {"d", "state", "ME"},
    {"d", "zip", "04101"},
    {"e", "name1", "Morgan & Lee Estates"},
    {"e", "street", "5 Cove Street"},
    {"e", "city", "Portland"},
    {"e", "state", "ME"},
    {"e", "zip", "04101"},
    {"g", "street", "14 Quarry Road"},
    {"g", "city", "Portland"},
    {"g", "state", "ME"},
    {"g", "zip", "04102"},
    {"h", "name1", "Velmora Title"},
    {"h", "street", "12 Harbor Street"},
    {"h", "city", "Portland"},
    {"h", "state", "ME"},
    {"h", "zip", "04101"},
    {"n100", "n101", "250000.00"},
    {"n100/n106", "from", "9/16/2008"},
    {"n100/n106", "to", "12/31/2008"},
    {"n100/n106", "amount", "1062.50"},
    {"n100", "n120", "258065.70"},
    {"n200", "n201", "25000.00"},
    {"n200", "n202", "200000.00"},
    {"n200/n204", "description", "Seller credit for roof repair"},
    {"n200/n204", "amount", "1500.00"},
    {"n200/n211", "from", "7/1/2008"},
    {"n200/n211", "to", "9/15/2008"},
    {"n200/n211", "amount", "625.00"},
    {"n200", "n220", "227125.00"},
    {"", "n303", "30940.70"},
    {"n400/n406", "from", "9/16/2008"},
    {"n400/n406", "to", "12/31/2008"},
    {"n400/n406", "amount", "1062.50"},
    {"n400", "n420", "251062.50"},
    {"n500/n504", "payor", "Coastal Savings"},
    {"n500/n504", "amount", "142310.45"},
    {"n500/n506", "description", "Seller credit for roof repair"},
    {"n500/n506", "amount", "1500.00"},
    {"n500/n511", "from", "7/1/2008"},
    {"n500/n511", "to", "9/15/2008"},
    {"n500/n511", "amount", "625.00"},
    {"n500", "n520", "160960.45"},
    {"", "n603", "90102.05"},
    {"n700", "s700Price", "250000.00"},
    {"n700/price", "at", "6"},
    {"n700/price", "amount", "15000.00"},
    {"n700/n701", "payor", "Harbor Realty"},
    {"n700/n701", "amount", "9000.00"},
    {"n700/n702", "payor", "Bayside Homes"},
    {"n700/n702", "amount", "6000.00"},
    {"n700/n703", "sellerFund", "15000.00"},
    {"n800/n801", "percentage", "1"},
    {"n800/n801", "payor", "Harbor Bank"},
    {"n800/n801", "borrowerFund", "2000.00"},
    {"n800/n803", "payor", "Casco Appraisers"},
    {"n800/n803", "borrowerFund", "450.00"},
    {"n800/n804", "payor", "Coastal Credit Bureau"},
    {"n800/n804", "borrowerFund", "35.00"},
    {"n900/n901", "from", "9/16/2008"},
    {"n900/n901", "to", "10/1/2008"},
    {"n900/n901", "at", "32.88"},
    {"n900/n901", "borrowerFund", "493.20"},
    {"n900/n903", "months", "1"},
    {"n900/n903", "payor", "Casco Insurance"},
    {"n900/n903", "borrowerFund", "840.00"},
    {"n1000/n1001", "months", "2"},
    {"n1000/n1001", "at", "70.00"},
    {"n1000/n1001", "borrowerFund", "140.00"},
    {"n1000/n1004", "months", "3"},
    {"n1000/n1004", "at", "300.00"},
    {"n1000/n1004", "borrowerFund", "900.00"},
    {"n1100/n1101", "payor", "Velmora Title"},
    {"n1100/n1101", "borrowerFund", "450.00"},
    {"n1100/n1108", "payor", "Velmora Title"},
    {"n1100/n1108", "borrowerFund", "1150.00"},
    {"n1200/n1201", "deed", "25.00"},
    {"n1200/n1201", "mortgage", "75.00"},
    {"n1200/n1201", "borrowerFund", "100.00"},
    {"n1200/n1203", "deed", "1100.00"},
    {"n1200/n1203", "sellerFund", "1100.00"},
    {"n1300/n1301", "payor", "Quarry Surveyors"},
    {"n1300/n1301", "borrowerFund", "350.00"},
    {"n1300/n1302", "payor", "Bug Free Co."},
    {"n1300/n1302", "borrowerFund", "95.00"},
    {"n1300/n1303", "description", "Home warranty"},
    {"n1300/n1303", "payor", "Coast Warranty"},
    {"n1300/n1303", "sellerFund", "425.00"},
    {"n1400", "borrowerFund", "7003.20"},
    {"n1400", "sellerFund", "16525.00"},
    {"n1400", "settlementAgent", "Velmora Title"},
    {"n1400", "settlementDate", "9/16/2008"},
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
    for (const char* amount : {"25000.00", "30940.70"}) {
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

// A legacy sample of `type`, written as `name` in `folder`, converted in
// place and rendered beside it; the session that read it.
std::unique_ptr<Session> convertSample(const GlobalOptions& options, const std::string& folder,
                                       const char* name, const std::string& type,
                                       std::string_view bytes) {
    const std::string file = pathIn(folder, name);
    {
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw CommandFailed(file + ": could not write the legacy sample");
    }
    GlobalOptions typed = options;
    typed.documentType = type;
    auto session = std::make_unique<Session>(typed);
    AgreeingDialog agreeing(currentDialog());
    ScopedDialog scoped(agreeing);
    int result = -1;
    session->provider().readHUD(file, &result);
    if (result != 0)
        throw CommandFailed(file + ": the legacy sample could not be converted");
    const std::string page = file.substr(0, file.rfind('.')) + ".html";
    writeStatementPage(render::renderStatement(session->document()), page, file);
    return session;
}

std::string_view bytesOf(const unsigned char* bytes, std::size_t size) {
    return {reinterpret_cast<const char*>(bytes), size};
}

void convertLegacySamples(const GlobalOptions& options, const std::string& folder) {
    const std::unique_ptr<Session> statement =
        convertSample(options, folder, "legacy-deal.hud", document_types::kHud,
                      bytesOf(kLegacySample, kLegacySampleSize));
    std::cout << "\nA deal file of the older binary format, converted in place to XML "
                 "(its backup is in "
              << (std::filesystem::path(folder) / "UpgradeBackup").string() << "):\n\n";
    printTree(std::cout, statement->node("d"), -1);
    printTree(std::cout, statement->node("d_borrowers"), -1);
    printTree(std::cout, statement->node("n500/n504"), -1);
    printTree(std::cout, statement->node("ledger"), -1);
    std::cout << "\nThe converted document: " << pathIn(folder, "legacy-deal.hud") << '\n';

    const std::unique_ptr<Session> refinance =
        convertSample(options, folder, "legacy-refinance.rfn", document_types::kHud1a,
                      bytesOf(kLegacyRefinanceSample, kLegacyRefinanceSampleSize));
    std::cout << "\nA refinance statement of the older binary format, converted likewise:\n\n";
    printTree(std::cout, refinance->node("n1500"), -1);
    printTree(std::cout, refinance->node("n1600"), -1);
    std::cout << "\nThe converted document: " << pathIn(folder, "legacy-refinance.rfn") << '\n';
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
                       pathIn(folder, "sample-deal.html"), file);

    convertLegacySamples(options, folder);
    std::cout << "\nThe three statements as pages of the printed form (velmora render), to "
                 "open in a browser:\n";
    for (const char* page : {"sample-deal.html", "legacy-deal.html", "legacy-refinance.html"})
        std::cout << "  " << pathIn(folder, page) << '\n';
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
