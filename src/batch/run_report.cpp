#include "batch/run_report.h"

#include "batch/not_a_deal.h"
#include "platform/code_page.h"
#include "tree/json_text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace velmora::batch {
namespace {

// A spreadsheet reads a cell that begins with one of these as a formula,
// which a file name such as "=cmd|' /C calc'!A0.hud" would then run.
bool startsLikeAFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// A cell of RFC 4180 CSV; one that a spreadsheet would take for a formula
// gets a leading apostrophe, the common convention for "this is text".
std::string csvField(std::string_view text) {
    const std::string guard = startsLikeAFormula(text) ? "'" : "";
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return guard + std::string(text);
    std::string out = "\"" + guard;
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

// The JSON number of the CSV's text: the same value, without its trailing
// zeros ("1.5" for "1.500").
double millisecondsNumber(double milliseconds) {
    return std::strtod(millisecondsText(milliseconds).c_str(), nullptr);
}

// An outcome as a summary and a line name it: "already converted".
std::string words(Outcome outcome) {
    std::string name = outcomeName(outcome);
    std::replace(name.begin(), name.end(), '-', ' ');
    return name;
}

// The one outcome a kind of run never has: a dry run converts nothing, a
// real run has nothing that only would be converted.
Outcome absentFrom(bool dryRun) {
    return dryRun ? Outcome::Converted : Outcome::WouldConvert;
}

// Reports are UTF-8; paths and reasons are tree text (ANSI on Windows).
std::string utf8(const std::string& treeText) {
    return treeTextToUtf8(treeText);
}

} // namespace

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Converted:
        return "converted";
    case Outcome::WouldConvert:
        return "would-convert";
    case Outcome::AlreadyConverted:
        return "already-converted";
    case Outcome::NotADeal:
        return "not-a-deal";
    case Outcome::UnsupportedKind:
        return "unsupported-kind";
    case Outcome::Refused:
        return "refused";
    case Outcome::BrokenLink:
        return "broken-link";
    case Outcome::Failed:
    case Outcome::Count:
        break;
    }
    return "failed";
}

std::string jsonRecord(const FileRecord& r) {
    return jsonText({{"path", utf8(r.path)},
                     {"outcome", outcomeName(r.outcome)},
                     {"kind", r.kind},
                     {"version", r.version},
                     {"backup", utf8(r.backupPath)},
                     {"reason", utf8(r.reason)},
                     {"bytes", r.bytes},
                     {"milliseconds", millisecondsNumber(r.milliseconds)},
                     {"link", utf8(r.link)}});
}

std::string csvHeader() {
    return "path,outcome,kind,version,backup,reason,bytes,milliseconds,link";
}

std::string csvRecord(const FileRecord& r) {
    return csvField(utf8(r.path)) + "," + outcomeName(r.outcome) + "," + csvField(r.kind) + "," +
           std::to_string(r.version) + "," + csvField(utf8(r.backupPath)) + "," +
           csvField(utf8(r.reason)) + "," + std::to_string(r.bytes) + "," +
           millisecondsText(r.milliseconds) + "," + csvField(utf8(r.link));
}

bool isCsvReportName(std::string_view path) {
    constexpr std::string_view kExtension = ".csv";
    if (path.size() < kExtension.size())
        return false;
    const std::string_view ending = path.substr(path.size() - kExtension.size());
    return std::equal(ending.begin(), ending.end(), kExtension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
    });
}

std::string reportText(const std::vector<FileRecord>& records, bool csv) {
    std::string text = csv ? "\xEF\xBB\xBF" + csvHeader() + "\n" : std::string();
    for (const FileRecord& record : records)
        text += (csv ? csvRecord(record) : jsonRecord(record)) + "\n";
    return text;
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
        ++summary.counts[record.outcome];
    return summary;
}

std::string summaryLine(const RunSummary& summary, bool dryRun) {
    std::string line;
    for (const Outcome outcome : everyValue<Outcome>()) {
        if (outcome == absentFrom(dryRun))
            continue;
        line += (line.empty() ? "" : ", ") + words(outcome) + ": " +
                std::to_string(summary.count(outcome));
    }
    return line;
}

std::string summaryJson(const RunSummary& summary, bool dryRun) {
    nlohmann::ordered_json json = {{"files", summary.files()}};
    for (const Outcome outcome : everyValue<Outcome>()) {
        if (outcome != absentFrom(dryRun))
            json[outcomeName(outcome)] = summary.count(outcome);
    }
    if (dryRun)
        json["dry-run"] = true;
    return jsonText(json);
}

bool deservesALine(const FileRecord& record) {
    switch (record.outcome) {
    case Outcome::Converted:
    case Outcome::WouldConvert:
    case Outcome::Count:
        return false;
    case Outcome::AlreadyConverted:
        return record.named;
    case Outcome::NotADeal:
        return record.named || hasDealExtension(record.path);
    case Outcome::UnsupportedKind:
    case Outcome::Refused:
    case Outcome::Failed:
    case Outcome::BrokenLink:
        break;
    }
    return true;
}

std::string recordLine(const FileRecord& record) {
    return words(record.outcome) + ": " + record.path +
           (record.reason.empty() ? "" : ": " + record.reason);
}

} // namespace velmora::batch
