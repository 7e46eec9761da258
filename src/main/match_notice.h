#pragma once

#include "_compearer/compare_keys.h"

#include <QString>

namespace parvex {

/// What a result found without comparing content has to say above its files: the keys that
/// matched them and that they were not checked to be copies ("Matched by name only: not checked
/// to be copies"); empty when content was compared.
QString MatchNoticeText(const TCompareKeys& keys);

} // namespace parvex
