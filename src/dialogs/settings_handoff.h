#pragma once

#include "dialogs/help_topic.h"
#include "dialogs/search_status.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

class QLineEdit;

namespace parvex {

class TCompearerCore;
class TD_settings_user;
class TF_about;
class TF_ft;
class TFsure;

/// The settings dialog on the program's own settings file (beside the program, or per user).
std::unique_ptr<TD_settings_user> CreateUserSettings();

/// The help folder of the running program: "../docs" from the working directory, else the
/// docs installed with it.
QString LocateProgramDocs();

/// Joins the shared dialogs to the settings: the mask history goes into its store, removals ask
/// Sure, the Help buttons reach the main window's help, the about box's address is the help index.
void ConnectSettingsDialogs(TD_settings_user& Settings, TF_ft& MaskDialog, TF_about& About,
                            TFsure& Sure, const QString& DocsDir,
                            const std::function<void(const QString& topic)>& ShowHelpTopic);

/// Sets the engine's CompareName, CompareSize, CompareTime, CompareContent, in this order, from
/// the dialog's keys "name", "size", "time", "content".
void ApplyCompareKeys(const TD_settings_user& Settings, TCompearerCore& Core);

/// Edit_root := the default start folder, then the window's NormalizeStartPath, then the keys.
void ApplyUserSettings(TD_settings_user& Settings, QLineEdit& Edit_root,
                       const std::function<void()>& NormalizeStartPath, TCompearerCore& Core);

/// The engine's folder question: a folder is entered unless it is an excluded one.
bool FolderAllowed(const TD_settings_user& Settings, const std::string& Path);

/// "Settings...": the dialog on its page "Main", then the window takes the settings again.
void RunSettingsCommand(TD_settings_user& Settings, const std::function<void()>& ApplyUserSettings);

/// "Keys to compare": the page "Compare keys", then status stChanged whatever changed, then the
/// keys.
void RunCompareKeysCommand(TD_settings_user& Settings,
                           const std::function<void(TSearchStatus status)>& SetSearchStatus,
                           TCompearerCore& Core);

/// The "..." of the file mask: Edit_ft := the mask chosen, or its own text when cancelled.
void RunFileMaskCommand(TF_ft& MaskDialog, QLineEdit& Edit_ft);

} // namespace parvex
