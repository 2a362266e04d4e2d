// The other program of the Windows CLI suite: holds a file the way many
// Windows programs do, and lets go when told.
//
//   file_holder.exe FILE RELEASE [share-none | lock]
//
// share-none (the default) opens FILE for reading and writing with share
// mode 0, so that no other open succeeds; lock opens it sharing everything
// and locks its bytes, so that opens succeed and reads fail. It prints
// "holding" once it holds the file, and lets go once the file RELEASE exists
// (or after two minutes, so that a failed suite leaves nothing running).
// Exit status 0, or 1 when FILE could not be held.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr DWORD kPollMilliseconds = 50;
constexpr DWORD kLongestHold = 120'000;

HANDLE hold(const wchar_t* path, bool locking) {
    const DWORD sharing = locking ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0;
    const HANDLE file = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, sharing, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE || !locking)
        return file;
    if (!::LockFile(file, 0, 0, MAXDWORD, MAXDWORD)) {
        ::CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

void waitFor(const wchar_t* release) {
    for (DWORD waited = 0; waited < kLongestHold; waited += kPollMilliseconds) {
        if (::GetFileAttributesW(release) != INVALID_FILE_ATTRIBUTES)
            return;
        ::Sleep(kPollMilliseconds);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3 || argc > 4) {
        std::fputs("usage: file_holder FILE RELEASE [share-none | lock]\n", stderr);
        return 2;
    }
    const bool locking = argc == 4 && std::wcscmp(argv[3], L"lock") == 0;
    const HANDLE file = hold(argv[1], locking);
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
