#include "scratch_folder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace velmora::fuzzing {
namespace {

[[noreturn]] void giveUp(const std::string& what) {
    std::fprintf(stderr, "fuzz scratch folder: %s\n", what.c_str());
    std::abort();
}

} // namespace

ScratchFolder::ScratchFolder() {
    const std::string pattern =
        (std::filesystem::temp_directory_path() / "velmora-fuzz-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data()))
        giveUp("cannot make a folder from " + pattern);
    path_ = name.data();
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void ScratchFolder::clear() const {
    std::error_code error;
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(path_, error))
        entries.push_back(entry.path());
    for (const auto& entry : entries) {
        if (!error)
            std::filesystem::remove_all(entry, error);
    }
    if (error)
        giveUp("cannot empty " + path_ + ": " + error.message());
}

const ScratchFolder& freshScratchFolder() {
    static const ScratchFolder folder;
    folder.clear();
    return folder;
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        giveUp("cannot write " + path);
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace velmora::fuzzing
