// The one folder a fuzzing process writes its files in.
//
// Targets that open, save or convert documents need real files. They all go
// into a folder made for the process under the system's temporary folder
// (TMPDIR; `make fuzz` points it into the build folder), which is emptied
// before every input, so that no input sees what an earlier one left behind,
// and removed when the process exits normally.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::fuzzing {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

    // Removes everything inside the folder; the folder itself stays.
    void clear() const;

private:
    std::string path_;
};

// The process's folder, made on first use and emptied by each call.
const ScratchFolder& freshScratchFolder();

// Writes `bytes` as the whole file at `path`; aborts the run when it cannot,
// since every later step would then test nothing.
void writeWholeFile(const std::string& path, std::string_view bytes);
// The bytes of the file at `path`; empty when it cannot be read.
std::string readWholeFile(const std::string& path);
std::string_view asText(const std::uint8_t* data, std::size_t size);

} // namespace velmora::fuzzing
