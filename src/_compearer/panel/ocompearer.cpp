#include "_compearer/panel/ocompearer.h"

#include "_compearer/panel/progress_text.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

namespace parvex {

TOcompearer::TOcompearer(QWidget* owner) : QWidget(owner) {
    GroupBox1 = new QGroupBox(tr("Search status"), this);
    Label_status = new QLabel(GroupBox1);
    Label_status->setWordWrap(true);
    Label_status->setFixedWidth(120);
    Label_status->setMinimumHeight(36);
    ProgressBar1 = new QProgressBar(GroupBox1);
    ProgressBar1->setRange(0, ProgressSteps);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMinimumWidth(MinimumBarWidth);
    // One line beside the status, so the panel keeps its height.
    counts_ = new QLabel(GroupBox1);
    counts_->setWordWrap(false);
    counts_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A screen reader reads the figures themselves as the name; setting it announces each change.
    counts_->setAccessibleDescription(tr("Search figures"));
    // Set, so that a long text never makes the window wider; see ShowCounts.
    counts_->setMinimumWidth(1);
    btn_start = new QPushButton(tr("Start"), GroupBox1);
    Btn_stop = new QPushButton(tr("Stop"), GroupBox1);
    Btn_stop->setEnabled(false);

    row_ = new QHBoxLayout(GroupBox1);
    row_->addWidget(Label_status);
    row_->addWidget(ProgressBar1, 1);
    row_->addWidget(counts_);
    // Keeps the buttons at the right edge while the bar is hidden.
    row_->addStretch(0);
    row_->addWidget(btn_start);
    row_->addWidget(Btn_stop);
    auto* frame = new QHBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(GroupBox1);
    setMinimumHeight(64);

    connect(btn_start, &QPushButton::clicked, this, &TOcompearer::StartPressed);
    connect(Btn_stop, &QPushButton::clicked, this, &TOcompearer::StopPressed);

    core_.OnStateChanged = [this](TSearchState state) { ShowState(state); };
    core_.OnRunningChanged = [this](bool running) {
        btn_start->setEnabled(!running);
        Btn_stop->setEnabled(running);
    };
    core_.OnProgress = [this](std::int64_t done, std::int64_t total) {
        ProgressBar1->setValue(ProgressPosition(done, total));
    };
    core_.ProcessMessages = [this] {
        ShowCounts();
        QCoreApplication::processEvents();
    };
    core_.SetState(ssIdle);
}

TOcompearer::~TOcompearer() = default;

void TOcompearer::LeaveRequestsToOwner() {
    answersRequests_ = false;
}

void TOcompearer::StartPressed() {
    Q_EMIT StartRequested();
    if (answersRequests_)
        btn_startClick();
}

void TOcompearer::StopPressed() {
    Q_EMIT StopRequested();
    if (answersRequests_)
        Btn_stopClick();
}

void TOcompearer::btn_startClick() {
    core_.Start();
}

void TOcompearer::Btn_stopClick() {
    core_.Stop();
}

int TOcompearer::ProgressPosition(std::int64_t done, std::int64_t total) {
    if (total <= 0)
        return ProgressSteps;
    // In floating point: done times the steps could overflow 64 bits for huge byte counts.
    const double fraction =
        static_cast<double>(std::clamp(done, std::int64_t{0}, total)) / static_cast<double>(total);
    return static_cast<int>(fraction * ProgressSteps);
}

void TOcompearer::ShowState(TSearchState state) {
    Label_status->clear();
    ProgressBar1->setValue(0);
    ProgressBar1->hide();
    Label_status->setText(QString::fromLatin1(SearchStateText(state)));
    if (state == ssComparing)
        ProgressBar1->show();
    // A new phase starts with its own numbers and its own width.
    counts_->setMinimumWidth(1);
    counts_->setText(ProgressText(core_.Progress(), state, QLocale()));
    counts_->setAccessibleName(counts_->text());
}

void TOcompearer::ShowCounts() {
    counts_->setText(ProgressText(core_.Progress(), core_.State, QLocale()));
    counts_->setAccessibleName(counts_->text());
    if (!counts_->isVisible())
        return;
    // Within a phase the label only widens, so that the bar beside it does not twitch at every
    // poll; it takes no more than the room up to the buttons, leaving the bar MinimumBarWidth,
    // so that the window never grows. The geometry is the one of the previous poll's layout.
    const int spacing = std::max(row_->spacing(), 0);
    const int left =
        ProgressBar1->isVisible() ? ProgressBar1->x() + MinimumBarWidth + spacing : counts_->x();
    const int room = btn_start->x() - spacing - left;
    const int wanted = std::max(counts_->minimumWidth(), counts_->sizeHint().width());
    counts_->setMinimumWidth(std::clamp(wanted, 1, std::max(room, 1)));
}

} // namespace parvex
