#include "result_file/result_search.h"

#include "_compearer/compearer_core.h"
#include "_compearer/search_spec.h"
#include "result_file/host_name.h"
#include "result_file/utc_time_text.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace parvex {

namespace {

std::string WorkingFolder() {
    std::string folder(PATH_MAX, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return {};
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return WithTrailingSlash(std::move(folder));
}

} // namespace

TResultSearch ResultSearchOf(const TCompearerCore& core, std::string startFolder,
                             std::string maskList) {
    TResultSearch search;
    search.StartFolder = std::move(startFolder);
    search.WorkingFolder = WorkingFolder();
    search.MaskList = std::move(maskList);
    search.Keys = core.Keys();
    search.ExcludedFolders = core.ExcludedFolders;
    search.MinSize = core.MinFileSize;
    search.MaxSize = core.MaxFileSize;
    search.Hidden = core.AllowHidden;
    search.ReadOnly = core.AllowReadOnly;
    search.Host = ThisHostName();
    search.StartedNs = NowNanoseconds();
    return search;
}

} // namespace parvex
