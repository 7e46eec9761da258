#pragma once

#include "VelPigger/velpigger.h"
#include "settings/settings_load.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// The program's settings document and its file: load with fallback, atomic save, named lists.
class TSettingsStore {
public:
    /// A store for the settings file SettingsFile, with an empty document (nothing loaded yet).
    /// UserFile, when given, is the per-user file that takes the settings whenever SettingsFile
    /// cannot be read or must not be replaced.
    explicit TSettingsStore(std::string SettingsFile, std::string UserFile = {});
    TSettingsStore(const TSettingsStore&) = delete;
    TSettingsStore& operator=(const TSettingsStore&) = delete;
    virtual ~TSettingsStore();

    /// Root of the settings document, owned by the store for its whole life.
    const std::unique_ptr<TVelPigger> Document;

    /// Full path of the settings file.
    const std::string& SettingsFileName() const { return settingsFile_; }
    /// Loads the settings file. A missing file gives the default document, written at once.
    /// A file that cannot be used (malformed, no named root, nested deeper than 32 levels,
    /// larger than 64 MiB, unreadable) is kept as "<file>.bad" (older copies as ".bad.1" and
    /// ".bad.2") and the defaults replace it. Something that is not a regular file, or a file
    /// that could not be kept, stays as it is: the per-user file is then loaded and saved
    /// instead. So is a present per-user file when the settings file's folder cannot be
    /// written (saves went there). LoadReport tells what happened.
    void LoadSettings();
    /// Reads the settings file into the document without writing anything anywhere: a missing
    /// file gives the default document. False, with Reason, for a file that cannot be used (the
    /// document then holds the defaults).
    [[nodiscard]] bool ReadSettingsOnly(std::string& Reason);
    /// What the last LoadSettings found out about the settings file.
    const TSettingsLoad& LoadReport() const { return load_; }
    /// Writes the document to FileName atomically; false when that failed (nothing changed),
    /// with SaveError telling why. A name that is not a regular file is not replaced, and a
    /// document without a root name is not written at all.
    [[nodiscard]] bool SaveSettingsTo(const std::string& FileName);
    /// Saves to the settings file when it may be replaced, else to the per-user file; false
    /// when neither worked (the file on disk is then as it was).
    [[nodiscard]] bool SaveSettings();
    /// The file and the reason of the last failed save, as "FILE: REASON"; empty after success.
    const std::string& SaveError() const { return saveError_; }

    /// Replaces Strings by the entries of the string-list section Name (created when missing).
    void ReadList(std::vector<std::string>& Strings, std::string_view Name);
    /// Replaces the entries of the string-list section Name by Strings.
    void WriteList(const std::vector<std::string>& Strings, std::string_view Name);

    /// The root attributes that hold the smallest and the largest file size a search collects.
    static constexpr const char* MinSizeAttribute = "MIN_SIZE";
    static constexpr const char* MaxSizeAttribute = "MAX_SIZE";
    /// The file size limit in the root attribute Name: its bytes, or nothing when the attribute
    /// is missing or holds no size (bytes, or a number with K, M or G as ParseSizeText reads).
    std::optional<std::int64_t> ReadSizeLimit(std::string_view Name) const;
    /// Keeps a file size limit in the root attribute Name as decimal bytes; nothing removes it.
    void WriteSizeLimit(std::string_view Name, std::optional<std::int64_t> Bytes);

    /// The root attribute that holds how many threads a search reads files with; missing for
    /// automatic (the search chooses from the devices it reads).
    static constexpr const char* ReadersAttribute = "READERS";
    /// The largest number of reading threads the settings hold.
    static constexpr int MaxReaders = 64;
    /// The reading threads in "READERS": 1 to MaxReaders, or 0 (automatic) when the attribute is
    /// missing or holds anything else.
    int ReadReaders() const;
    /// Keeps Readers in "READERS"; 0 (automatic) or a number outside 1 to MaxReaders removes it.
    void WriteReaders(int Readers);

    /// The section and its attribute that say whether searches remember what they compared in
    /// the comparison store; missing means yes.
    static constexpr const char* StoreSection = "STORE";
    static constexpr const char* RememberAttribute = "REMEMBER";
    /// False only when "REMEMBER" of the section "STORE" holds "0".
    bool ReadRememberCompared() const;
    /// Keeps Remember in "REMEMBER" of "STORE" as "1" or "0".
    void WriteRememberCompared(bool Remember);

    /// Makes the default document: the root "SETTINGS" with nothing in it.
    virtual void ResetToDefaults();
    /// Child Name of Parent, created under it when missing; nullptr only when Parent is nullptr.
    virtual TVelPigger* GetSection(TVelPigger* Parent, std::string_view Name);

private:
    TSettingsLoad LoadFile(const std::string& FileName);
    bool UserFileTakesOver() const;
    [[nodiscard]] bool ParseDocument(const std::string& Bytes, std::string& Reason);
    [[nodiscard]] bool FailSave(const std::string& FileName, const std::string& Reason);
    bool HasUserFile() const;

    std::string settingsFile_;
    std::string userFile_;
    // False while the settings file must not be replaced (not a regular file, or an
    // unreadable one that could not be kept): saves then go to the per-user file.
    bool settingsFileUsable_ = true;
    TSettingsLoad load_;
    std::string saveError_;
};

} // namespace parvex
