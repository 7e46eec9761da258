#include "settings/settings_store.h"

#include "VelPigger/name_rules.h"
#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace parvex {

namespace {

const char* const kListItem = "LIST_ITEM";
const char* const kListValue = "VAL";

bool FileExists(const std::string& FileName) {
    struct stat info {};
    return lstat(FileName.c_str(), &info) == 0 || errno != ENOENT;
}

} // namespace

TSettingsStore::TSettingsStore(std::string SettingsFile)
    : Document(std::make_unique<TVelPigger>()), FSettingsFile(std::move(SettingsFile)) {}

TSettingsStore::~TSettingsStore() = default;

void TSettingsStore::LoadSettings() {
    const std::string fileName = SettingsFileName();
    try {
        Document->LoadFromFile(fileName);
    } catch (const std::exception&) {
        ResetToDefaults();
        // A file that is there but cannot be read or parsed is kept for the user instead of
        // being overwritten by the defaults; rename replaces an older copy. When it cannot be
        // kept, no save of this store overwrites it: the defaults live in memory only.
        if (FileExists(fileName) &&
            std::rename(fileName.c_str(), (fileName + ".bad").c_str()) != 0) {
            keepUnreadableFile_ = true;
            return;
        }
        if (!SaveSettingsTo(fileName)) {
            return; // nothing changed on disk; the next save tries again
        }
    }
}

bool TSettingsStore::SaveSettingsTo(const std::string& FileName) {
    if (keepUnreadableFile_ && FileName == FSettingsFile) {
        return false;
    }
    try {
        return WriteFileAtomically(FileName, Document->SaveToText());
    } catch (const std::exception&) {
        return false;
    }
}

void TSettingsStore::SaveSettings() {
    // A failed save changes nothing on disk and keeps the document; the next save tries again.
    static_cast<void>(SaveSettingsTo(SettingsFileName()));
}

void TSettingsStore::ReadList(std::vector<std::string>& Strings, std::string_view Name) {
    const std::string_view sectionName = TrimBlanks(Name);
    if (sectionName.empty()) {
        return;
    }
    Strings.clear();
    const TVelPigger* section = GetSection(Document.get(), sectionName);
    Strings.reserve(static_cast<std::size_t>(section->ChildCount()));
    for (int i = 0; i < section->ChildCount(); ++i) {
        Strings.push_back(section->GetChild(i)->GetAttr(kListValue));
    }
}

void TSettingsStore::WriteList(const std::vector<std::string>& Strings, std::string_view Name) {
    const std::string_view sectionName = TrimBlanks(Name);
    if (sectionName.empty()) {
        return;
    }
    TVelPigger* section = GetSection(Document.get(), sectionName);
    // From the back: each child leaves the list as it is destroyed, and the last one goes fastest.
    while (section->ChildCount() > 0) {
        delete section->GetChild(section->ChildCount() - 1);
    }
    for (const std::string& entry : Strings) {
        auto* item = new TVelPigger(section);
        item->SetName(kListItem);
        item->SetAttr(kListValue, entry);
    }
}

void TSettingsStore::ResetToDefaults() {
    Document->Clear();
    Document->SetName("SETTINGS");
}

TVelPigger* TSettingsStore::GetSection(TVelPigger* Parent, std::string_view Name) {
    if (Parent == nullptr) {
        return nullptr;
    }
    if (TVelPigger* section = Parent->FindChild(Name)) {
        return section;
    }
    auto* section = new TVelPigger(Parent);
    section->SetName(Name);
    return section;
}

} // namespace parvex
