#pragma once

#include "main/program_options.h"

#include <QTemporaryDir>
#include <memory>

namespace parvex {

class TFmain;

/// Carries out the window program's command line on its window.
class TProgramStart {
public:
    explicit TProgramStart(TFmain& window);
    ~TProgramStart();
    TProgramStart(const TProgramStart&) = delete;
    TProgramStart& operator=(const TProgramStart&) = delete;

    /// A bad command line is said on standard error and in the window's message dialog; a
    /// FOLDER becomes the start folder, searched at once with --start; a RESULT opens as with
    /// File > Open result; a desktop action runs.
    void CarryOut(const TProgramCommand& command);

private:
    void Refuse(const QString& message);
    void OpenResult(const QByteArray& path);

    TFmain& window_;
    // Holds links under names that the window can open to results whose own names are not
    // valid UTF-8; made when first needed, removed with this object.
    std::unique_ptr<QTemporaryDir> links_;
};

} // namespace parvex
