#include "VelPigger/persistent.h"

namespace parvex {

void TPersistent::Assign(const TPersistent& Source) {
    Source.AssignTo(*this);
}

std::string TPersistent::ClassName() const {
    return "TPersistent";
}

void TPersistent::AssignTo(TPersistent& Dest) const {
    Dest.AssignError(*this);
}

void TPersistent::AssignError(const TPersistent& Source) const {
    throw EConvertError("Cannot assign a " + Source.ClassName() + " to a " + ClassName());
}

} // namespace parvex
