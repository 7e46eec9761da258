#pragma once

#include "_compearer/compearer_core.h"

#include <QWidget>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;

namespace parvex {

/// The search engine panel: status label, the search's numbers, progress bar, Start and Stop
/// around one core.
///
/// Its Start and Stop buttons raise StartRequested and StopRequested. On its own the panel
/// answers them itself (btn_startClick, Btn_stopClick); an owner that wants to decide first
/// calls LeaveRequestsToOwner and answers them with its own handlers.
class TOcompearer : public QWidget {
    Q_OBJECT
public:
    explicit TOcompearer(QWidget* owner = nullptr);
    ~TOcompearer() override;

    /// From now on Start and Stop only raise their requests; the panel no longer answers them.
    void LeaveRequestsToOwner();

    /// The engine itself: fields, file table and event slots.
    TCompearerCore& Core() { return core_; }

    /// Runs one complete search (the Start button's own handler).
    void btn_startClick();
    /// Requests a stop of the running search (the Stop button's own handler).
    void Btn_stopClick();

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label_status = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* btn_start = nullptr;
    QPushButton* Btn_stop = nullptr;

    /// Steps of the progress bar's range while comparing.
    static constexpr int ProgressSteps = 1000;
    /// The narrowest the bar gets beside a long text of numbers.
    static constexpr int MinimumBarWidth = 80;
    /// The bar position for `done` of `total` units of work.
    static int ProgressPosition(std::int64_t done, std::int64_t total);

    /// The label beside the status that shows the running search's numbers (empty when idle).
    QLabel* CountsLabel() const { return counts_; }

Q_SIGNALS:
    /// The Start button was pressed.
    void StartRequested();
    /// The Stop button was pressed.
    void StopRequested();

private:
    void ShowState(TSearchState state);
    void ShowCounts();
    void StartPressed();
    void StopPressed();

    TCompearerCore core_;
    QLabel* counts_ = nullptr;
    QHBoxLayout* row_ = nullptr;
    bool answersRequests_ = true;
};

} // namespace parvex
