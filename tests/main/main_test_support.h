#pragma once

#include "dialogs/sure.h"
#include "main/fmain.h"
#include "main/result_tree.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

class QTreeWidget;

namespace parvex::test {

/// A temporary folder with helpers to create files and folders in it.
class TTempTree {
public:
    TTempTree();
    /// The full path of a relative name inside the folder.
    std::string Path(const std::string& relative) const;
    /// Writes a file (making its folders), returns its full path.
    std::string WriteFile(const std::string& relative, const std::string& content);
    /// Reads a whole file; empty when it cannot be read.
    static std::string ReadFile(const std::string& path);
    static bool Exists(const std::string& path);

private:
    QTemporaryDir dir_;
};

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

/// A confirmation dialog that answers from the test's script and records every question.
class TScriptedSure : public TFsure {
public:
    using TFsure::TFsure;
    bool Ask(const QString& question) override;

    std::vector<QString> Questions;
    bool Answer = true;
};

/// Closes every message, group info and file dialog that opens modally, recording what it
/// showed: "msg: <text>", "group info: <files> | <size>", "save: <title> | <file name>".
class TModalRecorder : public QObject {
public:
    TModalRecorder();
    std::vector<QString> Shown;

private:
    void Poll();
    QTimer timer_;
};

/// One group of a result: the group's text and its files' paths.
struct TGroupRows {
    std::string Name;
    std::vector<std::string> Files;
};

/// A main window with scripted dialogs, shown offscreen.
class TMainWindowTest : public testing::Test {
protected:
    TMainWindowTest();
    ~TMainWindowTest() override;

    /// Feeds the groups through the engine's event receivers, as a search would.
    void ReportResult(const std::vector<TGroupRows>& groups);
    /// Selects a node by its place: group index, file index (-1 for the group node itself).
    QTreeWidgetItem* Select(int group, int file = -1);
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
