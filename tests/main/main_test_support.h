#pragma once

#include "main/fmain.h"
#include "main/result_tree.h"
#include "support/qt/modal_recorder.h"
#include "support/qt/scripted_sure.h"
#include "support/temp_tree.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace parvex::test {

using testing::TModalRecorder;
using testing::TScriptedSure;
using testing::TTempTree;

/// Points the user's home and data folder (and so the trash) into a folder while it lives.
class TTrashHome {
public:
    explicit TTrashHome(const std::string& home);
    ~TTrashHome();
    TTrashHome(const TTrashHome&) = delete;
    TTrashHome& operator=(const TTrashHome&) = delete;

private:
    QByteArray oldHome_;
    QByteArray oldData_;
};

/// One group of a result: the group's text and its files' paths.
struct TGroupRows {
    std::string Name;
    std::vector<std::string> Files;
};

/// Feeds the groups through the engine's event receivers of `window`, as a search of the root
/// folder would.
void ReportResultTo(TFmain& window, const std::vector<TGroupRows>& groups);

/// A main window with scripted dialogs, shown offscreen.
class TMainWindowTest : public ::testing::Test {
protected:
    TMainWindowTest();
    ~TMainWindowTest() override;

    /// Feeds the groups through the engine's event receivers, as a search of the root folder
    /// would.
    void ReportResult(const std::vector<TGroupRows>& groups);
    /// A node by its place in display order: group row, file row (-1 for the group node itself).
    QModelIndex Node(int group, int file = -1) const;
    /// Makes a node the current one of the tree, selected, and returns it.
    QModelIndex Select(int group, int file = -1);
    /// The number of group rows shown.
    int GroupCount() const;
    /// The number of file rows under a group row.
    int FileCount(int group) const;
    /// The texts of the tree in display order, files indented by two blanks.
    QStringList TreeTexts() const;
    /// The enabled state of every switchable command by its name.
    std::map<std::string, bool> CommandStates() const;

    TTempTree settingsFolder;
    TFmain window;
    TScriptedSure* sure = nullptr;
    TModalRecorder modals;
};

} // namespace parvex::test
