#pragma once

#include "platform/unique_fd.h"
#include "result_file/json_result_reader.h"

#include <cstdint>
#include <streambuf>
#include <string>
#include <vector>

namespace parvex {

/// The bytes of a result file, read piece by piece as a parser asks for them. Opening refuses
/// (EResultFileUnreadable) anything but a regular file of at most kResultFileSizeCap bytes,
/// without reading it and without waiting for a writer of a FIFO or for a device. A failed
/// read, a file grown past the cap, or a cancel ends the bytes early; ThrowIfStopped then says
/// which.
class TResultFileSource : public std::streambuf {
public:
    TResultFileSource(const std::string& path, const TResultReadControl& control);

    /// Throws EResultFileCancelled or EResultFileUnreadable when reading stopped before the end
    /// of the file for that reason; returns otherwise.
    void ThrowIfStopped() const;

protected:
    int_type underflow() override;

private:
    TUniqueFd fd_;
    const TResultReadControl& control_;
    std::uint64_t size_ = 0;
    std::uint64_t read_ = 0;
    std::vector<char> buffer_;
    bool cancelled_ = false;
    std::string failure_;
};

} // namespace parvex
