#include "main/program_options.h"

#include "dialogs/help_topic.h"
#include "platform/executable_path.h"
#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace parvex {

namespace {

QString Decoded(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

TProgramRequest ProgramRequestOf(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return TProgramRequest::Help;
        if (argument == QLatin1String("--version"))
            return TProgramRequest::Version;
    }
    return TProgramRequest::Window;
}

QString ProgramHelpText(const QString& settingsFile, const QString& helpFolder) {
    return QStringLiteral(
               "usage: parvex [--help | --version]\n"
               "\n"
               "Opens the Parvex window: it finds identical files below a start folder and lets\n"
               "you open, move or trash the copies. Qt's own options, such as -platform NAME,\n"
               "are accepted as well.\n"
               "\n"
               "  --help, -h  show this text and exit\n"
               "  --version   show the version and exit\n"
               "\n"
               "Files:\n"
               "  settings    %1\n"
               "  help pages  %2\n")
        .arg(settingsFile, helpFolder);
}

QString ProgramVersionText() {
    return QStringLiteral("parvex " PARVEX_VERSION "\n");
}

bool AnswerInformationRequest(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString text;
    switch (ProgramRequestOf(arguments)) {
    case TProgramRequest::Window:
        return false;
    case TProgramRequest::Version:
        text = ProgramVersionText();
        break;
    case TProgramRequest::Help: {
        // The same answers the window finds at start; naming the settings file creates nothing.
        const std::string executable = ExecutablePath();
        text = ProgramHelpText(
            Decoded(SettingsFileNameFor(executable, UserConfigHome())),
            LocateDocs(QDir::currentPath(), InstalledDocsDir(Decoded(FolderOf(executable)))));
        break;
    }
    }
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    return true;
}

} // namespace parvex
