#pragma once

#include "_compearer/compearer_core.h"
#include "comparison_store/store_memory.h"

#include <string>
#include <vector>

namespace parvex::testing {

/// What one search of a test saw.
struct TStoreSearch {
    std::vector<std::string> Lines; ///< the events, as TEventLog records them
    TSearchFigures Figures;
    std::string Warning; ///< the store's warning
};

/// Settings for a store in `folder` whose clock runs an hour ahead, so that every file of a
/// tree just made counts as unchanged long enough to be remembered.
TStoreSettings SettingsIn(const std::string& folder);

/// A search of every file below `root` by size and content with `threads` readers, through
/// the store of `settings`, or without a store when it is null.
TStoreSearch SearchWithStore(const std::string& root, const TStoreSettings* settings,
                             int threads = 1);

} // namespace parvex::testing
