// Opening and saving a document file: the format test, the conversion of a
// legacy file with its backup, the version rules, the 200 migration, the
// version stamp of a save, and the file lock and registry around both.
#include "com/provider.h"
#include "document/document_messages.h"
#include "document/hud_document.h"
#include "legacy/hud_converter.h"
#include "platform/shared_file.h"
#include "support/legacy_test_support.h"
#include "support/platform_doubles.h"
#include "temp_folder.h"
#include "tree/xml_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace velmora::testing {
namespace {

const Shown kSharingError{"Sharing error",
                          "This file is already being user by another user, and cannot be open "
                          "at this point of time",
                          0x40};
const Shown kNotSupported{"Error", "Older format is not supported.", 0x10};
const Shown kVersionIssue{"version issue",
                          "This file version is newer than the application version. You cannot "
                          "open higher version files in older application. Contact Calverin tech "
                          "support.",
                          0x40};
const Shown kWriteError{"Write error", "This file is opened by another user and cannot be saved",
                        0};

bool canReplace(const std::string& path) {
    return SharedFile::open(path, FileAccess::ReadWrite, FileSharing::None) != nullptr;
}
// Held by a document: not even readable without sharing.
bool isHeld(const std::string& path) {
    return SharedFile::open(path, FileAccess::Read, FileSharing::None) == nullptr;
}

// Writes a document exactly as given: the XML save without the version stamp.
void writeDocument(const std::string& path, const std::string& version,
                   const std::string& type = document_types::kHud) {
    CHudDocument document(type);
    document.putString("versionNumber", version);
    document.addChild("b")->putString("fileNo_6", "X-1");
    ASSERT_EQ(saveXmlFile(document, path), 0);
}

class OpenSave : public ::testing::Test {
protected:
    bool hasBackupFolder() const { return std::filesystem::exists(folder.file("UpgradeBackup")); }

    TempFolder folder;
    FixedClock clock{{2009, 3, 5, 7, 4, 9}};
    RecordingDialog dialog;
    const std::string path = folder.file("deal.hud");
    CHudDocument document{document_types::kHud};
};

// ---- Locks between documents ----

TEST_F(OpenSave, HeldFileRefusesOtherOpensAndSaves) {
    EXPECT_EQ(document.loadDocument(path), -1);
    const Shown notFound{"Path not found", "File: " + path + " not found", 0x10};

    writeDocument(path, "201");
    CHudDocument holder(document_types::kHud);
    ASSERT_EQ(holder.loadDocument(path), 0);
    // The holder's own hold blocks its second open, but not its save.
    EXPECT_EQ(holder.loadDocument(path), -1);
    EXPECT_EQ(holder.saveDocument(path), 0);
    EXPECT_FALSE(canReplace(path));
    const std::string saved = readBytes(path);

    CHudDocument plain(document_types::kHud);
    plain.putString("versionNumber", "201");
    EXPECT_EQ(plain.saveDocument(path), -1);
    EXPECT_FALSE(plain.isLocked());
    EXPECT_EQ(document.loadDocument(path), -1);
    EXPECT_EQ(readBytes(path), saved);
    EXPECT_EQ(shownBy(dialog), (Messages{notFound, kSharingError, kSharingError}));
}

TEST_F(OpenSave, RefusedOpenOfAnotherFileLeavesTheOpenDocumentAsItWas) {
    writeDocument(path, "201");
    const std::string held = folder.file("held.xml");
    writeDocument(held, "201");
    CHudDocument holder(document_types::kHud);
    ASSERT_EQ(holder.loadDocument(held), 0);

    HudProvider provider;
    int result = -1;
    provider.readHUD(path, &result);
    ASSERT_EQ(result, 0);
    CHudDocument& open = *provider.document();
    const std::string tree = nodeValueText(open);
    provider.readHUD(held, &result);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(nodeValueText(open), tree);
    EXPECT_EQ(open.lockedPath, path);
    EXPECT_FALSE(canReplace(path));
    // The switch still finds its file, and the document can still be saved.
    provider.ApplyFileLock(0);
    EXPECT_TRUE(canReplace(path));
    provider.ApplyFileLock(1);
    EXPECT_FALSE(canReplace(path));
    provider.setNodePropertyValue("b", "fileNo_6", "X-2", &result);
    provider.writeHUD(path, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(valueAt(open, "b", "fileNo_6"), "X-2");
    EXPECT_NE(readBytes(path).find("\"X-2\""), std::string::npos);
    EXPECT_EQ(shownBy(dialog), Messages{kSharingError});
}

TEST_F(OpenSave, OwnFileUnderAnotherSpellingIsRefusedAndTheTreeStaysAsItWas) {
    writeDocument(path, "201");
    TempFolder elsewhere;
    const std::string link = elsewhere.file("link.xml");
    std::filesystem::create_symlink(path, link);
    std::filesystem::create_directory(folder.file("sub"));
    ASSERT_EQ(document.loadDocument(path), 0);
    const std::string tree = nodeValueText(document);
    const std::string spellings[] = {folder.path() + "/./deal.hud",
                                     folder.path() + "/sub/../deal.hud", link,
                                     "./" + std::filesystem::relative(path).string()};
    for (const std::string& spelling : spellings) {
        EXPECT_EQ(document.loadDocument(spelling), -1) << spelling;
        EXPECT_EQ(nodeValueText(document), tree) << spelling;
    }
    EXPECT_EQ(shownBy(dialog), Messages(std::size(spellings), kSharingError));
    // Saved under another spelling, it is still one file, held.
    EXPECT_EQ(document.saveDocument(link), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_FALSE(canReplace(path));
    EXPECT_EQ(document.loadDocument(path), -1);
}

TEST_F(OpenSave, ReadOnlyTemplateOpensAndIsSavedOnlyUnderAnotherName) {
    writeDocument(path, "201");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const std::string bytes = readBytes(path);
    ASSERT_EQ(document.loadDocument(path), 0);
    resolveUri(&document, "b")->putString("fileNo_6", "X-2");
    EXPECT_EQ(document.saveDocument(path), -1);
    EXPECT_TRUE(isHeld(path));

    // Saved as another file, the document belongs to that file.
    const std::string copy = folder.file("copy.xml");
    EXPECT_EQ(document.saveDocument(copy), 0);
    EXPECT_EQ(document.lockedPath, copy);
    EXPECT_FALSE(isHeld(path));
    EXPECT_TRUE(isHeld(copy));
    EXPECT_EQ(document.saveDocument(copy), 0);
    EXPECT_EQ(document.saveDocument(path), -1);
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_NE(readBytes(copy).find("\"X-2\""), std::string::npos);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"copy.xml", "deal.hud"}));
    EXPECT_EQ(shownBy(dialog), (Messages{kWriteError, kWriteError}));
}

// ---- The format test and refusals ----

TEST_F(OpenSave, OnlyTheMarkerIsXmlAndLegacyFilesAreLeftAloneUnlessConverted) {
    const std::string hud = document_types::kHud, statement = hudFile(statementRecord());
    const DialogButton no = DialogButton::No, yes = DialogButton::Yes;
    const Messages asked{kConvertQuestion};
    // Type, bytes, answer to the question, messages: none loads or changes the file.
    const std::tuple<std::string, std::string, DialogButton, Messages> cases[] = {
        {hud, "<calverin>", no, {kLoadFailed}},
        {hud, "<?xml version=\"1.0\"?><calverin><HUD/></calverin>", no, asked},
        {hud, "\xEF\xBB\xBF<calverin><HUD/></calverin>", no, asked},
        {hud, "<CALVERIN><HUD/></CALVERIN>", no, asked},
        {hud, " <calverin><HUD/></calverin>", no, asked},
        {hud, statement, no, asked},
        // Mortgage and title refuse before any backup; an unknown type tries the XML load.
        {document_types::kMortgage, statement, yes, {kConvertQuestion, kNotSupported}},
        {document_types::kTitle, statement, yes, {kConvertQuestion, kNotSupported}},
        {"other", statement, yes, {kConvertQuestion, kLoadFailed}}};
    for (const auto& [type, bytes, answer, messages] : cases) {
        RecordingDialog answers;
        answers.script({answer});
        writeBytes(path, bytes);
        CHudDocument fresh(type);
        EXPECT_EQ(fresh.loadDocument(path), -1) << type << " " << bytes.substr(0, 20);
        EXPECT_EQ(shownBy(answers), messages) << type << " " << bytes.substr(0, 20);
        EXPECT_EQ(readBytes(path), bytes);
        EXPECT_FALSE(hasBackupFolder());
        EXPECT_TRUE(fresh.children().empty());
    }
}

// ---- Conversion ----

TEST_F(OpenSave, LegacyFileIsBackedUpUnderItsTypesNameConvertedAndLoaded) {
    const std::tuple<const char*, std::string, const char*, const char*, const char*> cases[] = {
        {document_types::kHud, hudFile(statementRecord()), ".prb", "fileNo_6", "F-6"},
        {document_types::kHud1a, refinanceFile(refinanceRecord(1202)), ".rfb", "loanNo_7", "L-7"}};
    for (const auto& [type, bytes, extension, field, value] : cases) {
        TempFolder here;
        const std::string file = here.file("deal.hud");
        writeBytes(file, bytes);
        RecordingDialog answers;
        answers.script({DialogButton::Yes});
        CHudDocument converting(type);
        ASSERT_EQ(converting.loadDocument(file), 0);
        EXPECT_EQ(shownBy(answers), Messages{kConvertQuestion});
        const std::string backupName = std::string("deal_3-5-2009 7-4-9") + extension;
        EXPECT_EQ(readBytes(here.file("UpgradeBackup/" + backupName)), bytes);
        EXPECT_EQ(here.entries(), (std::vector<std::string>{"UpgradeBackup", "deal.hud"}));
        EXPECT_EQ(readBytes(file).rfind("<calverin>", 0), 0u);
        EXPECT_EQ(valueAt(converting, "b", field), value);
        EXPECT_EQ(converting.getPropertyValue("versionNumber"), "201");
        EXPECT_EQ(converting.documentType(), type);
        EXPECT_FALSE(canReplace(file));
    }
}

TEST_F(OpenSave, FailedBackupStopsTheConversionAndAnotherFilesBackupIsNeverReplaced) {
    const std::string statement = hudFile(statementRecord());
    writeBytes(path, statement);
    writeBytes(folder.file("UpgradeBackup"), "in the way");
    dialog.script({DialogButton::Yes, DialogButton::Ok, DialogButton::Yes, DialogButton::Yes});
    EXPECT_EQ(document.loadDocument(path), -1);
    EXPECT_EQ(readBytes(path), statement);
    EXPECT_EQ(readBytes(folder.file("UpgradeBackup")), "in the way");
    EXPECT_TRUE(document.children().empty());

    // deal.hud and deal.dat, two deals of one stem, opened within the same
    // second: both backups would be named deal_<stamp>.prb, and the second
    // gets a number rather than the first one's place.
    std::filesystem::remove(folder.file("UpgradeBackup"));
    ASSERT_EQ(document.loadDocument(path), 0);
    const std::string sameStem = folder.file("deal.dat");
    HudRecord other = statementRecord();
    other.fileNo = "F-7";
    const std::string otherBytes = hudFile(other);
    writeBytes(sameStem, otherBytes);
    CHudDocument second(document_types::kHud);
    ASSERT_EQ(second.loadDocument(sameStem), 0);
    EXPECT_EQ(valueAt(second, "b", "fileNo_6"), "F-7");
    EXPECT_TRUE(readBytes(folder.file("UpgradeBackup/deal_3-5-2009 7-4-9.prb")) == statement)
        << "the first deal's backup was replaced";
    EXPECT_TRUE(readBytes(folder.file("UpgradeBackup/deal_3-5-2009 7-4-9_2.prb")) == otherBytes);
    EXPECT_EQ(shownBy(dialog),
              (Messages{kConvertQuestion, kBackupFailed, kConvertQuestion, kConvertQuestion}));
}

TEST_F(OpenSave, FailedConversionWriteLeavesTheLegacyBytes) {
    HudRecord record = statementRecord();
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

TEST_F(OpenSave, ReadOnlyLegacyFileGetsNoBackupAndStaysAsItWas) {
    const std::string bytes = hudFile(statementRecord());
    writeBytes(path, bytes);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    dialog.script({DialogButton::Yes});
    EXPECT_EQ(document.loadDocument(path), -1);
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_FALSE(hasBackupFolder());
    EXPECT_TRUE(document.children().empty());
    const Shown readOnly{
        "Write error", "This file is read-only and cannot be converted; it was not changed.", 0x10};
    EXPECT_EQ(shownBy(dialog), (Messages{kConvertQuestion, readOnly}));
}

// ---- Versions ----

TEST_F(OpenSave, NewerVersionIsRefusedAfterTheDataWereReadAndOthersLoadSilently) {
    for (const std::string version : {"202", " +202 rev", "201", "", "abc"}) {
        RecordingDialog shown;
        writeDocument(path, version);
        CHudDocument fresh(document_types::kHud);
        const bool newer = version.find("202") != std::string::npos;
        EXPECT_EQ(fresh.loadDocument(path), newer ? -1 : 0) << version;
        EXPECT_EQ(shownBy(shown), newer ? Messages{kVersionIssue} : Messages{}) << version;
        EXPECT_EQ(valueAt(fresh, "b", "fileNo_6"), "X-1");
        EXPECT_EQ(fresh.getPropertyValue("versionNumber"), version);
        EXPECT_EQ(fresh.isLocked(), !newer);
        EXPECT_EQ(canReplace(path), newer);
    }
}

// A version-200 statement with every field the migration moves.
void writeVersion200(const std::string& path, const std::string& type) {
    std::string filer, seller;
    for (const std::string field : {"name1", "name2", "street", "city", "state", "zip"}) {
        filer += " " + field + "=\"f " + field + "\"";
        seller += " " + field + "=\"s " + field + "\"";
    }
    writeBytes(path, "<calverin><HUD document_type=\"" + type +
                         "\" versionNumber=\"200\"><form1099 address_legal=\"Lot 4\" "
                         "address1=\"12 Elm\" address2=\"Unit 3\" address3=\"L4\" "
                         "address4=\"B9\" filer_phone=\"555\" filer_fedral_id=\"12-34\" "
                         "closing_date=\"3/15/2008\" buyers_tax=\"125\" gross_proceed=\"2500\" "
                         "account_no=\"AC-1\" transferor_id=\"987\" transferor_option4=\"3\" "
                         "check1=\"11\" check2=\"12\" check3=\"13\" check4=\"14\" "
                         "check5=\"15\" check6=\"16\" check7=\"17\"><filer_address" +
                         filer + "/><transferor_address" + seller +
                         "/></form1099></HUD></calverin>");
}

// The migration follows the type the file carries, not the type of the
// document that opens it.
TEST_F(OpenSave, Version200StatementIsMigratedToTheTransferorList) {
    const std::string refinance = folder.file("refinance.xml");
    writeVersion200(refinance, document_types::kHud1a);
    ASSERT_EQ(document.loadDocument(refinance), 0);
    EXPECT_EQ(resolveUri(&document, "form1099_1"), nullptr);

    writeVersion200(path, document_types::kHud);
    CHudDocument statement(document_types::kHud1a);
    ASSERT_EQ(statement.loadDocument(path), 0);
    EXPECT_TRUE(shownBy(dialog).empty());
    const std::string form = "form1099_1/", filer = form + "filer_address/",
                      seller = form + "transferors/transferor/";
    std::vector<std::pair<std::string, std::string>> moved = {
        {"form1099/address1", "12 Elm"}, // the old form stays
        {form + "propertyAddress", "Lot 4"},  {form + "propertyStreet", "12 Elm Unit 3"},
        {form + "propertyLot", "L4"},         {form + "propertyBlock", "B9"},
        {form + "filer_phone", "555"},        {form + "filer_fedral_id", "12-34"},
        {form + "closing_date", "3/15/2008"}, {form + "sellersTaxCredit", "125"},
        {form + "gross_proceed", "2500"},     {seller + "grossAllocation", "2500"},
        {seller + "account_no", "AC-1"},      {seller + "transferor_id", "987"},
        {seller + "exchangeOption", "3"}};
    for (int i = 1; i <= 7; ++i)
        moved.emplace_back(seller + "check" + std::to_string(i), std::to_string(10 + i));
    for (const std::string field : {"name1", "name2", "street", "city", "state", "zip"}) {
        moved.emplace_back(filer + field, "f " + field);
        moved.emplace_back(seller + field, "s " + field);
    }
    for (const auto& [where, value] : moved) {
        const std::size_t slash = where.rfind('/');
        EXPECT_EQ(valueAt(statement, where.substr(0, slash), where.substr(slash + 1)), value)
            << where;
    }
    EXPECT_EQ(childrenAt(statement, form + "transferors").size(), 1u);
    const std::string guid =
        valueAt(statement, "form1099_1/transferors/transferor", "transferorGuid");
    EXPECT_TRUE(std::regex_match(guid, std::regex("[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}")))
        << guid;
}

// ---- Saving ----

TEST_F(OpenSave, SavingAnOlderVersionAsksFirstAndANewDocumentDoesNot) {
    document.putString("versionNumber", "draft");
    dialog.script({DialogButton::No, DialogButton::Yes});
    EXPECT_EQ(document.saveDocument(path), -1);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(document.getPropertyValue("versionNumber"), "draft");
    EXPECT_EQ(document.saveDocument(path), 0);
    EXPECT_EQ(shownBy(dialog), (Messages{kConvertQuestion, kConvertQuestion}));
    EXPECT_EQ(document.getPropertyValue("versionNumber"), "201");

    CHudDocument fresh(document_types::kHud);
    fresh.initDocument();
    const std::string other = folder.file("new.xml");
    EXPECT_EQ(fresh.saveDocument(other), 0);
    EXPECT_EQ(shownBy(dialog).size(), 2u);
    for (const std::string& saved : {path, other}) {
        EXPECT_NE(readBytes(saved).find("versionNumber=\"201\""), std::string::npos);
        EXPECT_FALSE(canReplace(saved));
    }
    fresh.releaseLock();
    EXPECT_TRUE(canReplace(other));
}

// ---- Loading into a filled tree, and the registry ----

TEST_F(OpenSave, LoadAppendsAfterTheSectionsAlreadyThere) {
    writeDocument(path, "201");
    document.initDocument();
    const std::size_t standard = document.children().size();
    resolveUri(&document, "b")->putString("fileNo_6", "first");

    ASSERT_EQ(document.loadDocument(path), 0);
    ASSERT_EQ(document.children().size(), standard + 1);
    EXPECT_EQ(valueAt(document, "b", "fileNo_6"), "first");
    const auto& last = document.children().back();
    EXPECT_EQ(last->getName(), "b");
    EXPECT_EQ(static_cast<CSectionNode&>(*last).getPropertyValue("fileNo_6"), "X-1");
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
    writeBytes(legacy, hudFile(statementRecord()));
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
