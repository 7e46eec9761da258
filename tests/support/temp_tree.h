#pragma once

#include <ctime>
#include <string>

namespace parvex::testing {

/// A temporary folder tree that exists for the life of the object, with helpers to create
/// files, folders, times, links and FIFOs in it. Paths given are relative to Root().
class TTempTree {
public:
    /// Creates the tree in `base`, by default in $TMPDIR or /tmp.
    explicit TTempTree(const std::string& base = {});
    /// Removes the whole tree, also folders a test made unreadable and trees deeper than
    /// PATH_MAX.
    ~TTempTree();
    TTempTree(const TTempTree&) = delete;
    TTempTree& operator=(const TTempTree&) = delete;

    /// The tree's folder, ending in "/".
    const std::string& Root() const { return root_; }
    /// Root() followed by relative.
    std::string Path(const std::string& relative) const { return root_ + relative; }
    /// Creates a file (and its folders) holding content; returns its full path.
    std::string File(const std::string& relative, const std::string& content = {});
    /// Creates a file holding content with the modification time `seconds`; returns its full
    /// path.
    std::string File(const std::string& relative, const std::string& content, std::time_t seconds);
    /// Creates a folder and its parents; returns its full path ending in "/".
    std::string Folder(const std::string& relative);
    /// Sets the modification time of an entry.
    void SetTime(const std::string& relative, std::time_t seconds);
    /// Creates a symbolic link pointing at target.
    void Link(const std::string& relative, const std::string& target);
    /// Creates a second name (a hard link) of the existing entry `existing`; returns its full
    /// path.
    std::string HardLink(const std::string& relative, const std::string& existing);
    /// Creates `levels` nested folders named `folder` below `relative` (a folder, created too)
    /// and a file holding `content` at the bottom, reaching depths beyond PATH_MAX; returns the
    /// file's full path.
    std::string DeepFile(const std::string& relative, const std::string& folder, int levels,
                         const std::string& name, const std::string& content);
    /// Creates a FIFO.
    void Fifo(const std::string& relative);
    /// Creates a sparse file of the given size, holding `last` as its final byte.
    std::string SparseFile(const std::string& relative, long long size, char last);

    /// The whole content of the file at a full path; empty when it cannot be read.
    static std::string ReadFile(const std::string& path);
    /// Whether anything (a dangling link too) exists at a full path.
    static bool Exists(const std::string& path);
    /// True when both paths exist and lie on one file system (one device).
    static bool SameFileSystem(const std::string& one, const std::string& two);

private:
    std::string root_;
};

} // namespace parvex::testing
