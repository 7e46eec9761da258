#include "result_file/json_result_reader.h"

#include "result_file/json_bytes.h"
#include "result_file/json_result.h"
#include "result_file/utc_time_text.h"

#include <limits>
#include <nlohmann/json.hpp>
#include <string>

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

    // The byte strings of a list of one-member objects, as TJsonResult writes them.
    std::vector<std::string> BytesList(const std::string& key, const std::string& itemKey) const {
        std::vector<std::string> list;
        const json& items = Array(key);
        for (std::size_t i = 0; i < items.size(); ++i)
            list.push_back(
                TObjectReader(items[i], Place(key) + "[" + std::to_string(i) + "]").Bytes(itemKey));
        return list;
    }

private:
    const json& object_;
    std::string where_;
};

std::string JoinedMasks(const std::vector<std::string>& masks) {
    std::string list;
    for (const std::string& mask : masks) {
        if (!list.empty())
            list += ';';
        list += mask;
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

TResultSearch SearchOf(const json& document) {
    static const json kNone;
    const auto found = document.find("search");
    const TObjectReader search(found != document.end() ? *found : kNone, "search");
    TResultSearch about;
    about.StartFolder = search.Bytes("start_folder");
    about.WorkingFolder = search.BytesOr("working_folder", {});
    about.MaskList = JoinedMasks(search.BytesList("masks", "mask"));
    about.Keys = KeysOf(search);
    about.ExcludedFolders = search.BytesList("excluded_folders", "path");
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
    facts.Path = file.Bytes("path");
    if (facts.Path.empty())
        file.Fail("the path is empty");
    facts.Size = file.Integer("size", 0);
    facts.ModifiedNs = file.Integer("mtime_ns", std::numeric_limits<std::int64_t>::min());
    facts.Id = {file.Unsigned("dev"), file.Unsigned("ino")};
    facts.OtherNames = file.BytesList("other_names", "path");
    facts.Marked = file.Boolean("marked");
    return facts;
}

TResultGroupFacts GroupOf(const json& item, const std::string& where) {
    const TObjectReader group(item, where);
    TResultGroupFacts facts;
    facts.Name = group.Bytes("name");
    const json& wasted = group.Member("wasted", &json::is_primitive, "a number or null");
    if (!wasted.is_null())
        facts.Wasted = group.Integer("wasted", 0);
    const json& files = group.Array("files");
    for (std::size_t f = 0; f < files.size(); ++f)
        facts.Files.push_back(
            FileOf(files[f], group.Place("files") + "[" + std::to_string(f) + "]"));
    return facts;
}

} // namespace

TResultDocument ReadJsonResult(std::string_view text) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        throw EResultFileError(std::string("not JSON: ") + error.what());
    }
    const TObjectReader top(document, {});
    const json& format = top.Member("format", &json::is_string, "a text");
    if (format != TJsonResult::FormatName)
        top.Fail("\"format\" is " + format.dump() + ", not \"" + TJsonResult::FormatName + "\"");
    const std::int64_t version = top.Integer("version", 1);
    if (version != TJsonResult::FormatVersion)
        top.Fail("version " + std::to_string(version) + " is not the version " +
                 std::to_string(TJsonResult::FormatVersion) + " this program reads");
    TResultDocument result;
    result.Search = SearchOf(document);
    result.Complete = top.Boolean("complete");
    const json& groups = top.Array("groups");
    for (std::size_t g = 0; g < groups.size(); ++g)
        result.Groups.push_back(GroupOf(groups[g], "groups[" + std::to_string(g) + "]"));
    const json& skipped = top.Array("skipped");
    for (std::size_t s = 0; s < skipped.size(); ++s) {
        const TObjectReader entry(skipped[s], "skipped[" + std::to_string(s) + "]");
        result.Skipped.push_back({entry.Bytes("path"), entry.Bytes("reason")});
    }
    return result;
}

} // namespace parvex
