#include "main/input_text.h"

namespace parvex {
namespace {

bool IsBlankOrControl(QChar c) {
    return c.unicode() <= 0x20 || c.unicode() == 0x7f;
}

} // namespace

QString TrimmedOfBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && IsBlankOrControl(text.at(first)))
        ++first;
    while (end > first && IsBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(first, end - first);
}

} // namespace parvex
