#include "dialogs/settings_handoff.h"

#include "_compearer/compearer_core.h"
#include "dialogs/about.h"
#include "dialogs/ft.h"
#include "dialogs/settings_user.h"
#include "platform/executable_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>

namespace parvex {

std::unique_ptr<TD_settings_user> CreateUserSettings() {
    return std::make_unique<TD_settings_user>(DefaultSettingsFileName(), nullptr,
                                              DefaultUserSettingsFileName());
}

QString LocateProgramDocs() {
    return LocateDocs(QDir::currentPath(),
                      InstalledDocsDir(QCoreApplication::applicationDirPath()));
}

void ConnectSettingsDialogs(TD_settings_user& Settings, TF_ft& MaskDialog, TF_about& About,
                            TFsure& Sure, const QString& DocsDir,
                            const std::function<void(const QString& topic)>& ShowHelpTopic) {
    MaskDialog.SetStore(&Settings);
    Settings.Fsure = &Sure;
    Settings.ShowHelpTopic = ShowHelpTopic;
    MaskDialog.ShowHelpTopic = ShowHelpTopic;
    About.MakerAddress = QUrl::fromLocalFile(HelpTopicPath(DocsDir, QStringLiteral("index")));
}

void ApplyCompareKeys(const TD_settings_user& Settings, TCompearerCore& Core) {
    Core.SetKeys(Settings.CheckedKeys());
}

void ApplyUserSettings(TD_settings_user& Settings, QLineEdit& Edit_root,
                       const std::function<void()>& NormalizeStartPath, TCompearerCore& Core) {
    Edit_root.setText(Settings.GetDefaultPath());
    if (NormalizeStartPath)
        NormalizeStartPath();
    ApplyCompareKeys(Settings, Core);
}

bool FolderAllowed(const TD_settings_user& Settings, const std::string& Path) {
    return !Settings.IsExcluded(QFile::decodeName(QByteArray::fromStdString(Path)));
}

void RunSettingsCommand(TD_settings_user& Settings,
                        const std::function<void()>& ApplyUserSettings) {
    Settings.ShowPage(Settings.TabSheet1);
    if (ApplyUserSettings)
        ApplyUserSettings();
}

void RunCompareKeysCommand(TD_settings_user& Settings,
                           const std::function<void(TSearchStatus status)>& SetSearchStatus,
                           TCompearerCore& Core) {
    Settings.ShowPage(Settings.TabSheet_keys);
    if (SetSearchStatus)
        SetSearchStatus(TSearchStatus::stChanged);
    ApplyCompareKeys(Settings, Core);
}

void RunFileMaskCommand(TF_ft& MaskDialog, QLineEdit& Edit_ft) {
    Edit_ft.setText(MaskDialog.ChooseMask(Edit_ft.text()));
}

} // namespace parvex
