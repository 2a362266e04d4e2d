#include "platform/read_refusal.h"

namespace velmora {

const char* readRefusalText(ReadRefusal refusal) {
    switch (refusal) {
    case ReadRefusal::None:
        break;
    case ReadRefusal::Held:
        return "held by another program";
    case ReadRefusal::Missing:
        return "no such file";
    case ReadRefusal::Denied:
        return "no permission to read it";
    case ReadRefusal::TooLong:
        return "the path is longer than the file system takes";
    case ReadRefusal::NotAFile:
        return "is a folder, not a file";
    case ReadRefusal::Failed:
        return "cannot be read";
    }
    return "";
}

const char* whyNotRead(const std::string& path) {
    const ReadRefusal refusal = readRefusalOf(path);
    return readRefusalText(refusal == ReadRefusal::None ? ReadRefusal::Failed : refusal);
}

} // namespace velmora
