#include "main/result_loader.h"

#include "main/result_of_document.h"
#include "result_file/json_result_reader.h"

#include <QCollator>
#include <QEventLoop>
#include <QLocale>
#include <QProgressDialog>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace parvex {

namespace {

// How many bytes the worker reads between two steps the window shows.
constexpr std::uint64_t kSlice = std::uint64_t(1) << 20;

// The progress dialog's range is an int: sizes are shown in slices.
int SliceCount(std::uint64_t bytes) {
    return static_cast<int>((bytes + kSlice - 1) / kSlice);
}

// The meeting point of the worker and the window: the worker hands over a step and waits until
// the window has shown it or the user cancelled.
class THandOver {
public:
    void Offer(QProgressDialog& dialog, std::uint64_t read, std::uint64_t size,
               const std::function<void(std::uint64_t, std::uint64_t)>& onProgress) {
        std::unique_lock lock(mutex_);
        shown_ = false;
        QMetaObject::invokeMethod(
            &dialog,
            [this, &dialog, read, size, &onProgress] {
                dialog.setMaximum(SliceCount(size));
                dialog.setValue(SliceCount(read));
                if (onProgress)
                    onProgress(read, size);
                Shown();
            },
            Qt::QueuedConnection);
        seen_.wait(lock, [this] { return shown_ || Cancel.load(); });
    }
    void CancelNow() {
        {
            const std::lock_guard lock(mutex_);
            Cancel = true;
        }
        seen_.notify_all();
    }

    std::atomic<bool> Cancel = false;

private:
    void Shown() {
        {
            const std::lock_guard lock(mutex_);
            shown_ = true;
        }
        seen_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable seen_;
    bool shown_ = false;
};

// Reads and builds the result on the worker's thread.
void Load(TLoadedResult& loaded, const std::string& path, const std::string& thisHost,
          const TResultReadControl& control) {
    try {
        loaded.Document = ReadJsonResultFile(path, control);
        loaded.Data = ResultOfDocument(loaded.Document, QCollator(QLocale()), thisHost);
        std::vector<TResultGroupFacts>().swap(loaded.Document.Groups);
        // A Cancel pressed after the last byte was read still leaves the result shown as it is.
        loaded.Outcome = control.Cancel->load() ? TLoadedResult::TOutcome::Cancelled
                                                : TLoadedResult::TOutcome::Opened;
    } catch (const EResultFileCancelled&) {
        loaded.Outcome = TLoadedResult::TOutcome::Cancelled;
    } catch (const EResultFileUnreadable& error) {
        loaded.Outcome = TLoadedResult::TOutcome::Unreadable;
        loaded.Reason = QString::fromLocal8Bit(error.what());
    } catch (const EResultFileError& error) {
        loaded.Outcome = TLoadedResult::TOutcome::Refused;
        loaded.Reason = QString::fromUtf8(error.what());
    } catch (const std::exception& error) {
        // Such as memory running out: the worker's end, never the program's.
        loaded.Outcome = TLoadedResult::TOutcome::Unreadable;
        loaded.Reason = QString::fromLocal8Bit(error.what());
    }
}

} // namespace

TLoadedResult LoadResultFile(QWidget* parent, const std::string& path, const std::string& thisHost,
                             const std::function<void(std::uint64_t, std::uint64_t)>& onProgress) {
    QProgressDialog dialog(QStringLiteral("Opening the result..."), QStringLiteral("Cancel"), 0, 0,
                           parent);
    dialog.setWindowTitle(QStringLiteral("Parvex"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    // Shown at once: being modal, it keeps the window's commands from acting meanwhile.
    dialog.setMinimumDuration(0);
    dialog.show();
    THandOver handOver;
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog,
                     [&handOver] { handOver.CancelNow(); });

    TResultReadControl control;
    control.Cancel = &handOver.Cancel;
    std::uint64_t nextStep = 0;
    control.Progress = [&](std::uint64_t read, std::uint64_t size) {
        if (read < nextStep && read < size)
            return;
        nextStep = read + kSlice;
        handOver.Offer(dialog, read, size, onProgress);
    };

    TLoadedResult loaded;
    QEventLoop loop;
    std::thread worker([&] {
        Load(loaded, path, thisHost, control);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return loaded;
}

} // namespace parvex
