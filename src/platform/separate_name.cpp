#include "platform/separate_name.h"

#include "platform/file_io.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

timespec TimeOf(std::int64_t nanoseconds) {
    return {static_cast<time_t>(nanoseconds / 1000000000),
            static_cast<long>(nanoseconds % 1000000000)};
}

std::string Failure(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

} // namespace

std::string SeparateName(const std::string& name, const std::string& temporary,
                         const TNameFacts& look) {
    TUniqueFd in(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!in)
        return Failure("its bytes cannot be read", errno);
    TUniqueFd out(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out)
        return Failure("no copy can be made beside it", errno);
    // Giving a file away needs privileges; without them the user owns the copy, as with cp(1).
    if (::fchown(out.Get(), look.Owner, look.Group) != 0) {
    }
    const timespec times[2] = {TimeOf(look.AccessedNs), TimeOf(look.ModifiedNs)};
    const bool complete =
        CopyAll(in.Get(), out.Get()) && ::fchmod(out.Get(), look.Mode & 07777) == 0 &&
        ::futimens(out.Get(), times) == 0 && ::fsync(out.Get()) == 0 && out.Close();
    if (!complete || ::rename(temporary.c_str(), name.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Failure("the copy cannot take its place", error);
    }
    return {};
}

} // namespace parvex
