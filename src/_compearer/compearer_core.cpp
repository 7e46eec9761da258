#include "_compearer/compearer_core.h"

#include "_compearer/content_splitter.h"

#include <algorithm>
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
    // Assigning fresh vectors gives the memory of a big earlier table back.
    FilePaths = {};
    FileNames = {};
    FileSizes = {};
    FileTimes = {};
    FileIds = {};
    FileNamesFound = {};
    FileLinkCounts = {};
    FileOtherNames = {};
    OtherNames = {};
    FileModifiedNs = {};
}

bool TCompearerCore::AllNamesFound(std::size_t row) const {
    // A table filled by hand may lack the columns: its rows count as files of one name.
    const std::uint32_t names = row < FileNamesFound.size() ? FileNamesFound[row] : 1;
    const std::uint32_t links = row < FileLinkCounts.size() ? FileLinkCounts[row] : 1;
    return names >= links;
}

void TCompearerCore::AddOtherName(std::uint32_t row, std::string path) {
    if (path == FilePaths[row])
        return;
    if (FileOtherNames[row] != 0) {
        const std::vector<std::string>& others = OtherNames[FileOtherNames[row] - 1];
        if (std::find(others.begin(), others.end(), path) != others.end())
            return;
    } else {
        OtherNames.emplace_back();
        FileOtherNames[row] = std::uint32_t(OtherNames.size());
    }
    OtherNames[FileOtherNames[row] - 1].push_back(std::move(path));
    ++FileNamesFound[row];
}

void TCompearerCore::ReportSkipped(const std::string& path, int error) {
    if (OnSkipped)
        OnSkipped(path, std::strerror(error));
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
