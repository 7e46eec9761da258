#include "result_file/json_value_builder.h"

namespace parvex {

void TJsonValueBuilder::Start(nlohmann::ordered_json& target) {
    target_ = &target;
    open_.clear();
}

nlohmann::ordered_json& TJsonValueBuilder::Slot() {
    if (open_.empty())
        return *target_;
    nlohmann::ordered_json& parent = *open_.back();
    if (parent.is_array()) {
        parent.push_back(nullptr);
        return parent.back();
    }
    return parent[key_];
}

bool TJsonValueBuilder::Whole() {
    if (!open_.empty())
        return false;
    target_ = nullptr;
    return true;
}

bool TJsonValueBuilder::Scalar(nlohmann::ordered_json value) {
    Slot() = std::move(value);
    return Whole();
}

void TJsonValueBuilder::Open(nlohmann::ordered_json container) {
    nlohmann::ordered_json& slot = Slot();
    slot = std::move(container);
    open_.push_back(&slot);
}

bool TJsonValueBuilder::Close() {
    open_.pop_back();
    return Whole();
}

} // namespace parvex
