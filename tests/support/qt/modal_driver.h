#pragma once

#include <QDialog>
#include <chrono>
#include <functional>

namespace parvex::testing {

/// Runs `act` on the modal dialog as soon as one is open (a test's way to answer an exec()).
/// When none opens within `timeout`, the running test fails and the watch ends.
void WhenModalOpens(std::function<void(QDialog&)> act,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10));

/// As WhenModalOpens, for a dialog that `opener`, itself modal and open, opens in turn: `act` runs
/// on the first modal dialog other than `opener`.
void WhenModalOpensOver(const QDialog& opener, std::function<void(QDialog&)> act,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10));

/// Makes `window` the active window again after a dialog closed, and waits until it is, with the
/// activation changes that the closing queued delivered first; false when it is not active within
/// `timeout`. Shortcut keys reach a window only while it is active.
[[nodiscard]] bool ActivateAgain(QWidget& window,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(10));

/// The widget that receives the keyboard in `dialog`, or the dialog itself.
QWidget& KeyTarget(QDialog& dialog);

} // namespace parvex::testing
