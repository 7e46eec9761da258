#include "settings/settings_store.h"

#include "VelPigger/name_rules.h"
#include "_compearer/count_text.h"
#include "_compearer/size_text.h"
#include "platform/atomic_file.h"
#include "platform/executable_path.h"
#include "platform/file_io.h"
#include "settings/settings_file.h"
#include "settings/settings_node.h"

#include <cerrno>
#include <cstring>
#include <sstream>

namespace parvex {

namespace {

const char* const kListItem = "LIST_ITEM";
const char* const kListValue = "VAL";

} // namespace

TSettingsStore::TSettingsStore(std::string SettingsFile, std::string UserFile)
    : Document(std::make_unique<TSettingsNode>()), settingsFile_(std::move(SettingsFile)),
      userFile_(std::move(UserFile)) {}

TSettingsStore::~TSettingsStore() = default;

bool TSettingsStore::HasUserFile() const {
    return !userFile_.empty() && userFile_ != settingsFile_;
}

// A settings file that could be read but not replaced had its saves go to the per-user file;
// once that exists, it holds the newer settings.
bool TSettingsStore::UserFileTakesOver() const {
    std::string reason;
    return HasUserFile() && IsRegularFileOrMissing(settingsFile_) &&
           !MayReplaceSettingsFile(settingsFile_, reason) && NameTaken(userFile_);
}

void TSettingsStore::LoadSettings() {
    settingsFileUsable_ = true;
    if (UserFileTakesOver()) {
        load_ = LoadFile(userFile_);
        return;
    }
    load_ = LoadFile(settingsFile_);
    if (!settingsFileUsable_ && HasUserFile()) {
        load_.SavedTo = userFile_;
        // A problem of the per-user file is handled the same way; the report stays about the
        // settings file, which is the one the user expects to be read.
        LoadFile(userFile_);
    }
}

TSettingsLoad TSettingsStore::LoadFile(const std::string& FileName) {
    using TKind = TSettingsFileRead::TKind;
    TSettingsFileRead read = ReadSettingsFile(FileName);
    TSettingsLoad report;
    report.File = FileName;
    if (read.Kind == TKind::Read && ParseDocument(read.Bytes, read.Reason)) {
        return report;
    }
    ResetToDefaults();
    if (read.Kind != TKind::Missing) {
        report.Unreadable = true;
        report.Reason = read.Reason;
        std::string notKept;
        // Something that is not a regular file is never moved; a regular one is kept aside.
        if (read.Kind == TKind::NotRegular || !KeepUnreadableFile(FileName, notKept)) {
            if (FileName == settingsFile_) {
                settingsFileUsable_ = false;
            }
            return report;
        }
        report.KeptAs = FileName + ".bad";
    }
    // The defaults replace the missing or kept file at once.
    if (!SaveSettings()) {
        // SaveError tells why; the document stays in memory and the next save tries again.
        return report;
    }
    return report;
}

bool TSettingsStore::ReadSettingsOnly(std::string& Reason) {
    TSettingsFileRead read = ReadSettingsFile(settingsFile_);
    if (read.Kind == TSettingsFileRead::TKind::Read && ParseDocument(read.Bytes, read.Reason))
        return true;
    ResetToDefaults();
    Reason = read.Reason;
    return read.Kind == TSettingsFileRead::TKind::Missing;
}

bool TSettingsStore::ParseDocument(const std::string& Bytes, std::string& Reason) {
    try {
        std::istringstream stream(Bytes);
        Document->LoadFromStream(stream);
    } catch (const std::exception& error) {
        Reason = error.what();
        return false;
    }
    if (Document->Name().empty()) {
        // An empty or all-NUL file reads as a root without a name, which would be written back
        // as an empty file: nothing in it can be kept.
        Reason = "no settings in it";
        return false;
    }
    return true;
}

bool TSettingsStore::FailSave(const std::string& FileName, const std::string& Reason) {
    saveError_ = FileName + ": " + Reason;
    return false;
}

bool TSettingsStore::SaveSettingsTo(const std::string& FileName) {
    saveError_.clear();
    if (!settingsFileUsable_ && FileName == settingsFile_) {
        return FailSave(FileName, "the unreadable file there is left as it is");
    }
    std::string text;
    try {
        text = Document->SaveToText();
    } catch (const std::exception& error) {
        return FailSave(FileName, error.what());
    }
    if (text.empty()) {
        return FailSave(FileName, "the settings document has no root name");
    }
    std::string reason;
    if (!MayReplaceSettingsFile(FileName, reason)) {
        return FailSave(FileName, reason);
    }
    if (!WriteFileAtomically(FileName, text)) {
        return FailSave(FileName, std::strerror(errno));
    }
    return true;
}

bool TSettingsStore::SaveSettings() {
    std::string reason;
    if (settingsFileUsable_ && MayReplaceSettingsFile(settingsFile_, reason)) {
        return SaveSettingsTo(settingsFile_);
    }
    if (!HasUserFile()) {
        return SaveSettingsTo(settingsFile_);
    }
    if (!MakeFolders(FolderOf(userFile_))) {
        return FailSave(userFile_, std::strerror(errno));
    }
    return SaveSettingsTo(userFile_);
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

std::optional<std::int64_t> TSettingsStore::ReadSizeLimit(std::string_view Name) const {
    return ParseSizeText(Document->GetAttr(Name));
}

void TSettingsStore::WriteSizeLimit(std::string_view Name, std::optional<std::int64_t> Bytes) {
    // Empty text removes the attribute.
    Document->SetAttr(Name, Bytes ? std::to_string(*Bytes) : std::string());
}

int TSettingsStore::ReadReaders() const {
    return ParseCountText(Document->GetAttr(ReadersAttribute), MaxReaders).value_or(0);
}

void TSettingsStore::WriteReaders(int Readers) {
    Document->SetAttr(ReadersAttribute, Readers >= 1 && Readers <= MaxReaders
                                            ? std::to_string(Readers)
                                            : std::string());
}

bool TSettingsStore::ReadRememberCompared() const {
    const TVelPigger* section = Document->FindChild(StoreSection);
    return section == nullptr || section->GetAttr(RememberAttribute) != "0";
}

void TSettingsStore::WriteRememberCompared(bool Remember) {
    GetSection(Document.get(), StoreSection)->SetAttr(RememberAttribute, Remember ? "1" : "0");
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
