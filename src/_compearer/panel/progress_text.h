#pragma once

#include "_compearer/compearer_core.h"
#include "_compearer/search_progress.h"

#include <QLocale>
#include <QString>
#include <cstdint>

namespace parvex {

/// A byte count in the program's units: bytes up to 1000, then Kb, Mb and Gb of 1000 each step,
/// with three decimals.
QString ProgressSizeText(std::int64_t bytes, const QLocale& locale);

/// The numbers the panel shows beside the status of `state`: folders and files while scanning;
/// files settled of files to compare, bytes read and the rate while comparing; nothing when idle.
QString ProgressText(const TSearchProgress& progress, TSearchState state, const QLocale& locale);

} // namespace parvex
