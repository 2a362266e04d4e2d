#include "commands.h"

#include "child_selection.h"
#include "document/json_export.h"
#include "tree/xml_document.h"
#include "tree_text.h"

#include <iostream>
#include <memory>

namespace velmora::cli {
namespace {

struct QueryArguments {
    std::string file;
    std::string uri;
    std::string property;
    std::string value;
    int index = 0;
    int depth = -1;
    bool json = false;
    std::string where;
    bool exact = false;
    bool all = false;
    TextMatch match;
    bool accepts = false;
};

// What `add` would make at the node: the vocabulary, or nothing at all where
// a child would be too deep; "*" stands for any element name.
void printAcceptedNames(const CSectionNode& node) {
    if (node.isAtDepthLimit())
        return;
    const ChildVocabulary vocabulary = node.childVocabulary();
    if (vocabulary.anyName)
        std::cout << "*\n";
    for (const std::string& name : vocabulary.names)
        std::cout << name << '\n';
}

void runShow(const GlobalOptions& options, const QueryArguments& args) {
    Session session(options);
    session.open(args.file);
    if (args.accepts)
        printAcceptedNames(session.node(args.uri));
    else
        printTree(std::cout, session.node(args.uri), args.depth);
}

// The node a command works on as messages name it: a child picked by a
// criterion has no uri of its own, so it goes by its display name.
std::string nodeLabel(CSectionNode& node, const QueryArguments& args) {
    return args.where.empty() ? args.uri : node.getDisplayName();
}

// What the host operations give (getNodeValue, getNodePropertyValue), or with
// --exact the text the file holds, which `set` takes back unchanged.
std::string valueText(CSectionNode& node, const QueryArguments& args) {
    if (args.property.empty())
        return node.nodeValue();
    Session::requireProperty(node, nodeLabel(node, args), args.property);
    if (args.exact)
        return storedValueText(node, *node.schema().find(args.property));
    return node.getPropertyValue(args.property);
}

void runGet(const GlobalOptions& options, const QueryArguments& args) {
    Session session(options);
    session.open(args.file);
    std::cout << valueText(selectNode(session, args.uri, args.where), args) << '\n';
}

void runCount(const GlobalOptions& options, const QueryArguments& args) {
    Session session(options);
    session.open(args.file);
    session.node(args.uri);
    int count = 0;
    session.provider().getChildNodeCount(args.uri, &count);
    std::cout << count << '\n';
}

void runChild(const GlobalOptions& options, const QueryArguments& args) {
    Session session(options);
    session.open(args.file);
    CSectionNode& parent = session.node(args.uri);
    if (args.index < 0 || static_cast<std::size_t>(args.index) >= parent.childCount())
        throw CommandFailed(describeUri(args.uri) + " has " + std::to_string(parent.childCount()) +
                            " children; there is no child " + std::to_string(args.index));
    std::string value;
    session.provider().getChildNodeByIndex(args.uri, args.index, &value);
    std::cout << value << '\n';
}

std::string noMatchMessage(const QueryArguments& args) {
    const std::string parent = args.where.empty() ? describeUri(args.uri)
                                                  : "the first child of " + describeUri(args.uri) +
                                                        " matching '" + args.where + "'";
    return "no child of " + parent + " has " + args.property +
           (args.match.contains ? " containing '" : " = '") + args.value + "'" +
           (args.match.ignoreCase ? " (ignoring case)" : "");
}

bool isHostFind(const QueryArguments& args) {
    return args.where.empty() && !args.all && !args.json && !args.match.ignoreCase &&
           !args.match.contains;
}

void runHostFind(Session& session, const QueryArguments& args) {
    session.node(args.uri);
    // A node's XML text is never empty, so an empty result means none matched.
    std::string found;
    session.provider().findChildNodeByProperty(args.uri, args.property, args.value, &found);
    if (found.empty())
        throw CommandFailed(noMatchMessage(args));
    std::cout << found << '\n';
}

void runFind(const GlobalOptions& options, const QueryArguments& args) {
    Session session(options);
    session.open(args.file);
    if (isHostFind(args)) {
        runHostFind(session, args);
        return;
    }
    CSectionNode& parent = selectNode(session, args.uri, args.where);
    const std::vector<CSectionNode*> found =
        childrenWithProperty(parent, args.property, args.value, args.match, args.all);
    if (found.empty())
        throw CommandFailed(noMatchMessage(args));
    for (CSectionNode* child : found) {
        if (args.json)
            std::cout << subtreeJson(*child) << '\n';
        else
            std::cout << child->nodeValue() << '\n';
    }
}

void runExport(const GlobalOptions& options, const QueryArguments& args) {
    Session session(options);
    session.open(args.file);
    std::cout << subtreeJson(selectNode(session, args.uri, args.where)) << '\n';
}

CLI::App* documentCommand(CLI::App& app, const char* name, const char* description,
                          QueryArguments& args) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("FILE", args.file, "The document")->required();
    return command;
}

void addWhereOption(CLI::App& command, QueryArguments& args) {
    command.add_option("--where", args.where,
                       "Work on the first child of URI that matches this criterion "
                       "(key=value|key=value)");
}

} // namespace

void addQueryCommands(CLI::App& app, GlobalOptions& options) {
    auto args = std::make_shared<QueryArguments>();

    CLI::App* show = documentCommand(app, "show", "Show the document tree", *args);
    show->add_option("URI", args->uri, "Path of the node to start from (default: the root)");
    CLI::Option* depth =
        show->add_option("--depth", args->depth, "Levels to show below the node (default: all)")
            ->check(CLI::NonNegativeNumber);
    show->add_flag("--accepts", args->accepts,
                   "List the element names of the children 'add' can make at the node, one per "
                   "line ('*': any name)")
        ->excludes(depth);
    addWaitOption(*show, options);
    show->callback([&options, args] { runShow(options, *args); });

    CLI::App* get = documentCommand(app, "get", "Print a property's text, or a node's XML", *args);
    get->add_option("URI", args->uri, "Path of the node (\"\" for the root)")->required();
    CLI::Option* property =
        get->add_option("PROPERTY", args->property, "Property name (default: the node's XML)");
    get->add_flag("--exact", args->exact,
                  "The value as the file holds it, which 'set' takes back unchanged")
        ->needs(property);
    addWhereOption(*get, *args);
    addWaitOption(*get, options);
    get->callback([&options, args] { runGet(options, *args); });

    CLI::App* count = documentCommand(app, "count", "Print the number of children", *args);
    count->add_option("URI", args->uri, "Path of the node (\"\" for the root)")->required();
    addWaitOption(*count, options);
    count->callback([&options, args] { runCount(options, *args); });

    CLI::App* child = documentCommand(app, "child", "Print the XML of the child at INDEX", *args);
    child->add_option("URI", args->uri, "Path of the parent (\"\" for the root)")->required();
    child->add_option("INDEX", args->index, "Position among all children, from 0")->required();
    addWaitOption(*child, options);
    child->callback([&options, args] { runChild(options, *args); });

    CLI::App* find = documentCommand(
        app, "find", "Print the XML of the first child whose PROPERTY is VALUE", *args);
    find->add_option("URI", args->uri, "Path of the parent (\"\" for the root)")->required();
    find->add_option("PROPERTY", args->property, "Property name")->required();
    find->add_option("VALUE", args->value, "The text to find (by default, the whole text)")
        ->required();
    addWhereOption(*find, *args);
    find->add_flag("--all", args->all, "Every matching child, not just the first");
    find->add_flag("--ignore-case", args->match.ignoreCase, "Compare without regard to ASCII case");
    find->add_flag("--contains", args->match.contains, "VALUE may be any part of the text");
    find->add_flag("--json", args->json, "Each match as one line of JSON, as 'export' writes it");
    addWaitOption(*find, options);
    find->callback([&options, args] { runFind(options, *args); });

    CLI::App* exportCommand =
        documentCommand(app, "export", "Print a subtree as JSON for scripts", *args);
    exportCommand->add_option("URI", args->uri, "Path of the node (default: the root)");
    exportCommand->add_flag("--json", args->json, "JSON output (the only format)")->required();
    addWhereOption(*exportCommand, *args);
    addWaitOption(*exportCommand, options);
    exportCommand->callback([&options, args] { runExport(options, *args); });
}

} // namespace velmora::cli
