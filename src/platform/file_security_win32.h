// Who may open a file we write on Windows, where permissions are ACLs. A
// file made for the index or the audit log admits its owner alone; one made
// from a deal (its backup, its page) admits whom the deal admits.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace velmora {

// A security descriptor to create a file with; LocalFree'd on destruction.
class FileSecurity {
public:
    explicit FileSecurity(PSECURITY_DESCRIPTOR descriptor);
    ~FileSecurity();
    FileSecurity(const FileSecurity&) = delete;
    FileSecurity& operator=(const FileSecurity&) = delete;

    // For CreateFileW; valid while this object lives.
    SECURITY_ATTRIBUTES* attributes() { return &attributes_; }
    PSECURITY_DESCRIPTOR descriptor() const { return attributes_.lpSecurityDescriptor; }

private:
    SECURITY_ATTRIBUTES attributes_{};
};

// The current user alone, with nothing inherited from the folder.
std::unique_ptr<FileSecurity> ownerOnlySecurity();

// The access list of the file at `path`, inherited entries included, made
// the new file's own: a copy admits whom its source admits, wherever the
// copy is. Nothing when it cannot be read.
std::unique_ptr<FileSecurity> securityOfFile(const std::wstring& path);

// Gives the file at `path` the access list of `security`; false on failure.
bool applySecurity(const std::wstring& path, const FileSecurity& security);

// Whether the access list of the file at `path` lets someone other than its
// user, the system and the administrators read it (an empty list lets
// everyone).
bool othersMayRead(const std::wstring& path);

} // namespace velmora
