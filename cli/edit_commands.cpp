#include "commands.h"

#include "child_selection.h"
#include "platform/file_system.h"

#include <iostream>
#include <memory>

namespace velmora::cli {
namespace {

struct EditArguments {
    std::string file;
    std::string uri;
    std::string property;
    std::string value;
    std::string where;
    std::string name;
    std::string criterion;
};

void runNew(const GlobalOptions& options, const std::string& file) {
    if (fileExists(file))
        throw CommandFailed(file + ": already exists; 'new' does not replace documents");
    Session session(options);
    session.provider().initHUDDocument();
    session.save(file);
}

void runSet(const GlobalOptions& options, const EditArguments& args) {
    Session session(options);
    session.openToEdit(args.file);
    CSectionNode& node = session.node(args.uri);
    if (args.where.empty()) {
        Session::requireProperty(node, args.uri, args.property);
        Session::requireValueText(node, args.property, args.value);
        int result = -1;
        session.provider().setNodePropertyValue(args.uri, args.property, args.value, &result);
    } else {
        // The host operation reports success for a matching child that lacks
        // the property; a person wants to hear about it.
        CSectionNode& match = firstMatchingChild(node, args.uri, args.where);
        Session::requireProperty(match, match.getDisplayName(), args.property);
        Session::requireValueText(match, args.property, args.value);
        int result = -1;
        session.provider().setNodePropertyByCriterion(args.uri, args.where, args.property,
                                                      args.value, &result);
    }
    session.save(args.file);
}

void runAdd(const GlobalOptions& options, const EditArguments& args) {
    Session session(options);
    session.openToEdit(args.file);
    const CSectionNode& parent = session.node(args.uri);
    // A new child always gets a display name, so an empty one means none was made.
    std::string newName;
    session.provider().createNode(args.name, args.uri, &newName);
    if (newName.empty() && parent.isAtDepthLimit() && parent.childVocabulary().accepts(args.name))
        throw CommandFailed("a child of " + describeUri(args.uri) + " would be deeper than the " +
                            std::to_string(kMaxTreeDepth) + " levels a document may have");
    if (newName.empty())
        throw CommandFailed(describeUri(args.uri) + " does not accept children named '" +
                            args.name + "'");
    session.save(args.file);
    std::cout << newName << '\n';
}

void runRemove(const GlobalOptions& options, const EditArguments& args) {
    Session session(options);
    session.openToEdit(args.file);
    session.node(args.uri);
    int result = -1;
    session.provider().removeChildNode(args.uri, args.name, args.criterion, &result);
    if (result != 0)
        throw CommandFailed("no child '" + args.name + "' of " + describeUri(args.uri) +
                            " matches '" + args.criterion + "'");
    session.save(args.file);
}

} // namespace

void addEditCommands(CLI::App& app, GlobalOptions& options) {
    auto args = std::make_shared<EditArguments>();

    CLI::App* newCommand =
        app.add_subcommand("new", "Create a new document with the standard sections");
    newCommand->add_option("FILE", args->file, "The document to create")->required();
    addTypeOption(*newCommand, options);
    newCommand->callback([&options, args] { runNew(options, args->file); });

    CLI::App* set = app.add_subcommand("set", "Set a property and save");
    set->add_option("FILE", args->file, "The document")->required();
    set->add_option("URI", args->uri, "Path of the node (\"\" for the root)")->required();
    set->add_option("PROPERTY", args->property, "Property name")->required();
    set->add_option("VALUE", args->value, "The new value as text")->required();
    set->add_option("--where", args->where,
                    "Set it on the first child of URI that matches this criterion "
                    "(key=value|key=value)");
    addYesOption(*set, options);
    set->callback([&options, args] { runSet(options, *args); });

    CLI::App* add = app.add_subcommand("add", "Add a child node, print its name and save");
    add->add_option("FILE", args->file, "The document")->required();
    add->add_option("PARENT_URI", args->uri, "Path of the parent (\"\" for the root)")->required();
    add->add_option("NAME", args->name,
                    "Element name of the new child ('velmora show --accepts' lists them)")
        ->required();
    addYesOption(*add, options);
    add->callback([&options, args] { runAdd(options, *args); });

    CLI::App* remove =
        app.add_subcommand("remove", "Remove the first matching child node and save");
    remove->add_option("FILE", args->file, "The document")->required();
    remove->add_option("PARENT_URI", args->uri, "Path of the parent (\"\" for the root)")
        ->required();
    remove->add_option("NAME", args->name, "Element name of the child")->required();
    remove->add_option("CRITERION", args->criterion, "key=value|key=value")->required();
    addYesOption(*remove, options);
    remove->callback([&options, args] { runRemove(options, *args); });
}

} // namespace velmora::cli
