// Program start: --help and --version, else the application, the main window, the shared
// dialogs, the event loop.
#include "dialogs/resources.h"
#include "dialogs/settings_user.h"
#include "main/application.h"
#include "main/fmain.h"
#include "main/program_options.h"
#include "main/settings_notice.h"
#include "main/shared_dialogs.h"

#include <QIcon>

int main(int argc, char** argv) {
    if (parvex::AnswerInformationRequest(argc, argv))
        return 0;
    parvex::TParvexApplication application(argc, argv);
    parvex::InitResources();
    application.setWindowIcon(QIcon(QStringLiteral(":/parvex.png")));
    parvex::TFmain Fmain;
    Fmain.AttachDialogs(parvex::CreateSharedDialogs(&Fmain));
    Fmain.show();
    parvex::ShowSettingsNoticeWhenShown(Fmain);
    return application.exec();
}
