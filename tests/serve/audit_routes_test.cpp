// The server's audit trail: each action of a session becomes its line, with
// the deal's id and file where there is one, and a request whose line
// cannot be written is answered 503, not served.
#include "platform/file_faults.h"
#include "serve/audit_chain.h"
#include "serve/audit_log.h"
#include "serve/page_html.h"
#include "serve/served_index.h"
#include "support/index_archive.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace velmora::testing {
namespace {

using serve::AuditAction;

constexpr char kToken[] = "an-office-token-long-enough-1234";

std::vector<serve::AuditEntry> entriesOf(const std::string& path) {
    const std::string bytes = readBytes(path);
    std::vector<serve::AuditEntry> entries;
    for (const serve::AuditLine& line : serve::splitAuditLines(bytes))
        if (line.entry)
            entries.push_back(*line.entry);
    return entries;
}

class AuditedServer : public ::testing::Test {
protected:
    IndexArchive archive;
    TempFolder logFolder;
    const std::string logPath = logFolder.file("velmora-audit.log");
    serve::AuditLog log{logPath};
    ServedIndex served{archive.root.path(), kToken, &log};
    const httplib::Headers bearer{{"Authorization", std::string("Bearer ") + kToken}};
};

TEST_F(AuditedServer, EachActionIsLoggedWithItsDealAndTheChainHolds) {
    httplib::Client client = served.client();
    ASSERT_EQ(client.Post("/login", "token=wrong", "application/x-www-form-urlencoded")->status,
              401);
    ASSERT_EQ(
        client.Post("/login", std::string("token=") + kToken, "application/x-www-form-urlencoded")
            ->status,
        303);
    const std::string query = "where=" + serve::percentEncoded("path=" + archive.purchase);
    const httplib::Result found = client.Get("/api/search?" + query, bearer);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->status, 200);
    const std::string id =
        std::to_string(nlohmann::json::parse(found->body.substr(0, found->body.find('\n')))["id"]
                           .get<std::int64_t>());
    EXPECT_EQ(client.Get("/deal/" + id, bearer)->status, 200);
    EXPECT_EQ(client.Get("/api/deal/" + id, bearer)->status, 200);
    EXPECT_EQ(client.Get("/api/deal/" + id)->status, 401);
    EXPECT_EQ(client.Post("/logout", bearer, "", "text/plain")->status, 303);

    const std::vector<serve::AuditEntry> entries = entriesOf(logPath);
    const std::vector<std::pair<AuditAction, int>> expected{
        {AuditAction::LoginFailed, 401}, {AuditAction::Login, 303}, {AuditAction::Search, 200},
        {AuditAction::View, 200},        {AuditAction::Json, 200},  {AuditAction::Refused, 401},
        {AuditAction::Logout, 303}};
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(entries[i].event.action, expected[i].first) << i;
        EXPECT_EQ(entries[i].event.status, expected[i].second) << i;
        EXPECT_EQ(entries[i].event.address, "127.0.0.1") << i;
    }
    EXPECT_EQ(entries[0].event.user, "");
    EXPECT_EQ(entries[2].event.user, "owner");
    EXPECT_EQ(entries[2].event.words, query);
    for (const std::size_t deal : {3u, 4u}) {
        EXPECT_EQ(entries[deal].event.deal, id) << deal;
        EXPECT_EQ(entries[deal].event.path, archive.purchase) << deal;
    }
    const serve::AuditVerdict verdict = serve::verifyAuditLog(logPath);
    EXPECT_FALSE(verdict.problem);
    EXPECT_EQ(verdict.entries, expected.size());
}

class FailingAuditWrites : public FileFaults {
public:
    explicit FailingAuditWrites(std::string path) : path_(std::move(path)) {}
    bool fails(FileStep step, const std::string& path) override {
        return step == FileStep::Write && path == path_;
    }

private:
    std::string path_;
};

TEST_F(AuditedServer, WhatCannotBeLoggedIsNotServed) {
    httplib::Client client = served.client();
    {
        FailingAuditWrites faults(logPath);
        const ScopedFileFaults scoped(faults);
        const httplib::Result refused = client.Get("/api/search?q=Whitlock", bearer);
        ASSERT_TRUE(refused);
        EXPECT_EQ(refused->status, 503);
        EXPECT_EQ(refused->body.find("Whitlock"), std::string::npos) << refused->body;
        EXPECT_EQ(refused->get_header_value("X-Total-Count"), "");
    }
    const httplib::Result served = client.Get("/api/search?q=Whitlock", bearer);
    ASSERT_TRUE(served);
    EXPECT_EQ(served->status, 200);
    EXPECT_NE(served->body.find("Whitlock"), std::string::npos);
    EXPECT_EQ(entriesOf(logPath).size(), 1u);
}

} // namespace
} // namespace velmora::testing
