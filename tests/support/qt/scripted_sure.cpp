#include "support/qt/scripted_sure.h"

namespace parvex::testing {

TScriptedSure::TScriptedSure(QWidget* parent) : TFsure(parent) {}

TScriptedSure::TScriptedSure(bool answer) : Answer(answer) {}

bool TScriptedSure::Ask(const QString& question) {
    return AskInFull(question, false);
}

bool TScriptedSure::AskInFull(const QString& question, bool noIsDefault) {
    Questions.push_back(question);
    NoWasDefault.push_back(noIsDefault);
    Confirmed = Answer;
    return Confirmed;
}

} // namespace parvex::testing
