#include "result_file/result_records.h"

#include "result_file/json_bytes.h"
#include "result_file/json_result.h"
#include "result_file/json_result_reader.h"
#include "result_file/utc_time_text.h"

#include <limits>

namespace parvex {

namespace {

using json = nlohmann::ordered_json;

// Reads the members of one JSON object and says where a fault lies: `where` is the object's
// place in the document ("groups[2].files[0]"), empty for the document itself.
class TObjectReader {
public:
    TObjectReader(const json& object, std::string where)
        : object_(object), where_(std::move(where)) {
        if (!object_.is_object())
            Fail("is not an object");
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw EResultFileError(where_.empty() ? what : where_ + ": " + what);
    }

    std::string Place(const std::string& member) const {
        return where_.empty() ? member : where_ + "." + member;
    }

    const json& Member(const std::string& key, bool (json::*is)() const noexcept,
                       const char* kind) const {
        const auto found = object_.find(key);
        if (found == object_.end() || !((*found).*is)())
            Fail("\"" + key + "\" is missing or not " + kind);
        return *found;
    }

    std::string Bytes(const std::string& key) const {
        if (object_.contains(key) && object_.contains(key + "_b64"))
            Fail("holds both \"" + key + "\" and \"" + key + "_b64\"");
        const std::optional<std::string> bytes = GetBytesMember(object_, key);
        if (!bytes)
            Fail("\"" + key + "\" (or \"" + key + "_b64\") is missing or not a text");
        return *bytes;
    }

    std::string BytesOr(const std::string& key, std::string fallback) const {
        if (!object_.contains(key) && !object_.contains(key + "_b64"))
            return fallback;
        return Bytes(key);
    }

    // A path: bytes that name a file, so neither empty nor holding a NUL, which would end the
    // path early at the system's calls and name another file.
    std::string Path(const std::string& key) const {
        std::string path = Bytes(key);
        if (path.empty())
            Fail("\"" + key + "\" is empty");
        if (path.find('\0') != std::string::npos)
            Fail("\"" + key + "\" holds a NUL byte");
        return path;
    }

    std::int64_t Integer(const std::string& key, std::int64_t least) const {
        const json& value = Member(key, &json::is_number_integer, "a whole number");
        if (value.is_number_unsigned() &&
            value.get<std::uint64_t>() > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            Fail("\"" + key + "\" is too large");
        const auto number = value.get<std::int64_t>();
        if (number < least)
            Fail("\"" + key + "\" is below " + std::to_string(least));
        return number;
    }

    std::uint64_t Unsigned(const std::string& key) const {
        const json& value = Member(key, &json::is_number_integer, "a whole number");
        if (!value.is_number_unsigned())
            Fail("\"" + key + "\" is negative");
        return value.get<std::uint64_t>();
    }

    bool Boolean(const std::string& key) const {
        return Member(key, &json::is_boolean, "true or false").get<bool>();
    }

    const json& Array(const std::string& key) const {
        return Member(key, &json::is_array, "a list");
    }

    // The paths of a list of one-member objects, as TJsonResult writes them.
    std::vector<std::string> PathList(const std::string& key, const std::string& itemKey) const {
        std::vector<std::string> list;
        const json& items = Array(key);
        for (std::size_t i = 0; i < items.size(); ++i)
            list.push_back(
                TObjectReader(items[i], Place(key) + "[" + std::to_string(i) + "]").Path(itemKey));
        return list;
    }

private:
    const json& object_;
    std::string where_;
};

std::string JoinedMasks(const TObjectReader& search) {
    std::string list;
    const json& masks = search.Array("masks");
    for (std::size_t i = 0; i < masks.size(); ++i) {
        if (i > 0)
            list += ';';
        list += TObjectReader(masks[i], search.Place("masks") + "[" + std::to_string(i) + "]")
                    .Bytes("mask");
    }
    return list;
}

TCompareKeys KeysOf(const TObjectReader& search) {
    TCompareKeys keys;
    const json& names = search.Array("keys");
    for (const json& name : names) {
        bool* key = name.is_string() ? CompareKeyNamed(keys, name.get<std::string>()) : nullptr;
        if (key == nullptr)
            search.Fail("\"keys\" holds " + name.dump() + ", which is no compare key");
        *key = true;
    }
    return keys;
}

} // namespace

void CheckFormatMember(const json& top, const std::string& key) {
    const TObjectReader document(top, {});
    if (key == "format") {
        const json& format = document.Member("format", &json::is_string, "a text");
        if (format != TJsonResult::FormatName)
            document.Fail("\"format\" is " + format.dump() + ", not \"" + TJsonResult::FormatName +
                          "\"");
    } else if (key == "version") {
        const std::int64_t version = document.Integer("version", 1);
        if (version != TJsonResult::FormatVersion)
            document.Fail("version " + std::to_string(version) + " is not the version " +
                          std::to_string(TJsonResult::FormatVersion) + " this program reads");
    }
}

bool CompleteOf(const json& top) {
    return TObjectReader(top, {}).Boolean("complete");
}

TResultSearch SearchOf(const json& value) {
    const TObjectReader search(value, "search");
    TResultSearch about;
    about.StartFolder = search.Path("start_folder");
    if (search.BytesOr("working_folder", {}).empty()) {
        if (about.StartFolder.front() != '/')
            search.Fail("the start folder is relative and \"working_folder\" is missing");
    } else {
        about.WorkingFolder = search.Path("working_folder");
        if (about.WorkingFolder.front() != '/')
            search.Fail("\"working_folder\" is not an absolute path");
    }
    about.MaskList = JoinedMasks(search);
    about.Keys = KeysOf(search);
    about.ExcludedFolders = search.PathList("excluded_folders", "path");
    about.MinSize = search.Integer("min_size", 0);
    const json& max = search.Member("max_size", &json::is_primitive, "a number or null");
    about.MaxSize =
        max.is_null() ? std::numeric_limits<std::int64_t>::max() : search.Integer("max_size", 0);
    about.Hidden = search.Boolean("hidden");
    about.ReadOnly = search.Boolean("read_only");
    about.Host = search.BytesOr("host", {});
    const std::optional<std::int64_t> started = NanosecondsOfRfc3339(
        search.Member("time", &json::is_string, "a text").get_ref<const std::string&>());
    if (!started)
        search.Fail("\"time\" is not an RFC 3339 UTC time");
    about.StartedNs = *started;
    return about;
}

TResultFileFacts FileOf(const json& item, const std::string& where) {
    const TObjectReader file(item, where);
    TResultFileFacts facts;
    facts.Path = file.Path("path");
    facts.Size = file.Integer("size", 0);
    facts.ModifiedNs = file.Integer("mtime_ns", std::numeric_limits<std::int64_t>::min());
    facts.Id = {file.Unsigned("dev"), file.Unsigned("ino")};
    facts.OtherNames = file.PathList("other_names", "path");
    facts.Marked = file.Boolean("marked");
    return facts;
}

void ReadGroupHead(const json& head, const std::string& where, TResultGroupFacts& group) {
    const TObjectReader reader(head, where);
    group.Name = reader.Bytes("name");
    const json& wasted = reader.Member("wasted", &json::is_primitive, "a number or null");
    if (!wasted.is_null())
        group.Wasted = reader.Integer("wasted", 0);
}

TResultSkipped SkippedOf(const json& item, const std::string& where) {
    const TObjectReader entry(item, where);
    return {entry.Path("path"), entry.Bytes("reason")};
}

} // namespace parvex
