#include "file_actions/action_plan.h"

#include "file_actions/folder_set.h"
#include "result_file/start_folder_bounds.h"

#include <algorithm>

namespace parvex {
namespace {

// Each name of a file, the one it was reported under first.
template <typename Test> bool AnyName(const TResultFileFacts& file, Test test) {
    return test(file.Path) || std::ranges::any_of(file.OtherNames, test);
}

// The plan of one group; `protectedFiles` and `inside` hold, at each file's place, whether it
// is protected and whether it may be acted on at all.
void Decide(TPlanGroup& plan, const TResultGroupFacts& group,
            const std::vector<bool>& protectedFiles, const std::vector<bool>& inside,
            const TPlanChoices& choices, const TKeepRules& rules, TRealFolders& real) {
    const std::size_t count = group.Files.size();
    for (std::size_t f = 0; f < count; ++f)
        plan.Files.push_back({f, TPlanDecision::Act, {}});
    // Files outside the start folder take no part: they neither stay nor are compared.
    std::vector<TResultFileFacts> candidates;
    std::vector<std::size_t> places;
    for (std::size_t f = 0; f < count; ++f) {
        if (!inside[f]) {
            plan.Files[f] = {f, TPlanDecision::Skip, "outside the start folder of the result"};
        } else {
            candidates.push_back(group.Files[f]);
            places.push_back(f);
        }
    }
    const auto firstProtected =
        std::ranges::find_if(places, [&](std::size_t f) { return protectedFiles[f]; });
    if (firstProtected != places.end())
        plan.Kept = *firstProtected;
    for (const std::size_t f : places) {
        TPlanFile& file = plan.Files[f];
        file.Protected = protectedFiles[f];
        if (protectedFiles[f]) {
            file.Decision = choices.FollowMarks && group.Files[f].Marked ? TPlanDecision::Skip
                                                                         : TPlanDecision::Stays;
            file.Why = "under a protected folder";
        } else if (choices.FollowMarks && !group.Files[f].Marked) {
            file.Decision = TPlanDecision::Stays;
            file.Why = "not marked";
            if (!plan.Kept)
                plan.Kept = f;
        }
    }
    if (!choices.FollowMarks && !plan.Kept && !candidates.empty()) {
        const TKeepChoice choice = rules.Choose(candidates, real);
        plan.Kept = places[choice.Kept];
        plan.Files[*plan.Kept] = {*plan.Kept, TPlanDecision::Stays, "kept by " + choice.DecidedBy};
    }
    if (plan.Kept)
        return;
    for (TPlanFile& file : plan.Files) {
        if (file.Decision == TPlanDecision::Act)
            file = {file.File, TPlanDecision::Skip, "no copy of its group stays"};
    }
}

} // namespace

TActionPlan MakeActionPlan(const std::vector<TResultGroupFacts>& groups,
                           const TPlanChoices& choices, TRealFolders& real) {
    TActionPlan plan;
    plan.ProtectedFolders = choices.ProtectedFolders;
    const TFolderSet protectedFolders(choices.ProtectedFolders, real);
    const TKeepRules rules(choices.Rules, real);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const TResultGroupFacts& group = groups[g];
        std::vector<bool> protectedFiles(group.Files.size());
        std::vector<bool> inside(group.Files.size(), true);
        for (std::size_t f = 0; f < group.Files.size(); ++f) {
            const TResultFileFacts& file = group.Files[f];
            protectedFiles[f] = AnyName(
                file, [&](const std::string& name) { return protectedFolders.Holds(name, real); });
            if (!choices.StartFolder.empty())
                inside[f] = !AnyName(file, [&](const std::string& name) {
                    return !InsideStartFolderByText(choices.StartFolder, name);
                });
        }
        TPlanGroup planned;
        planned.Group = g;
        Decide(planned, group, protectedFiles, inside, choices, rules, real);
        plan.Groups.push_back(std::move(planned));
    }
    return plan;
}

} // namespace parvex
