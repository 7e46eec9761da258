#include "support/qt/scripted_sure.h"

namespace parvex::testing {

TScriptedSure::TScriptedSure(QWidget* parent) : TFsure(parent) {}

TScriptedSure::TScriptedSure(bool answer) : Answer(answer) {}

bool TScriptedSure::Ask(const QString& question) {
    Questions.push_back(question);
    Confirmed = Answer;
    return Confirmed;
}

} // namespace parvex::testing
