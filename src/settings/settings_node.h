#pragma once

#include "VelPigger/velpigger.h"

#include <string>

namespace parvex {

/// The deepest nesting a settings document may have; the root is level 1.
inline constexpr int kMaxSettingsLevels = 32;

/// A node of the settings document: while text is read into it, an element nested deeper than
/// kMaxSettingsLevels stops the reading, so a deep file never grows a deep tree in memory.
class TSettingsNode : public TVelPigger {
public:
    /// A new empty node; with a Parent it becomes that parent's last child.
    explicit TSettingsNode(TVelPigger* Parent = nullptr);

    TVelPigger* Create(TVelPigger* Parent) const override;
    std::string ClassName() const override;

protected:
    /// A child node, or a std::runtime_error when it would lie deeper than kMaxSettingsLevels.
    TVelPigger* CreateChild(const std::string& TagName) override;
};

} // namespace parvex
