#pragma once

#include "_compearer/compearer_core.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace parvex {

/// The search engine panel: status label, progress bar, Start and Stop around one core.
class TOcompearer : public QWidget {
    Q_OBJECT
public:
    explicit TOcompearer(QWidget* owner = nullptr);
    ~TOcompearer() override;

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
    /// The bar position for `done` of `total` units of work.
    static int ProgressPosition(std::int64_t done, std::int64_t total);

private:
    void ShowState(TSearchState state);

    TCompearerCore core_;
};

} // namespace parvex
