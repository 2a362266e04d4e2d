// Opening and saving a document file: the format test, the conversion of a
// legacy file with its backup, the version rules, the 200 migration, the
// version stamp of a save, and the file lock and registry around both.
#include "document/hud_document.h"
#include "legacy/hud_converter.h"
#include "platform/safe_file.h"
#include "platform/shared_file.h"
#include "recording_dialog.h"
#include "support/legacy_test_support.h"
#include "support/legacy_writer.h"
#include "support/platform_doubles.h"
#include "temp_folder.h"
#include "tree/xml_document.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace velmora::testing {
namespace {

using Shown = std::tuple<std::string, std::string, unsigned>;

const Shown kSharingError{"Sharing error",
                          "This file is already being user by another user, and cannot be open "
                          "at this point of time",
                          0x40};
const Shown kConvertQuestion{
    "Warning",
    "This file is from older version and will be converted to current version format. Converted "
    "file will not be compatible with older version. Continue?",
    0x24};
const Shown kNotSupported{"Error", "Older format is not supported.", 0x10};
const Shown kVersionIssue{"version issue",
                          "This file version is newer than the application version. You cannot "
                          "open higher version files in older application. Contact Calverin tech "
                          "support.",
                          0x40};
const Shown kWriteError{"Write error", "This file is opened by another user and cannot be saved",
                        0};
const Shown kBackupFailed{"Error", "The backup copy could not be made; the file was not converted.",
                          0x10};
const Shown kLoadFailed{"", "Load document failed", 0};

std::vector<Shown> shownBy(const RecordingDialog& dialog) {
    std::vector<Shown> shown;
    for (const ShownMessage& m : dialog.shown())
        shown.emplace_back(m.caption, m.text, m.flags);
    return shown;
}

bool canReplace(const std::string& path) {
    return SharedFile::open(path, FileAccess::ReadWrite, FileSharing::None) != nullptr;
}

HudRecord statementRecord(std::uint32_t version) {
    HudRecord r;
    r.version = version;
    r.fileNo = "F-6";
    r.borrower = {"Bea", "Bob", "1 B St", "BS", "Bcity", "11111", "", ""};
    return r;
}

RefinanceRecord refinanceRecord(std::uint32_t version = 1202) {
    RefinanceRecord r;
    r.version = version;
    r.loanNo = "L-7";
    return r;
}

// Writes a document exactly as given: the XML save without the version stamp.
void writeDocument(const std::string& path, const std::string& version,
                   const std::string& type = document_types::kHud,
                   const std::string& fileNo = "X-1") {
    CHudDocument document(type);
    document.putString("versionNumber", version);
    document.addChild("b")->putString("fileNo_6", fileNo);
    ASSERT_EQ(saveXmlFile(document, path), 0);
}

class OpenSave : public ::testing::Test {
protected:
    bool hasBackupFolder() const { return std::filesystem::exists(folder.file("UpgradeBackup")); }
    std::string backup(const std::string& extension) const {
        return folder.file("UpgradeBackup/deal_3-5-2009 7-4-9" + extension);
    }
    std::vector<std::string> backups() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.file("UpgradeBackup")))
            names.push_back(entry.path().filename().string());
        return names;
    }

    TempFolder folder;
    FixedClock clock{{2009, 3, 5, 7, 4, 9}};
    RecordingDialog dialog;
    const std::string path = folder.file("deal.hud");
    CHudDocument document{document_types::kHud};
};

// ---- Opening ----

TEST_F(OpenSave, MissingFileIsNotFound) {
    EXPECT_EQ(document.loadDocument(path), -1);
    const Shown notFound{"Path not found", "File: " + path + " not found", 0x10};
    EXPECT_EQ(shownBy(dialog), std::vector<Shown>{notFound});
}

TEST_F(OpenSave, FileHeldByAnotherDocumentIsASharingErrorAndCannotBeSavedLater) {
    writeDocument(path, "201");
    const std::string before = readBytes(path);
    {
        CHudDocument holder(document_types::kHud);
        ASSERT_EQ(holder.loadDocument(path), 0);
        EXPECT_EQ(document.loadDocument(path), -1);
        EXPECT_EQ(shownBy(dialog), std::vector<Shown>{kSharingError});
        EXPECT_FALSE(document.lockingEnabled);
    }
    // The holder has gone, but this document was refused its file: it must
    // not write over it now.
    EXPECT_EQ(document.saveDocument(path), -1);
    EXPECT_EQ(shownBy(dialog), (std::vector<Shown>{kSharingError, kWriteError}));
    EXPECT_EQ(readBytes(path), before);
}

TEST_F(OpenSave, OwnHoldBlocksASecondOpenButNotTheSave) {
    writeDocument(path, "201");
    ASSERT_EQ(document.loadDocument(path), 0);
    EXPECT_EQ(document.loadDocument(path), -1);
    EXPECT_EQ(shownBy(dialog), std::vector<Shown>{kSharingError});
    EXPECT_TRUE(document.lockingEnabled);
    EXPECT_EQ(document.saveDocument(path), 0);
    EXPECT_FALSE(canReplace(path));
}

TEST_F(OpenSave, MarkerWithNothingAfterItIsXml) {
    writeBytes(path, "<calverin>");
    EXPECT_EQ(document.loadDocument(path), -1);
    EXPECT_EQ(shownBy(dialog), std::vector<Shown>{kLoadFailed});
    EXPECT_EQ(readBytes(path), "<calverin>");
}

TEST_F(OpenSave, DeclarationMarkFirstAndShortFilesAreLegacyAndNoLeavesThemAlone) {
    const std::vector<std::string> files = {"<?xml version=\"1.0\"?><calverin><HUD/></calverin>",
                                            "\xEF\xBB\xBF<calverin><HUD/></calverin>", "<calverin",
                                            "", hudFile(statementRecord(1601))};
    for (const std::string& bytes : files) {
        RecordingDialog answers;
        answers.script({DialogButton::No});
        writeBytes(path, bytes);
        CHudDocument fresh(document_types::kHud);
        EXPECT_EQ(fresh.loadDocument(path), -1);
        EXPECT_EQ(shownBy(answers), std::vector<Shown>{kConvertQuestion});
        EXPECT_EQ(readBytes(path), bytes);
        EXPECT_FALSE(hasBackupFolder());
        EXPECT_TRUE(fresh.children().empty());
    }
}

TEST_F(OpenSave, MortgageAndTitleRefuseLegacyFilesBeforeAnyBackup) {
    const std::string bytes = hudFile(statementRecord(1601));
    for (const char* type : {document_types::kMortgage, document_types::kTitle}) {
        RecordingDialog answers;
        answers.script({DialogButton::Yes});
        writeBytes(path, bytes);
        CHudDocument other(type);
        EXPECT_EQ(other.loadDocument(path), -1);
        EXPECT_EQ(shownBy(answers), (std::vector<Shown>{kConvertQuestion, kNotSupported}));
        EXPECT_EQ(readBytes(path), bytes);
        EXPECT_FALSE(hasBackupFolder());
    }
}

TEST_F(OpenSave, UnknownTypeTriesTheXmlLoadOnTheLegacyBytes) {
    const std::string bytes = hudFile(statementRecord(1601));
    writeBytes(path, bytes);
    dialog.script({DialogButton::Yes});
    CHudDocument other("other");
    EXPECT_EQ(other.loadDocument(path), -1);
    EXPECT_EQ(shownBy(dialog), (std::vector<Shown>{kConvertQuestion, kLoadFailed}));
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_FALSE(hasBackupFolder());
}

// ---- Conversion ----

TEST_F(OpenSave, StatementFileIsBackedUpConvertedAndLoaded) {
    const std::string bytes = hudFile(statementRecord(1601));
    writeBytes(path, bytes);
    dialog.script({DialogButton::Yes});
    ASSERT_EQ(document.loadDocument(path), 0);
    EXPECT_EQ(shownBy(dialog), std::vector<Shown>{kConvertQuestion});

    EXPECT_EQ(backups(), std::vector<std::string>{"deal_3-5-2009 7-4-9.prb"});
    EXPECT_EQ(readBytes(backup(".prb")), bytes);
    EXPECT_EQ(readBytes(path).rfind("<calverin>", 0), 0u);
    EXPECT_EQ(valueAt(document, "b", "fileNo_6"), "F-6");
    EXPECT_EQ(valueAt(document, "d", "name1"), "Bea");
    EXPECT_EQ(document.getPropertyValue("versionNumber"), "201");
    EXPECT_FALSE(canReplace(path));
    // Converted once: no temporary file left beside it.
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"UpgradeBackup", "deal.hud"}));
}

TEST_F(OpenSave, RefinanceFileIsConvertedAsHud1aWithItsOwnBackupExtension) {
    const std::string bytes = refinanceFile(refinanceRecord());
    writeBytes(path, bytes);
    dialog.script({DialogButton::Yes});
    CHudDocument refinance(document_types::kHud1a);
    ASSERT_EQ(refinance.loadDocument(path), 0);
    EXPECT_EQ(backups(), std::vector<std::string>{"deal_3-5-2009 7-4-9.rfb"});
    EXPECT_EQ(readBytes(backup(".rfb")), bytes);
    EXPECT_EQ(valueAt(refinance, "b", "loanNo_7"), "L-7");
    EXPECT_EQ(refinance.documentType(), "hud1a");
}

TEST_F(OpenSave, RefinanceFileOpenedAsHudIsRefusedByTheReaderAfterTheBackup) {
    const std::string bytes = refinanceFile(refinanceRecord(902));
    writeBytes(path, bytes);
    dialog.script({DialogButton::Yes});
    EXPECT_EQ(document.loadDocument(path), -1);
    EXPECT_EQ(shownBy(dialog), (std::vector<Shown>{kConvertQuestion,
                                                   {"Velmora", "This is Refinance document.", 0}}));
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(readBytes(backup(".prb")), bytes);
}

TEST_F(OpenSave, BackupOfAnotherFileWithTheSameNameIsNeverReplaced) {
    // deal.hud and deal.ref of one deal, opened within the same second: both
    // backups would be named deal_<stamp>.prb.
    const std::string statement = hudFile(statementRecord(1601));
    writeBytes(path, statement);
    dialog.script({DialogButton::Yes, DialogButton::Yes});
    ASSERT_EQ(document.loadDocument(path), 0);
    const std::string sameStem = folder.file("deal.ref");
    const std::string loan = refinanceFile(refinanceRecord(902));
    writeBytes(sameStem, loan);
    CHudDocument second(document_types::kHud);
    EXPECT_EQ(second.loadDocument(sameStem), -1);
    EXPECT_TRUE(readBytes(backup(".prb")) == statement) << "the statement's backup was replaced";
    EXPECT_TRUE(readBytes(sameStem) == loan);
    EXPECT_EQ(shownBy(dialog),
              (std::vector<Shown>{kConvertQuestion, kConvertQuestion, kBackupFailed}));
}

TEST_F(OpenSave, FailedBackupStopsTheConversion) {
    const std::string bytes = hudFile(statementRecord(1201));
    writeBytes(path, bytes);
    writeBytes(folder.file("UpgradeBackup"), "in the way");
    dialog.script({DialogButton::Yes});
    EXPECT_EQ(document.loadDocument(path), -1);
    EXPECT_EQ(shownBy(dialog), (std::vector<Shown>{kConvertQuestion, kBackupFailed}));
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(readBytes(folder.file("UpgradeBackup")), "in the way");
    EXPECT_TRUE(document.children().empty());
}

TEST_F(OpenSave, FailedConversionWriteLeavesTheLegacyBytes) {
    HudRecord record = statementRecord(1601);
    EXPECT_EQ(convertHudFile(record, folder.file("missing/deal.hud")), -1);
    EXPECT_TRUE(folder.entries().empty());

    const std::string bytes = hudFile(record);
    writeBytes(path, bytes);
    CHudDocument holder(document_types::kHud);
    holder.applyLock(path);
    EXPECT_EQ(convertHudFile(record, path), -1);
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"deal.hud"});
}

// Agrees to the conversion, but lets another program take the file first: the
// conversion's write is then refused.
class AgreeAfterAnotherTakesTheFile final : public Dialog {
public:
    explicit AgreeAfterAnotherTakesTheFile(std::string path)
        : path_(std::move(path)), scoped_(*this) {}
    DialogButton ask(const std::string& caption, const std::string&, unsigned flags) override {
        captions.push_back(caption);
        if ((flags & 0xF) != 0x4)
            return DialogButton::Ok;
        other.applyLock(path_);
        return DialogButton::Yes;
    }
    std::vector<std::string> captions;
    CHudDocument other{document_types::kHud};

private:
    std::string path_;
    ScopedDialog scoped_;
};

TEST_F(OpenSave, ConversionThatCannotWriteReportsItAndKeepsTheFile) {
    const std::string bytes = hudFile(statementRecord(1601));
    writeBytes(path, bytes);
    AgreeAfterAnotherTakesTheFile agreeing(path);
    EXPECT_EQ(document.loadDocument(path), -1);
    EXPECT_EQ(agreeing.captions, (std::vector<std::string>{"Warning", "Error"}));
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(readBytes(backup(".prb")), bytes);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"UpgradeBackup", "deal.hud"}));
}

// ---- Versions ----

TEST_F(OpenSave, NewerVersionIsRefusedAfterTheDataWereRead) {
    for (const std::string version : {"202", " +202 rev"}) {
        RecordingDialog shown;
        writeDocument(path, version, document_types::kHud, "F-202");
        CHudDocument fresh(document_types::kHud);
        EXPECT_EQ(fresh.loadDocument(path), -1) << version;
        EXPECT_EQ(shownBy(shown), std::vector<Shown>{kVersionIssue});
        EXPECT_EQ(valueAt(fresh, "b", "fileNo_6"), "F-202");
        EXPECT_FALSE(fresh.isLocked());
        EXPECT_TRUE(canReplace(path));
    }
}

TEST_F(OpenSave, CurrentAndEmptyVersionsLoadSilently) {
    for (const std::string version : {"201", "", "abc"}) {
        writeDocument(path, version);
        CHudDocument fresh(document_types::kHud);
        EXPECT_EQ(fresh.loadDocument(path), 0) << version;
        EXPECT_EQ(fresh.getPropertyValue("versionNumber"), version);
        EXPECT_EQ(valueAt(fresh, "b", "fileNo_6"), "X-1");
        EXPECT_TRUE(fresh.isLocked());
    }
    EXPECT_TRUE(shownBy(dialog).empty());
}

// A version-200 statement with every field the migration moves.
void writeVersion200(const std::string& path, const std::string& type) {
    CHudDocument document(type);
    document.putString("versionNumber", "200");
    CSectionNode* old = document.addChild("form1099");
    const std::pair<const char*, const char*> texts[] = {{"address_legal", "Lot 4 of Elm Acres"},
                                                         {"address1", "12 Elm"},
                                                         {"address2", "Unit 3"},
                                                         {"address3", "L4"},
                                                         {"address4", "B9"},
                                                         {"filer_phone", "555-0100"},
                                                         {"filer_fedral_id", "12-3456789"},
                                                         {"closing_date", "3/15/2008"},
                                                         {"buyers_tax", "125.00"},
                                                         {"gross_proceed", "250000.00"},
                                                         {"account_no", "AC-1"},
                                                         {"transferor_id", "987-65-4321"},
                                                         {"transferor_option4", "3"}};
    for (const auto& [name, value] : texts)
        old->putString(name, value);
    for (int i = 1; i <= 7; ++i)
        old->putLong("check" + std::to_string(i), 10 + i);
    const char* fields[] = {"name1", "name2", "street", "city", "state", "zip"};
    CSectionNode* filer = old->addChild("filer_address");
    CSectionNode* transferor = old->addChild("transferor_address");
    for (const char* field : fields) {
        filer->putString(field, std::string("filer ") + field);
        transferor->putString(field, std::string("seller ") + field);
    }
    ASSERT_EQ(saveXmlFile(document, path), 0);
}

TEST_F(OpenSave, Version200StatementIsMigratedToTheTransferorList) {
    writeVersion200(path, document_types::kHud);
    CountingGuids guids;
    ASSERT_EQ(document.loadDocument(path), 0);
    EXPECT_TRUE(shownBy(dialog).empty());

    Expectations x(document);
    x.value("form1099", "address1", "12 Elm"); // the old form stays
    const std::string form = "form1099_1";
    x.value(form, "propertyAddress", "Lot 4 of Elm Acres");
    x.value(form, "propertyStreet", "12 Elm Unit 3");
    x.value(form, "propertyLot", "L4");
    x.value(form, "propertyBlock", "B9");
    x.value(form, "filer_phone", "555-0100");
    x.value(form, "filer_fedral_id", "12-3456789");
    x.value(form, "closing_date", "3/15/2008");
    x.value(form, "sellersTaxCredit", "125.00");
    x.value(form, "gross_proceed", "250000.00");
    const std::string transferor = form + "/transferors/transferor";
    x.value(transferor, "account_no", "AC-1");
    x.value(transferor, "transferor_id", "987-65-4321");
    x.value(transferor, "grossAllocation", "250000.00");
    x.value(transferor, "exchangeOption", "3");
    for (int i = 1; i <= 7; ++i)
        x.value(transferor, "check" + std::to_string(i), std::to_string(10 + i));
    for (const char* field : {"name1", "name2", "street", "city", "state", "zip"}) {
        x.value(form + "/filer_address", field, std::string("filer ") + field);
        x.value(transferor, field, std::string("seller ") + field);
    }
    x.value(transferor, "transferorGuid", CountingGuids::nth(1));
    EXPECT_EQ(childrenAt(document, form + "/transferors").size(), 1u);
}

TEST_F(OpenSave, MigrationFollowsTheTypeTheFileCarries) {
    writeVersion200(path, document_types::kHud1a);
    CHudDocument refinance(document_types::kHud1a);
    ASSERT_EQ(refinance.loadDocument(path), 0);
    EXPECT_EQ(resolveUri(&refinance, "form1099_1"), nullptr);

    // A statement file loaded by a refinance document is still a statement.
    const std::string statement = folder.file("statement.xml");
    writeVersion200(statement, document_types::kHud);
    CHudDocument other(document_types::kHud1a);
    ASSERT_EQ(other.loadDocument(statement), 0);
    const std::string guid = valueAt(other, "form1099_1/transferors/transferor", "transferorGuid");
    ASSERT_EQ(guid.size(), 36u) << guid;
    for (std::size_t i = 0; i < guid.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        EXPECT_TRUE(dash ? guid[i] == '-' : std::isxdigit(guid[i]) && !std::isupper(guid[i]))
            << guid;
    }
}

// ---- Saving ----

TEST_F(OpenSave, SavingAnOlderVersionAsksFirst) {
    document.putString("versionNumber", "draft");
    dialog.script({DialogButton::No});
    EXPECT_EQ(document.saveDocument(path), -1);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(document.getPropertyValue("versionNumber"), "draft");

    dialog.script({DialogButton::Yes});
    EXPECT_EQ(document.saveDocument(path), 0);
    EXPECT_EQ(shownBy(dialog), (std::vector<Shown>{kConvertQuestion, kConvertQuestion}));
    EXPECT_EQ(document.getPropertyValue("versionNumber"), "201");
    EXPECT_NE(readBytes(path).find("versionNumber=\"201\""), std::string::npos);
    EXPECT_FALSE(canReplace(path));
}

TEST_F(OpenSave, SavingANewDocumentAsksNothingAndStampsTheVersion) {
    document.initDocument();
    EXPECT_EQ(document.saveDocument(path), 0);
    EXPECT_TRUE(shownBy(dialog).empty());
    EXPECT_NE(readBytes(path).find("versionNumber=\"201\""), std::string::npos);
    EXPECT_FALSE(canReplace(path));
    document.releaseLock();
    EXPECT_TRUE(canReplace(path));
}

TEST_F(OpenSave, SaveOverAFileHeldByAnotherDocumentFails) {
    writeDocument(path, "201");
    const std::string before = readBytes(path);
    CHudDocument holder(document_types::kHud);
    ASSERT_EQ(holder.loadDocument(path), 0);
    document.putString("versionNumber", "201");
    EXPECT_EQ(document.saveDocument(path), -1);
    EXPECT_EQ(readBytes(path), before);

    // Probed while held: no save even after the holder lets go.
    CHudDocument prober(document_types::kHud);
    prober.probeWritable(path);
    holder.releaseLock();
    document.releaseLock();
    EXPECT_EQ(prober.saveDocument(path), -1);
    EXPECT_EQ(shownBy(dialog), std::vector<Shown>{kWriteError});
    EXPECT_EQ(readBytes(path), before);
}

// ---- Loading into a filled tree, and the registry ----

TEST_F(OpenSave, LoadAppendsAfterTheSectionsAlreadyThere) {
    writeDocument(path, "201", document_types::kHud, "from file");
    document.initDocument();
    const std::size_t standard = document.children().size();
    resolveUri(&document, "b")->putString("fileNo_6", "first");

    ASSERT_EQ(document.loadDocument(path), 0);
    ASSERT_EQ(document.children().size(), standard + 1);
    EXPECT_EQ(valueAt(document, "b", "fileNo_6"), "first");
    const auto& last = document.children().back();
    EXPECT_EQ(last->getName(), "b");
    EXPECT_EQ(static_cast<CSectionNode&>(*last).getPropertyValue("fileNo_6"), "from file");
}

TEST_F(OpenSave, RegistryIsReleasedBeforeReadingAndClaimedAfterTheLoad) {
    writeDocument(path, "201");
    RecordingRegistry registry;
    registry.answers = {true};
    ASSERT_EQ(document.loadDocument(path), 0);
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"query " + path, "release " + path,
                                                        "claim " + path, "claim " + path}));

    // A refused version is claimed but not locked.
    const std::string newer = folder.file("newer.xml");
    writeDocument(newer, "202");
    registry.calls.clear();
    CHudDocument fresh(document_types::kHud);
    EXPECT_EQ(fresh.loadDocument(newer), -1);
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"query " + newer, "claim " + newer}));

    // A conversion: the converter's save claims and locks, then the record is
    // released before the converted file is loaded.
    const std::string legacy = folder.file("legacy.hud");
    writeBytes(legacy, hudFile(statementRecord(1601)));
    registry.calls.clear();
    dialog.script({DialogButton::Yes});
    CHudDocument converting(document_types::kHud);
    ASSERT_EQ(converting.loadDocument(legacy), 0);
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"query " + legacy, "claim " + legacy,
                                                        "claim " + legacy, "release " + legacy,
                                                        "claim " + legacy, "claim " + legacy}));
}

} // namespace
} // namespace velmora::testing
