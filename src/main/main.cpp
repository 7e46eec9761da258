// Program start: --help and --version, else the application, the main window, the shared
// dialogs, the command line carried out on the shown window, the event loop.
#include "dialogs/resources.h"
#include "dialogs/settings_user.h"
#include "main/application.h"
#include "main/fmain.h"
#include "main/program_options.h"
#include "main/program_start.h"
#include "main/settings_notice.h"
#include "main/shared_dialogs.h"

#include <QIcon>
#include <QTimer>

int main(int argc, char** argv) {
    if (parvex::AnswerInformationRequest(argc, argv))
        return 0;
    parvex::TParvexApplication application(argc, argv);
    // The application has taken Qt's own options out of argv; the rest are read as bytes.
    const parvex::TProgramCommand command =
        parvex::ParseProgramArguments(parvex::ArgumentBytes(argc, argv));
    parvex::InitResources();
    application.setWindowIcon(QIcon(QStringLiteral(":/parvex.png")));
    parvex::TFmain Fmain;
    Fmain.AttachDialogs(parvex::CreateSharedDialogs(&Fmain));
    Fmain.show();
    parvex::ShowSettingsNoticeWhenShown(Fmain);
    parvex::TProgramStart start(Fmain);
    QTimer::singleShot(0, &Fmain, [&start, &command] { start.CarryOut(command); });
    return application.exec();
}
