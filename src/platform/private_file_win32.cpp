// Windows: the file is made with an access list of its own that admits its
// user alone (also in a folder others may read), and "readable by others"
// is read from the file's access list.
#include "platform/private_file.h"

#include "platform/file_security_win32.h"
#include "platform/native_path.h"

namespace velmora {

void makeOwnerOnlyFile(const std::string& path) {
    const std::wstring wide = systemPath(path);
    const std::unique_ptr<FileSecurity> ownerOnly = ownerOnlySecurity();
    if (wide.empty() || !ownerOnly)
        return;
    // CREATE_NEW: a file already there keeps what it is.
    const HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, ownerOnly->attributes(),
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
}

bool readableByOthers(const std::string& path) {
    const std::wstring wide = systemPath(path);
    return !wide.empty() && othersMayRead(wide);
}

} // namespace velmora
