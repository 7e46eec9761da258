#include "dialogs/mark_by_rules.h"

#include "dialogs/keep_rules_dialog.h"

namespace parvex {

std::optional<TMarkByRules>
AskMarkByRules(TKeepPresets presets,
               std::function<std::vector<TResultGroupFacts>(std::stop_token stop)> facts,
               std::vector<std::string> protectedFolders,
               std::function<void(const QString& topic)> showHelpTopic, QWidget* parent) {
    TKeepRulesDialog dialog(std::move(presets), std::move(facts), std::move(protectedFolders),
                            parent);
    dialog.ShowHelpTopic = std::move(showHelpTopic);
    if (dialog.exec() != QDialog::Accepted || dialog.Marks() == nullptr)
        return std::nullopt;
    return TMarkByRules{dialog.Marks(), dialog.Presets()};
}

} // namespace parvex
