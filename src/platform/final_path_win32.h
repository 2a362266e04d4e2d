// The final path of an open file or folder on Windows: the path the system
// knows it by, whatever spelling opened it: its names in the case the file
// system stores, the drive letter or share, links and "." and ".." resolved,
// no trailing separator; in the extended-length form ("\\?\C:\...").
#pragma once

#include <windows.h>

#include <string>

namespace velmora {

// Empty when the system cannot tell it.
std::wstring finalPathOfHandle(HANDLE file);

} // namespace velmora
