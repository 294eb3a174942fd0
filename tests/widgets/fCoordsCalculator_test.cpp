#include "widgets/fCoordsCalculator.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "testing.h"

namespace {

QLineEdit* Field(TfmCoordsCalculator& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(QLatin1String(name));
}

// Types `text` into a field and leaves it.
void Enter(QLineEdit* field, const QString& text)
{
    field->setText(text);
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(field, &leave);
}

} // namespace

// As a tool the window only closes; to pick a position, Ok wants one.
TEST(CoordsCalculatorWindow, EitherNotationShowsInTheOtherAndOkWantsAPosition)
{
    TPrecision precision(5);
    TfmCoordsCalculator dialog(nullptr, "Coordinates Calculator...");
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    dialog.show();
    EXPECT_EQ(buttons->button(QDialogButtonBox::Ok), nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), "Close");

    Enter(Field(dialog, "edLat"), "52.5");
    EXPECT_EQ(Field(dialog, "edLatPart1")->text(), "30");
    auto* sign = dialog.findChild<QPushButton*>("buLatSign");
    EXPECT_EQ(Field(dialog, "edLat")->text(), "52.50000");

    Enter(Field(dialog, "edLatPart1"), "15");
    sign->click();
    EXPECT_EQ(Field(dialog, "edLat")->text(), "-52.25000");
    EXPECT_EQ(sign->text(), "S");
    Enter(Field(dialog, "edLon"), "-0.25");
    EXPECT_EQ(dialog.findChild<QPushButton*>("buLonSign")->text(), "W");

    // The ranges of the parts are the coordinate fields' validators'; here seconds are whole.
    QString fraction = "12.5";
    int position = 0;
    EXPECT_EQ(Field(dialog, "edLonPart2")->validator()->validate(fraction, position),
        QValidator::Invalid);

    TfmCoordsCalculator pick(nullptr);
    EXPECT_NE(pick.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), nullptr);
    EXPECT_EQ(
        ErrorOf<EUserError>([&] { pick.accept(); }), "Please enter the longitude and latitude");
    EXPECT_NE(pick.result(), QDialog::Accepted);
    Enter(Field(pick, "edLon"), "4.5");
    pick.accept();
    EXPECT_EQ(pick.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(pick.Entry().Longitude(), 4.5);
}
