#pragma once

#include "file_actions/keep_presets.h"
#include "result_file/result_document.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

class QWidget;

namespace parvex {

/// What "Mark by rules" ended with when OK closed it.
struct TMarkByRules {
    /// Whether the plan of the rules marks each file, group after group of the result, each
    /// group's files in found order.
    std::shared_ptr<const std::vector<bool>> Marks;
    /// The presets as edited, the one chosen at OK as the last used.
    TKeepPresets Presets;
};

/// Runs the dialog "Mark by rules" modally over `parent` for the result whose groups `facts`
/// gathers (on a thread of its own, while the result stays as it is); nothing when cancelled.
std::optional<TMarkByRules>
AskMarkByRules(TKeepPresets presets,
               std::function<std::vector<TResultGroupFacts>(std::stop_token stop)> facts,
               std::vector<std::string> protectedFolders,
               std::function<void(const QString& topic)> showHelpTopic, QWidget* parent);

} // namespace parvex
