#pragma once

#include "_compearer/compearer_core.h"

#include <ctime>
#include <string>
#include <vector>

namespace parvex::testing {

/// A temporary folder tree that exists for the life of the object, with helpers to create
/// files, folders, times, links and FIFOs in it. Paths given are relative to Root().
class TTempTree {
public:
    /// Creates the tree in `base`, by default in $TMPDIR or /tmp.
    explicit TTempTree(const std::string& base = {});
    ~TTempTree();
    TTempTree(const TTempTree&) = delete;
    TTempTree& operator=(const TTempTree&) = delete;

    /// The tree's folder, ending in "/".
    const std::string& Root() const { return root_; }
    /// Root() followed by relative.
    std::string Path(const std::string& relative) const { return root_ + relative; }
    /// Creates a file (and its folders) holding content; returns its full path.
    std::string File(const std::string& relative, const std::string& content = {});
    /// Creates a folder and its parents; returns its full path ending in "/".
    std::string Folder(const std::string& relative);
    /// Sets the modification time of an entry.
    void SetTime(const std::string& relative, std::time_t seconds);
    /// Creates a symbolic link pointing at target.
    void Link(const std::string& relative, const std::string& target);
    /// Creates a FIFO.
    void Fifo(const std::string& relative);
    /// Creates a sparse file of the given size, holding `last` as its final byte.
    std::string SparseFile(const std::string& relative, long long size, char last);

private:
    std::string root_;
};

/// Records a core's events as lines of text, so a test compares whole sequences.
class TEventLog {
public:
    /// Installs every event slot of core; folder checks consult `excluded`.
    void Attach(TCompearerCore& core);

    /// Folders (full paths) that OnCheckFolder answers as not allowed.
    std::vector<std::string> Excluded;
    /// "start", "check <path>", "group <text>", "file <text>", "complete", "interrupted".
    std::vector<std::string> Lines;
    /// The OnFileFound lines only.
    std::vector<std::string> Found() const;
};

} // namespace parvex::testing
