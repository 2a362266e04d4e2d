#include "batch/batch_outputs.h"

#include "batch/file_kind.h"
#include "batch/not_a_deal.h"
#include "platform/path_parts.h"
#include "platform/read_refusal.h"

#include <algorithm>
#include <set>

namespace velmora::batch {
namespace {

std::string withExtension(const std::string& path, const std::string& extension) {
    return path.substr(0, extensionStart(path)) + extension;
}

// The last `count` names of `path`: the part of a found file's path that
// its relative name covers, in the platform's own encoding.
std::string trailingNames(const std::string& path, std::size_t count) {
    std::size_t start = path.size();
    for (std::size_t names = 0; names < count; ++names) {
        while (names > 0 && start > 0 && isPathSeparator(path[start - 1]))
            --start;
        while (start > 0 && !isPathSeparator(path[start - 1]))
            --start;
    }
    return path.substr(start);
}

// Beside the document where it really is; under an output folder, where it
// was found (a link's own name and folders, which its relative name covers).
std::string naiveOutput(const FoundFile& file, const OutputNaming& naming) {
    if (naming.folder.empty())
        return withExtension(file.path, naming.extension);
    const std::size_t names = 1 + std::count(file.relative.begin(), file.relative.end(), '/');
    const std::string& found = file.link.empty() ? file.path : file.link;
    const std::string below = trailingNames(found, file.named ? 1 : names);
    const bool joined = isPathSeparator(naming.folder.back());
    return naming.folder + (joined ? "" : "/") + withExtension(below, naming.extension);
}

std::string keyOf(const std::string& path) {
    std::string key = absoluteKey(path);
    std::transform(key.begin(), key.end(), key.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return key;
}

std::string withSuffix(const std::string& path, int number) {
    const std::size_t at = extensionStart(path);
    return path.substr(0, at) + "-" + std::to_string(number) + path.substr(at);
}

class OutputNames {
public:
    explicit OutputNames(const std::vector<BatchItem>& items) {
        for (const BatchItem& item : items) {
            if (!item.settled)
                taken_.insert(keyOf(item.document));
        }
    }

    // An output of its own for `item`'s document, the name `wanted` unless
    // it is taken. One that is the document itself is kept as it is, for the
    // run to refuse.
    void claim(BatchItem& item, const std::string& wanted) {
        item.output = wanted;
        if (keyOf(wanted) == keyOf(item.document))
            return;
        for (int number = 2; taken_.contains(keyOf(item.output)); ++number)
            item.output = withSuffix(wanted, number);
        item.renamed = item.output != wanted;
        taken_.insert(keyOf(item.output));
    }

private:
    std::set<std::string> taken_;
};

BatchItem settled(const FoundFile& file, BatchOutcome outcome, const std::string& why,
                  const KindOfFile& kind = {}) {
    return {file.path, "", outcome, file.path + ": " + why, BatchRemedy::None, kind, false};
}

// Told, with `why`, when it is named or its name says deal.
BatchItem notADeal(const FoundFile& file, const std::string& why) {
    if (why.empty() || (!file.named && !hasDealExtension(file.path)))
        return {file.path, "", BatchOutcome::NotADeal, "", BatchRemedy::None, {}, false};
    return settled(file, BatchOutcome::NotADeal, why);
}

} // namespace

BatchItem batchItemOf(const FoundFile& file) {
    // A FIFO, socket or device holds no deal, as convert and index say too;
    // reading one could wait for ever.
    if (file.found == Found::NotAFile)
        return notADeal(file, problemOf(file.found));
    if (file.found == Found::Dangling)
        return settled(file, BatchOutcome::BrokenLink, problemOf(file.found));
    if (file.found != Found::File)
        return settled(file, BatchOutcome::Failed, problemOf(file.found));
    const std::optional<std::string> first = readFirstBytes(file.path);
    if (!first)
        return settled(file, BatchOutcome::Failed, whyNotRead(file.path));
    const KindOfFile kind = kindOfFile(*first);
    switch (kind.kind) {
    case FileKind::XmlDocument:
    case FileKind::Statement:
    case FileKind::Refinance:
        return {file.path, "", std::nullopt, "", BatchRemedy::None, kind, false};
    case FileKind::UnconvertibleDeal:
        return settled(file, BatchOutcome::Unsupported,
                       "a legacy " + kindName(kind) + ", a kind no reader converts", kind);
    case FileKind::NotADeal:
        break;
    }
    const std::optional<NotADealNote> note = notADealNote(file.path, file.named, *first);
    return notADeal(file, note ? note->reason : "");
}

std::vector<BatchItem> planBatch(const std::vector<FoundFile>& files, const OutputNaming& naming) {
    std::vector<BatchItem> items;
    items.reserve(files.size());
    for (const FoundFile& file : files)
        items.push_back(batchItemOf(file));
    OutputNames names(items);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!items[i].settled)
            names.claim(items[i], naiveOutput(files[i], naming));
    }
    return items;
}

} // namespace velmora::batch
