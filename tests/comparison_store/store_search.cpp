#include "comparison_store/store_search.h"

#include "engine/event_log.h"

#include <optional>

namespace parvex::testing {

TStoreSettings SettingsIn(const std::string& folder) {
    TStoreSettings settings;
    settings.Folder = folder;
    settings.WallClockNs = [] { return RealTimeNs() + std::int64_t(3600) * 1'000'000'000; };
    settings.BusyMilliseconds = 50;
    return settings;
}

TStoreSearch SearchWithStore(const std::string& root, const TStoreSettings* settings, int threads) {
    TCompearerCore core;
    core.SetKeys({.Size = true, .Content = true});
    core.Threads = threads;
    std::optional<TStoreMemory> memory;
    if (settings != nullptr) {
        memory.emplace(core, *settings);
        core.Memory = &*memory;
    }
    TEventLog log;
    log.Search(core, root + "*");
    TStoreSearch search;
    if (memory) {
        memory->Finish();
        search.Warning = memory->Warning();
    }
    search.Lines = std::move(log.Lines);
    search.Figures = core.Figures;
    return search;
}

} // namespace parvex::testing
