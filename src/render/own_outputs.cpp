#include "render/own_outputs.h"

#include "platform/native_path.h"
#include "render/pdf/pdf_producer.h"

#include <fstream>

namespace velmora::render {
namespace {

// The mark of a PDF lies in its last update, which the tool's own is well
// within.
constexpr std::streamoff kPdfTail = 8192;

std::string readSome(std::ifstream& in, std::streamoff count) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    in.read(bytes.data(), count);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool isOwnPdf(std::ifstream& in) {
    in.clear();
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return false;
    const std::streamoff start = size > kPdfTail ? size - kPdfTail : 0;
    in.seekg(start);
    const std::string tail = readSome(in, size - start);
    return !in.bad() && pdf::producedBy(tail, static_cast<std::size_t>(start), kGenerator);
}

} // namespace

std::string pageOpening() {
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><meta "
           "name=\"generator\" content=\"" +
           std::string(kGenerator) + "\">";
}

bool isOwnOutput(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    if (!in)
        return false;
    const std::string opening = pageOpening();
    const std::string head = readSome(in, static_cast<std::streamoff>(opening.size()));
    if (head == opening)
        return true;
    return head.starts_with("%PDF-") && isOwnPdf(in);
}

} // namespace velmora::render
