// The document's hold on its file while it is open in a provider, and the
// format test that reads a file's first bytes.
#include "document/hud_document.h"
#include "platform/file_identity.h"
#include "platform/file_use_registry.h"

#include <array>

namespace velmora {
namespace {

constexpr char kFormatMarker[] = "<calverin>";
constexpr std::size_t kMarkerLength = sizeof kFormatMarker - 1;

} // namespace

// By the held handle, not by lockedPath again: a relative spelling may
// name another file once the working folder changed.
bool CHudDocument::holdsFile(const std::string& path) const {
    if (!lockFile_)
        return false;
    const std::optional<FileIdentity> held = lockFile_->identity();
    return held && held == fileIdentity(path);
}

void CHudDocument::applyLock(const std::string& path) {
    if (!lockingEnabled)
        return;
    currentFileUseRegistry().claimFile(path);
    lockedPath = path;
    // A second lock replaces the first rather than leaking it.
    lockFile_.reset();
    lockFile_ = SharedFile::open(path, FileAccess::Read, FileSharing::ReadOnly);
}

void CHudDocument::releaseLock() {
    if (lockingEnabled)
        lockFile_.reset();
}

bool CHudDocument::isXmlFile(const std::string& path) {
    FileUseRegistry& registry = currentFileUseRegistry();
    if (registry.queryFileInUse(path))
        registry.releaseFile(path);

    const bool isXml = readFormatMarker(path).value_or(false);

    if (registry.queryFileInUse(path))
        registry.claimFile(path);
    return isXml;
}

std::optional<bool> CHudDocument::readFormatMarker(const std::string& path) {
    const auto file = SharedFile::open(path, FileAccess::Read, FileSharing::None);
    if (!file)
        return std::nullopt;
    std::array<char, kMarkerLength> marker{};
    const std::size_t got = file->read(marker.data(), marker.size());
    return hasFormatMarker(std::string_view(marker.data(), got));
}

bool hasFormatMarker(std::string_view bytes) {
    return bytes.substr(0, kMarkerLength) == std::string_view(kFormatMarker, kMarkerLength);
}

bool isCutFormatMarker(std::string_view bytes) {
    return !bytes.empty() && bytes.size() < kMarkerLength &&
           std::string_view(kFormatMarker, kMarkerLength).starts_with(bytes);
}

} // namespace velmora
