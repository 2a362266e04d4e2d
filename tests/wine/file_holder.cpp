// The other program of the Windows CLI suite: holds a file the way many
// Windows programs do, and lets go when told.
//
//   file_holder.exe FILE RELEASE
//
// It opens FILE for reading and writing with share mode 0, so that no other
// open succeeds, prints "holding", and lets go once the file RELEASE exists
// (or after two minutes, so that a failed suite leaves nothing running).
// Exit status 0, or 1 when FILE could not be held.
#include <windows.h>

#include <cstdio>

namespace {

constexpr DWORD kPollMilliseconds = 50;
constexpr DWORD kLongestHold = 120'000;

void waitFor(const wchar_t* release) {
    for (DWORD waited = 0; waited < kLongestHold; waited += kPollMilliseconds) {
        if (::GetFileAttributesW(release) != INVALID_FILE_ATTRIBUTES)
            return;
        ::Sleep(kPollMilliseconds);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: file_holder FILE RELEASE\n", stderr);
        return 2;
    }
    const HANDLE file = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("cannot hold: error %lu\n", ::GetLastError());
        return 1;
    }
    std::puts("holding");
    std::fflush(stdout);
    waitFor(argv[2]);
    ::CloseHandle(file);
    return 0;
}
