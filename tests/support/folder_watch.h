#pragma once

#include <string>

namespace parvex::testing {

/// Watches the entries of a folder from its creation on, for a test that must prove that code
/// only looked at files: any opening, reading, writing, closing or change of attributes is seen.
class TFolderWatch {
public:
    /// Starts watching `folder`; the running test fails when the watch cannot be set up.
    explicit TFolderWatch(const std::string& folder);
    ~TFolderWatch();
    TFolderWatch(const TFolderWatch&) = delete;
    TFolderWatch& operator=(const TFolderWatch&) = delete;

    /// True when anything in the folder was accessed since the watch began.
    bool SawAccess() const;

private:
    int fd_ = -1;
};

} // namespace parvex::testing
