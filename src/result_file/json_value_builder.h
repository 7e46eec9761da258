#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace parvex {

/// Builds one JSON value from the events of a streamed parse: started on a target, it takes
/// the value's events and tells when the value is whole.
class TJsonValueBuilder {
public:
    /// Builds the next value into `target`.
    void Start(nlohmann::ordered_json& target);
    /// True from Start until the value is whole.
    bool Active() const { return target_ != nullptr; }
    /// How many lists and objects are open inside the value.
    std::size_t Depth() const { return open_.size(); }

    /// A number, text, true, false or null; true when it made the value whole.
    bool Scalar(nlohmann::ordered_json value);
    /// Opens a list or an object (`container` is the empty one).
    void Open(nlohmann::ordered_json container);
    /// The key of the next member of the object open innermost.
    void Key(std::string key) { key_ = std::move(key); }
    /// Closes the list or object open innermost; true when it made the value whole.
    bool Close();

private:
    nlohmann::ordered_json& Slot();
    bool Whole();

    nlohmann::ordered_json* target_ = nullptr;
    // The lists and objects open, outermost first: each is the last member of the one before,
    // so no member is added to one of them while one inside it is open.
    std::vector<nlohmann::ordered_json*> open_;
    std::string key_;
};

} // namespace parvex
