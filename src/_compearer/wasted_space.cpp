#include "_compearer/wasted_space.h"

#include <algorithm>
#include <utility>

namespace parvex {

std::int64_t WastedSpace(std::vector<TSpaceOfFile> files) {
    const auto idOf = [](const TSpaceOfFile& file) {
        return std::pair(file.Id.Device, file.Id.Inode);
    };
    std::stable_sort(files.begin(), files.end(), [&](const TSpaceOfFile& a, const TSpaceOfFile& b) {
        return idOf(a) < idOf(b);
    });
    std::int64_t freeable = 0;
    std::int64_t largest = 0;
    bool somethingStays = false;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const TSpaceOfFile& file = files[i];
        // Each inode counts once, however many of its names the group lists.
        if (i > 0 && idOf(files[i - 1]) == idOf(file))
            continue;
        if (file.AllNamesFound) {
            freeable += file.Size;
            largest = std::max(largest, file.Size);
        } else {
            somethingStays = true;
        }
    }
    return somethingStays ? freeable : freeable - largest;
}

} // namespace parvex
