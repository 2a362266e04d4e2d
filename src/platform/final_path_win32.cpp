#include "platform/final_path_win32.h"

namespace velmora {

std::wstring finalPathOfHandle(HANDLE file) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        // Too small: `length` is the size needed, its nul included.
        path.resize(length);
    }
}

} // namespace velmora
