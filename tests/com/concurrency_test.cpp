// Eight hosts at once, each with its own provider and its own file, all in
// one folder: what the whole module shares (the message handler behind the
// dialog seam, the property schemas built on first use, the file locks, the
// upgrade backups with their folder, clock and GUIDs) must keep each host's
// document its own and count every message. `make sanitize` runs this test
// under TSan, which also reports races that give no wrong result here.
#include "com/provider.h"
#include "platform/dialog.h"
#include "support/legacy_writer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace velmora::testing {
namespace {

constexpr int kHosts = 8;
constexpr int kCycles = 500;
constexpr int kIdYes = 6;
constexpr int kIdOk = 1;

struct Messages {
    std::atomic<int> conversionQuestions{0};
    std::atomic<int> missingFiles{0};
    std::atomic<int> others{0};
};

// The host's handler: agrees to every question and counts the messages.
int VELMORA_STDCALL countAndAgree(const char* caption, const char*, unsigned flags, void* context) {
    auto& messages = *static_cast<Messages*>(context);
    const std::string title = caption;
    auto& counter = title == "Warning"          ? messages.conversionQuestions
                    : title == "Path not found" ? messages.missingFiles
                                                : messages.others;
    ++counter;
    return (flags & dialog_flags::kButtonMask) == dialog_flags::kYesNo ? kIdYes : kIdOk;
}

class MessageHandlerScope {
public:
    explicit MessageHandlerScope(Messages& messages) {
        setMessageHandler(countAndAgree, &messages);
    }
    ~MessageHandlerScope() { setMessageHandler(nullptr, nullptr); }
};

// A ledger check and a 1099-S form, so that converting it draws GUIDs.
std::string legacyDeal(int host) {
    HudRecord record;
    record.version = 1601;
    record.fileNo = "host " + std::to_string(host);
    record.lines["n104"].amount = "100.00";
    record.ledger.presence = 1;
    record.ledger.checks[0] = {"3/11/2004", "Payee", "Payoff", "1001", "125.00"};
    record.form1099.presence = 1;
    return hudFile(record);
}

// Converts the host's legacy file on the first open, then opens, edits and
// saves it: each cycle must find what the one before it saved.
void runHost(const TempFolder& folder, int host) {
    const std::string path = folder.file("deal" + std::to_string(host) + ".hud");
    const std::string missing = folder.file("missing" + std::to_string(host) + ".xml");
    std::string previousAmount = "100.00";
    std::string extraLine;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE("host " + std::to_string(host) + ", cycle " + std::to_string(cycle));
        HudProvider provider;
        int result = -1;
        ASSERT_EQ(provider.readHUD(missing, &result), kS_OK);
        ASSERT_EQ(provider.readHUD(path, &result), kS_OK);
        ASSERT_EQ(result, 0);
        std::string amount;
        provider.getNodePropertyValue("n100/n104", "amount", &amount);
        ASSERT_EQ(amount, previousAmount);
        if (cycle == 0) {
            std::string transId;
            provider.getNodePropertyValue("ledger/transactions/transaction", "transId", &transId);
            EXPECT_EQ(transId.size(), 36u) << "the conversion drew no GUID";
        }
        previousAmount = std::to_string(host) + "." + std::to_string(cycle);
        provider.setNodePropertyValue("n100/n104", "amount", previousAmount, &result);
        if (!extraLine.empty()) {
            provider.removeChildNode("n800/more", "line", "name=" + extraLine, &result);
            ASSERT_EQ(result, 0);
        }
        provider.createNode("line", "n800/more", &extraLine);
        provider.writeHUD(path, &result);
        ASSERT_EQ(result, 0);
    }
}

TEST(ProviderConcurrency, HostsOnTheirOwnThreadsKeepTheirOwnDocuments) {
    TempFolder folder;
    for (int host = 0; host < kHosts; ++host)
        writeBytes(folder.file("deal" + std::to_string(host) + ".hud"), legacyDeal(host));
    Messages messages;
    {
        MessageHandlerScope handler(messages);
        std::vector<std::thread> hosts;
        for (int host = 0; host < kHosts; ++host)
            hosts.emplace_back(runHost, std::cref(folder), host);
        for (std::thread& thread : hosts)
            thread.join();
    }
    EXPECT_EQ(messages.conversionQuestions, kHosts);
    EXPECT_EQ(messages.missingFiles, kHosts * kCycles);
    EXPECT_EQ(messages.others, 0);
    // One backup per host, made in the one shared folder.
    const std::filesystem::directory_iterator backups(folder.file("UpgradeBackup"));
    EXPECT_EQ(std::distance(begin(backups), end(backups)), kHosts);
}

} // namespace
} // namespace velmora::testing
