#include "main/command_state.h"

namespace parvex {

TCommandState DecideCommands(bool searching, bool hasResults, TSelectedNode selected) {
    TCommandState state;
    state.BreakSearch = searching;
    state.StartSearch = !state.BreakSearch;
    if (searching)
        return state;
    state.Inputs = true;
    state.SearchKeys = true;
    state.Open = hasResults && selected != TSelectedNode::None;
    state.SearchInFound = hasResults;
    state.Move = hasResults && selected == TSelectedNode::File;
    state.Delete = state.Move;
    return state;
}

} // namespace parvex
