// Why a file cannot be read, as the system tells it.
//
// A read that fails says only that it failed; a person must be told whether
// another program holds the file (wait, or close it there), whether it is
// gone, or whether it may never be read by them. This asks the system again,
// the way every reader opens a file, and names the reason.
#pragma once

#include <string>

namespace velmora {

enum class ReadRefusal {
    None,     // it can be read now
    Held,     // another program holds it against readers: a sharing or lock violation
    Missing,  // no such file, or no such folder on the way
    Denied,   // no permission to read it
    TooLong,  // the path, or a name in it, is longer than the file system takes
    NotAFile, // a folder
    Failed,   // the system refused for another reason, or a read failed
};

ReadRefusal readRefusalOf(const std::string& path);

// The refusal in words, as they follow "path: " in a message; "" for None.
const char* readRefusalText(ReadRefusal refusal);

// Why a read of the file at `path` just failed, in those words: "cannot be
// read" when the system refuses nothing now.
const char* whyNotRead(const std::string& path);

} // namespace velmora
