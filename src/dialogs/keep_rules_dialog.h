#pragma once

#include "file_actions/keep_planner.h"
#include "file_actions/keep_presets.h"
#include "file_actions/keep_rule_list.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace parvex {

/// "Mark by rules": an ordered list of keep rules (the rules of parvex-cli's --keep), saved
/// lists of them, and what the list would mark, figured on a thread of its own while the list
/// changes. OK hands over the marks of the list's plan; Cancel changes nothing.
class TKeepRulesDialog : public QDialog {
    Q_OBJECT
public:
    /// The dialog for the result whose facts `facts` gathers (called on the planner's thread),
    /// with the presets `presets` (the last used one chosen) and the protected folders
    /// `protectedFolders`.
    TKeepRulesDialog(TKeepPresets presets, TKeepPlanner::TFacts facts,
                     std::vector<std::string> protectedFolders, QWidget* parent = nullptr);
    ~TKeepRulesDialog() override;

    /// The presets as edited, the one chosen at OK as the last used.
    const TKeepPresets& Presets() const { return presets_; }
    /// The list as edited.
    const TKeepRuleList& List() const { return list_; }
    /// Once accepted: whether the list's plan marks each file, group after group of the result,
    /// each group's files in found order; nullptr before.
    std::shared_ptr<const std::vector<bool>> Marks() const { return accepted_; }

    /// Appends the rule chosen in RuleKind, with RuleArgument's text for a rule that takes one;
    /// false when that text is empty.
    bool AddRule();
    /// Takes out the current line of the list.
    void RemoveRule();
    /// Moves the current line of the list one place up or down.
    void MoveRule(bool up);
    /// Puts the preset at `index` of PresetBox into the list.
    void ChoosePreset(int index);
    /// Keeps the list under PresetName's text; false for an empty name or list.
    bool SavePreset();
    /// Gives the preset chosen in PresetBox PresetName's text; false when that name is empty or
    /// another preset's.
    bool RenamePreset();
    /// Takes out the preset chosen in PresetBox.
    void DeletePreset();

    /// Picks an existing folder for an "in:" rule; empty when cancelled. Tests replace it.
    std::function<QString(const QString& title)> BrowseFolder;
    /// Shows a help page by its topic.
    std::function<void(const QString& topic)> ShowHelpTopic;

    QComboBox* PresetBox = nullptr;
    QLineEdit* PresetName = nullptr;
    QPushButton* Btn_save = nullptr;
    QPushButton* Btn_rename = nullptr;
    QPushButton* Btn_delete = nullptr;
    QListWidget* RuleList = nullptr;
    QPushButton* Btn_up = nullptr;
    QPushButton* Btn_down = nullptr;
    QPushButton* Btn_remove = nullptr;
    QComboBox* RuleKind = nullptr;
    QLineEdit* RuleArgument = nullptr;
    QPushButton* Btn_browse = nullptr;
    QPushButton* Btn_add = nullptr;
    /// What the list would do, or why it cannot be used yet.
    QLabel* PreviewText = nullptr;
    QDialogButtonBox* Buttons = nullptr;

    /// OK: accepts with the marks of the list in force once its plan is made.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildRuleEditor();
    void BuildPresetRow();
    void ShowList(int current);
    void ShowPresets(const std::string& chosen);
    void UpdateButtons();
    void RuleKindChanged();
    void Replan();
    void ShowOutcome(const TKeepPlanner::TOutcome& outcome);

    TKeepPresets presets_;
    TKeepRuleList list_;
    std::uint64_t request_ = 0;
    bool planned_ = false;
    bool acceptWhenPlanned_ = false;
    std::shared_ptr<const std::vector<bool>> latest_;
    std::shared_ptr<const std::vector<bool>> accepted_;
    std::unique_ptr<TKeepPlanner> planner_;
};

} // namespace parvex
