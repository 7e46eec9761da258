// Writes the result document of a search run in the real main window, all but the first file
// found in each group marked, for the schema check of the result file.
// usage: window_result_sample START_FOLDER OUTPUT
#include "_compearer/panel/ocompearer.h"
#include "dialogs/settings_user.h"
#include "main/fmain.h"
#include "support/temp_tree.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <memory>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3)
        return 2;
    parvex::testing::TTempTree settings;
    parvex::TFmain window(std::make_unique<parvex::TD_settings_user>(settings.Path("parvex.set")));
    window.Ocompearer1->Core().SetKeys({false, true, false, true});
    window.Edit_ft->setText(QStringLiteral("*.*"));
    window.Edit_root->setText(QFile::decodeName(argv[1]));
    window.Ocompearer1btn_startClick();
    window.MarkAllButOneClick({parvex::TKeepRule{parvex::TKeepRuleKind::First, {}}});
    return window.SaveResult(QFile::decodeName(argv[2])) ? 0 : 1;
}
