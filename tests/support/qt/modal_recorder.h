#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

namespace parvex::testing {

/// Closes every message, group info and file dialog that opens modally while it lives,
/// recording what it showed: "msg: <text>", "group info: <files> | <size>",
/// "save: <title> | <file name>".
class TModalRecorder : public QObject {
public:
    TModalRecorder();

    /// What the closed dialogs showed, in order.
    std::vector<QString> Shown;

private:
    void Poll();
    QTimer timer_;
};

} // namespace parvex::testing
