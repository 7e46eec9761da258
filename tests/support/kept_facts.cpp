#include "support/kept_facts.h"

#include <random>
#include <sstream>
#include <sys/stat.h>

namespace parvex::testing {

std::string KeptFactsLine(const std::string& path) {
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) != 0)
        return "missing";
    std::ostringstream line;
    line << facts.st_ino << ' ' << std::oct << facts.st_mode << std::dec << ' ' << facts.st_uid
         << ':' << facts.st_gid << ' ' << facts.st_nlink << ' ' << facts.st_size << ' '
         << facts.st_mtim.tv_sec << '.' << facts.st_mtim.tv_nsec << ' ' << facts.st_atim.tv_sec;
    return line.str();
}

std::string RandomContent(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

} // namespace parvex::testing
