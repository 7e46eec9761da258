#include "main/settings_notice.h"

#include "dialogs/msg.h"
#include "dialogs/settings_user.h"
#include "main/fmain.h"

#include <QTimer>

namespace parvex {

void ShowSettingsNoticeWhenShown(TFmain& Window) {
    QTimer::singleShot(0, &Window, [&Window] {
        TD_settings_user* settings = Window.D_settings_user.get();
        if (settings == nullptr) {
            return;
        }
        const QString problem = settings->LoadProblemText();
        if (!problem.isEmpty() && Window.Dialogs.Dmsg != nullptr) {
            Window.Dialogs.Dmsg->ShowText(problem);
        }
        settings->ReportSaveFailure();
    });
}

} // namespace parvex
