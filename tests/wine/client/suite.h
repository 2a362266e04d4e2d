// The groups of checks of the COM client, and what they share.
#pragma once

#include "velmora_h.h"

#include <windows.h>

#include <string>

namespace velmora::wine {

struct SuiteContext {
    HMODULE dll = nullptr;   // Velmora.dll, loaded from the registered path
    std::wstring folder;     // a folder of the suite's own, for files
    std::wstring legacyFile; // a legacy statement to convert (a copy per use)
};

// A function that the DLL exports, or nullptr.
template <typename Function> Function exported(HMODULE dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// A new provider made by ProgID through CoCreateInstance, or nullptr.
IHudProvider* createProvider();

void checkModule(const SuiteContext& context);
void checkProvider(const SuiteContext& context);
void checkDispatch(const SuiteContext& context);
void checkFiles(const SuiteContext& context);

} // namespace velmora::wine
