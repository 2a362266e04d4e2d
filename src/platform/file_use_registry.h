// The file-use registry: a record, kept outside this program, of which
// document files are in use. The engine tells it when a file is taken into
// use and released; only the answer of queryFileInUse is relied on. On
// Windows it is a separate COM component; elsewhere the default answers "not
// in use" and records nothing. Every failure counts as "not in use".
#pragma once

#include <string>

namespace velmora {

class FileUseRegistry {
public:
    virtual ~FileUseRegistry() = default;
    virtual bool queryFileInUse(const std::string& path) = 0;
    virtual void claimFile(const std::string& path) = 0;
    virtual void releaseFile(const std::string& path) = 0;
};

// The platform's registry: on Windows the COM component (see
// file_use_registry_win32.cpp), elsewhere one that records nothing.
FileUseRegistry& systemFileUseRegistry();

// The registry in use for the whole process; the platform's until one is installed.
FileUseRegistry& currentFileUseRegistry();
// Installs `registry` (nullptr restores the default); returns the previous one.
FileUseRegistry* installFileUseRegistry(FileUseRegistry* registry);

} // namespace velmora
