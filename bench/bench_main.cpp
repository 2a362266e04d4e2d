// make bench: the speed of the engine against pugixml on the same files, and
// how it scales. After Google Benchmark's tables it prints one line per figure:
//   RATIO <name> <value>
//   VALUE <name> <value> <unit>
// Each ratio is the median of repeated runs of both sides in this process. A
// figure whose road failed prints as -1 and fails the run.
#include "bench_inputs.h"
#include "bench_process.h"
#include "index_figures.h"
#include "median.h"
#include "serve_figures.h"

#include "batch/migration.h"
#include "com/provider.h"
#include "legacy/hud_converter.h"
#include "legacy/hud_reader.h"
#include "platform/dialog.h"
#include "platform/safe_file.h"
#include "tree/node_operations.h"
#include "tree/xml_document.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <malloc.h>
#include <pugixml.hpp>
#include <vector>

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;

// Answers every question Yes: the benchmarks convert their own files.
class AgreeingDialog final : public Dialog {
public:
    DialogButton ask(const std::string&, const std::string&, unsigned flags) override {
        return (flags & dialog_flags::kButtonMask) == dialog_flags::kYesNo ? DialogButton::Yes
                                                                           : DialogButton::Ok;
    }
};

double seconds(const std::function<void()>& operation) {
    const auto start = Clock::now();
    operation();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// glibc merges small freed chunks only at the next large request. Without
// this, whatever a preparation freed (a whole document, say) was merged inside
// the timed run that followed, and that run paid for the other side's
// garbage. A large request here, untimed, does the merging first.
void settleAllocator() {
    constexpr std::size_t kLargeRequest = 1 << 20; // served from the heap: see keepFreedMemory
    void* const block = std::malloc(kLargeRequest);
    benchmark::DoNotOptimize(block);
    std::free(block);
}

// One side of a ratio: `prepare` runs before each timed `run`, untimed.
struct Side {
    std::function<void()> prepare = [] {};
    std::function<void()> run;
};

double timedRun(const Side& side) {
    side.prepare();
    settleAllocator();
    return seconds(side.run);
}

std::vector<double> timesOf(int repetitions, const Side& side) {
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i)
        times.push_back(timedRun(side));
    return times;
}

// The ratio of the median times of our side and a baseline. The runs
// alternate, so that both sides meet the allocator, the page cache and the
// machine's other load in the same state: page faults cost so much here that
// whichever side ran after a large free would otherwise win by the
// allocator's whim.
double ratioOfMedians(int repetitions, const Side& ours, const Side& baseline) {
    std::vector<double> top;
    std::vector<double> bottom;
    for (int i = 0; i < repetitions; ++i) {
        top.push_back(timedRun(ours));
        bottom.push_back(timedRun(baseline));
    }
    return medianOf(top) / medianOf(bottom);
}

// How the time grows from the small input to the large one. Each size runs in
// its own series, so that each is measured in its own steady state rather
// than in the heap the other one left behind.
double growth(int repetitions, const Side& large, const Side& small) {
    return medianOf(timesOf(repetitions, large)) / medianOf(timesOf(repetitions, small));
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// What a reader does with a document at the least: every element and
// attribute visited, every value copied out.
std::size_t pugixmlLoadAndVisit(const std::string& path) {
    pugi::xml_document document;
    document.load_file(path.c_str());
    std::size_t copied = 0;
    std::vector<pugi::xml_node> stack{document.document_element()};
    while (!stack.empty()) {
        const pugi::xml_node node = stack.back();
        stack.pop_back();
        for (const pugi::xml_attribute& attribute : node.attributes()) {
            const std::string value = attribute.value();
            copied += value.size();
        }
        for (const pugi::xml_node& child : node.children())
            if (child.type() == pugi::node_element)
                stack.push_back(child);
    }
    return copied;
}

class StringWriter final : public pugi::xml_writer {
public:
    std::string text;
    void write(const void* data, std::size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

std::string pugixmlPrint(const pugi::xml_document& document) {
    StringWriter writer;
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration);
    return std::move(writer.text);
}

struct Inputs {
    Sizes sizes;
    std::string folder;
    std::string full; // the full document F
};

Inputs& inputs() {
    static Inputs shared = [] {
        Inputs made;
        made.sizes = sizesFromEnvironment();
        made.folder = makeScratchFolder();
        made.full = made.folder + "/full.xml";
        saveXmlFile(*makeFullDocument(made.sizes), made.full);
        return made;
    }();
    return shared;
}

// ---- Google Benchmark tables ----

void BM_ReadHud(benchmark::State& state) {
    for (auto _ : state) {
        HudProvider provider;
        int result = -1;
        provider.readHUD(inputs().full, &result);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ReadHud)->Unit(benchmark::kMillisecond);

void BM_PugixmlLoadAndVisit(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(pugixmlLoadAndVisit(inputs().full));
}
BENCHMARK(BM_PugixmlLoadAndVisit)->Unit(benchmark::kMillisecond);

void BM_GetNodeValueOfRoot(benchmark::State& state) {
    HudProvider provider;
    int result = -1;
    provider.readHUD(inputs().full, &result);
    for (auto _ : state) {
        std::string text;
        provider.getNodeValue("", &text);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_GetNodeValueOfRoot)->Unit(benchmark::kMillisecond);

void BM_GetNodePropertyValue(benchmark::State& state) {
    HudProvider provider;
    int result = -1;
    provider.readHUD(inputs().full, &result);
    for (auto _ : state) {
        std::string text;
        provider.getNodePropertyValue("n1100/n1101", "borrowerFund", &text);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_GetNodePropertyValue);

// ---- The figures ----

// Prints the figures and remembers whether each was measured: a figure below
// zero says that its road failed (see the figure), and the run then fails
// too, so that a broken road does not hide among fine-looking figures.
class FigurePrinter {
public:
    void ratio(const char* name, double value) {
        std::printf("RATIO %s %.3f\n", name, value);
        allMeasured_ &= value >= 0;
    }

    void value(const char* name, double value, const char* unit) {
        std::printf("VALUE %s %.3f %s\n", name, value, unit);
        allMeasured_ &= value >= 0;
    }

    bool allMeasured() const { return allMeasured_; }

private:
    bool allMeasured_ = true;
};

double openVsPugixml(const Inputs& in) {
    std::unique_ptr<HudProvider> provider;
    const Side ours{[&] { provider = std::make_unique<HudProvider>(); },
                    [&] {
                        int result = -1;
                        provider->readHUD(in.full, &result);
                    }};
    const Side baseline{[&] { provider.reset(); },
                        [&] { benchmark::DoNotOptimize(pugixmlLoadAndVisit(in.full)); }};
    return ratioOfMedians(in.sizes.repetitions, ours, baseline);
}

double saveVsPugixml(const Inputs& in) {
    HudProvider provider;
    int result = -1;
    provider.readHUD(in.full, &result);
    const std::string target = in.folder + "/saved.xml";
    pugi::xml_document document;
    document.load_file(in.full.c_str());
    const std::string baselineTarget = in.folder + "/saved-by-pugixml.xml";
    return ratioOfMedians(
        in.sizes.repetitions, Side{.run = [&] { provider.writeHUD(target, &result); }},
        Side{.run = [&] { writeFileReplacing(baselineTarget, pugixmlPrint(document)); }});
}

double nodeValueVsPugixml(const Inputs& in) {
    HudProvider provider;
    int result = -1;
    provider.readHUD(in.full, &result);
    pugi::xml_document document;
    document.load_file(in.full.c_str());
    return ratioOfMedians(in.sizes.repetitions,
                          Side{.run =
                                   [&] {
                                       std::string text;
                                       provider.getNodeValue("", &text);
                                       benchmark::DoNotOptimize(text);
                                   }},
                          Side{.run = [&] { benchmark::DoNotOptimize(pugixmlPrint(document)); }});
}

std::string saveLedger(const Inputs& in, std::size_t deposits) {
    const std::string path = in.folder + "/ledger-" + std::to_string(deposits) + ".xml";
    saveXmlFile(*makeLedgerDocument(deposits), path);
    return path;
}

// Opening the file at `path` in a new provider, made untimed beforehand.
Side reading(std::unique_ptr<HudProvider>& provider, const std::string& path) {
    return Side{[&provider] { provider = std::make_unique<HudProvider>(); },
                [&provider, path] {
                    int result = -1;
                    provider->readHUD(path, &result);
                }};
}

double scaleLedger(const Inputs& in) {
    const std::string large = saveLedger(in, in.sizes.largeLedger);
    const std::string small = saveLedger(in, in.sizes.smallLedger);
    std::unique_ptr<HudProvider> provider;
    return growth(std::max(1, in.sizes.repetitions / 3), reading(provider, large),
                  reading(provider, small));
}

// A document whose root element carries `count` attributes the document does
// not know, in ascending or descending name order.
std::string saveManyAttributes(const Inputs& in, std::size_t count, bool descending) {
    std::string text = "<calverin><HUD document_type=\"hud\" versionNumber=\"201\"";
    for (std::size_t i = 0; i < count; ++i) {
        char name[24];
        std::snprintf(name, sizeof name, "x%07zu", descending ? count - 1 - i : i);
        text += std::string(" ") + name + "=\"\"";
    }
    text += "/></calverin>";
    const std::string path =
        in.folder + "/attributes-" + (descending ? "descending" : "ascending") + ".xml";
    writeBytes(path, text);
    return path;
}

// Loading one element's attributes costs the same whatever their order.
double loadAttributesReversedVsSorted(const Inputs& in) {
    const std::string reversed = saveManyAttributes(in, in.sizes.attributes, true);
    const std::string sorted = saveManyAttributes(in, in.sizes.attributes, false);
    std::unique_ptr<HudProvider> provider;
    return ratioOfMedians(std::max(1, in.sizes.repetitions / 3), reading(provider, reversed),
                          reading(provider, sorted));
}

// Adding `deposits` deposits one by one, and dropping the document.
Side creating(std::size_t deposits) {
    return Side{.run = [deposits] {
        HudProvider provider;
        std::string name;
        provider.createNode("ledger", "", &name);
        provider.createNode("deposits", "ledger", &name);
        for (std::size_t i = 0; i < deposits; ++i)
            provider.createNode("deposit", "ledger/deposits", &name);
    }};
}

double scaleCreate(const Inputs& in) {
    return growth(std::max(1, in.sizes.repetitions / 3), creating(in.sizes.largeLedger),
                  creating(in.sizes.smallLedger));
}

// Whether the file at `path` begins as every XML document does.
bool isXmlDocument(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string head(16, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    return hasFormatMarker(head);
}

// The baseline of the conversion ratios: a safe save of the document a
// conversion made. It is read from a copy of the converted file: the provider
// holds the file it read, and the conversions go on rewriting theirs.
class ConvertedDocumentSave {
public:
    ConvertedDocumentSave(const Inputs& in, const std::string& converted)
        : copy_(in.folder + "/converted.xml"), target_(in.folder + "/converted-saved.xml") {
        std::filesystem::copy_file(converted, copy_,
                                   std::filesystem::copy_options::overwrite_existing);
        provider_.readHUD(copy_, &result_);
    }

    bool opened() const { return result_ == 0; }

    Side side() {
        return Side{.run = [this] { provider_.writeHUD(target_, &result_); }};
    }

private:
    std::string copy_;
    std::string target_;
    HudProvider provider_;
    int result_ = -1;
};

// Read, kind check, convert and safe save of a legacy file, against saving
// the document the conversion made.
double convertVsSave(const Inputs& in) {
    const std::string legacy = makeLegacyStatement();
    const std::string path = in.folder + "/legacy.hud";
    const auto convert = [&path] {
        HudRecord record;
        if (readHudFile(path, record) == 0)
            convertHudFile(record, path);
    };
    writeBytes(path, legacy);
    convert();
    ConvertedDocumentSave save(in, path);
    return ratioOfMedians(in.sizes.repetitions, Side{[&] { writeBytes(path, legacy); }, convert},
                          save.side());
}

// The batch road's time for one fresh legacy file (read while held, backup
// checked byte for byte, conversion, safe replacement, reload) against saving
// the document it made. Each run starts without the backup folder, as the
// first conversion in a folder does. -1 when a run did not convert the file,
// by its outcome or by what it left on the disk.
double convertBatchVsSave(const Inputs& in) {
    const std::string legacy = makeLegacyStatement();
    const std::string folder = in.folder + "/batch";
    const batch::FoundFile file{folder + "/legacy.hud", "legacy.hud"};
    const auto writeLegacyFile = [&] {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        writeBytes(file.path, legacy);
    };
    bool allConverted = true;
    const auto migrate = [&] {
        allConverted &= batch::migrateFile(file, {}).outcome == batch::Outcome::Converted;
    };
    const auto checkAndWriteLegacyFile = [&] {
        allConverted &= isXmlDocument(file.path);
        writeLegacyFile();
    };
    writeLegacyFile();
    migrate();
    ConvertedDocumentSave save(in, file.path);
    const double ratio =
        ratioOfMedians(in.sizes.repetitions, Side{checkAndWriteLegacyFile, migrate}, save.side());
    allConverted &= isXmlDocument(file.path);
    if (allConverted && save.opened())
        return ratio;
    std::fprintf(stderr, "convert_batch_vs_save: the batch road did not convert the file\n");
    return -1;
}

double getPropertyNanoseconds(const Inputs& in) {
    HudProvider provider;
    int result = -1;
    provider.readHUD(in.full, &result);
    static constexpr std::pair<const char*, const char*> kQueries[] = {
        {"n100/n104", "amount"},
        {"n1100/n1101", "borrowerFund"},
        {"initialEscrowDisclosure/jan", "amount"},
        {"ledger/transactions/transaction", "amount"},
        {"StateCharges1201/StateCharges1201Release", "FixedAmt"},
    };
    constexpr int kRounds = 20'000;
    std::string text;
    const double total = seconds([&] {
        for (int round = 0; round < kRounds; ++round) {
            for (const auto& [uri, property] : kQueries)
                provider.getNodePropertyValue(uri, property, &text);
        }
    });
    return total * 1e9 / (kRounds * std::size(kQueries));
}

// A figure of /proc/self/status, in kilobytes ("VmHWM", "VmRSS").
long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = field + ":";
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
    }
    return 0;
}

// Peak memory is measured in a fresh process: this program run again with
// --rss-child, which prints the growth of its high-water mark.
int rssChild(const std::string& path) {
    const long before = statusKilobytes("VmHWM");
    HudProvider provider;
    int result = -1;
    provider.readHUD(path, &result);
    std::printf("%ld\n", statusKilobytes("VmHWM") - before);
    return result == 0 ? 0 : 1;
}

// What a batch run keeps, measured in a fresh process run with
// --convert-rss-child: it migrates every file of a folder on two threads and
// prints how far its resident set grew from the moment the first
// kWarmUpFiles files were done to the end of the run, the records of every
// file still held. The first files pay for what any run needs once (thread
// stacks, allocator arenas, the engine's tables); what grows after them grows
// with the number of files, a leak or an accumulation, and stays resident to
// the end. A peak would also count one file's passing needs, which are no
// growth.
constexpr std::size_t kWarmUpFiles = 100;

int convertRssChild(const std::string& folder) {
    const std::vector<batch::FoundFile> files = batch::walkTree({folder}).files;
    const std::size_t warmUp = std::min(kWarmUpFiles, files.size() / 2);
    if (warmUp == 0)
        return 1;
    std::atomic<std::size_t> done{0};
    std::atomic<long> afterWarmUp{0};
    const std::vector<batch::FileRecord> records = batch::migrateFiles(files, {}, 2, [&] {
        if (++done == warmUp)
            afterWarmUp = statusKilobytes("VmRSS");
    });
    const long grown = statusKilobytes("VmRSS") - afterWarmUp;
    std::printf("%ld\n", grown);
    return batch::summarize(records).count(batch::Outcome::Converted) == files.size() ? 0 : 1;
}

double rssPerFileByte(const Inputs& in, const char* self) {
    const std::string path = saveLedger(in, in.sizes.largeLedger);
    std::string output;
    if (runProcess({self, "--rss-child", path}, &output) != 0)
        return -1;
    const double grownBytes = std::strtod(output.c_str(), nullptr) * 1024.0;
    return grownBytes / static_cast<double>(std::filesystem::file_size(path));
}

// Whether `folder` holds `count` files, each an XML document now.
bool allConvertedIn(const std::string& folder, std::size_t count) {
    std::size_t converted = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        if (!isXmlDocument(entry.path()))
            return false;
        ++converted;
    }
    return converted == count;
}

// The real command on an archive of every legacy version of both kinds.
// -1 when the command failed or left a file unconverted: a road that breaks
// must not show a fine rate.
double convertFilesPerSecond(const Inputs& in) {
    const std::string folder = in.folder + "/archive";
    writeMixedLegacyArchive(folder, in.sizes.convertFiles);
    std::string output;
    int status = -1;
    const double elapsed = seconds([&] {
        status = runProcess({VELMORA_CLI_PATH, "convert", "--yes", "-j", "2", folder}, &output);
    });
    if (status == 0 && allConvertedIn(folder, in.sizes.convertFiles))
        return static_cast<double>(in.sizes.convertFiles) / elapsed;
    std::fprintf(stderr,
                 "convert_files_per_second_j2: the command ended with status %d or left files "
                 "unconverted; it printed: %s",
                 status, output.c_str());
    return -1;
}

// In megabytes; -1 when the child failed or did not convert every file.
double convertRssGrowthMegabytes(const Inputs& in, const char* self) {
    const std::string folder = in.folder + "/rss-archive";
    writeMixedLegacyArchive(folder, in.sizes.convertRssFiles);
    std::string output;
    const bool converted = runProcess({self, "--convert-rss-child", folder}, &output) == 0 &&
                           allConvertedIn(folder, in.sizes.convertRssFiles);
    std::filesystem::remove_all(folder);
    if (converted)
        return std::strtod(output.c_str(), nullptr) / 1024.0;
    std::fprintf(stderr,
                 "convert_rss_growth_mb_10k: the batch run failed or left files unconverted\n");
    return -1;
}

// Memory freed by one run stays in the process for the next. On this kind of
// virtual machine a page fault costs 10 to 40 microseconds, and glibc's
// trimming heuristics decide, run by run, whether a run reuses freed pages or
// faults in fresh ones: the figures then measured the allocator's state, not
// the engine (a growth figure read 10 in one run and 48 in the next). Kept
// memory puts every run after the first in the same state. The peak memory
// figure is measured in a child process without this.
void keepFreedMemory() {
    constexpr int kLargestHeapRequest = 32 << 20; // glibc's upper limit
    ::mallopt(M_MMAP_THRESHOLD, kLargestHeapRequest);
    ::mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
}

bool printFigures(const char* self) {
    Inputs& in = inputs();
    AgreeingDialog agreeing;
    ScopedDialog scoped(agreeing);
    FigurePrinter print;
    std::printf("\n");
    print.ratio("open_vs_pugixml", openVsPugixml(in));
    print.ratio("save_vs_pugixml", saveVsPugixml(in));
    print.ratio("nodevalue_vs_pugixml", nodeValueVsPugixml(in));
    print.ratio("scale_ledger_100k_vs_10k", scaleLedger(in));
    print.ratio("scale_create_100k_vs_10k", scaleCreate(in));
    print.ratio("load_attrs_reversed_vs_sorted_50k", loadAttributesReversedVsSorted(in));
    print.ratio("convert_vs_save", convertVsSave(in));
    print.ratio("convert_batch_vs_save", convertBatchVsSave(in));
    print.value("rss_per_file_byte", rssPerFileByte(in, self), "bytes/byte");
    print.value("convert_files_per_second_j2", convertFilesPerSecond(in), "files/s");
    print.value("convert_rss_growth_mb_10k", convertRssGrowthMegabytes(in, self), "MB");
    print.value("get_property_ns", getPropertyNanoseconds(in), "ns");
    const IndexFigures index = indexFigures(in.folder + "/index", in.sizes.indexFiles);
    print.value("index_files_per_second_j2", index.filesPerSecond, "files/s");
    print.value("reindex_unchanged_files_per_second", index.unchangedFilesPerSecond, "files/s");
    print.value("search_ms", searchMilliseconds(in.folder, in.sizes.searchDocuments, 20), "ms");
    print.value("search_2000_rows_ms",
                listAllMilliseconds(in.folder, in.sizes.listedDeals, in.sizes.repetitions), "ms");
    const ArchiveIndexFigures archive = archiveIndexFigures(in.folder, in.sizes.archiveDeals,
                                                            std::max(1, in.sizes.repetitions / 7));
    print.value("search_common_word_ms_100k", archive.commonWordMilliseconds, "ms");
    print.value("index_bytes_per_deal_byte", archive.indexBytesPerDealByte, "bytes/byte");
    print.ratio("reindex_1pct_removed_vs_unchanged", archive.removedVsUnchanged);
    print.value("render_pdf_per_second_j2", renderPdfPerSecond(in.folder, in.sizes.renderPdfFiles),
                "files/s");
    const ServeFigures serve = serveFigures(in.folder, in.sizes);
    print.value("serve_search_p95_ms", serve.searchP95Milliseconds, "ms");
    print.value("serve_deal_page_ms", serve.dealPageMilliseconds, "ms");
    std::filesystem::remove_all(in.folder);
    return print.allMeasured();
}

} // namespace
} // namespace velmora::bench

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--rss-child")
        return velmora::bench::rssChild(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--convert-rss-child")
        return velmora::bench::convertRssChild(argv[2]);
    velmora::bench::keepFreedMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return velmora::bench::printFigures(argv[0]) ? 0 : 1;
}
