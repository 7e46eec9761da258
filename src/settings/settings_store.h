#pragma once

#include "VelPigger/velpigger.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// The program's settings document and its file: load with fallback, atomic save, named lists.
class TSettingsStore {
public:
    /// A store for the settings file SettingsFile, with an empty document (nothing loaded yet).
    explicit TSettingsStore(std::string SettingsFile);
    TSettingsStore(const TSettingsStore&) = delete;
    TSettingsStore& operator=(const TSettingsStore&) = delete;
    virtual ~TSettingsStore();

    /// Root of the settings document, owned by the store for its whole life.
    const std::unique_ptr<TVelPigger> Document;

    /// Full path of the settings file.
    const std::string& SettingsFileName() const { return FSettingsFile; }
    /// Loads the settings file; a missing or broken file gives the default document, which is
    /// written at once (a broken file is first kept as "<file>.bad"; when it cannot be kept, it
    /// is left as it is, and no save of this store replaces it).
    void LoadSettings();
    /// Writes the document to FileName atomically; false when that failed (nothing changed).
    [[nodiscard]] bool SaveSettingsTo(const std::string& FileName);
    /// SaveSettingsTo the settings file; a failure leaves the file as it was.
    void SaveSettings();

    /// Replaces Strings by the entries of the string-list section Name (created when missing).
    void ReadList(std::vector<std::string>& Strings, std::string_view Name);
    /// Replaces the entries of the string-list section Name by Strings.
    void WriteList(const std::vector<std::string>& Strings, std::string_view Name);

    /// Makes the default document: the root "SETTINGS" with nothing in it.
    virtual void ResetToDefaults();
    /// Child Name of Parent, created under it when missing; nullptr only when Parent is nullptr.
    virtual TVelPigger* GetSection(TVelPigger* Parent, std::string_view Name);

private:
    std::string FSettingsFile;
    // An unreadable settings file that could not be kept as ".bad" is the user's only copy.
    bool keepUnreadableFile_ = false;
};

} // namespace parvex
