// The few file-system services the document layer needs beyond reading and
// writing documents.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Whether `path` names a regular file (through links).
bool fileExists(const std::string& path);
// Removes the file at `path`; false when it could not.
bool removeFile(const std::string& path);
// Whether `path` names a folder (through links).
bool isFolder(const std::string& path);

enum class FolderResult { Created, AlreadyExists, Failed };
FolderResult createFolder(const std::string& path);

// A copy is never readable by more people than its source: it gets no
// permission `from` lacks (see writeFileReplacing).
//
// Copies `from` to `to`, replacing `to`; false when it could not.
bool copyFile(const std::string& from, const std::string& to);
// Copies `from` to a new file `to`, which takes the modification time of
// `from`, as a copy kept for the record must; false
// when a file `to` exists already or the copy failed. An existing `to` is
// never touched.
bool copyFileNew(const std::string& from, const std::string& to);
// Writes `bytes`, read from `from` earlier, to a new file `to` that takes the
// modification time of `from`, as copyFileNew does.
bool copyBytesNew(const std::string& from, std::string_view bytes, const std::string& to);
// Gives `to` the modification time of `from`; false when it could not.
bool copyModificationTime(const std::string& from, const std::string& to);
// Whether both files could be read and hold the same bytes.
bool sameContent(const std::string& first, const std::string& second);
// Whether the file could be read and holds exactly `bytes`.
bool holdsBytes(const std::string& path, std::string_view bytes);

} // namespace velmora
