#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace parvex {

/// Phase of a search; the panel shows SearchStateText() of it.
enum TSearchState { ssIdle = 0, ssScanning = 1, ssComparing = 2 };

/// The status text of a search phase ("IDLE", "FOLDER TREE SCANNING...", ...).
const char* SearchStateText(TSearchState state);

/// One whole duplicate search without any user interface: scan, compare, report through events.
class TCompearerCore {
public:
    TCompearerCore() = default;
    TCompearerCore(const TCompearerCore&) = delete;
    TCompearerCore& operator=(const TCompearerCore&) = delete;

    // Fields, with their construction values.
    TSearchState State = ssIdle;
    std::string SearchSpec;
    bool StopRequested = false;
    bool ScanSubfolders = true;
    bool AllowHidden = true;
    bool AllowSystem = true;
    bool AllowReadOnly = true;
    bool CaseSensitiveNames = false;
    bool CompareName = false;
    bool CompareSize = true;
    bool CompareTime = true;
    bool CompareContent = true;

    // The file table: four columns kept in step, one row per collected file.
    std::vector<std::string> FilePaths;
    std::vector<std::string> FileNames;
    std::vector<std::string> FileSizes;
    std::vector<std::string> FileTimes;

    // Events; an empty slot is skipped.
    std::function<void()> OnSearchStart;
    std::function<void(const std::string& Path, bool& Allowed)> OnCheckFolder;
    std::function<void(const std::string& Text, bool NewGroup)> OnFileFound;
    std::function<void()> OnSearchComplete;
    std::function<void()> OnSearchInterrupted;

    // Hooks for the panel that hosts the core.
    /// Processes pending window messages; called at least every 50 ms during a search.
    std::function<void()> ProcessMessages;
    /// Called by SetState after State changed.
    std::function<void(TSearchState)> OnStateChanged;
    /// Comparison progress: work done of work total (both grow monotonic, done reaches total).
    std::function<void(std::int64_t done, std::int64_t total)> OnProgress;

    /// Called with true before OnSearchStart and with false once the search is back in ssIdle
    /// (also when it ends by an error), before the completion event: the panel's buttons.
    std::function<void(bool running)> OnRunningChanged;

    /// Runs one complete search; an error escaping it propagates after the state is reset.
    void Start();
    /// Asks a running search to stop at its next poll.
    void Stop() { StopRequested = true; }

    void SetState(TSearchState state);
    void ClearFileTable();
    void ScanSearchSpec(const std::string& spec);
    void GroupIdentical();
};

} // namespace parvex
