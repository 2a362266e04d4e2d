#include "session.h"

#include "platform/file_system.h"
#include "platform/shared_file.h"
#include "tree/node_operations.h"

namespace velmora::cli {

Session::Session(const GlobalOptions& options) {
    if (!options.documentType.empty())
        provider_.setDocumentType(options.documentType);
}

void Session::open(const std::string& path) {
    if (!fileExists(path))
        throw CommandFailed(path + ": no such file");
    // The same test a host's open makes: a file another provider or process
    // holds is refused at once rather than waited for.
    if (!SharedFile::open(path, FileAccess::Read, FileSharing::None))
        throw CommandFailed("Sharing error: This file is already being user by another user, "
                            "and cannot be open at this point of time");
    int isXml = 0;
    provider_.isXMLFileFormat(path, &isXml);
    if (!isXml)
        throw CommandFailed(path + ": not a document in the XML format");
    int result = -1;
    provider_.readHUD(path, &result);
    if (result != 0)
        throw CommandFailed(path + ": the document could not be read");
}

void Session::save(const std::string& path) {
    int result = -1;
    provider_.writeHUD(path, &result);
    if (result != 0)
        throw CommandFailed(path + ": the document could not be written");
}

CSectionNode& Session::node(const std::string& uri) {
    CSectionNode* found = resolveUri(provider_.document(), uri);
    if (!found)
        throw CommandFailed("no node at " + describeUri(uri));
    return *found;
}

void Session::requireProperty(CSectionNode& node, const std::string& uri,
                              const std::string& name) {
    if (!node.schema().find(name))
        throw CommandFailed(describeUri(uri) + " has no property '" + name + "'");
}

std::string describeUri(const std::string& uri) {
    return uri.empty() ? std::string("the document root") : "'" + uri + "'";
}

} // namespace velmora::cli
