#include "session.h"

#include "batch/file_kind.h"
#include "held_back_dialog.h"
#include "platform/dialog.h"
#include "platform/file_system.h"
#include "platform/read_refusal.h"
#include "platform/safe_file.h"
#include "platform/shared_file.h"
#include "platform/stop_request.h"
#include "tree/node_operations.h"
#include "tree/text_trim.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <thread>

namespace velmora::cli {

namespace {

// Often enough that a reader follows another at once, seldom enough to cost nothing.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

std::chrono::milliseconds millisecondsOf(double seconds) {
    return std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000.0));
}

} // namespace

Session::Session(const GlobalOptions& options) : wait_(millisecondsOf(options.waitSeconds)) {
    if (!options.documentType.empty())
        provider_.setDocumentType(options.documentType);
}

void Session::open(const std::string& path) {
    read(path, wait_);
}

void Session::openToEdit(const std::string& path) {
    read(path, std::chrono::milliseconds(0));
}

void Session::read(const std::string& path, std::chrono::milliseconds patience) {
    if (isFolder(path))
        throw CommandFailed(path + ": is a folder, not a document file");
    if (!fileExists(path))
        throw CommandFailed(path + ": no such file");
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (tryRead(path) == Attempt::Held) {
        if (std::chrono::steady_clock::now() >= deadline)
            throw FileHeld(std::string(kSharingErrorCaption) + ": " + kSharingErrorText);
        std::this_thread::sleep_for(kPollInterval);
    }
}

// Held is what the engine meets, too, when another program takes the file
// between our test and its read: either way the attempt is tried again.
Session::Attempt Session::tryRead(const std::string& path) {
    if (isHeldElsewhere(path))
        return Attempt::Held;
    // The marker is read without a hold, so a momentary holder cannot make
    // the file look like something else.
    const std::optional<std::string> first = batch::readFirstBytes(path);
    if (!first) {
        if (isHeldElsewhere(path))
            return Attempt::Held;
        throw CommandFailed(path + ": " + whyNotRead(path));
    }
    if (!hasFormatMarker(*first))
        throw CommandFailed(path + ": not a document in the XML format (a legacy file is "
                                   "converted with 'velmora convert')");
    HeldBackDialog messages(currentDialog());
    int result = -1;
    {
        const ScopedDialog scoped(messages);
        provider_.readHUD(path, &result);
    }
    if (result != 0 && messages.metHolder())
        return Attempt::Held;
    messages.passOn();
    if (result != 0)
        throw CommandFailed(path + ": the document could not be read");
    return Attempt::Read;
}

void Session::save(const std::string& path) {
    // Said here rather than by the engine's message, which speaks of another user.
    requireWritableTarget(path);
    int result = -1;
    provider_.writeHUD(path, &result);
    if (result != 0)
        throw CommandFailed(path + ": the document could not be written");
}

CSectionNode& Session::node(const std::string& uri) {
    CSectionNode* found = resolveUri(provider_.document(), uri);
    if (!found)
        throw CommandFailed("no node at " + describeUri(uri));
    return *found;
}

void Session::requireProperty(CSectionNode& node, const std::string& uri, const std::string& name) {
    if (!node.schema().find(name))
        throw CommandFailed(describeUri(uri) + " has no property '" + name + "'");
}

bool Session::isHeldElsewhere(const std::string& path) {
    {
        const std::unique_ptr<SharedFile> alone =
            SharedFile::open(path, FileAccess::Read, FileSharing::None);
        if (!alone)
            return true;
    }
    // Asked once the file is let go again: a lock on the bytes lets the file
    // open, and its reads fail.
    return readRefusalOf(path) == ReadRefusal::Held;
}

bool waitWhileHeld(const GlobalOptions& options, const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + millisecondsOf(options.waitSeconds);
    while (readRefusalOf(path) == ReadRefusal::Held) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

namespace {

// from_chars reads a minus sign but no plus sign; "+-1" stays refused.
std::string_view withoutPlusSign(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    return text;
}

// A whole number that the property's 32 bits can hold: a larger one would
// be stored as some other number.
bool isWholeInteger(std::string_view text) {
    text = withoutPlusSign(trimmed(text));
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && end == text.data() + text.size() && error == std::errc();
}

// A number a double can hold: one beyond its range (1e400, 1e-400) would be
// stored as infinity or zero.
bool isWholeNumber(std::string_view text) {
    text = withoutPlusSign(trimmed(text));
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && end == text.data() + text.size() && error == std::errc();
}

bool isValueText(PropertyKind kind, const std::string& text) {
    switch (kind) {
    case PropertyKind::Long:
    case PropertyKind::Bool:
        return isWholeInteger(text);
    case PropertyKind::Double:
        return isWholeNumber(text);
    case PropertyKind::Date:
        return text.empty() || parseDate(text).isValid();
    case PropertyKind::String:
    case PropertyKind::None:
        break;
    }
    return true;
}

const char* kindWord(PropertyKind kind) {
    switch (kind) {
    case PropertyKind::Long:
    case PropertyKind::Bool:
        return "a whole number";
    case PropertyKind::Double:
        return "a number";
    case PropertyKind::Date:
        return "a date such as 9/16/2008 or 2008-09-16";
    case PropertyKind::String:
    case PropertyKind::None:
        break;
    }
    return "a text";
}

} // namespace

void Session::requireValueText(CSectionNode& node, const std::string& name,
                               const std::string& text) {
    const PropertyDef* def = node.schema().find(name);
    if (def && !isValueText(def->kind, text))
        throw CommandFailed("'" + text + "' is not " + kindWord(def->kind) + " (property '" + name +
                            "')");
}

RunStopped::RunStopped(int signal, std::size_t done, std::size_t files)
    : CommandFailed("stopped: " + std::to_string(done) + " of " + std::to_string(files) +
                    " files done, the others not started; run again to go on"),
      exitStatus_(exitStatusOfStop(signal)) {}

void requireWritableTarget(const std::string& path) {
    switch (writeTargetOf(path)) {
    case WriteTarget::Replaceable:
        return;
    case WriteTarget::ReadOnly:
        throw CommandFailed(path + ": the file is read-only; nothing was written (save to "
                                   "another file, or make it writable first)");
    case WriteTarget::NotAFile:
        throw CommandFailed(path + ": not a regular file; nothing was written");
    }
}

std::string describeUri(const std::string& uri) {
    return uri.empty() ? std::string("the document root") : "'" + uri + "'";
}

} // namespace velmora::cli
