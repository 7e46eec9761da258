#pragma once

#include "VelPigger/velpigger.h"
#include "dialogs/sure.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace parvex::test {

/// A temporary folder with a settings file of the test's own and helpers to fill and read it.
class SettingsFolder : public testing::Test {
protected:
    QTemporaryDir Temp;

    std::string SettingsFile() const {
        return (Temp.path() + QStringLiteral("/parvex.set")).toStdString();
    }

    /// A folder below the temporary one, created, as the folder browser returns it (no "/").
    QString MakeFolder(const QString& relative) const {
        const QString path = Temp.path() + QLatin1Char('/') + relative;
        QDir().mkpath(path);
        return path;
    }

    /// Writes a settings document whose "COMPARE_COND" holds the given attributes.
    void WriteCompareCond(const std::vector<std::pair<std::string, std::string>>& attrs) const {
        TVelPigger root;
        root.SetName("SETTINGS");
        auto* section = new TVelPigger(&root);
        section->SetName("COMPARE_COND");
        for (const auto& [name, value] : attrs)
            section->SetAttr(name, value);
        root.SaveToFile(SettingsFile());
    }

    /// The settings file as the program would read it back.
    std::unique_ptr<TVelPigger> ReadBack() const {
        auto root = std::make_unique<TVelPigger>();
        root->LoadFromFile(SettingsFile());
        return root;
    }
};

/// A confirmation dialog that answers by itself and records every question.
class AnsweringSure : public TFsure {
public:
    explicit AnsweringSure(bool answer) : Answer(answer) {}
    bool Ask(const QString& question) override {
        Questions << question;
        Confirmed = Answer;
        return Answer;
    }
    bool Answer;
    QStringList Questions;
};

} // namespace parvex::test
