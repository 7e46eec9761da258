// Saving the window's result and opening a saved one (the window's own, and parvex-cli's) on
// real trees, through the window's keys; files that changed or went since are shown so and no
// command acts on them.
#include "_compearer/panel/ocompearer.h"
#include "main/bulk_report.h"
#include "main/result_model.h"
#include "main/status_field.h"
#include "main_test_support.h"
#include "result_file/json_result.h"
#include "result_file/json_result_reader.h"
#include "support/qt/modal_driver.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex::test {
namespace {

using nlohmann::json;
using testing::ActivateAgain;

class ResultFileTest : public TMainWindowTest {
protected:
    ResultFileTest() : home(homeFolder.Root()) {
        window.Ocompearer1->Core().SetKeys({false, true, false, true});
        window.ChooseResultFile = [this](bool save) {
            asked.push_back(save);
            return chosen;
        };
        tree.File("a/one.txt", "first content");
        tree.File("b/one.txt", "first content");
        tree.File("c/one.txt", "first content");
        tree.File("d/one.txt", "first content");
        tree.File("a/two.dat", "second, longer content");
        tree.File("b/two.dat", "second, longer content");
        tree.File("unique.txt", "only once");
    }

    void Search() {
        window.Edit_ft->setText(QStringLiteral("*.*"));
        window.Edit_root->setText(QString::fromStdString(tree.Root()));
        window.Ocompearer1btn_startClick();
        ASSERT_EQ(GroupCount(), 2) << TreeTexts().join('\n').toStdString();
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_TRUE(ActivateAgain(window));
        QTest::keyClick(window.TV1, static_cast<Qt::Key>(key), modifiers);
    }
    // Saves the result shown through Ctrl+S into `name` in the output folder; its document.
    json SaveAs(const std::string& name) {
        chosen = QString::fromStdString(output.Path(name));
        Press(Qt::Key_S, Qt::ControlModifier);
        return json::parse(TTempTree::ReadFile(output.Path(name)));
    }
    void OpenFrom(const std::string& path) {
        chosen = QString::fromStdString(path);
        Press(Qt::Key_O, Qt::ControlModifier);
    }
    // Runs parvex-cli in `folder` on `arguments`, its JSON result into the output folder's
    // `name`; the document.
    json CliResult(const std::string& folder, const QStringList& arguments,
                   const std::string& name) {
        QProcess cli;
        cli.setWorkingDirectory(QString::fromStdString(folder));
        cli.setStandardOutputFile(QString::fromStdString(output.Path(name)));
        cli.start(QStringLiteral(PARVEX_CLI_PATH),
                  QStringList{QStringLiteral("--format"), QStringLiteral("json"),
                              QStringLiteral("--keys"), QStringLiteral("size,content")} +
                      arguments);
        EXPECT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        return json::parse(TTempTree::ReadFile(output.Path(name)));
    }
    std::vector<bool> Marks() const {
        std::vector<bool> marks;
        for (int g = 0; g < GroupCount(); ++g)
            for (int f = 0; f < FileCount(g); ++f)
                marks.push_back(Node(g, f).data(Qt::CheckStateRole).value<Qt::CheckState>() ==
                                Qt::Checked);
        return marks;
    }
    // The place of the file node whose path is `path`: {group, file}, or {-1, -1}.
    std::pair<int, int> PlaceOf(const std::string& path) const {
        for (int g = 0; g < GroupCount(); ++g)
            for (int f = 0; f < FileCount(g); ++f)
                if (Node(g, f).data(TResultModel::PathRole).toByteArray().toStdString() == path)
                    return {g, f};
        return {-1, -1};
    }
    bool Shown(const QString& part) const {
        return std::ranges::any_of(modals.Shown,
                                   [&part](const QString& text) { return text.contains(part); });
    }
    QString AllShown() const {
        QStringList all;
        for (const QString& text : modals.Shown)
            all << text;
        return all.join('\n');
    }
    // The groups of a document without the marks, to compare the window's with parvex-cli's.
    static json GroupsUnmarked(json document) {
        for (json& group : document["groups"])
            for (json& file : group["files"])
                file["marked"] = false;
        return document["groups"];
    }

    TTempTree homeFolder;
    TTrashHome home;
    TTempTree tree;
    TTempTree output;
    QString chosen;
    std::vector<bool> asked;
};

TEST_F(ResultFileTest, SaveIsOfferedOnlyWithAResultAndOpenWheneverNoSearchRuns) {
    EXPECT_FALSE(window.N_SaveResult->isEnabled());
    EXPECT_TRUE(window.N_OpenResult->isEnabled());
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(asked.empty());
    Search();
    EXPECT_TRUE(window.N_SaveResult->isEnabled());
    EXPECT_EQ(window.N_SaveResult->text(), QStringLiteral("Save result..."));
    EXPECT_EQ(window.N_OpenResult->text(), QStringLiteral("Open result..."));
}

TEST_F(ResultFileTest, SavingAndOpeningKeepsTheGroupsTheirOrderAndTheMarks) {
    Search();
    Press(Qt::Key_4, Qt::ControlModifier); // all but the first found
    const QStringList texts = TreeTexts();
    const std::vector<bool> marks = Marks();
    const QString marked = window.StatusMarks->text();
    ASSERT_EQ(window.ResultModel->Result().MarkedCount(), 4u);

    const json document = SaveAs("result.json");
    EXPECT_EQ(asked, std::vector<bool>{true});
    ASSERT_EQ(document["groups"].size(), 2u) << document.dump(1);
    std::size_t markedInDocument = 0;
    for (const json& group : document["groups"]) {
        // The first file found stays unmarked in each group.
        EXPECT_FALSE(group["files"][0]["marked"].get<bool>()) << group.dump(1);
        for (const json& file : group["files"])
            markedInDocument += file["marked"].get<bool>() ? 1 : 0;
    }
    EXPECT_EQ(markedInDocument, 4u);
    EXPECT_EQ(document["search"]["keys"], json::parse(R"(["size","content"])"));
    EXPECT_EQ(document["search"]["start_folder"], tree.Root());
    EXPECT_EQ(document["complete"], true);

    Press(Qt::Key_0, Qt::ControlModifier); // clear the marks
    ASSERT_EQ(window.ResultModel->Result().MarkedCount(), 0u);
    OpenFrom(output.Path("result.json"));
    EXPECT_EQ(TreeTexts(), texts);
    EXPECT_EQ(Marks(), marks);
    EXPECT_EQ(window.StatusMarks->text(), marked);
    EXPECT_TRUE(window.windowTitle().startsWith(QStringLiteral("result.json")))
        << window.windowTitle().toStdString();
    EXPECT_TRUE(modals.Shown.empty()) << AllShown().toStdString();

    // Saved again, the opened result is the same document.
    const json again = SaveAs("again.json");
    EXPECT_EQ(again["groups"], document["groups"]);
    EXPECT_EQ(again["search"], document["search"]);
}

TEST_F(ResultFileTest, AResultOfParvexCliOpensAndTheBulkCommandsActOnIt) {
    Search();
    const QStringList texts = TreeTexts();
    const json own = SaveAs("window.json");

    const json written =
        CliResult(output.Root(), {QString::fromStdString(tree.Root())}, "cli.json");
    // One format: the window writes the groups as parvex-cli does.
    EXPECT_EQ(GroupsUnmarked(own), GroupsUnmarked(written));

    window.ResultModel->Clear();
    OpenFrom(output.Path("cli.json"));
    EXPECT_EQ(TreeTexts(), texts);
    EXPECT_TRUE(modals.Shown.empty()) << AllShown().toStdString();

    Press(Qt::Key_4, Qt::ControlModifier);
    Press(Qt::Key_F8, Qt::ShiftModifier);
    ASSERT_EQ(sure->Questions.size(), 1u);
    int left = 0;
    for (const char* path : {"a/one.txt", "b/one.txt", "c/one.txt", "d/one.txt"})
        left += TTempTree::Exists(tree.Path(path)) ? 1 : 0;
    EXPECT_EQ(left, 1);
    EXPECT_EQ(TTempTree::Exists(tree.Path("a/two.dat")) + TTempTree::Exists(tree.Path("b/two.dat")),
              1);
    EXPECT_EQ(window.ResultModel->Result().FileCount(), 2u);
}

TEST_F(ResultFileTest, ARelativeResultOfParvexCliOpensFromAnotherWorkingFolder) {
    Search();
    const QStringList texts = TreeTexts();
    const json written = CliResult(tree.Root(), {QStringLiteral(".")}, "relative.json");
    EXPECT_EQ(written["search"]["start_folder"], "./");
    EXPECT_EQ(written["search"]["working_folder"], tree.Root());

    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(output.Root())));
    window.ResultModel->Clear();
    OpenFrom(output.Path("relative.json"));
    const QStringList opened = TreeTexts();
    ASSERT_TRUE(QDir::setCurrent(before));
    // The paths as written, after the working folder: "./" stays, as the file system reads it.
    QStringList expected = texts;
    expected.replaceInStrings(QString::fromStdString(tree.Root()),
                              QString::fromStdString(tree.Root()) + QStringLiteral("./"));
    EXPECT_EQ(opened, expected) << opened.join('\n').toStdString();
    EXPECT_TRUE(modals.Shown.empty()) << AllShown().toStdString();

    Press(Qt::Key_4, Qt::ControlModifier);
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(sure->Questions.size(), 1u);
    EXPECT_EQ(window.ResultModel->Result().FileCount(), 2u);
    EXPECT_EQ(TTempTree::Exists(tree.Path("a/two.dat")) + TTempTree::Exists(tree.Path("b/two.dat")),
              1);
}

TEST_F(ResultFileTest, FilesOutsideTheStartFolderAreShownSoAndEveryCommandOnThemAsksFirst) {
    const std::string inside = tree.File("new/x.jpg", "picture");
    tree.File("old/x.jpg", "picture");
    tree.File("old/c/x.jpg", "picture");
    window.Edit_ft->setText(QStringLiteral("*.jpg;../old/*.jpg"));
    window.Edit_root->setText(QString::fromStdString(tree.Path("new/")));
    window.Ocompearer1btn_startClick();
    const std::vector<std::string> outside = {tree.Path("new/../old/x.jpg"),
                                              tree.Path("new/../old/c/x.jpg")};
    const QStringList texts = TreeTexts();
    for (const std::string& path : {inside, outside[0], outside[1]}) {
        const bool away = path.find("/../") != std::string::npos;
        EXPECT_TRUE(
            texts.contains(QStringLiteral("  ") + QString::fromStdString(path) +
                           (away ? QStringLiteral("  (outside the start folder)") : QString())))
            << path << "\n"
            << texts.join('\n').toStdString();
    }

    // One question before a command acts on one, No its default; No leaves it be.
    int moves = 0;
    window.ChooseMoveDestination = [&moves](const QString&, const QString&, const QString&) {
        ++moves;
        return QString();
    };
    sure->Answer = false;
    const auto [group, file] = PlaceOf(outside[0]);
    ASSERT_GE(group, 0);
    for (const int key : {Qt::Key_F8, Qt::Key_F6}) {
        Select(group, file);
        Press(key);
    }
    ASSERT_EQ(sure->Questions.size(), 2u);
    for (std::size_t q = 0; q < 2; ++q) {
        EXPECT_TRUE(sure->Questions[q].startsWith(QStringLiteral("1 file is outside the start "
                                                                 "folder of this result")))
            << sure->Questions[q].toStdString();
        EXPECT_TRUE(sure->NoWasDefault[q]);
    }
    EXPECT_EQ(moves, 0);
    EXPECT_TRUE(TTempTree::Exists(outside[0]));

    // A file inside is asked about only as ever.
    Select(PlaceOf(inside).first, PlaceOf(inside).second);
    Press(Qt::Key_F8);
    ASSERT_EQ(sure->Questions.size(), 3u);
    EXPECT_TRUE(sure->Questions[2].startsWith(QStringLiteral("Move this file to the trash?")))
        << sure->Questions[2].toStdString();

    // The bulk commands ask once for all the marked files outside, then as ever.
    Press(Qt::Key_4, Qt::ControlModifier);
    ASSERT_EQ(window.ResultModel->Result().MarkedCount(), 2u);
    Press(Qt::Key_F8, Qt::ShiftModifier);
    ASSERT_EQ(sure->Questions.size(), 4u);
    EXPECT_TRUE(sure->Questions[3].startsWith(QStringLiteral("2 files are outside the start "
                                                             "folder of this result")))
        << sure->Questions[3].toStdString();
    EXPECT_TRUE(sure->NoWasDefault[3]);
    sure->Answer = true;
    Press(Qt::Key_F8, Qt::ShiftModifier);
    ASSERT_EQ(sure->Questions.size(), 6u);
    EXPECT_TRUE(sure->Questions[5].startsWith(QStringLiteral("Move 2 marked files")))
        << sure->Questions[5].toStdString();
    for (const std::string& path : outside)
        EXPECT_FALSE(TTempTree::Exists(path)) << path;
    EXPECT_TRUE(TTempTree::Exists(inside));
}

// A document of `groups` groups of two files each (none of them on disk) in the output folder.
std::string LargeDocument(TTempTree& output, int groups) {
    TResultSearch search;
    search.StartFolder = "/nowhere/";
    search.Keys = {false, true, false, true};
    TJsonResult result(search);
    for (int g = 0; g < groups; ++g) {
        const std::string name = "file" + std::to_string(g) + ".txt";
        result.AddGroup(name);
        for (int copy = 0; copy < 2; ++copy) {
            TResultFileFacts file;
            file.Path = "/nowhere/" + std::to_string(copy) + "/" + name;
            file.Size = 100;
            file.Id = {1, static_cast<std::uint64_t>(2 * g + copy + 1)};
            result.AddFile(file);
        }
    }
    return output.File("large.json", result.Text(true));
}

TEST_F(ResultFileTest, OpeningShowsItsProgressAndCancelLeavesTheResultShown) {
    Search();
    const QStringList texts = TreeTexts();
    const std::string large = LargeDocument(output, 5000);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> steps;
    bool cancel = true;
    window.OnOpenProgress = [&](std::uint64_t read, std::uint64_t size) {
        steps.emplace_back(read, size);
        auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(progress, nullptr) << "no progress dialog over the window";
        if (cancel)
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    };
    OpenFrom(large);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(TreeTexts(), texts);
    EXPECT_TRUE(window.StatusPanel2->text().contains(QStringLiteral("was cancelled")))
        << window.StatusPanel2->text().toStdString();

    steps.clear();
    cancel = false;
    OpenFrom(large);
    const std::uint64_t size = std::filesystem::file_size(large);
    ASSERT_GE(steps.size(), 3u) << size << " bytes";
    EXPECT_EQ(steps.back(), std::pair(size, size));
    EXPECT_EQ(window.ResultModel->Result().GroupCount(), 5000u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ResultFileTest, AHostileFileIsRefusedWhileTheWindowServesItsMessages) {
    Search();
    const QStringList texts = TreeTexts();
    output.Fifo("fifo.json");
    output.Folder("folder.json");
    output.SparseFile("huge.json", static_cast<long long>(kResultFileSizeCap) + 1, '}');
    output.File("deep.json",
                "{\"format\": \"parvex-result\", \"x\": " + std::string(20 << 20, '['));
    const struct {
        std::string Name;
        QString Message;
        std::size_t Steps;
    } cases[] = {
        {"fifo.json", QStringLiteral("fifo.json\" cannot be read: it is not a regular file"), 0},
        {"folder.json", QStringLiteral("folder.json\" cannot be read: it is a folder"), 0},
        {"huge.json", QStringLiteral("huge.json\" cannot be read: it is larger than 4 GiB"), 0},
        // Refused at the depth limit within the first slice: the one step the window showed.
        {"deep.json",
         QStringLiteral("deep.json\" is not a Parvex result: x: lists and objects are nested "
                        "deeper than 64"),
         1},
    };
    for (const auto& c : cases) {
        std::size_t steps = 0;
        window.OnOpenProgress = [&steps](std::uint64_t, std::uint64_t) { ++steps; };
        modals.Shown.clear();
        OpenFrom(output.Path(c.Name));
        EXPECT_TRUE(Shown(c.Message)) << AllShown().toStdString();
        EXPECT_EQ(steps, c.Steps) << c.Name;
        EXPECT_EQ(TreeTexts(), texts) << c.Name;
    }
}

TEST_F(ResultFileTest, FilesChangedOrGoneSinceTheSaveAreShownSoAndNoCommandActsOnThem) {
    Search();
    SaveAs("result.json");
    // a: grown; b: its time one nanosecond later; c: gone; d as saved.
    { std::ofstream(tree.Path("a/one.txt"), std::ios::app) << "more"; }
    struct stat before {};
    ASSERT_EQ(::stat(tree.Path("b/one.txt").c_str(), &before), 0);
    struct timespec times[2] = {before.st_atim, before.st_mtim};
    times[1].tv_nsec = (times[1].tv_nsec + 1) % 1000000000;
    ASSERT_EQ(::utimensat(AT_FDCWD, tree.Path("b/one.txt").c_str(), times, 0), 0);
    ASSERT_EQ(::unlink(tree.Path("c/one.txt").c_str()), 0);

    OpenFrom(output.Path("result.json"));
    const QStringList texts = TreeTexts();
    for (const auto& [path, suffix] :
         std::vector<std::pair<std::string, QString>>{{"a/one.txt", QStringLiteral("  (changed)")},
                                                      {"b/one.txt", QStringLiteral("  (changed)")},
                                                      {"c/one.txt", QStringLiteral("  (missing)")},
                                                      {"d/one.txt", QString()}})
        EXPECT_TRUE(
            texts.contains(QStringLiteral("  ") + QString::fromStdString(tree.Path(path)) + suffix))
            << path << "\n"
            << texts.join('\n').toStdString();
    EXPECT_EQ(window.StatusSummary->text(),
              QStringLiteral("2 groups, 6 files, 22 bytes can be freed, 1 missing, 2 changed"));
    EXPECT_TRUE(
        window.StatusPanel2->text().startsWith(QStringLiteral("Opened a search of *.* in ")))
        << window.StatusPanel2->text().toStdString();

    int moves = 0;
    int opens = 0;
    window.ChooseMoveDestination = [&moves](const QString&, const QString&, const QString&) {
        ++moves;
        return QString();
    };
    window.OpenFile = [&opens](const QByteArray&) {
        ++opens;
        return true;
    };
    for (const char* path : {"a/one.txt", "c/one.txt"}) {
        const auto [group, file] = PlaceOf(tree.Path(path));
        ASSERT_GE(group, 0) << path;
        Select(group, file);
        Press(Qt::Key_F8);
        Press(Qt::Key_F6);
        Press(Qt::Key_F4);
        EXPECT_EQ(window.StatusPanel2->text(),
                  StaleRefusal(path[0] == 'a' ? TFileState::Changed : TFileState::Missing));
        EXPECT_FALSE(
            window.ResultModel->setData(Node(group, file), Qt::Checked, Qt::CheckStateRole));
    }
    EXPECT_TRUE(sure->Questions.empty());
    EXPECT_EQ(moves, 0);
    EXPECT_EQ(opens, 0);
    EXPECT_TRUE(TTempTree::Exists(tree.Path("a/one.txt")));

    // The marking rules leave them unmarked; the bulk commands find no copy left to keep for the
    // file still as saved, and act on the other group alone.
    Press(Qt::Key_4, Qt::ControlModifier);
    for (const char* path : {"a/one.txt", "b/one.txt", "c/one.txt"}) {
        const auto [group, file] = PlaceOf(tree.Path(path));
        EXPECT_NE(Node(group, file).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked)
            << path;
    }
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_TRUE(TTempTree::Exists(tree.Path("a/one.txt")));
    EXPECT_TRUE(TTempTree::Exists(tree.Path("b/one.txt")));
    EXPECT_TRUE(TTempTree::Exists(tree.Path("d/one.txt")));
    EXPECT_EQ(TTempTree::Exists(tree.Path("a/two.dat")) + TTempTree::Exists(tree.Path("b/two.dat")),
              1);
}

TEST_F(ResultFileTest, ADocumentThatIsNoResultLeavesTheResultShownAndSaysWhatIsWrong) {
    Search();
    const QStringList texts = TreeTexts();
    const std::string notJson = output.File("not.json", "{\"format\": ");
    const std::string noSearch =
        output.File("partial.json", R"({"format": "parvex-result", "version": 1})");
    OpenFrom(notJson);
    OpenFrom(noSearch);
    OpenFrom(output.Path("absent.json"));
    EXPECT_EQ(TreeTexts(), texts);
    EXPECT_TRUE(Shown(QStringLiteral("not.json\" is not a Parvex result: not JSON")))
        << AllShown().toStdString();
    EXPECT_TRUE(
        Shown(QStringLiteral("partial.json\" is not a Parvex result: search: is not an object")))
        << AllShown().toStdString();
    EXPECT_TRUE(Shown(QStringLiteral("absent.json\" cannot be read"))) << AllShown().toStdString();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Parvex"));
}

TEST_F(ResultFileTest, AFailedSaveSaysWhy) {
    Search();
    chosen = QString::fromStdString(output.Path("no-such-folder/result.json"));
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(Shown(QStringLiteral("The result cannot be saved to")) &&
                Shown(QStringLiteral("No such file or directory")))
        << AllShown().toStdString();
    EXPECT_FALSE(TTempTree::Exists(output.Path("no-such-folder")));
}

} // namespace
} // namespace parvex::test
