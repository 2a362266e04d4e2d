// A catalogue of damaged and hostile files, opened the way a host opens them
// (every question answered Yes): each is loaded with the stated value or
// refused with the stated messages, and nothing crashes, hangs or changes
// the file. A refused file leaves the document as it was; a refused legacy
// file leaves only its backup, an exact copy.
#include "document/document_messages.h"
#include "document/hud_document.h"
#include "support/legacy_test_support.h"
#include "support/platform_doubles.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::testing {
namespace {

const Shown kDamaged{"Error", "The file is damaged and cannot be converted.", 0x10};

struct Outcome {
    int result = -1;
    Messages shown;
    // For a file that loads: the value of a property at a path.
    std::string uri, property, value;
    bool converted = false;
};

Outcome refused(Messages shown) {
    return {-1, std::move(shown), "", "", "", false};
}
const Outcome kRefusedXml = refused({kLoadFailed});
const Outcome kDamagedLegacy = refused({kConvertQuestion, kDamaged});
Outcome wrongKind(const std::string& text) {
    return refused({kConvertQuestion, {"Velmora", text, 0}});
}
const Outcome kNotHud = wrongKind("This is not Hud document!");

Outcome loaded(std::string uri, std::string property, std::string value) {
    return {0, {}, std::move(uri), std::move(property), std::move(value), false};
}
Outcome converted(std::string uri, std::string property, std::string value) {
    return {0, {kConvertQuestion}, std::move(uri), std::move(property), std::move(value), true};
}

struct BadInput {
    std::string what;
    std::string bytes;
    Outcome outcome;
    const char* type = document_types::kHud;
};

std::string xml(const std::string& content) {
    return "<calverin>" + content + "</calverin>";
}

std::string repeated(const std::string& text, std::size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

std::string nested(std::size_t depth, const std::string& name) {
    return repeated("<" + name + ">", depth) + repeated("</" + name + ">", depth);
}

// What a strict parser refuses and a lenient one would load with a guess, in
// the last element of a file whose earlier ones would already be in the tree
// if the checks came too late.
std::vector<BadInput> notStrictXml() {
    const auto inLast = [](const std::string& element) {
        return xml("<HUD f_LenderName=\"Bank\"><b fileNo_6=\"F-1\"/>" + element + "</HUD>");
    };
    const auto inValue = [&](const std::string& value) {
        return inLast("<n100><n104 amount=\"" + value + "\"/></n100>");
    };
    const std::pair<const char*, std::string> values[] = {
        {"undefined entity", "&foo;"},
        {"entity of HTML", "1&nbsp;2"},
        {"bare ampersand", "1 & 2"},
        {"reference without its semicolon", "&amp 1"},
        {"reference without digits", "&#;"},
        {"hexadecimal reference without digits", "&#x;"},
        {"letter in a decimal reference", "&#12a;"},
        {"capital X in a hexadecimal reference", "&#X41;"},
        {"reference to NUL", "1&#0;2"},
        {"reference to a control character", "&#1;"},
        {"reference to the last control character", "&#x1F;"},
        {"reference to the first surrogate", "&#xD800;"},
        {"reference to the last surrogate", "&#57343;"},
        {"reference to U+FFFE", "&#xFFFE;"},
        {"reference to U+FFFF", "&#65535;"},
        {"reference beyond U+10FFFF", "&#x110000;"},
        {"reference overflowing 32 bits", "&#99999999999;"},
        {"raw <", "<1"},
        {"raw control character", "1\x01"},
        {"raw vertical tab", "\x0B"},
        {"raw form feed", "\x0C"},
        {"raw escape", "\x1B"},
        {"malformed UTF-8", "\xC3\x28"},
        {"stray continuation byte", "\x80"},
        {"byte no UTF-8 holds", "\xFF"},
        {"overlong slash", "\xC0\xAF"},
        {"overlong three bytes", "\xE0\x80\xAF"},
        {"encoded surrogate", "\xED\xA0\x80"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80"},
        {"raw U+FFFF", "\xEF\xBF\xBF"},
        {"sequence cut at the end of the value", "\xE2\x82"},
    };
    std::vector<BadInput> inputs;
    for (const auto& [what, value] : values)
        inputs.push_back({std::string("value: ") + what, inValue(value), kRefusedXml});
    const std::pair<const char*, std::string> elements[] = {
        {"registered attribute twice", "<n100><n104 amount=\"1\" amount=\"2\"/></n100>"},
        {"unregistered attribute twice", "<n100><n104 zz=\"1\" amount=\"1\" zz=\"1\"/></n100>"},
        {"name twice", "<b name=\"Brown\" name=\"Green\"/>"},
        // Out of name order, so that they are sorted: alike in their first
        // eight bytes, or one the start of another.
        {"long names twice", "<n100 zzzzzzzz_b=\"1\" zzzzzzzz_a=\"1\" zzzzzzzz_b=\"2\"/>"},
        {"short names twice", "<n100 zz=\"1\" z=\"1\" zzzzzzzzz=\"1\" zz=\"2\"/>"},
        {"undefined entity in text", "<n100>&foo;</n100>"},
        {"reference to NUL in text", "<n100>&#0;</n100>"},
        {"lone lead byte in an element name", "<n1\xC3/>"},
        {"malformed UTF-8 in an attribute name", "<n100 a\xFF=\"1\"/>"},
        {"malformed UTF-8 in a comment", "<!-- \xC3 -->"},
    };
    for (const auto& [what, element] : elements)
        inputs.push_back({what, inLast(element), kRefusedXml});
    // The parser stops at a NUL and takes what came before it for the whole file.
    const std::string whole = inLast("");
    inputs.push_back({"NUL after the document", whole + std::string("\0<zz/>", 6), kRefusedXml});
    inputs.push_back({"NUL at the end", whole + std::string(1, '\0'), kRefusedXml});
    return inputs;
}

std::vector<BadInput> xmlInputs() {
    const std::string big(10u << 20, 'x');
    const std::string head = "<HUD f_LenderName=\"Bank\">";
    const std::string valid = xml(head + "<b fileNo_6=\"F-1\"/></HUD>");
    const std::string utf16 = std::string("<\0c\0a\0l\0v\0", 10);
    const Outcome fileNo = loaded("b", "fileNo_6", "F-1");
    return {
        {"unclosed element", xml("<HUD>"), kRefusedXml},
        {"NUL byte", xml(std::string("<HUD f_LenderName=\"a\0b\"/>", 26)), kRefusedXml},
        {"cut before the last byte", valid.substr(0, valid.size() - 1), kRefusedXml},
        {"no element in the document element", xml(""), refused({})},
        {"an element before the root", xml("<zz/>" + head + "</HUD>"), kRefusedXml},
        {"a second root", xml(head + "</HUD><HUD n603=\"9\"/>"), kRefusedXml},
        {"a root of another name", xml("<zz n603=\"7\"/>"), loaded("", "n603", "7.")},
        {"names alike in their first eight bytes, out of order",
         xml("<HUD zzzzzzzz_b=\"1\" zzzzzzzz=\"1\" zzzzzzzz_a=\"2\" z=\"3\" n603=\"7\"/>"),
         loaded("", "n603", "7.")},
        // Without the marker first, a file is legacy.
        {"cut inside the marker", "<calveri", kNotHud},
        {"empty", "", kDamagedLegacy},
        {"another document element", "<settlement>" + head + "</HUD></settlement>", kNotHud},
        {"UTF-16 LE with its mark", "\xFF\xFE" + utf16, kNotHud},
        {"10 MB string", xml("<HUD f_LenderName=\"" + big + "\"/>"),
         loaded("", "f_LenderName", big)},
        {"10 MB of digits", xml("<HUD n603=\"" + std::string(10u << 20, '9') + "\"/>"),
         loaded("", "n603", "inf")},
        {"10 MB after a date", xml("<HUD i_settlementDate=\"1/2/2008" + big + "\"/>"),
         loaded("", "i_settlementDate", "")},
        {"10 MB unknown attribute", xml("<HUD zz=\"" + big + "\" n603=\"2\"/>"),
         loaded("", "n603", "2.")},
        {"1,000,000 unknown siblings",
         xml(head + repeated("<zz/>", 1000000) + "<b fileNo_6=\"F-1\"/></HUD>"), fileNo},
        {"1,000,000 deposits",
         xml(head + "<ledger><deposits><deposit memo=\"first\"/>" + repeated("<deposit/>", 999999) +
             "</deposits></ledger></HUD>"),
         loaded("ledger/deposits/deposit", "memo", "first")},
        {"100,000 deposits of one name",
         xml(head + "<ledger><deposits>" + repeated("<deposit name=\"x\"/>", 100000) +
             "</deposits></ledger></HUD>"),
         loaded("ledger/deposits/deposit", "name", "x")},
        {"100,000 nested sections", xml(head + nested(100000, "b") + "</HUD>"), kRefusedXml},
        {"100,000 nested unknown elements", xml(head + nested(100000, "zz") + "</HUD>"),
         kRefusedXml},
        {"unknown elements at every level",
         xml("<HUD><zz><b fileNo_6=\"skipped\"/></zz><n100><zz/><n104 amount=\"5.00\"><zz><zz/>"
             "</zz></n104></n100><zz/><b fileNo_6=\"F-1\"/></HUD>"),
         fileNo},
        {"letters for a number", xml("<HUD n603=\"abc\"/>"), loaded("", "n603", "0.")},
        {"number beyond a double", xml("<HUD n603=\"-1e999\"/>"), loaded("", "n603", "-inf")},
        {"number below a double", xml("<HUD n603=\"1e-999\"/>"), loaded("", "n603", "0.")},
        {"hexadecimal number", xml("<HUD n603=\"0x1A\"/>"), loaded("", "n603", "0.")},
        {"NaN", xml("<HUD n603=\"nan\"/>"), loaded("", "n603", "nan")},
        {"long beyond 32 bits", xml("<HUD><form1099 option1=\"99999999999\"/></HUD>"),
         loaded("form1099", "option1", "2147483647")},
        {"long of letters", xml("<HUD><form1099 option1=\"-x1\"/></HUD>"),
         loaded("form1099", "option1", "0")},
        // Saves write years of any length, so they load.
        {"five-digit year", xml("<HUD i_settlementDate=\"1/1/20080\"/>"),
         loaded("", "i_settlementDate", "1/1/20080")},
    };
}

// `bytes` with the first `find` replaced; the test fails when it is not there.
std::string patched(std::string bytes, const std::string& find, const std::string& replacement) {
    const std::size_t at = bytes.find(find);
    EXPECT_NE(at, std::string::npos) << ::testing::PrintToString(find);
    return at == std::string::npos ? bytes : bytes.replace(at, find.size(), replacement);
}

// Little-endian u16 and u32, as archives store them.
std::string word(std::uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}
std::string dword(std::uint32_t value) {
    return word(value & 0xFFFF) + word(value >> 16);
}

// A statement with every block and two sellers, and a refinance statement
// with every block, each with a list of the other value class.
std::string statementBytes() {
    HudRecord r = statementRecord();
    r.sellers = {{"SELLER-A", "", "", "", "", "", "", ""},
                 {"SELLER-B", "", "", "", "", "", "", ""}};
    r.openLists[0] = {{"Courier", "", 0, "25.00", ""}};
    return hudFile(r);
}

std::string refinanceBytes() {
    RefinanceRecord r = refinanceRecord(1502);
    r.borrowers = {{"BORROWER", "", "", "", "", "", "", ""}};
    r.openLists[0] = {{"Courier", "", 0, "25.00", ""}};
    return refinanceFile(r);
}

std::vector<BadInput> legacyInputs() {
    const std::string statement = statementBytes();
    const std::string refinance = refinanceBytes();
    const auto version = [](const std::string& bytes, std::uint32_t word16) {
        return word(word16) + bytes.substr(2);
    };
    const char* hud1a = document_types::kHud1a;
    // The sellers list: its count, then the new class CAddress (index 1, schema
    // 0) with the first seller (index 2), then the second seller, of class 1.
    const std::string sellers = word(2) + word(0xFFFF) + word(0) + word(8) + "CAddress";
    const std::string second = word(0x8001) + "\x08SELLER-B" + std::string(7, '\0');
    const auto referencesToFirst = [&](std::uint32_t count) {
        return patched(
            patched(statement, sellers, word(0xFFFF) + dword(count + 1) + sellers.substr(2)),
            second, [count] {
                std::string tags;
                for (std::uint32_t i = 0; i < count; ++i)
                    tags += word(2);
                return tags;
            }());
    };
    return {
        {"statement of a later version", version(statement, 1701), kNotHud},
        {"red document", version(statement, 403), wrongKind("This is Red document.")},
        {"refinance statement as a statement", version(refinance, 902),
         wrongKind("This is Refinance document.")},
        {"statement as a refinance statement", version(statement, 901),
         wrongKind("This is Hud document."), hud1a},
        // Later generations of the other kind get the reader's plain refusal.
        {"later statement as a refinance statement", statement,
         wrongKind("This is not Ref document"), hud1a},
        {"cut before the last byte", statement.substr(0, statement.size() - 1), kDamagedLegacy},
        {"refinance cut before the last byte", refinance.substr(0, refinance.size() - 1),
         kDamagedLegacy, hud1a},
        {"text of 4 GB",
         patched(statement,
                 "\x03"
                 "F-6",
                 "\xFF" + word(0xFFFF) + dword(~0u) + "F-6"),
         kDamagedLegacy},
        {"the first seller twice more by reference", referencesToFirst(2),
         converted("e_sellers/address", "name1", "SELLER-A")},
        // Copies by reference may add up to no more text than the file holds.
        {"200,000 references to one seller", referencesToFirst(200000), kDamagedLegacy},
        // Bytes after the last field are not read; the backup keeps them.
        {"bytes after the last field", statement + "trailing", converted("b", "fileNo_6", "F-6")},
    };
}

void open(const BadInput& input) {
    SCOPED_TRACE(input.what);
    TempFolder folder;
    FixedClock clock{{2009, 3, 5, 7, 4, 9}};
    RecordingDialog dialog;
    dialog.script({DialogButton::Yes});
    const std::string path = folder.file("deal.hud");
    writeBytes(path, input.bytes);
    CHudDocument document(input.type);
    const Outcome& expected = input.outcome;
    const bool refusal = expected.result != 0;
    if (refusal)
        document.initDocument();
    const std::string before = refusal ? document.nodeValue() : "";
    EXPECT_EQ(document.loadDocument(path), expected.result);
    EXPECT_EQ(shownBy(dialog), expected.shown);
    if (refusal) {
        EXPECT_TRUE(document.nodeValue() == before) << "the document was changed";
    }
    if (!expected.property.empty()) {
        const std::string value = valueAt(document, expected.uri, expected.property);
        EXPECT_TRUE(value == expected.value) << value.substr(0, 80);
    }
    const std::string after = readBytes(path);
    if (expected.converted) {
        EXPECT_EQ(after.rfind("<calverin>", 0), 0u);
    } else {
        EXPECT_TRUE(after == input.bytes) << "the file was changed";
    }
    const std::string backups = folder.file("UpgradeBackup");
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_TRUE(entry.path() == path || entry.path() == backups) << entry.path();
    if (std::filesystem::exists(backups)) {
        const std::string extension = input.type == document_types::kHud ? ".prb" : ".rfb";
        EXPECT_TRUE(readBytes(backups + "/deal_3-5-2009 7-4-9" + extension) == input.bytes);
    }
}

TEST(BadInput, XmlFilesLoadWhatTheyCanOrAreRefusedUnchanged) {
    for (const BadInput& input : xmlInputs())
        open(input);
}

TEST(BadInput, XmlFilesAStrictParserRefusesAreRefusedUnchanged) {
    for (const BadInput& input : notStrictXml())
        open(input);
}

TEST(BadInput, LegacyFilesAreRefusedWithTheirReasonAndKeptWhole) {
    for (const BadInput& input : legacyInputs())
        open(input);
}

} // namespace
} // namespace velmora::testing
