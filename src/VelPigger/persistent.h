#pragma once

#include <stdexcept>
#include <string>

namespace parvex {

/// Raised when an object is assigned from an object of a class it cannot copy.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Base of objects that copy their state from other objects of the hierarchy.
class TPersistent {
public:
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;
    virtual ~TPersistent() = default;

    /// Copies Source into this object; by default asks Source to copy itself here.
    virtual void Assign(const TPersistent& Source);
    /// Name of the object's dynamic class, as used in conversion errors.
    virtual std::string ClassName() const;

protected:
    /// Copies this object into Dest; by default raises "Cannot assign a %s to a %s".
    virtual void AssignTo(TPersistent& Dest) const;
    /// Raises the conversion error for an assignment from Source into this object.
    [[noreturn]] void AssignError(const TPersistent& Source) const;
};

} // namespace parvex
