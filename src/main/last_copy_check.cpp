#include "main/last_copy_check.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <atomic>
#include <chrono>
#include <future>

namespace parvex {

namespace {

// Steps of the progress bar: fine enough for a slow disk, coarse enough for an int.
constexpr int kSteps = 1000;

} // namespace

TLastCopyVerdict CheckLastCopyWithProgress(QWidget& owner, const std::string& path,
                                           const std::vector<std::string>& others,
                                           const std::function<void(QProgressDialog&)>& onLook) {
    QProgressDialog progress(QStringLiteral("Comparing the file with the other files of its "
                                            "group..."),
                             QStringLiteral("Cancel"), 0, kSteps, &owner);
    progress.setWindowTitle(QStringLiteral("Parvex"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    // A small group is compared before the dialog would show: no flicker for it.
    progress.setMinimumDuration(400);
    progress.setValue(0);
    if (onLook)
        onLook(progress);

    std::atomic<bool> stop{progress.wasCanceled()};
    std::atomic<std::int64_t> done{0};
    std::atomic<std::int64_t> total{0};
    std::future<TLastCopyVerdict> verdict = std::async(std::launch::async, [&] {
        return DecideLastCopy(path, others, [&](std::int64_t d, std::int64_t t) {
            done = d;
            total = t;
            return !stop.load();
        });
    });
    while (verdict.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        const std::int64_t all = total.load();
        progress.setValue(all > 0 ? static_cast<int>(done.load() * kSteps / all) : 0);
        // Until the dialog shows, which blocks input to the window, the user's keys wait.
        QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents);
        if (onLook)
            onLook(progress);
        if (progress.wasCanceled())
            stop = true;
    }
    return verdict.get();
}

} // namespace parvex
