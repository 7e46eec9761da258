#include "cli/cli_options.h"

#include "_compearer/count_text.h"
#include "_compearer/search_spec.h"
#include "_compearer/size_text.h"
#include "cli/cli_messages.h"

#include <string_view>

namespace parvex {

namespace {

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

TOutputFormat FormatNamed(const std::string& name) {
    if (const std::optional<TOutputFormat> format = OutputFormatNamed(name))
        return *format;
    throw ECliUsageError("unknown format " + Quoted(name) + " (formats: text, null, json)");
}

std::int64_t SizeOf(std::string_view option, const std::string& text) {
    if (const std::optional<std::int64_t> bytes = ParseSizeText(text))
        return *bytes;
    throw ECliUsageError("bad size " + Quoted(text) + " for " + std::string(option) +
                         " (bytes, or a number with K, M or G: 10K, 1.5M, 2G)");
}

int ThreadsOf(const std::string& text) {
    if (const std::optional<int> threads = ParseCountText(text, MaxCliThreads))
        return *threads;
    throw ECliUsageError("bad thread count " + Quoted(text) +
                         " for --threads (0 for automatic, or 1 to " +
                         std::to_string(MaxCliThreads) + ")");
}

// A second format, even the same one again, is a mistake in the script that gave it.
void SetFormat(TCliOptions& options, bool& formatGiven, TOutputFormat format) {
    if (formatGiven)
        throw ECliUsageError("only one of --format and -0 may be given");
    formatGiven = true;
    options.Format = format;
}

TKeepRule KeepRuleOf(const std::string& text) {
    if (const std::optional<TKeepRule> rule = ParseKeepRule(text))
        return *rule;
    throw ECliUsageError("unknown keep rule " + Quoted(text) +
                         " (rules: newest, oldest, shortest-path, longest-path, first, in:DIR, "
                         "glob:PATTERN)");
}

void SetAction(TCliOptions& options, TActionKind action) {
    if (options.Action)
        throw ECliUsageError("only one of --trash, --move-to, --link and --dedupe may be given");
    options.Action = action;
}

// The options that only an action gives a meaning to, and where START_FOLDER is not wanted.
void CheckActionOptions(const TCliOptions& options, const std::vector<std::string>& positional) {
    if (!options.Action) {
        const char* lonely = !options.KeepRules.empty()          ? "--keep"
                             : !options.ProtectedFolders.empty() ? "--protect"
                             : options.DryRun                    ? "--dry-run"
                             : !options.FromFile.empty()         ? "--from"
                                                                 : nullptr;
        if (lonely != nullptr)
            throw ECliUsageError(std::string(lonely) +
                                 " needs an action: --trash, --move-to DIR, --link or --dedupe");
    }
    if (!options.FromFile.empty() && !positional.empty())
        throw ECliUsageError("--from acts on a saved result: no START_FOLDER may be given");
}

} // namespace

TCliOptions ParseCliArguments(const std::vector<std::string>& args) {
    TCliOptions options;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    bool formatGiven = false;
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
        } else if (arg == "--version") {
            options.ShowVersion = true;
            return options;
        } else if (arg == "--stats") {
            options.ShowStats = true;
        } else if (arg == "--no-cache") {
            options.UseStore = false;
        } else if (arg == "--plain-reads") {
            options.PlainReads = true;
        } else if (arg == "--quiet" || arg == "-q") {
            options.Quiet = true;
        } else if (arg == "-0") {
            SetFormat(options, formatGiven, TOutputFormat::Null);
        } else if (TakeOptionValue(args, i, "--format", value)) {
            SetFormat(options, formatGiven, FormatNamed(value));
        } else if (TakeOptionValue(args, i, "--keys", value)) {
            options.Keys = KeysOfList(value);
        } else if (TakeOptionValue(args, i, "--exclude", value)) {
            options.ExcludedFolders.push_back(WithTrailingSlash(value));
        } else if (TakeOptionValue(args, i, "--min-size", value)) {
            options.MinSize = SizeOf("--min-size", value);
        } else if (TakeOptionValue(args, i, "--max-size", value)) {
            options.MaxSize = SizeOf("--max-size", value);
        } else if (TakeOptionValue(args, i, "--threads", value)) {
            options.Threads = ThreadsOf(value);
        } else if (arg == "--no-hidden") {
            options.Hidden = false;
        } else if (arg == "--no-read-only") {
            options.ReadOnly = false;
        } else if (TakeOptionValue(args, i, "--keep", value)) {
            options.KeepRules.push_back(KeepRuleOf(value));
        } else if (TakeOptionValue(args, i, "--protect", value)) {
            options.ProtectedFolders.push_back(WithTrailingSlash(value));
        } else if (arg == "--dry-run") {
            options.DryRun = true;
        } else if (arg == "--trash") {
            SetAction(options, TActionKind::Trash);
        } else if (arg == "--link") {
            SetAction(options, TActionKind::HardLink);
        } else if (arg == "--dedupe") {
            SetAction(options, TActionKind::Share);
        } else if (TakeOptionValue(args, i, "--move-to", value)) {
            SetAction(options, TActionKind::Move);
            options.MoveFolder = WithTrailingSlash(value);
        } else if (TakeOptionValue(args, i, "--from", value)) {
            options.FromFile = value;
        } else if (arg == "--undo" || arg.starts_with("--undo=")) {
            options.UndoRun = arg.size() > 7 ? arg.substr(7) : std::string();
        } else if (arg == "--list-runs") {
            options.ListRuns = true;
        } else {
            throw ECliUsageError("unknown option " + Quoted(arg) + " (see --help)");
        }
    }
    if (options.MinSize > options.MaxSize)
        throw ECliUsageError("--min-size " + std::to_string(options.MinSize) +
                             " is larger than --max-size " + std::to_string(options.MaxSize));
    if (options.UndoRun || options.ListRuns) {
        if (args.size() != 1)
            throw ECliUsageError("--undo and --list-runs take no other argument");
        return options;
    }
    CheckActionOptions(options, positional);
    if (!options.FromFile.empty())
        return options;
    if (positional.empty())
        throw ECliUsageError("missing START_FOLDER (see --help)");
    if (positional.size() > 2)
        throw ECliUsageError("too many arguments: " + Quoted(positional[2]) + " (see --help)");
    options.StartFolder = NormalizeStartFolder(positional[0]);
    // Nothing left after trimming would otherwise become "/", the whole file system.
    if (options.StartFolder == "/" && positional[0].find('/') == std::string::npos)
        throw ECliUsageError("START_FOLDER is empty (see --help)");
    if (positional.size() == 2)
        options.MaskList = MaskListOfInput(positional[1]);
    return options;
}

const char* CliUsageText() {
    return "usage: parvex-cli [--keys LIST] [--exclude DIR]... [--min-size SIZE] [--max-size "
           "SIZE]\n"
           "                  [--no-hidden] [--no-read-only] [--format text|null|json | -0]\n"
           "                  [--threads N] [--plain-reads] [--no-cache] [--quiet] [--stats]\n"
           "                  START_FOLDER [MASK_LIST]\n"
           "       parvex-cli [search options] ACTION [--keep RULE]... [--protect DIR]...\n"
           "                  [--dry-run] START_FOLDER [MASK_LIST]\n"
           "       parvex-cli --from RESULT.json ACTION [--keep RULE]... [--protect DIR]...\n"
           "                  [--dry-run] [--format text|null|json | -0]\n"
           "       parvex-cli --undo[=ID] | --list-runs\n"
           "\n"
           "Finds identical files below START_FOLDER and prints every group to standard output;\n"
           "with an ACTION, acts on the copies found instead: in each group one copy stays and\n"
           "every other copy is acted on.\n"
           "\n"
           "  START_FOLDER     an existing folder where the search starts; blanks and control\n"
           "                   characters at both ends are dropped and a trailing \"/\" is added\n"
           "  MASK_LIST        file masks separated by \";\" (\"*\" any run of characters,\n"
           "                   \"?\" one character, letter case of a-z ignored); default \"*.*\",\n"
           "                   every file, also when MASK_LIST is empty or blank\n"
           "  --keys LIST      compare keys that make two files identical, a comma-separated\n"
           "                   subset of name,size,time,content, or none; default\n"
           "                   size,time,content\n"
           "  --exclude DIR    do not enter DIR or anything below it; may be repeated\n"
           "  --min-size SIZE  leave out files smaller than SIZE\n"
           "  --max-size SIZE  leave out files larger than SIZE; both limits are included;\n"
           "                   SIZE is bytes, or a number with K, M or G for 1000, 1000000 or\n"
           "                   1000000000 bytes (10K, 1.5M, 2G)\n"
           "  --no-hidden      leave out files whose name starts with \".\", and do not enter\n"
           "                   folders whose name starts with \".\" either (START_FOLDER is\n"
           "                   searched whatever its name)\n"
           "  --no-read-only   leave out files the owner may not write\n"
           "  --format FORMAT  how groups are written (one format only):\n"
           "                   text  (default) the first file's name on a line of its own, then\n"
           "                         the path of each file of the group after a TAB; in names\n"
           "                         and paths every byte below 0x20, 0x7F and the backslash\n"
           "                         are written as \\n, \\t, \\r, \\\\ or \\xHH (lower-case "
           "hex),\n"
           "                         every other byte as it is\n"
           "                   null  the first file's name and each path end with a NUL byte,\n"
           "                         one more NUL ends the group; nothing is escaped\n"
           "                   json  one JSON document (format \"parvex-result\", version 1):\n"
           "                         the search, the groups with size, times, device, inode and\n"
           "                         wasted space, and what could not be read; written when the\n"
           "                         search ends\n"
           "  -0               the same as --format null\n"
           "  --threads N      walk and read with N threads, 1 doing everything on one thread;\n"
           "                   0, the default, lets the search choose from the devices it\n"
           "                   reads; N is at most 1024\n"
           "  --plain-reads    read every file with its own system calls; by default small\n"
           "                   files are read in batches through io_uring where the system\n"
           "                   allows it\n"
           "  --quiet, -q      no \"cannot read PATH: REASON\" line on standard error for a\n"
           "                   file or folder that could not be read (the exit status still\n"
           "                   says so)\n"
           "  --no-cache       neither use nor update the comparison store: every candidate\n"
           "                   file is read\n"
           "  --stats          write counts and the time of each phase to standard error, with\n"
           "                   how many files were read and how many were taken from the\n"
           "                   comparison store\n"
           "  --help, -h       show this text\n"
           "  --version        show the version\n"
           "\n"
           "Acting (the keys must include content; one ACTION):\n"
           "  --trash          move every copy that does not stay to the trash\n"
           "  --move-to DIR    move every copy that does not stay into the existing folder DIR,\n"
           "                   under a free name\n"
           "  --link           replace every copy that does not stay by a hard link to the\n"
           "                   copy that stays\n"
           "  --dedupe         let every copy that does not stay share its storage with the\n"
           "                   copy that stays (Btrfs, XFS with reflink): nothing is deleted,\n"
           "                   names, owners, modes and times stay, and the kernel compares\n"
           "                   the bytes as it shares them; a copy that already shares it is\n"
           "                   skipped\n"
           "  --keep RULE      which copy stays; may be repeated: the first rule that tells\n"
           "                   the copies apart decides, ties go to the next rule, then to the\n"
           "                   order found; default first. RULE is newest, oldest (modification\n"
           "                   time to the nanosecond), shortest-path, longest-path, first,\n"
           "                   in:DIR (a copy under DIR) or glob:PATTERN (a copy whose whole\n"
           "                   path matches the mask)\n"
           "  --protect DIR    never act on a file under DIR; may be repeated, and adds to the\n"
           "                   protected folders of parvex's settings. A protected copy is the\n"
           "                   copy that stays; folders are matched by their real path\n"
           "  --dry-run        check and print what would be done; nothing is changed\n"
           "  --from RESULT.json\n"
           "                   act on a result saved by parvex or parvex-cli instead of\n"
           "                   searching: on its marked files when it has any (then --keep may\n"
           "                   not be given), else as the keep rules say; files outside its\n"
           "                   start folder are skipped\n"
           "Every file with several names (hard links) is acted on under each name found\n"
           "(--dedupe: once, under its first name); --move-to moves them together, so that\n"
           "the file arrives as one file. Right before acting, each file and the copy that\n"
           "stays must be unchanged since the search and hold equal bytes, or the file is\n"
           "skipped; an action that fails says the system's reason. Done actions are added\n"
           "to actions.log. One line per name acted on or skipped: ACTION<TAB>PATH<TAB>TARGET\n"
           "(ACTION is trash, move, hardlink or share; TARGET is the trash entry, the new\n"
           "path, or the copy linked to or shared with, empty for the trash in a dry run) or\n"
           "skipped<TAB>PATH<TAB>REASON, escaped as the text format; with -0 the three\n"
           "fields each end with a NUL; with --format json one document (format\n"
           "\"parvex-actions\", version 1). A summary naming the protected folders goes to\n"
           "standard error.\n"
           "\n"
           "Undoing (every run that acts, of parvex or parvex-cli, is journalled in\n"
           "$XDG_STATE_HOME/parvex/runs/, ~/.local/state/parvex/runs/ when XDG_STATE_HOME is not\n"
           "set, even one killed half-way):\n"
           "  --undo[=ID]      put back what the run ID did, by default the newest run not yet\n"
           "                   undone: trashed files come back from the trash, moved files move\n"
           "                   back, files replaced by hard links become files of their own again\n"
           "                   (refused when the kept copy changed since); nothing in a file's\n"
           "                   place is ever replaced. One line per name:\n"
           "                   putback<TAB>PATH<TAB>ACTION or skipped<TAB>PATH<TAB>REASON\n"
           "  --list-runs      list the runs, the newest first: ID<TAB>START<TAB>BY<TAB>WHAT\n"
           "                   <TAB>undone or not undone\n"
           "\n"
           "Warnings and statistics always go to standard error.\n"
           "\n"
           "The comparison store, $XDG_CACHE_HOME/parvex/ (~/.cache/parvex/ when XDG_CACHE_HOME\n"
           "is not set), remembers which files were found identical, so that a file unchanged\n"
           "since (same file system, inode, size, modification and change time) is not read\n"
           "again; only local file systems that keep such an identity are remembered. A store\n"
           "that cannot be used gives one warning and the search runs without it.\n"
           "\n"
           "Exit status (when several apply, the first of 1, 128+N, 3, 0 is given):\n"
           "  0        complete: the search ran to its end, whether or not anything was found,\n"
           "           and every action asked for was done\n"
           "  1        an error, such as a result that could not be written\n"
           "  2        a bad command line, or a START_FOLDER that does not exist or is not\n"
           "           a folder, a missing --move-to folder, a result that cannot be read,\n"
           "           an action on a result without the key content, or no such run (or\n"
           "           none left) to undo; nothing was done\n"
           "  3        something could not be read, was skipped or failed\n"
           "  128+N    stopped by signal N (SIGINT, SIGTERM or SIGHUP); the groups found\n"
           "           until then are written\n";
}

const char* CliVersionText() {
    return "parvex-cli " PARVEX_VERSION "\n";
}

} // namespace parvex
