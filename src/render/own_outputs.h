// Telling the outputs this tool wrote from other files that have their names:
// every page carries the tool's generator mark in its head, every PDF the
// tool's name as its Producer (pdf/pdf_producer.h). A run that may replace
// outputs replaces only these; a scan or a page from elsewhere that happens
// to have the name is kept.
#pragma once

#include <string>
#include <string_view>

namespace velmora::render {

// The tool, as the page's generator and the PDF's Producer name it.
inline constexpr std::string_view kGenerator = "velmora render";

// How every page begins: its doctype, and its head up to the generator mark.
std::string pageOpening();

// Whether the file at `path` is a page or a PDF this tool wrote; not when it
// cannot be read.
bool isOwnOutput(const std::string& path);

} // namespace velmora::render
