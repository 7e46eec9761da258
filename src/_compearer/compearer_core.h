#pragma once

#include "_compearer/chunked_column.h"
#include "_compearer/compare_keys.h"
#include "_compearer/content_memory.h"
#include "_compearer/descriptor_budget.h"
#include "_compearer/file_id_column.h"
#include "_compearer/file_row.h"
#include "_compearer/link_table.h"
#include "_compearer/name_column.h"
#include "_compearer/path_column.h"
#include "_compearer/row_index.h"
#include "_compearer/search_progress.h"
#include "_compearer/time_code_column.h"
#include "platform/batched_reads.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parvex {

class TContentRecall;

/// Phase of a search; the panel shows SearchStateText() of it.
enum TSearchState { ssIdle = 0, ssScanning = 1, ssComparing = 2 };

/// The status text of a search phase ("IDLE", "FOLDER TREE SCANNING...", ...).
const char* SearchStateText(TSearchState state);

/// Figures of the last search, for reports such as the command line's statistics.
struct TSearchFigures {
    std::int64_t FilesCollected = 0;   ///< rows the scan put into the file table
    std::int64_t Groups = 0;           ///< groups reported
    std::int64_t FilesInGroups = 0;    ///< file lines reported (heads included)
    std::int64_t ContentBytesRead = 0; ///< bytes read for the content comparison
    std::int64_t FilesRead = 0;        ///< candidate files whose bytes were compared
    std::int64_t FilesRecalled = 0;    ///< candidate files whose class Memory knew
    std::int64_t TableBytes = 0;       ///< bytes the file table held when the scan ended
    double ScanSeconds = 0;            ///< time spent scanning
    double CompareSeconds = 0;         ///< time spent comparing
};

/// One whole duplicate search without any user interface: scan, compare, report through events.
/// The search itself lives in three files: this class's fields and Start in compearer_core.cpp,
/// the folder scan in scan.cpp, the comparison pass in grouping.cpp.
class TCompearerCore {
public:
    /// The clock type of Now.
    using TClock = std::chrono::steady_clock;

    TCompearerCore() = default;
    TCompearerCore(const TCompearerCore&) = delete;
    TCompearerCore& operator=(const TCompearerCore&) = delete;

    // Fields, with their construction values.
    TSearchState State = ssIdle;
    std::string SearchSpec;
    bool StopRequested = false;
    bool ScanSubfolders = true;
    bool AllowHidden = true;   ///< collect names starting with "."
    bool AllowSystem = true;   ///< no file carries a system attribute on this platform
    bool AllowReadOnly = true; ///< collect files without the owner's write permission
    /// Enter subfolders whose name starts with "."; a start folder is entered whatever its name.
    bool AllowHiddenFolders = true;
    /// The smallest and the largest size of a file the scan collects, both included: a file
    /// outside the range is no row at all.
    std::int64_t MinFileSize = 0;
    std::int64_t MaxFileSize = std::numeric_limits<std::int64_t>::max();
    /// Worker threads that read files (and walk folders) beside the calling thread; 0 lets the
    /// search choose from the devices it reads, 1 does everything on the calling thread.
    int Threads = 0;
    /// How files' bytes are read: batches of small files go to the kernel in one call where it
    /// allows (Batched), or every read is its own system call (Plain).
    TReadPath ReadPath = TReadPath::Batched;
    /// Names and paths always keep their case; while this is false the name key ignores the
    /// case of a to z.
    bool CaseSensitiveNames = false;
    bool CompareName = false;
    bool CompareSize = true;
    bool CompareTime = true;
    bool CompareContent = true;
    /// Folders kept out of the search with their subtrees, matched by identity: each is resolved
    /// once when the scan starts (a relative one from the working directory, a link followed) to
    /// its device and inode, so every spelling of a folder and every path through a link to it
    /// excludes it. Such a folder is skipped before OnCheckFolder is asked about it.
    std::vector<std::string> ExcludedFolders;
    /// What earlier searches established about content; with none every candidate is read.
    /// A file it knows unchanged keeps its class unread; the groups are those of a search
    /// without it.
    TContentMemory* Memory = nullptr;

    /// The four compare keys as one value.
    TCompareKeys Keys() const { return {CompareName, CompareSize, CompareTime, CompareContent}; }
    /// Sets CompareName, CompareSize, CompareTime and CompareContent at once.
    void SetKeys(const TCompareKeys& keys);

    // The file table: four columns kept in step, one row per collected file. Paths and names
    // are the exact bytes of the file system. The table is the largest structure of a search,
    // so it is packed: a path is its folder (stored once for all its files) and a name in an
    // arena, sizes and times are numbers in blocks of fixed size, never texts: sizes in bytes,
    // times as FileTimeCode(). Rows enter through AddFile only.
    TPathColumn FilePaths;
    TNameColumn FileNames{FilePaths};
    TChunkedColumn<std::int64_t> FileSizes;
    TTimeCodeColumn FileTimes;
    // Beside the four columns, kept in step with them: what makes a row one file. A row stands
    // for one file (device and inode) however many of its names the scan met: the first name
    // found is the row, the others are kept in FileLinks, never rows of their own.
    TFileIdColumn FileIds;
    /// Names found and link counts of the rows' files, and their other names.
    TLinkTable FileLinks;
    /// The modification time to the nanosecond (NanosecondsOf st_mtim), for reports that need
    /// more than the time code.
    TChunkedColumn<std::int64_t> FileModifiedNs;
    /// The change time to the nanosecond (st_ctim): with the id, size and modification time it
    /// tells whether a file is still the one an earlier search compared.
    TChunkedColumn<std::int64_t> FileChangedNs;

    /// Figures of the last search; reset when a search starts.
    TSearchFigures Figures;
    /// What the running search has done, as of its latest poll (ProcessMessages reads it fresh);
    /// reset when a search starts, the comparison's part also when a comparison pass starts.
    const TSearchProgress& Progress() const { return progress_; }

    // Events; an empty slot is skipped.
    std::function<void()> OnSearchStart;
    std::function<void(const std::string& Path, bool& Allowed)> OnCheckFolder;
    std::function<void(const std::string& Text, bool NewGroup)> OnFileFound;
    std::function<void()> OnSearchComplete;
    std::function<void()> OnSearchInterrupted;
    /// A folder that could not be opened or a file that could not be stat'ed or read; Reason is the
    /// system's text (strerror), e.g. "Permission denied", or ChangedReason for a file whose size
    /// or times were no longer those the scan saw when its content was compared, or changed
    /// while it was read: it is in no group.
    std::function<void(const std::string& Path, const std::string& Reason)> OnSkipped;
    /// The reason OnSkipped gives for a file that changed.
    static constexpr const char* ChangedReason = "changed while being compared";
    /// Called on the reading thread (a worker's, with several readers) after each chunk of a
    /// file read for the content comparison, with the file's path and the offset the chunk ended
    /// at; may be empty. Tests change files here while they are compared.
    std::function<void(const std::string& Path, std::int64_t End)> OnChunkRead;

    // Hooks for the panel that hosts the core.
    /// Processes pending window messages; called at least every 50 ms during a search.
    std::function<void()> ProcessMessages;
    /// Called by SetState after State changed.
    std::function<void(TSearchState)> OnStateChanged;
    /// Comparison progress: work done of work total (both grow monotonic, done reaches total).
    std::function<void(std::int64_t done, std::int64_t total)> OnProgress;
    /// The time of the polls and of the figures' seconds; a test puts a clock of its own here.
    std::function<TClock::time_point()> Now = [] { return TClock::now(); };

    /// Called with true before OnSearchStart and with false once the search is back in ssIdle
    /// (also when it ends by an error), before the completion event: the panel's buttons.
    std::function<void(bool running)> OnRunningChanged;

    /// Runs one complete search; an error escaping it propagates after the state is reset.
    /// A call made while a search is running (from inside an event) does nothing.
    void Start();
    /// Asks a running search to stop at its next poll.
    void Stop() { StopRequested = true; }
    /// True from the start of Start() until it returns.
    bool Running() const { return running_; }

    /// Stores the state and tells OnStateChanged.
    void SetState(TSearchState state);
    /// Empties every column of the file table.
    void ClearFileTable();
    /// Appends one row to every column of the file table.
    void AddFile(const TFileRow& file);
    /// Bytes the file table holds, every column's capacity counted.
    std::size_t TableBytes() const;
    /// True when the scan met every name (hard link) of the row's file, so that deleting the
    /// names found frees its space.
    bool AllNamesFound(std::size_t row) const;
    /// Keeps `path` as another name of the file of `row`, unless the row knows it already.
    void AddOtherName(std::uint32_t row, std::string path);
    /// The folder scan: clears StopRequested, then collects the rows of every pattern of spec.
    void ScanSearchSpec(const std::string& spec);
    /// The comparison pass: reports every group of identical rows through OnFileFound.
    void GroupIdentical();

    /// Shortest pause between two ProcessMessages calls of a running search.
    static constexpr std::chrono::milliseconds PollInterval{20};

    /// Inside OnFileFound for a file: the file table row being reported; otherwise NoRow.
    std::size_t ReportedRow() const { return reportedRow_; }
    /// The value of ReportedRow() outside the report of a file.
    static constexpr std::size_t NoRow = static_cast<std::size_t>(-1);

private:
    // The folder scan (scan.cpp).
    struct TScanWalk;
    void ScanPattern(const std::string& pattern, TScanWalk& walk);
    std::size_t WalkThreads() const;
    void SkipReadingAhead(TScanWalk& walk);
    bool WantsFacts(std::string_view name, const std::string& mask) const;
    bool EntersFolder(std::string_view name) const;
    void ScanFolder(TScanWalk& walk);
    template <class TReader>
    void ReadEntries(TScanWalk& walk, TReader& reader, std::vector<std::string>* subfolders);
    template <class TReader> void CollectFile(TScanWalk& walk, const TReader& reader);
    bool IsRepeatedPath(TScanWalk& walk, const std::string& path) const;
    bool KeepAsOtherName(TScanWalk& walk, const TFileId& id, std::string& path);
    bool IsFolderExcluded(const std::string& folder);
    /// Raises OnSkipped for `path` with the system's text of `error`.
    void ReportSkipped(const std::string& path, int error);
    /// Raises OnSkipped for the file of `row` with ChangedReason.
    void ReportChanged(std::uint32_t row);
    /// Up to `most` descriptors of the process's budget, at least `least`, waiting (and polling)
    /// while fewer are free; an empty grant once the search is stopped.
    TDescriptorGrant TakeDescriptors(std::size_t least, std::size_t most);

    // The comparison pass (grouping.cpp), in the order of its steps.
    struct TCandidateSets;
    using THashedRows = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    bool SizeMatters() const;
    bool RowsAgree(std::uint32_t a, std::uint32_t b) const;
    THashedRows HashKeysAndSort(const std::vector<bool>& removed);
    void BuildCandidateSets(THashedRows hashed, TCandidateSets& sets);
    void StartProgress(const TCandidateSets& sets);
    void CompareAndReportInHeadOrder(const TCandidateSets& sets, std::vector<bool>& removed);
    void NarrowSets(const TContentRecall& recall, const TCandidateSets& sets,
                    TCandidateSets& toRead);
    void SplitWithPool(const TCandidateSets& sets, const TCandidateSets& read,
                       TContentRecall* recall, std::vector<bool>& removed,
                       TDescriptorGrant descriptors, std::size_t threads);
    std::size_t ReaderThreads(const TCandidateSets& sets) const;
    using TClassesOf = std::function<bool(std::size_t, std::vector<std::vector<std::uint32_t>>&)>;
    TClassesOf Recalling(const TCandidateSets& sets, const TCandidateSets& read,
                         TContentRecall* recall, TClassesOf classesOf);
    void ReportUnreadable(std::uint32_t row, int error);
    void ReportInHeadOrder(const TCandidateSets& sets, std::vector<bool>& removed,
                           const TClassesOf& classesOf);
    void DropFurtherMembers(const std::vector<bool>& removed);
    void MoveRow(std::size_t from, std::size_t to);
    void TruncateRows(std::size_t rows);
    void FoldRepeatedFiles(std::vector<bool>& removed);
    void ReportFile(const std::string& path, bool NewGroup);
    void ReportMatch(std::size_t row);
    bool ReportGroup(std::span<const std::uint32_t> rows, std::vector<bool>& removed);

    /// Calls ProcessMessages (and OnProgress while comparing) when PollInterval has passed.
    void Poll() {
        const TClock::time_point now = Now();
        if (now - lastPoll_ >= PollInterval)
            PollNow(now);
    }
    /// Brings Progress() up to `now`, then calls OnProgress and ProcessMessages.
    void PollNow(TClock::time_point now);
    void UpdateProgress(TClock::time_point now);
    void AddProgress(std::int64_t work);
    struct TReadCounts {
        std::int64_t RowsSettled = 0;
        std::int64_t BytesRead = 0;
    };
    struct TReadWatch;

    bool running_ = false;
    TClock::time_point lastPoll_{};
    std::int64_t progressDone_ = 0;
    std::int64_t progressTotal_ = 0;
    std::int64_t progressReported_ = -1;
    TSearchProgress progress_;
    bool comparing_ = false;
    TClock::time_point compareStart_{};
    // Rows the comparison settled without reading them; the splitter counts the ones it reads.
    std::int64_t settledUnread_ = 0;
    // While content is read: the counts of the readers, for the polls.
    std::function<TReadCounts()> readCounts_;
    std::size_t reportedRow_ = NoRow;
    // The rows of the set being compared that could not be read.
    std::vector<std::uint32_t> unreadableInSet_;
    // The leading rows known to be distinct files, no path nor file id repeated among them.
    std::size_t distinctRows_ = 0;
};

} // namespace parvex
