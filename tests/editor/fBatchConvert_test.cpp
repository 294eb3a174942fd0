#include "editor/fBatchConvert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "convert/uConvertBase.h"
#include "convert/uFormats.h"
#include "testing.h"

namespace {

// A batch window over a source folder of two OV2 files and an empty destination folder.
class BatchWindowTest : public ::testing::Test {
protected:
    BatchWindowTest()
    {
        QDir(Dir.path()).mkdir("src");
        QDir(Dir.path()).mkdir("dst");
        WriteFileBytes(Dir.filePath("src/a.ov2"), Ov2Record(2, 1, 1, { "a" }));
        WriteFileBytes(Dir.filePath("src/b.ov2"), Ov2Record(2, 2, 2, { "b" }));
        Settings().BatchConvertSource = Dir.filePath("src");
        Settings().BatchConvertDest = Dir.filePath("dst");
    }

    template <class T> T* Child(TfmBatchConvert& window, const char* name)
    {
        T* child = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    TBuiltInFormats Formats;
    QTemporaryDir Dir;
    TScriptedPrompt Prompt;
};

} // namespace

TEST_F(BatchWindowTest, OpensWithTheStoredChoicesAndStoresThemOnClose)
{
    Settings().BatchConvertDestFormatID = "*";
    Settings().BatchConvertDestFormatIDs = ";gengpx;genkml";
    TfmBatchConvert window(nullptr, {});
    EXPECT_EQ(Child<QListWidget>(window, "lbSource")->count(), 2);
    auto* format = Child<QComboBox>(window, "cbDestFormat");
    auto* checks = Child<QListWidget>(window, "clFormats");
    EXPECT_EQ(format->currentText(), "Multiple formats...");
    EXPECT_FALSE(checks->isHidden());
    EXPECT_FALSE(Child<QCheckBox>(window, "cbOpenFile")->isEnabled());
    EXPECT_EQ(checks->item(IndexOfExporterFormat("genkml"))->checkState(), Qt::Checked);
    EXPECT_EQ(checks->item(0)->checkState(), Qt::Unchecked);

    auto* file = Child<QLineEdit>(window, "edDestFile");
    file->setText("/p/all.ov2");
    format->setCurrentIndex(IndexOfExporterFormat("gengpx"));
    EXPECT_EQ(file->text(), "/p/all.gpx");
    EXPECT_TRUE(checks->isHidden());
    EXPECT_TRUE(Child<QCheckBox>(window, "cbOpenFile")->isEnabled());
    checks->item(0)->setCheckState(Qt::Checked);
    window.reject();

    EXPECT_EQ(Settings().BatchConvertDestFormatID, "gengpx");
    EXPECT_EQ(Settings().BatchConvertDestFormatIDs, ";ttov2;gengpx;genkml");
}

// An append to open goes to the main window, and the batch window closes.
TEST_F(BatchWindowTest, ConvertsTheChosenFilesAndShowsWhatItWroteOrOpensIt)
{
    Settings().BatchConvertDestFormatID = "gengpx";
    QStringList opened;
    TfmBatchConvert window(nullptr,
        [&](const QString& location, const QString& formatId) { opened << location << formatId; });
    window.SetPrompt(Prompt);
    window.show();
    WriteFileBytes(Dir.filePath("src/c.ov2"), Ov2Record(2, 3, 3, { "c" }));
    auto* folder = Child<QLineEdit>(window, "edSource");
    folder->setFocus();
    QTest::keyClick(folder, Qt::Key_Return);
    auto* source = Child<QListWidget>(window, "lbSource");
    EXPECT_EQ(source->count(), 3) << "Enter in the folder field lists it";
    EXPECT_TRUE(Prompt.Shown.isEmpty()) << "and converts nothing";
    source->item(1)->setSelected(true);
    EXPECT_TRUE(Child<QRadioButton>(window, "rbSelected")->isChecked())
        << "choosing a file chooses the Selected mode";
    Child<QPushButton>(window, "buConvert")->click();

    EXPECT_EQ(Prompt.Shown,
        QStringList { "Batch conversion finished: 1 converted, 0 failed, 0 skipped." });
    EXPECT_EQ(FilesIn(Dir.filePath("dst")), QStringList { "b.gpx" });
    EXPECT_EQ(Child<QListWidget>(window, "lbDest")->count(), 1) << "listed anew after the run";
    EXPECT_EQ(Child<QProgressBar>(window, "ProgressBar")->value(), 1);

    Child<QRadioButton>(window, "rbAll")->setChecked(true);
    EXPECT_TRUE(source->selectedItems().isEmpty()) << "All clears the selection";

    Prompt.Shown.clear();
    Child<QRadioButton>(window, "rbAppend")->setChecked(true);
    Child<QLineEdit>(window, "edDestFile")->setText(Dir.filePath("dst/all"));
    Child<QCheckBox>(window, "cbOpenFile")->setChecked(true);
    window.Convert();
    EXPECT_EQ(opened, QStringList({ Dir.filePath("dst/all.gpx"), "gengpx" }));
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(Prompt.Shown.isEmpty());
}
