#include "result_file/json_result.h"

#include "result_file/json_bytes.h"
#include "result_file/utc_time_text.h"

#include <limits>

namespace parvex {

namespace {

using json = nlohmann::ordered_json;

// A list of byte strings as objects of one member each, `key` or `key`_b64.
json BytesList(const std::vector<std::string>& list, const std::string& key) {
    json items = json::array();
    for (const std::string& bytes : list) {
        json item = json::object();
        SetBytesMember(item, key, bytes);
        items.push_back(std::move(item));
    }
    return items;
}

// The masks as the search splits them: at every ";", a ";" at the very end adding none.
std::vector<std::string> MasksOf(const std::string& list) {
    std::vector<std::string> masks;
    std::size_t start = 0;
    while (start < list.size() || masks.empty()) {
        const std::size_t end = list.find(';', start);
        masks.push_back(list.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return masks;
}

json KeyNames(const TCompareKeys& keys) {
    json names = json::array();
    if (keys.Name)
        names.push_back("name");
    if (keys.Size)
        names.push_back("size");
    if (keys.Time)
        names.push_back("time");
    if (keys.Content)
        names.push_back("content");
    return names;
}

} // namespace

TJsonResult::TJsonResult(const TResultSearch& search)
    : wastedKnown_(search.Keys.Size && search.Keys.Content) {
    json about = json::object();
    SetBytesMember(about, "start_folder", search.StartFolder);
    SetBytesMember(about, "working_folder", search.WorkingFolder);
    about["masks"] = BytesList(MasksOf(search.MaskList), "mask");
    about["keys"] = KeyNames(search.Keys);
    about["excluded_folders"] = BytesList(search.ExcludedFolders, "path");
    about["min_size"] = search.MinSize;
    if (search.MaxSize == std::numeric_limits<std::int64_t>::max())
        about["max_size"] = nullptr;
    else
        about["max_size"] = search.MaxSize;
    about["hidden"] = search.Hidden;
    about["read_only"] = search.ReadOnly;
    SetBytesMember(about, "host", search.Host);
    about["time"] = Rfc3339UtcOf(search.StartedNs);
    document_["format"] = FormatName;
    document_["version"] = FormatVersion;
    document_["search"] = std::move(about);
    document_["complete"] = false;
    document_["groups"] = json::array();
    document_["skipped"] = json::array();
}

void TJsonResult::AddGroup(std::string_view name) {
    CloseGroup();
    group_ = json::object();
    SetBytesMember(group_, "name", name);
    group_["wasted"] = nullptr;
    group_["files"] = json::array();
    groupOpen_ = true;
}

void TJsonResult::AddFile(const TResultFileFacts& file) {
    if (!groupOpen_)
        return;
    json entry = json::object();
    SetBytesMember(entry, "path", file.Path);
    entry["size"] = file.Size;
    entry["mtime"] = Rfc3339UtcOf(file.ModifiedNs);
    entry["mtime_ns"] = file.ModifiedNs;
    entry["dev"] = file.Id.Device;
    entry["ino"] = file.Id.Inode;
    entry["other_names"] = BytesList(file.OtherNames, "path");
    entry["marked"] = file.Marked;
    group_["files"].push_back(std::move(entry));
    groupSpace_.push_back({file.Id, file.Size, file.AllNamesFound});
}

void TJsonResult::CloseGroup() {
    if (!groupOpen_)
        return;
    groupOpen_ = false;
    if (wastedKnown_)
        group_["wasted"] = WastedSpace(std::move(groupSpace_));
    groupSpace_.clear();
    document_["groups"].push_back(std::move(group_));
    group_ = json();
}

void TJsonResult::AddSkipped(std::string_view path, std::string_view reason) {
    json entry = json::object();
    SetBytesMember(entry, "path", path);
    SetBytesMember(entry, "reason", reason);
    document_["skipped"].push_back(std::move(entry));
}

std::string TJsonResult::Text(bool complete) {
    CloseGroup();
    document_["complete"] = complete;
    return document_.dump(2) + "\n";
}

} // namespace parvex
