// "Mark by rules...": the dialog of ordered keep rules and their saved lists, and the marks of
// the plan it made, which are what parvex-cli's --keep acts on for the same rules.
#include "VelPigger/velpigger.h"
#include "dialogs/mark_by_rules.h"
#include "dialogs/settings_user.h"
#include "main/fmain.h"
#include "main/result_facts.h"
#include "main/result_model.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

namespace parvex {

void TFmain::BuildMarkByRules() {
    M_MarkByRules = new QAction(QStringLiteral("Mark by rules..."), MarkMenu);
    M_MarkByRules->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_7));
    // With the one-step rules, before the first separator of the menu.
    const QList<QAction*> items = MarkMenu->actions();
    const auto separator = std::ranges::find_if(items, &QAction::isSeparator);
    MarkMenu->insertAction(separator == items.end() ? nullptr : *separator, M_MarkByRules);
    connect(M_MarkByRules, &QAction::triggered, this,
            [this] { RunCommand(&TFmain::MarkByRulesClick); });
    // The marks may be changed exactly when they may be cleared.
    M_MarkByRules->setEnabled(M_Clear->isEnabled());
    connect(M_Clear, &QAction::enabledChanged, M_MarkByRules, &QAction::setEnabled);
}

void TFmain::MarkByRulesClick() {
    if (!M_MarkByRules->isEnabled() || !D_settings_user)
        return;
    TVelPigger& settings = *D_settings_user->Document;
    // The result stays as it is while the dialog is open, so the planner's thread may read it.
    const TResultData& result = ResultModel->Result();
    const std::optional<TMarkByRules> chosen = AskMarkByRules(
        TKeepPresets::Read(settings),
        [&result](std::stop_token stop) { return ResultFacts(result, std::move(stop)); },
        D_settings_user->ProtectedFolders(), [this](const QString& topic) { ShowHelpTopic(topic); },
        this);
    if (!chosen)
        return;
    chosen->Presets.Write(settings);
    PutPlannedMarks(*chosen->Marks);
}

void TFmain::PutPlannedMarks(const std::vector<bool>& acted) {
    const TResultData& result = ResultModel->Result();
    // Where each group's files begin among the marks, groups in the result's order.
    std::vector<std::size_t> starts(result.GroupCount() + 1, 0);
    for (std::size_t g = 0; g < result.GroupCount(); ++g)
        starts[g + 1] = starts[g] + result.Group(g).Files.size();
    if (starts.back() != acted.size())
        return;
    ResultModel->ApplyMarkRule(
        [&](std::vector<TMarkable>& files, std::size_t group) {
            const std::vector<std::size_t> found = FoundOrderOf(result.Group(group));
            for (std::size_t k = 0; k < found.size(); ++k)
                files[found[k]].Marked = acted[starts[group] + k];
            return false;
        },
        {});
}

} // namespace parvex
