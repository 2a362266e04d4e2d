#include "archive/run_report.h"

#include <cstdio>
#include <string_view>

namespace velmora::archive {
namespace {

constexpr std::array<Outcome, kOutcomeCount> kOutcomes = {
    Outcome::Converted,       Outcome::AlreadyConverted, Outcome::NotADeal,
    Outcome::UnsupportedKind, Outcome::Refused,          Outcome::Failed};

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

void appendEscaped(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
        out += escaped;
        return;
    }
    out += c;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::string millisecondsText(double milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", milliseconds);
    return text;
}

} // namespace

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Converted:
        return "converted";
    case Outcome::AlreadyConverted:
        return "already-converted";
    case Outcome::NotADeal:
        return "not-a-deal";
    case Outcome::UnsupportedKind:
        return "unsupported-kind";
    case Outcome::Refused:
        return "refused";
    case Outcome::Failed:
        return "failed";
    }
    return "failed";
}

std::string jsonQuoted(std::string_view utf8) {
    std::string out = "\"";
    while (!utf8.empty()) {
        const std::size_t length = utf8SequenceLength(utf8);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            utf8.remove_prefix(1);
        } else if (length == 1) {
            appendEscaped(out, utf8[0]);
            utf8.remove_prefix(1);
        } else {
            out.append(utf8.substr(0, length));
            utf8.remove_prefix(length);
        }
    }
    return out + '"';
}

std::string jsonRecord(const FileRecord& r) {
    return "{\"path\":" + jsonQuoted(r.path) + ",\"outcome\":\"" + outcomeName(r.outcome) +
           "\",\"kind\":" + jsonQuoted(r.kind) + ",\"version\":" + std::to_string(r.versionWord) +
           ",\"backup\":" + jsonQuoted(r.backupPath) + ",\"reason\":" + jsonQuoted(r.reason) +
           ",\"bytes\":" + std::to_string(r.bytes) +
           ",\"milliseconds\":" + millisecondsText(r.milliseconds) + "}";
}

std::string csvHeader() {
    return "path,outcome,kind,version,backup,reason,bytes,milliseconds";
}

std::string csvRecord(const FileRecord& r) {
    return csvField(r.path) + "," + outcomeName(r.outcome) + "," + csvField(r.kind) + "," +
           std::to_string(r.versionWord) + "," + csvField(r.backupPath) + "," + csvField(r.reason) +
           "," + std::to_string(r.bytes) + "," + millisecondsText(r.milliseconds);
}

std::size_t RunSummary::files() const {
    std::size_t total = 0;
    for (const std::size_t n : counts)
        total += n;
    return total;
}

bool RunSummary::allDealsDone() const {
    return count(Outcome::Refused) == 0 && count(Outcome::Failed) == 0;
}

RunSummary summarize(const std::vector<FileRecord>& records) {
    RunSummary summary;
    for (const FileRecord& record : records)
        ++summary.counts[static_cast<std::size_t>(record.outcome)];
    return summary;
}

std::string summaryLine(const RunSummary& summary) {
    std::string line;
    for (const Outcome outcome : kOutcomes) {
        std::string name = outcomeName(outcome);
        for (char& c : name)
            c = c == '-' ? ' ' : c;
        line += (line.empty() ? "" : ", ") + name + ": " + std::to_string(summary.count(outcome));
    }
    return line;
}

std::string summaryJson(const RunSummary& summary) {
    std::string json = "{\"files\":" + std::to_string(summary.files());
    for (const Outcome outcome : kOutcomes)
        json += ",\"" + std::string(outcomeName(outcome)) +
                "\":" + std::to_string(summary.count(outcome));
    return json + "}";
}

} // namespace velmora::archive
