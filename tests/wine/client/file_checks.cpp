// Files through the provider: a save and load round trip (the suite reads the
// file back with the Linux build), two providers on one file, and a legacy
// file converted only after the user says Yes. The messages reach the client
// through VelmoraSetMessageHandler, which also scripts the answers.
#include "check.h"
#include "suite.h"

#include <string>
#include <vector>

namespace velmora::wine {
namespace {

struct Message {
    std::string caption;
    std::string text;
    unsigned flags;
};

struct Messages {
    std::vector<Message> seen;
    int answer = IDOK;
};

int __stdcall recordMessage(const char* caption, const char* text, unsigned flags, void* context) {
    auto* messages = static_cast<Messages*>(context);
    messages->seen.push_back({caption, text, flags});
    return messages->answer;
}

using SetMessageHandler = void(__stdcall*)(int(__stdcall*)(const char*, const char*, unsigned,
                                                           void*),
                                           void*);

bool sawCaption(const Messages& messages, const std::string& caption) {
    for (const Message& m : messages.seen) {
        if (m.caption == caption)
            return true;
    }
    return false;
}

void checkRoundTrip(const std::wstring& path) {
    IHudProvider* writer = createProvider();
    CHECK(writer != nullptr);
    if (!writer)
        return;
    INT status = 77;
    CHECK_HR(S_OK, writer->initHUDDocument());
    CHECK_HR(S_OK, writer->setNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"),
                                                Bstr(L"250000.00"), &status));
    CHECK(status == 0);
    CHECK_HR(S_OK, writer->writeHUD(Bstr(path.c_str()), &status));
    CHECK(status == 0);
    CHECK_HR(S_OK, writer->Dispose());
    writer->Release();

    IHudProvider* reader = createProvider();
    if (!reader)
        return;
    status = 77;
    CHECK_HR(S_OK, reader->readHUD(Bstr(path.c_str()), &status));
    CHECK(status == 0);
    Bstr amount;
    CHECK_HR(S_OK, reader->getNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"), amount.out()));
    CHECK_TEXT("250000.00", amount);
    // The reader holds the file with deny-write sharing, so the format test,
    // which opens it without sharing, cannot read it; once released, it can.
    status = 77;
    CHECK_HR(S_OK, reader->isXMLFileFormat(Bstr(path.c_str()), &status));
    CHECK(status == 0);
    CHECK_HR(S_OK, reader->ApplyFileLock(0));
    status = 77;
    CHECK_HR(S_OK, reader->isXMLFileFormat(Bstr(path.c_str()), &status));
    CHECK(status == 1);
    CHECK_HR(S_OK, reader->Dispose());
    reader->Release();
}

// The format test of a provider that holds no file.
INT formatOf(const std::wstring& path) {
    INT status = 77;
    IHudProvider* probe = createProvider();
    if (probe) {
        CHECK_HR(S_OK, probe->isXMLFileFormat(Bstr(path.c_str()), &status));
        probe->Release();
    }
    return status;
}

void checkSharing(const std::wstring& path, Messages& messages) {
    IHudProvider* first = createProvider();
    IHudProvider* second = createProvider();
    CHECK(first && second);
    if (first && second) {
        INT status = 77;
        CHECK_HR(S_OK, first->readHUD(Bstr(path.c_str()), &status));
        CHECK(status == 0);
        messages.seen.clear();
        status = 77;
        CHECK_HR(S_OK, second->readHUD(Bstr(path.c_str()), &status));
        CHECK(status == -1);
        CHECK(sawCaption(messages, "Sharing error"));

        // Once the first lets go, the file opens again.
        CHECK_HR(S_OK, first->Dispose());
        IHudProvider* third = createProvider();
        if (third) {
            status = 77;
            CHECK_HR(S_OK, third->readHUD(Bstr(path.c_str()), &status));
            CHECK(status == 0);
            third->Dispose();
            third->Release();
        }
        second->Dispose();
    }
    if (first)
        first->Release();
    if (second)
        second->Release();
}

bool backupExists(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\UpgradeBackup\\*.prb").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

void checkLegacy(const SuiteContext& context, Messages& messages) {
    const std::wstring path = context.folder + L"\\legacy-deal.hud";
    CHECK(CopyFileW(context.legacyFile.c_str(), path.c_str(), FALSE));

    IHudProvider* declined = createProvider();
    if (declined) {
        messages.seen.clear();
        messages.answer = IDNO;
        INT status = 77;
        CHECK_HR(S_OK, declined->readHUD(Bstr(path.c_str()), &status));
        CHECK(status == -1);
        CHECK(!messages.seen.empty() && messages.seen[0].caption == "Warning" &&
              (messages.seen[0].flags & 0xF) == MB_YESNO);
        CHECK(!backupExists(context.folder));
        declined->Dispose();
        declined->Release();
        CHECK(formatOf(path) == 0); // left as it was
    }

    IHudProvider* accepted = createProvider();
    if (accepted) {
        messages.seen.clear();
        messages.answer = IDYES;
        INT status = 77;
        CHECK_HR(S_OK, accepted->readHUD(Bstr(path.c_str()), &status));
        CHECK(status == 0);
        CHECK(sawCaption(messages, "Warning"));
        Bstr amount;
        CHECK_HR(S_OK,
                 accepted->getNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"), amount.out()));
        CHECK_TEXT("1412.75", amount);
        CHECK(backupExists(context.folder));
        accepted->Dispose();
        accepted->Release();
        CHECK(formatOf(path) == 1);
    }
}

} // namespace

void checkFiles(const SuiteContext& context) {
    const auto setHandler = exported<SetMessageHandler>(context.dll, "VelmoraSetMessageHandler");
    CHECK(setHandler != nullptr);
    if (!setHandler)
        return;
    Messages messages;
    setHandler(recordMessage, &messages);

    const std::wstring roundTrip = context.folder + L"\\round-trip.xml";
    checkRoundTrip(roundTrip);
    checkSharing(roundTrip, messages);
    checkLegacy(context, messages);

    setHandler(nullptr, nullptr);
}

} // namespace velmora::wine
