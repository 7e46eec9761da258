#pragma once

namespace parvex {

/// What kind of result node is selected in the tree.
enum class TSelectedNode { None, Group, File };

/// The enabled state of each of the main window's switchable commands.
struct TCommandState {
    bool Inputs = false;        ///< Edit_ft, Button_ft, Edit_root, Btn_root
    bool SearchKeys = false;    ///< "Keys to compare"
    bool Open = false;          ///< "Try to open the file" / "Open"
    bool SearchInFound = false; ///< "Search in found"
    bool Move = false;          ///< "Move file" / "Move"
    bool Delete = false;        ///< "Delete file" / "Delete"
    bool BreakSearch = false;   ///< "Break_search"
    bool StartSearch = false;   ///< "Start search"

    bool operator==(const TCommandState&) const = default;
};

/// The enabling rule of the main window: nothing but "Break_search" while a search runs,
/// otherwise the inputs always and the tree commands by result and selection.
TCommandState DecideCommands(bool searching, bool hasResults, TSelectedNode selected);

} // namespace parvex
