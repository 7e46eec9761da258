#pragma once

#include <QByteArray>
#include <functional>

class QDBusConnection;
class QObject;

namespace parvex {

/// How long the file manager has to answer before the folder is opened instead.
inline constexpr int kFileManagerAnswerMs = 2000;

/// Asks the desktop's file manager (the org.freedesktop.FileManager1 service on `bus`) to show
/// the file at the exact path bytes in its folder, selected. The call does not wait for the
/// answer: when the bus is not connected, has no such service, answers with an error or not
/// within `answerMs`, `fallback` runs instead, on `context`'s thread and only while it lives.
void ShowInFileManager(const QDBusConnection& bus, const QByteArray& path, QObject* context,
                       std::function<void()> fallback, int answerMs = kFileManagerAnswerMs);

} // namespace parvex
