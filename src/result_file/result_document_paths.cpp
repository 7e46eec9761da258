#include "result_file/result_document_paths.h"

#include "result_file/json_result_reader.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace parvex {

namespace {

void MakeAbsolute(const std::string& workingFolder, std::string& path) {
    if (!path.empty() && path.front() != '/')
        path.insert(0, workingFolder);
}

struct TFilePlace {
    const TResultFileFacts* File;
    std::uint32_t Group;
    std::uint32_t Index;
};

std::string PlaceText(const TFilePlace& place) {
    return "groups[" + std::to_string(place.Group) + "].files[" + std::to_string(place.Index) + "]";
}

// Sorts the places by `key` and refuses the first two with the same key.
template <typename Key>
void RefuseRepeated(std::vector<TFilePlace>& places, Key key, const std::string& what) {
    std::ranges::stable_sort(
        places, [&key](const TFilePlace& a, const TFilePlace& b) { return key(a) < key(b); });
    const auto repeated = std::ranges::adjacent_find(
        places, [&key](const TFilePlace& a, const TFilePlace& b) { return key(a) == key(b); });
    if (repeated != places.end())
        throw EResultFileError(PlaceText(repeated[1]) + ": " + what + " as " +
                               PlaceText(repeated[0]));
}

} // namespace

void MakePathsAbsolute(TResultDocument& document) {
    std::string folder = document.Search.WorkingFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    MakeAbsolute(folder, document.Search.StartFolder);
    for (std::string& excluded : document.Search.ExcludedFolders)
        MakeAbsolute(folder, excluded);
    for (TResultGroupFacts& group : document.Groups) {
        for (TResultFileFacts& file : group.Files) {
            MakeAbsolute(folder, file.Path);
            for (std::string& name : file.OtherNames)
                MakeAbsolute(folder, name);
        }
    }
    for (TResultSkipped& skipped : document.Skipped)
        MakeAbsolute(folder, skipped.Path);
}

void RefuseRepeatedFiles(const TResultDocument& document) {
    std::vector<TFilePlace> places;
    for (std::uint32_t g = 0; g < document.Groups.size(); ++g) {
        const auto& files = document.Groups[g].Files;
        for (std::uint32_t f = 0; f < files.size(); ++f)
            places.push_back({&files[f], g, f});
    }
    RefuseRepeated(
        places, [](const TFilePlace& p) -> const std::string& { return p.File->Path; },
        "the path is listed already");
    // A zero id was never learnt, so it names no file.
    std::erase_if(places, [](const TFilePlace& p) { return !p.File->Id.Known(); });
    RefuseRepeated(
        places, [](const TFilePlace& p) { return std::tie(p.File->Id.Device, p.File->Id.Inode); },
        "the device and inode are listed already");
}

} // namespace parvex
