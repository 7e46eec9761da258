#include "_compearer/compearer_core.h"

#include "_compearer/content_splitter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace parvex {

namespace {

double Seconds(TCompearerCore::TClock::duration span) {
    return std::chrono::duration<double>(span).count();
}

} // namespace

const char* SearchStateText(TSearchState state) {
    switch (state) {
    case ssScanning:
        return "FOLDER TREE SCANNING...";
    case ssComparing:
        return "LOOKING FOR IDENTICAL FILES...";
    case ssIdle:
        break;
    }
    return "IDLE";
}

void TCompearerCore::Start() {
    // The buttons keep a second search out; this guards callers that have no buttons.
    if (running_)
        return;
    running_ = true;
    Figures = {};
    progress_ = {};
    comparing_ = false;
    // Back to idle and the buttons reset, whether the search ended normally or by an error.
    const auto finish = [this] {
        running_ = false;
        SetState(ssIdle);
        if (OnRunningChanged)
            OnRunningChanged(false);
    };
    try {
        if (OnRunningChanged)
            OnRunningChanged(true);
        if (OnSearchStart)
            OnSearchStart();
        lastPoll_ = Now();
        SetState(ssScanning);
        ClearFileTable();
        const auto scanStart = Now();
        ScanSearchSpec(SearchSpec);
        Figures.ScanSeconds = Seconds(Now() - scanStart);
        Figures.FilesCollected = static_cast<std::int64_t>(FilePaths.size());
        Figures.TableBytes = static_cast<std::int64_t>(TableBytes());
        progress_.FilesCollected = Figures.FilesCollected;

        SetState(ssComparing);
        GroupIdentical();
        Figures.CompareSeconds = Seconds(Now() - compareStart_);
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (StopRequested) {
        if (OnSearchInterrupted)
            OnSearchInterrupted();
    } else if (OnSearchComplete) {
        OnSearchComplete();
    }
}

void TCompearerCore::SetState(TSearchState state) {
    State = state;
    if (OnStateChanged)
        OnStateChanged(state);
}

void TCompearerCore::SetKeys(const TCompareKeys& keys) {
    CompareName = keys.Name;
    CompareSize = keys.Size;
    CompareTime = keys.Time;
    CompareContent = keys.Content;
}

void TCompearerCore::ClearFileTable() {
    FilePaths.Clear();
    FileSizes.clear();
    FileTimes.Clear();
    FileIds.Clear();
    FileLinks.Clear();
    FileModifiedNs.clear();
    FileChangedNs.clear();
    distinctRows_ = 0;
}

void TCompearerCore::AddFile(const TFileRow& file) {
    FileLinks.AddRow(FilePaths.size(), file.LinkCount);
    FilePaths.Add(file.Folder, file.Name);
    FileSizes.push_back(file.Size);
    FileTimes.push_back(file.Time);
    FileIds.push_back(file.Id);
    FileModifiedNs.push_back(file.ModifiedNs);
    FileChangedNs.push_back(file.ChangedNs);
}

std::size_t TCompearerCore::TableBytes() const {
    return FilePaths.Bytes() + FileSizes.Bytes() + FileTimes.Bytes() + FileIds.Bytes() +
           FileLinks.Bytes() + FileModifiedNs.Bytes() + FileChangedNs.Bytes();
}

void TCompearerCore::MoveRow(std::size_t from, std::size_t to) {
    FilePaths.MoveRow(from, to);
    FileSizes[to] = FileSizes[from];
    FileTimes.MoveRow(from, to);
    FileIds.MoveRow(from, to);
    FileLinks.MoveRow(from, to);
    FileModifiedNs[to] = FileModifiedNs[from];
    FileChangedNs[to] = FileChangedNs[from];
}

void TCompearerCore::TruncateRows(std::size_t rows) {
    FilePaths.Truncate(rows);
    FileSizes.resize(rows);
    FileTimes.Truncate(rows);
    FileIds.Truncate(rows);
    FileLinks.Truncate(rows);
    FileModifiedNs.resize(rows);
    FileChangedNs.resize(rows);
}

bool TCompearerCore::AllNamesFound(std::size_t row) const {
    return FileLinks.NamesFound(row) >= FileLinks.LinkCount(row);
}

void TCompearerCore::AddOtherName(std::uint32_t row, std::string path) {
    if (!FilePaths.Equals(row, path))
        FileLinks.AddOtherName(row, std::move(path));
}

void TCompearerCore::ReportSkipped(const std::string& path, int error) {
    // Descriptors run short for a search only once it is stopped: it leaves the rest unread.
    if (StopRequested && (error == EMFILE || error == ENFILE))
        return;
    if (OnSkipped)
        OnSkipped(path, std::strerror(error));
}

void TCompearerCore::ReportChanged(std::uint32_t row) {
    // Left out of its set's classes and of what is remembered, as a file not read.
    unreadableInSet_.push_back(row);
    if (OnSkipped)
        OnSkipped(FilePaths[row], ChangedReason);
}

TDescriptorGrant TCompearerCore::TakeDescriptors(std::size_t least, std::size_t most) {
    TDescriptorBudget& budget = TDescriptorBudget::Process();
    for (;;) {
        if (TDescriptorGrant grant = budget.TryTake(least, most))
            return grant;
        if (StopRequested)
            return {};
        budget.WaitForReturn(PollInterval);
        Poll();
    }
}

void TCompearerCore::PollNow(TClock::time_point now) {
    UpdateProgress(now);
    if (State == ssComparing && OnProgress && progressDone_ != progressReported_) {
        progressReported_ = progressDone_;
        OnProgress(progressDone_, progressTotal_);
    }
    if (ProcessMessages)
        ProcessMessages();
    // Measured after the messages, so a slow receiver does not make every step poll.
    lastPoll_ = Now();
}

void TCompearerCore::UpdateProgress(TClock::time_point now) {
    if (!comparing_) {
        progress_.FilesCollected = static_cast<std::int64_t>(FilePaths.size());
        return;
    }
    progress_.CompareSeconds = Seconds(now - compareStart_);
    progress_.FilesSettled = settledUnread_;
    if (readCounts_) {
        const TReadCounts counts = readCounts_();
        progress_.FilesSettled += counts.RowsSettled;
        progress_.BytesRead = counts.BytesRead;
    }
}

void TCompearerCore::AddProgress(std::int64_t work) {
    progressDone_ = std::min(progressTotal_, progressDone_ + work);
}

} // namespace parvex
