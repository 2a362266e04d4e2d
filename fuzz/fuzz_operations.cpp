// The input as a run of provider operations on two providers that share a
// few files, one of them a full document: all 17 operations, with paths walked through the live
// tree or taken from the schema or the input, property names of the node addressed, values of every
// kind, criteria built from the children's own values, and dialog answers, all decided by the
// input. Every successful save must load and save back to the same bytes.
#include "answering_dialogs.h"
#include "round_trip_check.h"
#include "schema_vocabulary.h"
#include "scratch_folder.h"

#include "com/provider.h"
#include "document/hud_document.h"
#include "tree/node_operations.h"
#include "tree/xml_document.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace velmora;
using namespace velmora::fuzzing;

namespace {

constexpr int kMaxOperations = 48;
constexpr std::size_t kMaxRawText = 48;

enum class Operation {
    ReadHud,
    SetDocumentType,
    WriteHud,
    GetNodeValue,
    GetNodePropertyValue,
    SetNodePropertyValue,
    SetNodePropertyByCriterion,
    IsNodeExist,
    CreateNode,
    GetChildNodeCount,
    GetChildNodeByIndex,
    FindChildNodeByProperty,
    RemoveChildNode,
    IsXmlFileFormat,
    Dispose,
    ApplyFileLock,
    InitHudDocument,
    // Not an operation of the provider: puts input bytes into one of the files.
    WriteFileBytes,
    kMaxValue = WriteFileBytes,
};

class OperationRun {
public:
    OperationRun(FuzzedDataProvider& in, const ScratchFolder& scratch)
        : in_(in), scratch_(scratch), words_(schemaVocabulary()),
          dialog_([this] { return in_.PickValueInArray(kAnswers); }) {
        for (auto& provider : providers_)
            provider = std::make_unique<HudProvider>();
    }

    void run() {
        for (int i = 0; i < kMaxOperations && in_.remaining_bytes() > 0; ++i)
            step(*providers_[in_.ConsumeIntegralInRange<std::size_t>(0, providers_.size() - 1)]);
    }

private:
    static constexpr DialogButton kAnswers[] = {DialogButton::Yes, DialogButton::No,
                                                DialogButton::Ok, DialogButton::Cancel};

    const std::string& pick(const std::vector<std::string>& words) {
        return words[in_.ConsumeIntegralInRange<std::size_t>(0, words.size() - 1)];
    }
    std::string raw() { return in_.ConsumeRandomLengthString(kMaxRawText); }

    // Mostly a path to a node that exists, by walking the tree; sometimes a
    // schema name or the input's own text.
    std::string uri(HudProvider& provider) {
        switch (in_.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return raw();
        case 1:
            return pick(words_.elementNames);
        case 2:
            return walk(provider.document()) + "/" + pick(words_.elementNames);
        default:
            return walk(provider.document());
        }
    }

    std::string walk(CSectionNode* node) {
        std::string path;
        const int steps = in_.ConsumeIntegralInRange(0, 6);
        for (int i = 0; i < steps && (node = childOf(node)); ++i)
            path += (path.empty() ? "" : "/") + node->getName();
        return path;
    }

    // A property of the node at `path` when there is one, else any name.
    std::string property(HudProvider& provider, const std::string& path) {
        CSectionNode* node = resolveUri(provider.document(), path);
        switch (in_.ConsumeIntegralInRange(0, 4)) {
        case 0:
            return raw();
        case 1:
            return pick(words_.propertyNames);
        default:
            return node ? pick(node->schema()).name : pick(words_.propertyNames);
        }
    }

    std::string value() { return in_.ConsumeBool() ? pick(words_.values) : raw(); }

    // Terms naming properties of the children of `parent`, with values that
    // one of them holds, so that criteria match as often as they miss.
    std::string criterion(HudProvider& provider, const std::string& parent) {
        if (in_.ConsumeIntegralInRange(0, 5) == 0)
            return raw();
        CSectionNode* node = resolveUri(provider.document(), parent);
        std::string text;
        const int terms = in_.ConsumeIntegralInRange(1, 3);
        for (int i = 0; i < terms; ++i) {
            CSectionNode* child = childOf(node);
            const PropertyDef* def = child && in_.ConsumeBool() ? &pick(child->schema()) : nullptr;
            const std::string key = def ? def->name : pick(words_.propertyNames);
            const std::string wanted =
                def && in_.ConsumeBool() ? child->propertyText(*def) : value();
            text += (text.empty() ? "" : "|") + key + "=" + wanted;
        }
        return text;
    }

    const PropertyDef& pick(const PropertySchema& schema) {
        const auto& defs = schema.inNameOrder();
        return defs[in_.ConsumeIntegralInRange<std::size_t>(0, defs.size() - 1)];
    }

    CSectionNode* childOf(CSectionNode* node) {
        if (!node || node->childCount() == 0)
            return nullptr;
        return node->children()[in_.ConsumeIntegralInRange<std::size_t>(0, node->childCount() - 1)]
            .get();
    }

    // One of the files the providers share, a name that is no file, or a folder.
    std::string file() {
        static constexpr const char* kNames[] = {"missing.xml", "folder", "folder/"};
        return in_.ConsumeIntegralInRange(0, 3) == 0 ? scratch_.file(in_.PickValueInArray(kNames))
                                                     : writableFile();
    }
    std::string writableFile() {
        static constexpr const char* kNames[] = {"a.xml", "b.xml", "c.dat"};
        return scratch_.file(in_.PickValueInArray(kNames));
    }

    void writeHud(HudProvider& provider) {
        const std::string path = file();
        int written = -1;
        provider.writeHUD(path, &written);
        if (written == 0)
            requireStableRoundTrip(path, scratch_.file("resaved.xml"));
    }

    void step(HudProvider& provider) {
        std::string text;
        int result = 0;
        long exists = 0;
        switch (in_.ConsumeEnum<Operation>()) {
        case Operation::ReadHud:
            provider.readHUD(file(), &result);
            break;
        case Operation::SetDocumentType:
            provider.setDocumentType(in_.ConsumeBool() ? pick(words_.values) : raw());
            break;
        case Operation::WriteHud:
            writeHud(provider);
            break;
        case Operation::GetNodeValue:
            provider.getNodeValue(uri(provider), &text);
            break;
        case Operation::GetNodePropertyValue: {
            const std::string path = uri(provider);
            provider.getNodePropertyValue(path, property(provider, path), &text);
            break;
        }
        case Operation::SetNodePropertyValue: {
            const std::string path = uri(provider);
            provider.setNodePropertyValue(path, property(provider, path), value(), &result);
            break;
        }
        case Operation::SetNodePropertyByCriterion: {
            const std::string path = uri(provider);
            const std::string terms = criterion(provider, path);
            provider.setNodePropertyByCriterion(path, terms, property(provider, path), value(),
                                                &result);
            break;
        }
        case Operation::IsNodeExist:
            provider.isNodeExist(uri(provider), &exists);
            break;
        case Operation::CreateNode: {
            const std::string parent = uri(provider);
            provider.createNode(in_.ConsumeBool() ? pick(words_.elementNames) : raw(), parent,
                                &text);
            break;
        }
        case Operation::GetChildNodeCount:
            provider.getChildNodeCount(uri(provider), &result);
            break;
        case Operation::GetChildNodeByIndex:
            provider.getChildNodeByIndex(uri(provider), in_.ConsumeIntegralInRange(-2, 40), &text);
            break;
        case Operation::FindChildNodeByProperty: {
            const std::string path = uri(provider);
            provider.findChildNodeByProperty(path, property(provider, path), value(), &text);
            break;
        }
        case Operation::RemoveChildNode: {
            const std::string path = uri(provider);
            provider.removeChildNode(path, pick(words_.elementNames), criterion(provider, path),
                                     &result);
            break;
        }
        case Operation::IsXmlFileFormat:
            provider.isXMLFileFormat(file(), &result);
            break;
        case Operation::Dispose:
            provider.Dispose();
            break;
        case Operation::ApplyFileLock:
            provider.ApplyFileLock(in_.ConsumeIntegralInRange(-1, 1));
            break;
        case Operation::InitHudDocument:
            provider.initHUDDocument();
            break;
        case Operation::WriteFileBytes:
            writeWholeFile(writableFile(), raw());
            break;
        }
    }

    FuzzedDataProvider& in_;
    const ScratchFolder& scratch_;
    const SchemaVocabulary& words_;
    ChoosingDialog dialog_;
    std::array<std::unique_ptr<HudProvider>, 2> providers_;
};

// A saved document with the standard sections and every other section a
// root knows, made once: each run finds it in "b.xml", so that opening a
// full tree and working on it takes one operation instead of hundreds.
const std::string& fullDocument(const ScratchFolder& scratch) {
    static const std::string bytes = [&scratch] {
        CHudDocument root(document_types::kHud);
        root.initDocument();
        for (const ChildRule& rule : hudDocumentTable.children) {
            if (!root.findChild(rule.name))
                root.addChild(rule.name);
        }
        root.setPropertyValue("versionNumber", "201");
        const std::string path = scratch.file("full.xml");
        if (saveXmlFile(root, path) != 0)
            std::abort();
        return readWholeFile(path);
    }();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ScratchFolder& scratch = freshScratchFolder();
    std::filesystem::create_directory(scratch.file("folder"));
    writeWholeFile(scratch.file("b.xml"), fullDocument(scratch));
    FuzzedDataProvider in(data, size);
    OperationRun(in, scratch).run();
    return 0;
}
