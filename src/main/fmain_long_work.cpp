// Long work of the main window on the desktop: sleep waits while a search or a bulk command
// runs, and a long search that ends while the user looks elsewhere is told by a notice.
#include "main/fmain.h"
#include "main/status_field.h"
#include "platform/desktop/sleep_inhibitor.h"

#include <QDBusConnection>

namespace parvex {

void TFmain::HoldSleep(const QString& reason) {
    if (sleepInhibitor_ == nullptr)
        sleepInhibitor_ =
            new TSleepInhibitor(QDBusConnection::systemBus(), QDBusConnection::sessionBus(), this);
    sleepInhibitor_->Hold(reason);
}

void TFmain::ReleaseSleep() {
    if (sleepInhibitor_ != nullptr)
        sleepInhibitor_->Release();
}

void TFmain::SearchEndedNotice(TSearchStatus status) {
    const QString summary = status == TSearchStatus::stComplete ? QStringLiteral("Search complete")
                                                                : QStringLiteral("Search stopped");
    const QString body =
        HasResults() ? StatusSummary->text() : QStringLiteral("No identical files found.");
    searchEndNotice_.Ended(isActiveWindow(), summary, body);
}

} // namespace parvex
