#include "settings/settings_node.h"

#include <stdexcept>

namespace parvex {

TSettingsNode::TSettingsNode(TVelPigger* Parent) : TVelPigger(Parent) {}

TVelPigger* TSettingsNode::Create(TVelPigger* Parent) const {
    return new TSettingsNode(Parent);
}

std::string TSettingsNode::ClassName() const {
    return "TSettingsNode";
}

TVelPigger* TSettingsNode::CreateChild(const std::string& /*TagName*/) {
    int childLevel = 2;
    for (const TVelPigger* node = Parent(); node != nullptr; node = node->Parent()) {
        ++childLevel;
    }
    if (childLevel > kMaxSettingsLevels) {
        throw std::runtime_error("nested deeper than " + std::to_string(kMaxSettingsLevels) +
                                 " levels");
    }
    return Create(this);
}

} // namespace parvex
