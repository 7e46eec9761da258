#pragma once

#include "platform/last_copy.h"

#include <functional>
#include <string>
#include <vector>

class QProgressDialog;
class QWidget;

namespace parvex {

/// Decides whether the file at `path` is the last copy of its content (DecideLastCopy) on a
/// worker thread, while a progress dialog over `owner` shows how far the comparison has come and
/// its Cancel stops it; the window keeps answering meanwhile. `onLook`, when given, is called once
/// the dialog is made, before the comparison begins, and after each look at the worker.
TLastCopyVerdict CheckLastCopyWithProgress(QWidget& owner, const std::string& path,
                                           const std::vector<std::string>& others,
                                           const std::function<void(QProgressDialog&)>& onLook);

} // namespace parvex
