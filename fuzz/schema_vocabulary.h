// The words of the document schema, for targets that build inputs the engine
// understands: every element name a section knows as a child, every property
// name a section or line registers, and texts of every property kind,
// ordinary and extreme. Read off the section tables, so that a name added to
// a table is fuzzed without a change here.
#pragma once

#include <string>
#include <vector>

namespace velmora::fuzzing {

struct SchemaVocabulary {
    std::vector<std::string> elementNames;
    std::vector<std::string> propertyNames;
    std::vector<std::string> values;
};

const SchemaVocabulary& schemaVocabulary();

} // namespace velmora::fuzzing
