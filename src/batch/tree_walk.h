// Finding the files of an archive: the files and folders a run is given,
// folders searched all the way down.
//
// Symbolic links are followed, to files and to folders, and each real file is
// found once however many links lead to it (a loop of links ends). A file
// found through a link is known by its real path, where the link leads, so
// that its backups, index row and outputs belong to the file itself; found
// both ways, it is known as it is found without a link, wherever in the walk
// the link came first. On Windows every file is known by its final path
// (finalPathOf), whatever spelling reached it. Folders named "UpgradeBackup" hold the
// copies kept before conversions and are passed over; one named directly, or
// a file inside one, is left alone with a note. What cannot be worked on (a
// link that leads nowhere, a fifo, a folder that cannot be listed, a name
// that does not exist) is found too, so that the run can report it.
#pragma once

#include <string>
#include <vector>

namespace velmora::batch {

enum class Found {
    File,       // a regular file (perhaps through links)
    NotAFile,   // a fifo, a device, a socket
    Dangling,   // a link that leads nowhere
    Missing,    // a name given to the run that does not exist
    Unreadable, // a folder that cannot be listed, a name that cannot be looked at
};

struct FoundFile {
    // As reached from the name the run was given; through a link, the real
    // path (absolute) where it leads.
    std::string path;
    // From that name, UTF-8, "/" between folders: the shard key. Through a
    // link, the link's own.
    std::string relative;
    Found found = Found::File;
    // Given to the run by its own name, not found inside a folder given.
    bool named = false;
    // The name it was reached by when that went through a symbolic link (the
    // link itself, or a name inside a linked folder); empty otherwise.
    std::string link = {};
};

struct TreeWalk {
    // The names given, in order; each folder's entries in name order.
    std::vector<FoundFile> files;
    // Names given that were left alone, with the reason, one line each.
    std::vector<std::string> notes;
    // Temporary files of a save (see isSafeWriteTemporary) not written for
    // longer than any save takes: left by a run that was killed.
    std::vector<std::string> leftoverTemporaries;
};

TreeWalk walkTree(const std::vector<std::string>& roots);

// How the index names a file, in UTF-8 with the platform's separators: the
// absolute form of `path`, made without looking at the disk; on Windows the
// file's final path when it is there, so that every spelling of it names the
// same row.
std::string absoluteKey(const std::string& path);

// Why a FoundFile other than Found::File cannot be worked on, in words.
const char* problemOf(Found found);

} // namespace velmora::batch
