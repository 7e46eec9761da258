// Load and save of a large tag document: 100,000 elements of about 100 bytes each (~10 MB).
#include "VelPigger/velpigger.h"

#include <benchmark/benchmark.h>
#include <sstream>
#include <string>

namespace {

using parvex::TVelPigger;

constexpr int kSections = 100;
constexpr int kItemsPerSection = 1000;

void BuildDocument(TVelPigger& Root) {
    Root.SetName("SETTINGS");
    Root.SetAttr("DEFAULT_PATH", "/home/user/");
    for (int s = 0; s < kSections; ++s) {
        auto* section = new TVelPigger(&Root);
        section->SetName("SECTION_" + std::to_string(s));
        for (int i = 0; i < kItemsPerSection; ++i) {
            auto* item = new TVelPigger(section);
            item->SetName("LIST_ITEM");
            item->SetAttr("VAL", "/srv/archive/photos/2024/holiday/<" + std::to_string(s) +
                                     ">/image_with_a_long_name_" + std::to_string(i) + ".jpg");
        }
    }
}

const std::string& DocumentText() {
    static const std::string text = [] {
        TVelPigger root;
        BuildDocument(root);
        return root.SaveToText();
    }();
    return text;
}

void BM_SaveToText(benchmark::State& state) {
    TVelPigger root;
    BuildDocument(root);
    for (auto _ : state) {
        benchmark::DoNotOptimize(root.SaveToText());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(DocumentText().size()));
}
BENCHMARK(BM_SaveToText)->Unit(benchmark::kMillisecond);

void BM_LoadFromText(benchmark::State& state) {
    const std::string& text = DocumentText();
    TVelPigger root;
    for (auto _ : state) {
        root.LoadFromText(text);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LoadFromText)->Unit(benchmark::kMillisecond);

void BM_LoadFromStream(benchmark::State& state) {
    const std::string& text = DocumentText();
    TVelPigger root;
    for (auto _ : state) {
        std::istringstream in(text);
        root.LoadFromStream(in);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LoadFromStream)->Unit(benchmark::kMillisecond);

void BM_AssignAndDestroy(benchmark::State& state) {
    TVelPigger source;
    BuildDocument(source);
    for (auto _ : state) {
        TVelPigger copy;
        copy.Assign(source);
    }
}
BENCHMARK(BM_AssignAndDestroy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
