#pragma once

#include "VelPigger/velpigger.h"
#include "support/qt/root_folder.h"
#include "support/qt/scripted_sure.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace parvex::test {

/// A temporary folder with a settings file of the test's own and helpers to fill and read it.
class SettingsFolder : public ::testing::Test {
protected:
    testing::TTempTree Tree;

    /// The temporary folder, as the folder browser returns it (no "/").
    QString TempPath() const { return testing::RootFolder(Tree); }

    std::string SettingsFile() const { return Tree.Path("parvex.set"); }

    /// A folder below the temporary one, created, as the folder browser returns it (no "/").
    QString MakeFolder(const QString& relative) const {
        const QString path = TempPath() + QLatin1Char('/') + relative;
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

using testing::TScriptedSure;

} // namespace parvex::test
