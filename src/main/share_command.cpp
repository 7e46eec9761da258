#include "main/share_command.h"

#include "dialogs/file_group_info.h"
#include "file_actions/action_plan.h"
#include "file_actions/action_run.h"
#include "main/counted_text.h"
#include "main/result_facts.h"
#include "platform/actions_log.h"
#include "platform/shared_storage.h"

#include <QLocale>
#include <algorithm>
#include <map>
#include <optional>

namespace parvex {

namespace {

// Whether files' file systems can share storage, asked once per device.
class TSharingDevices {
public:
    bool CanShare(const TFileId& id, const std::string& path) {
        if (!id.Known())
            return FileSystemCanShare(path);
        const auto [place, added] = devices_.try_emplace(id.Device, false);
        if (added)
            place->second = FileSystemCanShare(path);
        return place->second;
    }

private:
    std::map<std::uint64_t, bool> devices_;
};

} // namespace

bool AnyMarkedCanShare(const TResultData& result) {
    TSharingDevices devices;
    for (std::size_t group = 0; group < result.GroupCount(); ++group) {
        const TResultGroup& g = result.Group(group);
        for (std::size_t file = 0; file < g.Files.size(); ++file) {
            if (g.Files[file].Marked &&
                devices.CanShare(g.Files[file].Found.Id,
                                 result.FilePath(group, file).toStdString()))
                return true;
        }
    }
    return false;
}

struct TShareCommand::TParts {
    TMarkedGroups Marked;
    TActionPlan Plan;
    std::optional<TActionsLog> Log;
    std::optional<TActionRun> Run;
};

TShareCommand::TShareCommand(const TResultData& result, std::vector<std::string> protectedFolders)
    : parts_(std::make_unique<TParts>()) {
    parts_->Marked = MarkedGroupsOf(result);
    TPlanChoices choices;
    choices.FollowMarks = true;
    choices.ProtectedFolders = std::move(protectedFolders);
    TRealFolders real;
    parts_->Plan = MakeActionPlan(parts_->Marked.Facts, choices, real);
}

TShareCommand::~TShareCommand() = default;

std::vector<std::string> TShareCommand::MarkedPaths() const {
    std::vector<std::string> paths;
    for (const TResultGroupFacts& group : parts_->Marked.Facts)
        for (const TResultFileFacts& file : group.Files)
            if (file.Marked)
                paths.push_back(file.Path);
    return paths;
}

QString TShareCommand::Question() const {
    std::size_t files = 0;
    std::int64_t bytes = 0;
    std::size_t cannotShare = 0;
    std::size_t skipped = 0; // by the plan: protected, or no copy of their group stays
    TSharingDevices devices;
    for (const TPlanGroup& group : parts_->Plan.Groups) {
        for (const TPlanFile& file : group.Files) {
            skipped += file.Decision == TPlanDecision::Skip;
            if (file.Decision != TPlanDecision::Act)
                continue;
            const TResultFileFacts& facts = parts_->Marked.Facts[group.Group].Files[file.File];
            ++files;
            bytes += facts.Size;
            cannotShare += !devices.CanShare(facts.Id, facts.Path);
        }
    }
    QString question =
        QStringLiteral("Let %1 (%2) share the storage of the copy of their group that stays?")
            .arg(CountedText(files, QStringLiteral("marked file"), QStringLiteral("marked files")),
                 SizeText(bytes, QLocale()));
    question += QStringLiteral("\nNothing is deleted, so this needs no undo: the files stay "
                               "separate, each with its name, owner, mode and times, and each "
                               "may change later without changing the other.");
    if (cannotShare > 0)
        question +=
            QStringLiteral("\nSkipped: %1 on file systems that cannot share storage.")
                .arg(CountedText(cannotShare, QStringLiteral("file"), QStringLiteral("files")));
    if (skipped > 0)
        question += QStringLiteral("\nSkipped: %1 under protected folders or in groups where "
                                   "no copy stays.")
                        .arg(CountedText(skipped, QStringLiteral("marked file"),
                                         QStringLiteral("marked files")));
    question += QStringLiteral("\nThe system compares the bytes as it shares them: a file that "
                               "changed is skipped. The space freed may be less than their "
                               "size: snapshots and other files may still hold the same "
                               "storage.");
    return question;
}

void TShareCommand::Start(const std::string& logFile) {
    parts_->Log.emplace(logFile);
    parts_->Run.emplace(parts_->Marked.Facts, parts_->Plan,
                        TRunChoices{TActionKind::Share, {}, false}, &*parts_->Log);
}

bool TShareCommand::Step() {
    return parts_->Run->Step();
}

std::size_t TShareCommand::Total() const {
    return parts_->Run->Total();
}

std::size_t TShareCommand::Handled() const {
    return parts_->Run->Outcomes().size();
}

const TActionRun& TShareCommand::Run() const {
    return *parts_->Run;
}

std::vector<TSharingFile> TShareCommand::SharingFiles(const TResultData& result) const {
    std::vector<TSharingFile> sharing;
    for (const TActionOutcome& outcome : parts_->Run->Outcomes()) {
        if (!outcome.SharesStorage)
            continue;
        // The outcome's group is its place among the marked groups.
        const std::vector<TResultFileFacts>& files = parts_->Marked.Facts[outcome.Group].Files;
        const auto kept = std::ranges::find(files, outcome.Target, &TResultFileFacts::Path);
        if (kept == files.end())
            continue;
        const std::size_t group = parts_->Marked.Places[outcome.Group];
        const std::vector<std::size_t>& rows = parts_->Marked.Rows[outcome.Group];
        const auto rank = [&](std::size_t file) {
            return result.Group(group).Files[rows[file]].FoundRank;
        };
        sharing.push_back(
            {group, rank(outcome.File), rank(static_cast<std::size_t>(kept - files.begin()))});
    }
    return sharing;
}

} // namespace parvex
