// Times the bulk clearing of a large result in the main window: 10,000 files of 4 KiB in 5,000
// groups, written just before (so the cache is warm), one mark rule ("all but the first found")
// and one command that moves the marked 5,000 files to the trash, confirmed once. The files and
// the home trash share one temporary folder, so the trash is on the files' file system.
#include "_compearer/panel/ocompearer.h"
#include "dialogs/settings_user.h"
#include "dialogs/sure.h"
#include "main/fmain.h"
#include "main/result_model.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <memory>
#include <string>

namespace {

// Answers every question Yes without showing it.
class TYes : public parvex::TFsure {
public:
    bool Ask(const QString&) override { return true; }
    bool AskInFull(const QString&, bool) override { return true; }
};

void WriteGroups(const std::string& root, int groups) {
    for (int g = 0; g < groups; ++g) {
        std::string content(4096, static_cast<char>('a' + g % 26));
        content.replace(0, std::to_string(g).size(), std::to_string(g));
        for (const char* copy : {"a/", "b/"}) {
            std::ofstream(root + copy + std::to_string(g) + ".dat", std::ios::binary) << content;
        }
    }
}

void ReportGroups(parvex::TFmain& window, const std::string& root, int groups) {
    window.SearchStarted();
    for (int g = 0; g < groups; ++g) {
        const std::string name = std::to_string(g) + ".dat";
        window.FoundHandler(name, true);
        for (const char* copy : {"a/", "b/"})
            window.FoundHandler(root + copy + name, false);
    }
    window.SearchCompleted();
}

void MarkAndTrash(benchmark::State& state) {
    const int groups = static_cast<int>(state.range(0));
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral(".local/share"))));
    parvex::TFmain window(std::make_unique<parvex::TD_settings_user>(
        QFile::encodeName(home.filePath(QStringLiteral("parvex.set"))).toStdString()));
    parvex::TSharedDialogs dialogs;
    dialogs.Fsure = new TYes;
    dialogs.Fsure->setParent(&window);
    window.AttachDialogs(dialogs);
    window.Ocompearer1->Core().SetKeys({false, true, false, true});
    window.show();
    const std::string root =
        QFile::encodeName(home.filePath(QStringLiteral("files/"))).toStdString();
    for (auto _ : state) {
        state.PauseTiming();
        QDir(home.filePath(QStringLiteral("files"))).removeRecursively();
        QDir(home.filePath(QStringLiteral(".local/share/Trash"))).removeRecursively();
        QDir().mkpath(home.filePath(QStringLiteral("files/a")));
        QDir().mkpath(home.filePath(QStringLiteral("files/b")));
        WriteGroups(root, groups);
        ReportGroups(window, root, groups);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        window.MarkAllButOneClick({parvex::TKeepRule{parvex::TKeepRuleKind::First, {}}});
        window.ActOnMarked(parvex::TActionKind::Trash);
        state.PauseTiming();
        if (window.ResultModel->Result().FileCount() != static_cast<std::size_t>(groups))
            state.SkipWithError("not every marked file went to the trash");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * groups);
}

} // namespace

BENCHMARK(MarkAndTrash)
    ->Arg(5000)
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();
