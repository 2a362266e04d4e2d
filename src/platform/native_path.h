// A path held as tree text, in the form the system's file functions take.
//
// Paths travel through the engine as tree text (UTF-8 in the tools, the ANSI
// code page in the DLL). On Windows std::filesystem would convert such text
// through the C library's locale, which is neither, and a path longer than
// the classic limit reaches the system only in the extended-length form
// (platform/long_path_form.h): every file operation goes through these.
#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// For the standard library's files and folders (fstreams, std::filesystem).
std::filesystem::path nativePath(const std::string& path);

// As nativePath, for a folder whose tree is walked: in a form that stays
// valid however long the paths below it grow (on Windows the full path in
// the extended-length form, which the paths the walk makes keep).
std::filesystem::path nativeTreePath(const std::string& path);

// The tree text of a path the standard library gives back, in the plain
// form a person writes.
std::string pathText(const std::filesystem::path& path);

#ifdef _WIN32
// For the W functions of the API: UTF-16, in the extended-length form when
// the full path is too long for the plain one. Empty when `path` is.
std::wstring systemPath(const std::string& path);
#endif

} // namespace velmora
