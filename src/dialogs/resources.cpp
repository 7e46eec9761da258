#include "dialogs/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE has to be expanded outside of any namespace.
static void InitParvexResources() {
    Q_INIT_RESOURCE(parvex);
}

namespace parvex {

void InitResources() {
    InitParvexResources();
}

} // namespace parvex
