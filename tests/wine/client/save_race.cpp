// com_client.exe save-race: one of two processes that work on the same few
// documents at the same time. Each round does with one deal what a host does:
// open it (the provider then holds the file against writers), change an
// amount, save it over itself and close it. An open is refused while the
// other process holds the file; a save fails when the other process took the
// file while this one was replacing it. The suite then looks at what the
// failed saves left in the folder.
#include "client_modes.h"
#include "client_support.h"

#include <cstdio>
#include <cwchar>
#include <map>
#include <random>
#include <string>

namespace velmora::wine_client {
namespace {

constexpr unsigned long kLongestRaceSeconds = 60;

struct Tally {
    unsigned saved = 0;
    unsigned notSaved = 0;
    unsigned notOpened = 0;
    unsigned callErrors = 0; // calls that did not answer as they must, providers not created
};

// The captions of the messages the DLL showed, counted.
std::map<std::string, unsigned> shown;

int __stdcall countMessage(const char* caption, const char*, unsigned, void*) {
    ++shown[caption];
    return IDNO; // the run's documents are current: nothing should ask
}

using MessageHandler = decltype(&countMessage);
using SetMessageHandler = void(__stdcall*)(MessageHandler, void*);

// Velmora.dll held for the run, with its messages counted rather than shown;
// null when it did not load.
HMODULE holdDll() {
    IHudProvider* first = newProvider();
    if (!first)
        return nullptr;
    HMODULE dll = nullptr;
    GetModuleHandleExW(0, L"Velmora.dll", &dll);
    first->Release();
    if (!dll)
        return nullptr;
    const auto setHandler = reinterpret_cast<SetMessageHandler>(
        reinterpret_cast<void*>(GetProcAddress(dll, "VelmoraSetMessageHandler")));
    if (!setHandler) {
        FreeLibrary(dll);
        return nullptr;
    }
    setHandler(countMessage, nullptr);
    return dll;
}

bool answered(HRESULT hr, Tally& tally) {
    if (hr != S_OK)
        ++tally.callErrors;
    return hr == S_OK;
}

// Above zero, so that the suite tells a saved amount from a new document's
// empty one.
std::wstring amountOf(unsigned round) {
    return std::to_wstring(round + 1) + L".00";
}

void changeAndSave(IHudProvider& deal, const Bstr& file, unsigned round, Tally& tally) {
    INT changed = -1;
    if (!answered(deal.setNodePropertyValue(Bstr(L"n100/n104"), Bstr(L"amount"),
                                            Bstr(amountOf(round)), &changed),
                  tally))
        return;
    if (changed != 0) {
        ++tally.callErrors;
        return;
    }
    INT saved = -1;
    if (!answered(deal.writeHUD(file, &saved), tally))
        return;
    ++(saved == 0 ? tally.saved : tally.notSaved);
}

void editOnce(const std::wstring& path, unsigned round, Tally& tally) {
    IHudProvider* deal = newProvider();
    if (!deal) {
        ++tally.callErrors;
        return;
    }
    const Bstr file(path);
    INT opened = -1;
    if (answered(deal->readHUD(file, &opened), tally)) {
        if (opened == 0)
            changeAndSave(*deal, file, round, tally);
        else
            ++tally.notOpened;
    }
    deal->Dispose();
    deal->Release();
}

void print(const Tally& tally) {
    std::printf("save-race: %u saved, %u not saved, %u not opened, %u call errors; messages:",
                tally.saved, tally.notSaved, tally.notOpened, tally.callErrors);
    const char* separator = " ";
    for (const auto& [caption, count] : shown) {
        std::printf("%s\"%s\" %u", separator, caption.c_str(), count);
        separator = ", ";
    }
    std::printf("\n");
}

} // namespace

int runSaveRace(const std::vector<std::wstring>& arguments) {
    const unsigned long seconds =
        arguments.size() < 2 ? 0 : std::wcstoul(arguments[0].c_str(), nullptr, 10);
    if (seconds == 0 || seconds > kLongestRaceSeconds) {
        std::printf("usage: com_client save-race SECONDS (1 to %lu) FILE...\n",
                    kLongestRaceSeconds);
        return 2;
    }
    const HMODULE dll = holdDll();
    if (!dll) {
        std::printf("save-race: Velmora.dll did not load\n");
        return 1;
    }
    const std::vector<std::wstring> files(arguments.begin() + 1, arguments.end());
    std::minstd_rand pick(GetCurrentProcessId());
    Tally tally;
    const ULONGLONG end = GetTickCount64() + seconds * 1000;
    for (unsigned round = 0; GetTickCount64() < end; ++round)
        editOnce(files[pick() % files.size()], round, tally);
    print(tally);
    FreeLibrary(dll);
    return tally.callErrors == 0 ? 0 : 1;
}

} // namespace velmora::wine_client
