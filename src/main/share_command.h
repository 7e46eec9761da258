#pragma once

#include "main/result_data.h"

#include <QString>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace parvex {

class TActionRun;

/// True when a marked file of `result` lies on a file system that can share storage; each
/// device is asked once.
bool AnyMarkedCanShare(const TResultData& result);

/// "Share storage of marked files..." apart from the window: the plan for the marked files of a
/// result (the marks followed, protected folders skipped), its question, and its run one file
/// at a time through the actions library, which logs each file shared.
class TShareCommand {
public:
    /// The plan for the marked files of `result` as it is now.
    TShareCommand(const TResultData& result, std::vector<std::string> protectedFolders);
    ~TShareCommand();
    TShareCommand(const TShareCommand&) = delete;
    TShareCommand& operator=(const TShareCommand&) = delete;

    /// The exact paths of the marked files.
    std::vector<std::string> MarkedPaths() const;
    /// The one question asked before anything is done.
    QString Question() const;
    /// Starts the run, logging to the actions log `logFile`.
    void Start(const std::string& logFile);
    /// Shares the next file; false when none was left.
    bool Step();
    std::size_t Total() const;
    std::size_t Handled() const;
    /// The run once started.
    const TActionRun& Run() const;
    /// The files the run left sharing storage with the copy that stays (shared by it, or
    /// already before), as `result`, the one the command was made for, names them.
    std::vector<TSharingFile> SharingFiles(const TResultData& result) const;

private:
    struct TParts;
    std::unique_ptr<TParts> parts_;
};

} // namespace parvex
