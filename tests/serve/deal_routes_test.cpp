// One deal by its id: the JSON of /api/deal/ID, which is what `velmora
// export --json` prints of the file, and the statement page, read from the
// file at each request and never written, a legacy deal converted in memory.
#include "cli/cli_runner.h"
#include "platform/path_parts.h"
#include "serve/served_archive.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

using ServeDeals = ServedArchive;

// The JSON of /api/deal/ID of the deal of `path`.
std::string dealJson(const std::string& path) {
    const httplib::Result json =
        ServedArchive::get("/api/deal/" + std::to_string(ServedArchive::idOf(path)));
    if (!json || json->status != 200 ||
        json->get_header_value("Content-Type") != "application/json")
        return "(no JSON)";
    return json->body;
}

TEST_F(ServeDeals, TheDealApiGivesWhatExportPrintsByteForByte) {
    for (const std::string& path : {archive().purchase, archive().refinance}) {
        const CliRun exported = runCli({"export", "--json", path});
        EXPECT_EQ(exported.exitCode, 0) << exported;
        EXPECT_EQ(dealJson(path), exported.out) << path;
    }
    // A legacy deal, converted in memory, is what export prints of a copy
    // converted on disk, but for the version a save stamps.
    for (const std::string& path : {archive().statement, archive().loan}) {
        TempFolder folder;
        const std::string copy = folder.file(std::string(fileNameOf(path)));
        writeBytes(copy, readBytes(path));
        const CliRun converted = runCli({"--yes", "convert", copy});
        ASSERT_EQ(converted.exitCode, 0) << converted;
        const CliRun exported = runCli({"export", "--json", copy});
        ASSERT_EQ(exported.exitCode, 0) << exported;
        nlohmann::json inMemory = nlohmann::json::parse(dealJson(path));
        const nlohmann::json saved = nlohmann::json::parse(exported.out);
        EXPECT_EQ(inMemory["properties"]["versionNumber"]["value"], "") << path;
        EXPECT_EQ(saved["properties"]["versionNumber"]["value"], "201") << path;
        inMemory["properties"]["versionNumber"] = saved["properties"]["versionNumber"];
        EXPECT_EQ(inMemory, saved) << path;
    }
}

TEST_F(ServeDeals, ALegacyDealIsShownFromItsFileAndTheFileStaysAsItIs) {
    const std::map<std::string, std::string> before = contentsOf(archive().root.path());
    const std::string id = std::to_string(idOf(archive().statement));
    const httplib::Result page = get("/deal/" + id);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_TRUE(guarded(page->headers, Policy::Statement));
    EXPECT_NE(page->body.find("From the legacy file statement.hud"), std::string::npos)
        << page->body;
    EXPECT_NE(page->body.find("Pat Legacy"), std::string::npos);
    EXPECT_NE(page->body.find("<a href=\"/api/deal/" + id + "\">JSON</a>"), std::string::npos);
    // This server prints no PDFs, and so offers none.
    EXPECT_EQ(page->body.find(".pdf\""), std::string::npos);
    const httplib::Result pdf = get("/deal/" + id + ".pdf");
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->status, 404);
    EXPECT_NE(pdf->body.find("This server prints no PDFs."), std::string::npos);
    ASSERT_TRUE(get("/api/deal/" + id));
    EXPECT_EQ(contentsOf(archive().root.path()), before);

    // A deal saved as XML says nothing of the kind.
    const httplib::Result xml = get("/deal/" + std::to_string(idOf(archive().purchase)));
    ASSERT_TRUE(xml);
    EXPECT_EQ(xml->status, 200);
    EXPECT_NE(xml->body.find("Dana Whitlock"), std::string::npos);
    EXPECT_EQ(xml->body.find("legacy file"), std::string::npos);
}

} // namespace
} // namespace velmora::testing
