// The Producer mark of the PDFs the tool prints: set by an update appended to
// the browser's bytes, read back from the file's last bytes only, and never
// found where the last update does not set it (a scan, another program's
// later update, a cut or hostile file).
#include "render/pdf/pdf_producer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::testing {
namespace {

using render::pdf::producedBy;
using render::pdf::withProducer;

constexpr char kOurs[] = "velmora render";

// A PDF laid out as Chromium writes one: numbered objects, one classic
// cross-reference table, a trailer naming the catalog and the information.
std::string browserPdf(const std::string& information) {
    const std::vector<std::string> objects{information, "<</Type /Catalog /Pages 3 0 R>>",
                                           "<</Type /Pages /Kids [] /Count 0>>"};
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 4\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        const std::string digits = std::to_string(offset);
        pdf += std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
    }
    return pdf + "trailer\n<</Size 4\n/Root 2 0 R\n/Info 1 0 R>>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF";
}

const std::string kInformation = "<</Title (Settlement statement)\n/Creator (Mozilla/5.0 \\(X11\\) "
                                 "Chrome)\n/Producer (Skia/PDF m156)>>";

TEST(PdfProducer, AnUpdateSetsTheProducerAndKeepsTheBrowsersBytesAndEntries) {
    const std::string original = browserPdf(kInformation);
    EXPECT_FALSE(producedBy(original, 0, kOurs));
    const std::optional<std::string> marked = withProducer(original, kOurs);
    ASSERT_TRUE(marked);
    ASSERT_EQ(marked->rfind(original, 0), 0u);
    const std::size_t object = original.size() + 1;
    const std::string objectDigits = std::to_string(object);
    const std::string xref = std::to_string(marked->find("xref\n1 1\n"));
    EXPECT_EQ(marked->substr(original.size()),
              "\n1 0 obj\n<</Title (Settlement statement)\n/Creator (Mozilla/5.0 \\(X11\\) "
              "Chrome)\n/Producer (velmora render)>>\nendobj\nxref\n1 1\n" +
                  std::string(10 - objectDigits.size(), '0') + objectDigits +
                  " 00000 n \ntrailer\n<</Size 4\n/Root 2 0 R\n/Info 1 0 R\n/Prev " +
                  std::to_string(original.find("xref\n0 4")) + ">>\nstartxref\n" + xref +
                  "\n%%EOF\n");
    EXPECT_TRUE(producedBy(*marked, 0, kOurs));
    EXPECT_FALSE(producedBy(*marked, 0, "velmora"));

    // Read from the file's last bytes: enough of them, or none at all.
    EXPECT_TRUE(producedBy(marked->substr(object), object, kOurs));
    EXPECT_FALSE(producedBy(marked->substr(object + 1), object + 1, kOurs));

    // Marked again, the newest update counts and points back at the one before.
    const std::optional<std::string> again = withProducer(*marked, "another");
    ASSERT_TRUE(again);
    EXPECT_FALSE(producedBy(*again, 0, kOurs));
    EXPECT_TRUE(producedBy(*again, 0, "another"));
    EXPECT_NE(again->find("/Prev " + xref + ">>"), std::string::npos);
}

TEST(PdfProducer, OnlyTheLastUpdateCounts) {
    // A scan: its producer is its own.
    EXPECT_FALSE(producedBy(browserPdf("<</Producer (Scanner 9)>>"), 0, kOurs));
    // A PDF of ours that another program updated later is no longer ours.
    std::string updated = *withProducer(browserPdf(kInformation), kOurs);
    const std::size_t previous = updated.rfind("startxref\n") + 10;
    const std::string prev = updated.substr(previous, updated.find('\n', previous) - previous);
    const std::size_t object = updated.size();
    updated += "2 0 obj\n<</Type /Catalog /Pages 3 0 R>>\nendobj\n";
    const std::size_t xref = updated.size();
    updated += "xref\n2 1\n" + std::string(10 - std::to_string(object).size(), '0') +
               std::to_string(object) + " 00000 n \ntrailer\n<</Size 4 /Root 2 0 R /Info 1 0 R " +
               "/Prev " + prev + ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    EXPECT_FALSE(producedBy(updated, 0, kOurs));
}

TEST(PdfProducer, CutAndHostileFilesAreNeitherOursNorMarked) {
    const std::string marked = *withProducer(browserPdf(kInformation), kOurs);
    const std::size_t end = marked.rfind("%%EOF") + 5;
    for (std::size_t size = 0; size < end; ++size)
        EXPECT_FALSE(producedBy(marked.substr(0, size), 0, kOurs)) << size;

    const std::string deep = std::string(100000, '[');
    const std::vector<std::string> hostile{
        "",
        "startxref\n%%EOF",
        "startxref\n99999999999999999999\n%%EOF",
        "xref\n0 999999999\ntrailer\n<</Info 1 0 R>>\nstartxref\n0\n%%EOF",
        "xref\n0 1\n0000000000 00000 n \ntrailer\n<</Info 0 0 R /A " + deep +
            ">>\nstartxref\n0\n%%EOF",
        "xref\n0 1\n0000000000 00000 n \ntrailer\n<</Info 0 0 R /A (open>>\nstartxref\n0\n%%EOF",
        "xref\n0 1\n0000000000 00000 n \ntrailer\n<</Info 0 0 R>>\nstartxref\n0\n%%EOF",
        // A cross-reference stream, as some other programs write: not marked.
        "%PDF-1.5\n1 0 obj\n<</Type /XRef /Size "
        "1>>\nstream\nendstream\nendobj\nstartxref\n9\n%%EOF",
    };
    for (const std::string& bytes : hostile) {
        EXPECT_FALSE(producedBy(bytes, 0, kOurs)) << bytes.substr(0, 80);
        EXPECT_FALSE(withProducer(bytes, kOurs)) << bytes.substr(0, 80);
    }
}

} // namespace
} // namespace velmora::testing
