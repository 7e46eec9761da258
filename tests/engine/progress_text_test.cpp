#include "_compearer/panel/progress_text.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(ProgressSizeText, WritesBytesThenKbMbAndGbOfAThousandEach) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 bytes"},           {1000, "1000 bytes"},           {1001, "1.001 Kb"},
        {1000000, "1000.000 Kb"}, {1234567, "1.235 Mb"},          {1000000000, "1000.000 Mb"},
        {1190000000, "1.190 Gb"}, {2500000000000, "2500.000 Gb"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(ProgressSizeText(bytes, kEnglish).toStdString(), text) << bytes;
}

TEST(ProgressSizeText, UsesTheLocalesDecimalPoint) {
    EXPECT_EQ(ProgressSizeText(1234567, kGerman).toStdString(), "1,235 Mb");
}

TEST(ProgressText, ShowsFoldersAndFilesWhileScanning) {
    TSearchProgress progress;
    progress.FoldersScanned = 12345;
    progress.FilesCollected = 140511;
    EXPECT_EQ(ProgressText(progress, ssScanning, kEnglish).toStdString(),
              "12,345 folders, 140,511 files");
    EXPECT_EQ(ProgressText(progress, ssScanning, kGerman).toStdString(),
              "12.345 folders, 140.511 files");
}

TEST(ProgressText, ShowsFilesSettledBytesReadAndTheRateWhileComparing) {
    TSearchProgress progress;
    progress.FoldersScanned = 12345;
    progress.FilesCollected = 98220;
    progress.FilesSettled = 40112;
    progress.FilesToCompare = 98220;
    progress.BytesRead = 1190000000;
    progress.CompareSeconds = 2.5;
    EXPECT_EQ(ProgressText(progress, ssComparing, kEnglish).toStdString(),
              "40,112 of 98,220 files, 1.190 Gb read, 476.000 Mb/s");
}

TEST(ProgressText, ShowsNoRateBeforeTimeHasPassed) {
    TSearchProgress progress;
    progress.FilesToCompare = 3;
    EXPECT_EQ(ProgressText(progress, ssComparing, kEnglish).toStdString(),
              "0 of 3 files, 0 bytes read, 0 bytes/s");
}

TEST(ProgressText, CountsOneFolderOrFileInTheSingular) {
    TSearchProgress progress;
    progress.FoldersScanned = 1;
    progress.FilesCollected = 1;
    EXPECT_EQ(ProgressText(progress, ssScanning, kEnglish).toStdString(), "1 folder, 1 file");
    progress.FilesToCompare = 1;
    progress.BytesRead = 1;
    progress.CompareSeconds = 1;
    EXPECT_EQ(ProgressText(progress, ssComparing, kEnglish).toStdString(),
              "0 of 1 file, 1 bytes read, 1 bytes/s");
}

TEST(ProgressText, ShowsNothingWhenIdle) {
    TSearchProgress progress;
    progress.FoldersScanned = 3;
    progress.BytesRead = 7;
    EXPECT_TRUE(ProgressText(progress, ssIdle, kEnglish).isEmpty());
}

} // namespace
} // namespace parvex
