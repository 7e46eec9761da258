#include "result_file/host_name.h"

#include <unistd.h>

namespace parvex {

std::string ThisHostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

} // namespace parvex
