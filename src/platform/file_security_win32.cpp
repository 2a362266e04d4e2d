#include "platform/file_security_win32.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace velmora {
namespace {

// The SID of the user this process runs as, in a buffer of its own.
std::vector<BYTE> currentUserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    const bool read =
        size != 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    ::CloseHandle(token);
    if (!read)
        return {};
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    std::vector<BYTE> copy(::GetLengthSid(sid));
    ::CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid);
    return copy;
}

bool isWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return ::IsWellKnownSid(sid, type) != FALSE;
}

// The accounts a private file may still admit: its user, and those that
// can take any file anyway.
bool isOwnerOrSystem(PSID sid, const std::vector<BYTE>& user) {
    return (!user.empty() && ::EqualSid(sid, const_cast<BYTE*>(user.data()))) ||
           isWellKnown(sid, WinLocalSystemSid) || isWellKnown(sid, WinBuiltinAdministratorsSid) ||
           isWellKnown(sid, WinCreatorOwnerSid) || isWellKnown(sid, WinCreatorOwnerRightsSid);
}

constexpr ACCESS_MASK kReadingRights = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;

} // namespace

FileSecurity::FileSecurity(PSECURITY_DESCRIPTOR descriptor) {
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor;
    attributes_.bInheritHandle = FALSE;
}

FileSecurity::~FileSecurity() {
    ::LocalFree(attributes_.lpSecurityDescriptor);
}

std::unique_ptr<FileSecurity> ownerOnlySecurity() {
    std::vector<BYTE> user = currentUserSid();
    LPWSTR userText = nullptr;
    if (user.empty() || !::ConvertSidToStringSidW(user.data(), &userText))
        return nullptr;
    // P: protected, so the folder's entries are not inherited; FA: all access.
    const std::wstring text = std::wstring(L"D:P(A;;FA;;;") + userText + L")";
    ::LocalFree(userText);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                                &descriptor, nullptr))
        return nullptr;
    return std::make_unique<FileSecurity>(descriptor);
}

std::unique_ptr<FileSecurity> securityOfFile(const std::wstring& path) {
    PSECURITY_DESCRIPTOR found = nullptr;
    PACL list = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &list, nullptr, &found) != ERROR_SUCCESS)
        return nullptr;
    // The entries the source inherited become the copy's own: a copy in a
    // more open folder must not take that folder's entries instead.
    LPWSTR text = nullptr;
    const bool described = ::ConvertSecurityDescriptorToStringSecurityDescriptorW(
        found, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
    ::LocalFree(found);
    if (!described)
        return nullptr;
    std::wstring sddl(text);
    ::LocalFree(text);
    // "D:AI(...)" or "D:(...)" becomes "D:P(...)": protected from inheritance.
    const std::size_t flagsEnd = sddl.find(L'(');
    if (sddl.rfind(L"D:", 0) != 0 || flagsEnd == std::wstring::npos)
        return nullptr;
    sddl.replace(2, flagsEnd - 2, L"P");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                &descriptor, nullptr))
        return nullptr;
    return std::make_unique<FileSecurity>(descriptor);
}

bool applySecurity(const std::wstring& path, const FileSecurity& security) {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL list = nullptr;
    if (!::GetSecurityDescriptorDacl(security.descriptor(), &present, &list, &defaulted) ||
        !present)
        return false;
    return ::SetNamedSecurityInfoW(const_cast<LPWSTR>(path.c_str()), SE_FILE_OBJECT,
                                   DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                   nullptr, nullptr, list, nullptr) == ERROR_SUCCESS;
}

bool othersMayRead(const std::wstring& path) {
    PSECURITY_DESCRIPTOR found = nullptr;
    PACL list = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &list, nullptr, &found) != ERROR_SUCCESS)
        return false;
    const std::vector<BYTE> user = currentUserSid();
    bool others = list == nullptr; // no list at all: everyone may do anything
    ACL_SIZE_INFORMATION size{};
    if (list && ::GetAclInformation(list, &size, sizeof size, AclSizeInformation)) {
        for (DWORD i = 0; i < size.AceCount && !others; ++i) {
            void* entry = nullptr;
            if (!::GetAce(list, i, &entry))
                continue;
            const auto* header = static_cast<ACE_HEADER*>(entry);
            if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
                continue;
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
            const PSID sid = &allowed->SidStart;
            others = (allowed->Mask & kReadingRights) != 0 && !isOwnerOrSystem(sid, user);
        }
    }
    ::LocalFree(found);
    return others;
}

} // namespace velmora
