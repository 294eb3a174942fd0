#include "widgets/fDialogs.h"

#include <functional>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "editor/fChooseFormat.h"
#include "editor/fCrashReport.h"
#include "editor/fMinimize.h"
#include "editor/fReport.h"
#include "modal.h"
#include "testing.h"

namespace {

QStringList LabelTexts(const QWidget& widget)
{
    QStringList texts;
    for (const QLabel* label : widget.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

const QStringList CsvImporters { "Navman Comma Separated", "Navio Comma Separated",
    "Garmin Comma Separated", "Destinator Comma Separated" };

} // namespace

TEST(ChooseFormat, ShowsTheFailureAndReturnsTheChoice)
{
    TfmChooseFormat dialog("/poi/a.csv", "3 values expected on line 0", CsvImporters, 1);
    EXPECT_EQ(dialog.windowTitle(), "File open error...");
    const QStringList labels = LabelTexts(dialog);
    EXPECT_TRUE(labels.contains("/poi/a.csv"));
    EXPECT_TRUE(labels.contains("3 values expected on line 0."));
    EXPECT_EQ(dialog.findChild<QComboBox*>()->count(), 4);
    EXPECT_EQ(dialog.Choice().Index, 1) << "preselected by the caller";
    EXPECT_FALSE(dialog.Choice().UseAsDefault);

    WhenShown([](QDialog& shown) {
        shown.findChild<QComboBox*>()->setCurrentIndex(2);
        shown.findChild<QCheckBox*>()->setChecked(true);
        shown.accept();
    });
    const auto choice = TfmChooseFormat::Ask(nullptr, "/poi/a.csv", "x", CsvImporters, 0);
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->Index, 2);
    EXPECT_TRUE(choice->UseAsDefault);

    WhenShown([](QDialog& shown) { shown.reject(); });
    EXPECT_FALSE(TfmChooseFormat::Ask(nullptr, "/poi/a.csv", "x", CsvImporters, 0).has_value());
}

// The open dialog offers the code page of 8-bit files, the setting's first, per file.
TEST(OpenDialog, ChoosesTheFileAndItsTextEncoding)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("moscow.ov2");
    SaveFileBytes(file, "x");
    const TCodePageScope page(DefaultCodePage);
    WhenShown([&](QDialog& shown) {
        auto* codePage = shown.findChild<QComboBox*>("cbCodePage");
        ASSERT_NE(codePage, nullptr);
        EXPECT_EQ(codePage->currentText(), "windows-1252");
        codePage->setCurrentText("windows-1251");
        static_cast<QFileDialog&>(shown).selectFile(file);
        shown.accept();
    });
    const TOpenChoice chosen = ChooseFileToOpen(nullptr, "Open", dir.path(), { "TomTom (*.ov2)" });
    EXPECT_EQ(chosen.File, file);
    EXPECT_EQ(chosen.CodePage, "windows-1251");
    EXPECT_EQ(chosen.Filter, "TomTom (*.ov2)");
}

TEST(MinimizeNotice, ShownUntilTheUserDeclinesIt)
{
    int shown = 0;
    const auto show = [&](bool decline) {
        WhenShown([&shown, decline](QDialog& notice) {
            ++shown;
            notice.findChild<QCheckBox*>()->setChecked(decline);
            notice.accept();
        });
        TfmMinimize::ShowUnlessHidden(nullptr);
    };
    show(false);
    EXPECT_FALSE(Settings().HideMinimizeToTray) << "box not checked";
    show(true);
    EXPECT_TRUE(Settings().HideMinimizeToTray);

    TfmMinimize::ShowUnlessHidden(nullptr);
    QApplication::processEvents();
    EXPECT_EQ(shown, 2) << "not shown again";
}

TEST(InformationDialogs, ReportsSaveTheirTextOrSayWhyNot)
{
    QTemporaryDir dir;
    const TfmSysInfo info;
    info.SaveTo(dir.filePath("info.txt"));
    EXPECT_EQ(FileBytes(dir.filePath("info.txt")), info.Text().toStdString());

    const QString missing = dir.filePath("no/such/folder/info.txt");
    EXPECT_TRUE(ErrorOf<EUserError>([&] { info.SaveTo(missing); }).startsWith("Cannot write file"));
    EXPECT_FALSE(QFile::exists(missing));

    // The crash window shows the fault, and saves what it shows.
    const TfmCrashReport crash({ "index out of range", "std::out_of_range", "TfmMain", { "f()" } });
    EXPECT_TRUE(LabelTexts(crash).join('\n').contains("index out of range"));
    const auto* view = crash.findChild<QPlainTextEdit*>();
    ASSERT_NE(view, nullptr);
    const QString shown = view->toPlainText();
    EXPECT_TRUE(shown.startsWith("What failed: index out of range\nException type: "
                                 "std::out_of_range\nWhere: TfmMain\n\n"))
        << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("\nStack where the fault was caught:\n  f()\n"))
        << shown.toStdString();
    crash.SaveTo(dir.filePath("crash.txt"));
    EXPECT_EQ(FileBytes(dir.filePath("crash.txt")), shown.toStdString());
}
