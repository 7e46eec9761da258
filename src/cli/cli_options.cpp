#include "cli/cli_options.h"

#include "_compearer/search_spec.h"

#include <cstdio>
#include <string_view>

namespace parvex {

namespace {

// The argument in quotes, control characters written as \xNN so a message stays one line.
std::string Quoted(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (IsBlankOrControl(c) && c != ' ') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// Exactly the keys listed: the settings dialog's rules do not apply here.
TCompareKeys KeysOfList(const std::string& list) {
    TCompareKeysParse parsed = ParseCompareKeys(list);
    if (parsed.Valid)
        return parsed.Keys;
    if (parsed.BadPiece.empty())
        throw ECliUsageError("empty key in --keys list " + Quoted(list));
    throw ECliUsageError("unknown key " + Quoted(parsed.BadPiece) +
                         " (keys: name,size,time,content or none)");
}

// Accepts "--option VALUE" and "--option=VALUE"; advances i past a separate value.
bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name,
                     std::string& value) {
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 == args.size())
            throw ECliUsageError("option " + std::string(name) + " needs a value");
        value = args[++i];
        return true;
    }
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
        arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

} // namespace

TCliOptions ParseCliArguments(const std::vector<std::string>& args) {
    TCliOptions options;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.ShowHelp = true;
            return options;
        } else if (arg == "--stats") {
            options.ShowStats = true;
        } else if (TakeOptionValue(args, i, "--keys", value)) {
            options.Keys = KeysOfList(value);
        } else if (TakeOptionValue(args, i, "--exclude", value)) {
            options.ExcludedFolders.push_back(WithTrailingSlash(value));
        } else {
            throw ECliUsageError("unknown option " + Quoted(arg) + " (see --help)");
        }
    }
    if (positional.empty())
        throw ECliUsageError("missing START_FOLDER (see --help)");
    if (positional.size() > 2)
        throw ECliUsageError("too many arguments: " + Quoted(positional[2]) + " (see --help)");
    options.StartFolder = NormalizeStartFolder(positional[0]);
    if (positional.size() == 2)
        options.MaskList = positional[1];
    return options;
}

const char* CliUsageText() {
    return "usage: parvex-cli [--keys LIST] [--exclude DIR]... [--stats] START_FOLDER "
           "[MASK_LIST]\n"
           "\n"
           "Finds identical files below START_FOLDER and prints every group: the first file's\n"
           "name on a line of its own, then the path of each file of the group after a TAB.\n"
           "\n"
           "  START_FOLDER     where the search starts; blanks and control characters at both\n"
           "                   ends are dropped and a trailing \"/\" is added\n"
           "  MASK_LIST        file masks separated by \";\" (\"*\" any run of characters,\n"
           "                   \"?\" one character, letter case of a-z ignored); default \"*.*\",\n"
           "                   every file\n"
           "  --keys LIST      compare keys that make two files identical, a comma-separated\n"
           "                   subset of name,size,time,content, or none; default\n"
           "                   size,time,content\n"
           "  --exclude DIR    do not enter DIR or anything below it (compared exactly);\n"
           "                   may be repeated\n"
           "  --stats          write counts and the time of each phase to standard error\n"
           "  --help           show this text\n"
           "\n"
           "Exit status: 0 after a complete search (whether or not anything was found),\n"
           "1 on an error, 2 for a bad command line, 128+N when stopped by signal N.\n";
}

} // namespace parvex
