#pragma once

#include "dialogs/sure.h"

#include <QString>
#include <vector>

namespace parvex::testing {

/// A yes/no question dialog that answers from the test's script and records every question.
class TScriptedSure : public TFsure {
public:
    /// Answers Yes until the test sets Answer.
    explicit TScriptedSure(QWidget* parent = nullptr);
    /// Answers `answer` until the test sets Answer.
    explicit TScriptedSure(bool answer);

    /// Records the question and answers it without showing anything.
    bool Ask(const QString& question) override;
    /// Records the question and its default answer and answers it without showing anything.
    bool AskInFull(const QString& question, bool noIsDefault) override;

    /// The next answer.
    bool Answer = true;
    /// Every question asked, in order.
    std::vector<QString> Questions;
    /// For each question, whether "No" was its default answer.
    std::vector<bool> NoWasDefault;
};

} // namespace parvex::testing
