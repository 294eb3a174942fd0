#include "editor/fMDIChild.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "modal.h"
#include "testing.h"

namespace {

// The edit fields, by their object names.
enum TFieldIndex { fDescription, fLatitude, fLongitude, fLatDeg, fLatMin };
const char* const FieldNames[] = { "edDescription", "edLatitude", "edLongitude", "edLatDeg",
    "edLatMin" };

// A shown, active document window of `count` entries described "0", "1", ... at
// latitude = longitude = row, unchanged. Keyboard focus only moves in an active window.
class TWindow {
public:
    explicit TWindow(int count = 0)
        : Child(new TMDIChild)
    {
        for (int i = 0; i < count; ++i)
            Child->Document.Entries.AddValues(std::to_string(i), "", i, i);
        Child->Document.Entries.ClearChanged();
        Child->UpdateView();
        Child->show();
        Child->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Child));
    }
    ~TWindow() { delete Child; }
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    TMDIChild* operator->() const { return Child; }
    TMDIChild& operator*() const { return *Child; }

    QLineEdit* Field(TFieldIndex index) const
    {
        return Child->findChild<QLineEdit*>(QLatin1String(FieldNames[index]));
    }
    QPushButton* LatSign() const
    {
        return Child->findChild<QPushButton*>(QStringLiteral("buLatSign"));
    }
    QTableView* List() const { return Child->findChild<QTableView*>(); }
    QAction* Action(const QString& caption) const
    {
        for (QAction* action : List()->actions())
            if (QString(action->text()).remove('&') == caption)
                return action;
        return nullptr;
    }
    const TEntry& Entry(int row) const { return Child->Document.Entries.Items(row); }

    std::string Descriptions() const { return ::Descriptions(Child->Document.Entries); }

    // Types `text` in place of the field's text and moves the focus away, as a user leaving
    // the field with the mouse.
    void Type(TFieldIndex index, const QString& text) const
    {
        QLineEdit* field = Field(index);
        field->setFocus();
        field->clear();
        QTest::keyClicks(field, text);
        Child->findChild<QTableView*>()->setFocus();
    }

    // Closes the window as its frame would; the window is gone afterwards when it accepted.
    bool Close()
    {
        const bool closed = Child->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return closed;
    }
    bool Exists() const { return !Child.isNull(); }

private:
    QPointer<TMDIChild> Child;
};

} // namespace

// The edit fields follow the current entry. Minus and plus in a decimal field switch the
// hemisphere at once; the hemisphere button applies the pending edit first.
TEST(TMDIChild, EditFieldsFollowTheCurrentEntryAndSwitchTheHemisphereAtOnce)
{
    TPrecision precision(5);
    TWindow window(3);
    window->SelectOnly(2);
    QLineEdit* latitude = window.Field(fLatitude);
    latitude->setFocus();
    QTest::keyClick(latitude, '-');
    EXPECT_EQ(window.Entry(2).Latitude(), -2) << "without leaving the field";
    EXPECT_EQ(latitude->text(), "-2.00000");
    EXPECT_EQ(window.LatSign()->text(), "S");
    QTest::keyClick(latitude, '-');
    EXPECT_EQ(latitude->text(), "-2.00000") << "the key itself is never typed";

    QTest::keyClick(latitude, '+');
    EXPECT_EQ(window.Entry(2).Latitude(), 2);
    EXPECT_EQ(window.LatSign()->text(), "N");
    QTest::keyClick(window.Field(fLongitude), '-');
    EXPECT_EQ(window.Entry(2).Longitude(), -2);
    EXPECT_EQ(window.Entry(2).Latitude(), 2);

    latitude->setFocus();
    latitude->clear();
    QTest::keyClicks(latitude, "0.5");
    QTest::mouseClick(window.LatSign(), Qt::LeftButton);
    EXPECT_EQ(window.Entry(2).Latitude(), -0.5) << "typed, then switched to the south";
    EXPECT_EQ(window.LatSign()->text(), "S");

    window->SelectOnly(1);
    EXPECT_EQ(window.LatSign()->text(), "N") << "the current entry's";
    window.Type(fLatitude, "12.5");
    EXPECT_EQ(window.Entry(1).Latitude(), 12.5);
    EXPECT_EQ(window.Field(fLatDeg)->text(), "12") << "a decimal edit shows in the degrees";
    EXPECT_EQ(window.Field(fLatMin)->text(), "30");
    EXPECT_EQ(window.Field(fDescription)->text(), "1") << "the description stays";

    // The degree boxes show their units and take no sixty minutes or seconds.
    window->SelectOnly(0);
    QStringList units;
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->text().size() == 1)
            units.append(label->text());
    units.sort();
    EXPECT_EQ(units.join(""), QString::fromUtf8("°°′′″″"));
    window.Type(fLatMin, "75");
    EXPECT_EQ(window.Entry(0).LatMin(), 7) << "the 5 is refused";
}

// In the description Up and Down walk the rows, committing the edit first. The list's keys walk
// its rows as a list does: Home and End reach the first and last row, Left and Right stay on the
// row, Shift extends the selection, Tab leaves the list.
TEST(TMDIChild, TheDescriptionsAndTheListsKeysWalkTheRows)
{
    TWindow window(10);
    window->SelectOnly(1);
    QLineEdit* description = window.Field(fDescription);
    description->setFocus();
    description->setText("one");

    QTest::keyClick(description, Qt::Key_Up);
    EXPECT_EQ(window.Descriptions(), "0 one 2 3 4 5 6 7 8 9 ") << "the edit reached its own row";
    EXPECT_EQ(window->CurrentRow(), 0);
    EXPECT_EQ(window->SelectedRows(), std::vector<int> { 0 });
    EXPECT_EQ(description->text(), "0");
    EXPECT_EQ(description->cursorPosition(), 1) << "at the end when it was at the end";
    EXPECT_TRUE(description->hasFocus());

    QTest::keyClick(description, Qt::Key_Up);
    EXPECT_EQ(window->CurrentRow(), 0) << "not before the first row";

    description->setText("zero");
    description->setCursorPosition(2);
    QTest::keyClick(description, Qt::Key_Down);
    EXPECT_EQ(window->CurrentRow(), 1);
    EXPECT_EQ(description->text(), "one");
    EXPECT_EQ(description->cursorPosition(), 2) << "kept when it was inside the text";
    EXPECT_EQ(window.Descriptions(), "zero one 2 3 4 5 6 7 8 9 ");

    QTableView* list = window.List();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(window->SelectedRows(), std::vector<int> { 9 });
    description->setFocus();
    QTest::keyClick(description, Qt::Key_Down);
    EXPECT_EQ(window->CurrentRow(), 9) << "not past the last row";
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_EQ(window->SelectedRows(), std::vector<int> { 0 });
    QTest::keyClick(list, Qt::Key_Right);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(window->SelectedRows(), (std::vector<int> { 0, 1 }));
    EXPECT_EQ(list->currentIndex().column(), TDocument::colDescription);

    const QModelIndex latitude = list->model()->index(5, TDocument::colLatitude);
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, Qt::ControlModifier, list->visualRect(latitude).center());
    EXPECT_EQ(window->SelectedRows(), (std::vector<int> { 0, 1, 5 })) << "whole rows";
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_FALSE(list->hasFocus());
}

TEST(TMDIChild, RenamingARowInPlaceRefreshesCaptionAndFieldsAndLeavesDeleteAtHand)
{
    TWindow window(2);
    window->SelectOnly(1);
    window.List()->setFocus();
    QTest::keyClick(window.List(), Qt::Key_F2);
    auto* editor = window.List()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << "F2 edits the description in place";
    editor->setText("renamed!");
    QTest::keyClick(editor, Qt::Key_Backspace);
    editor->setCursorPosition(0);
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClick(editor, Qt::Key_R);
    QTest::keyClick(editor, Qt::Key_Insert);
    EXPECT_EQ(window->Document.Entries.Count(), 2) << "the editor's keys are its own";
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor hands its text over once the key is done
    EXPECT_EQ(window.Descriptions(), "0 renamed ");
    EXPECT_EQ(window.Field(fDescription)->text(), "renamed");

    window->SelectOnly(0);
    window->Undo();
    EXPECT_EQ(window->SelectedRows(), std::vector<int> { 1 }) << "the row the undo changed";
    EXPECT_EQ(window.Field(fDescription)->text(), "1");

    // Delete works at once after an edit in place ends, either way.
    for (const Qt::Key end : { Qt::Key_Escape, Qt::Key_Return }) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the last editor
        window->SelectOnly(window->Document.Entries.Count() - 1);
        window.List()->setFocus();
        QTest::keyClick(window.List(), Qt::Key_F2);
        editor = window.List()->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText("again");
        QTest::keyClick(editor, end);
        QCoreApplication::processEvents();
        EXPECT_TRUE(window->DeleteAction()->isEnabled());
        QTest::keyClick(window.List(), Qt::Key_Delete);
    }
    EXPECT_EQ(window->Document.Entries.Count(), 0);
}

// A deleted block leaves the row after it selected, the last row the new last one, the last
// entry nothing; undo marks the rows it brings back.
TEST(TMDIChild, DeleteSelectsTheRowAfterItAndNothingWhenTheListIsEmpty)
{
    TWindow window(10);
    // A block selected with Shift from row 3 down to row 7, where the focus ends.
    auto* model = window.List()->model();
    window.List()->selectionModel()->select(
        QItemSelection(model->index(3, 0), model->index(7, 2)), QItemSelectionModel::Select);
    window.List()->selectionModel()->setCurrentIndex(
        model->index(7, 0), QItemSelectionModel::NoUpdate);
    window->DeleteAction()->trigger();
    EXPECT_EQ(window.Descriptions(), "0 1 2 8 9 ");
    EXPECT_EQ(window->SelectedRows(), std::vector<int> { 3 }) << "where the block began";
    EXPECT_EQ(window.Field(fDescription)->text(), "8");
    EXPECT_EQ(window.List()->model()->rowCount(), 5);

    window->Undo();
    EXPECT_EQ(window->SelectedRows(), (std::vector<int> { 3, 4, 5, 6, 7 }))
        << "the rows brought back are marked";
    window->SelectOnly(9);
    window->Redo();
    EXPECT_EQ(window->SelectedRows(), std::vector<int> {}) << "nothing left to mark";

    window->SelectAll();
    window->DeleteAction()->trigger();
    EXPECT_EQ(window->Document.Entries.Count(), 0);
    EXPECT_TRUE(window->SelectedRows().empty());
    EXPECT_EQ(window->CurrentRow(), -1);
    for (QLineEdit* field : window->findChildren<QLineEdit*>()) {
        EXPECT_FALSE(field->isEnabled()) << "no current entry";
        EXPECT_EQ(field->text(), "");
    }
    EXPECT_FALSE(window.LatSign()->isEnabled());
    EXPECT_FALSE(window->DeleteAction()->isEnabled()) << "nothing left to delete";
}

TEST(TMDIChild, SelectAllAndInvertShowTheHourglassAboveAThousandEntries)
{
    TWindow window(1001);
    // The hourglass is up while the selection changes; the change reports itself at once.
    QList<bool> hourglass;
    QObject::connect(window.List()->selectionModel(), &QItemSelectionModel::selectionChanged, [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        hourglass.append(cursor && cursor->shape() == Qt::WaitCursor);
    });
    window->SelectAll();
    window->InvertSelection();
    EXPECT_EQ(hourglass, (QList<bool> { true, true }));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "restored";
    EXPECT_TRUE(window->SelectedRows().empty()) << "inverted back";

    window->SelectOnly(1000);
    window->DeleteAction()->trigger();
    window->SelectAll();
    EXPECT_EQ(hourglass.last(), false) << "a thousand entries select at once";
    EXPECT_EQ(window->SelectedRows().size(), 1000u);
    EXPECT_TRUE(window.Action("Rename Selected")->isEnabled());
    window->SelectOnly(5);
    EXPECT_FALSE(window.Action("Rename Selected")->isEnabled()) << "one row is no batch";
}

// A drop from another window copies; a paste of damaged text keeps what was read, as one step.
TEST(TMDIChild, DropsAndPastesBringEntriesIn)
{
    TBuiltInFormats formats;
    TWindow source(10);
    TWindow target(3);
    source.List()->selectionModel()->select(
        QItemSelection(source.List()->model()->index(8, 0), source.List()->model()->index(9, 2)),
        QItemSelectionModel::ClearAndSelect);
    target->SelectOnly(0);

    target->DropFrom(*source, 1);
    EXPECT_EQ(target.List()->model()->rowCount(), 5);
    EXPECT_TRUE(target->SelectedRows().empty());
    EXPECT_TRUE(source->SelectedRows().empty()) << "the dragged rows are no longer marked";

    QApplication::clipboard()->setText("<gpx><wpt lat=\"1\" lon=\"2\"><name>read</name></wpt>"
                                       "<wpt lat=\"3\"><name>damaged</name></wpt></gpx>");
    target.List()->setFocus();
    EXPECT_EQ(ErrorOf<EUserError>([&] { target->Paste(); }), "Invalid entry found in GPX format");
    EXPECT_EQ(target.Descriptions(), "0 8 9 1 2 read ");
    EXPECT_EQ(target.List()->model()->rowCount(), 6) << "the list shows what was read";
    target->Undo();
    EXPECT_EQ(target.Descriptions(), "0 8 9 1 2 ") << "what was read is one step";
    target->SelectOnly(0);
    target.Field(fDescription)->setFocus();
    target->Paste();
    EXPECT_EQ(target->Document.Entries.Count(), 5) << "a text field takes its own paste";
}

// Cancel keeps the window and Yes saves, the typed text too; the question names the document
// in its title. The document's own test pins No and the unchanged document.
TEST(TMDIChild, ClosingAChangedDocumentAsksToSaveIt)
{
    TBuiltInFormats formats;
    QTemporaryDir dir;
    const QString file = dir.filePath("a.gpx");
    TWindow window(1);
    window->Document.FileName = "FILE://" + file;
    window->SelectOnly(0);
    window.Field(fDescription)->setFocus();
    window.Field(fDescription)->setText("typed");

    WhenShown<QMessageBox>([&](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), QApplication::applicationDisplayName() + " - a.gpx");
        EXPECT_EQ(box.text(), "The current data has changed. Do you want to save the changes?")
            << "the typed text counts as a change";
        box.button(QMessageBox::Cancel)->click();
    });
    EXPECT_FALSE(window.Close());
    ASSERT_TRUE(window.Exists());
    EXPECT_EQ(FileBytes(file), "<missing>");

    window->activateWindow(); // back from the question
    ASSERT_TRUE(QTest::qWaitForWindowActive(&*window));
    window->InsertAction()->trigger();
    EXPECT_EQ(window.Descriptions(), "typed New entry #2 ") << "the edit is committed first";
    EXPECT_EQ(window->SelectedRows(), std::vector<int> { 1 });
    EXPECT_EQ(window.Field(fDescription)->text(), "New entry #2");
    EXPECT_TRUE(window.Field(fDescription)->hasFocus()) << "ready for typing";
    window.Field(fDescription)->setText("typed too");
    TScriptedPrompt prompt;
    window->SetPrompt(prompt);
    prompt.Answers = { IUserPrompt::TAnswer::Yes };
    EXPECT_TRUE(window.Close());
    EXPECT_FALSE(window.Exists());
    EXPECT_NE(FileBytes(file).find("<name>typed too</name>"), std::string::npos);
}

TEST(TMDIChild, ClosingALargeDocumentShowsTheCleanUpProgress)
{
    // Notes the label of every progress window that shows.
    class TProgressWatch : public QObject {
    public:
        QStringList Shown;

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (auto* progress = qobject_cast<QProgressDialog*>(watched);
                progress && event->type() == QEvent::Show)
                Shown.append(progress->labelText());
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    TWindow small(2000);
    EXPECT_TRUE(small.Close());
    EXPECT_TRUE(watch.Shown.isEmpty()) << "two thousand entries go at once";

    TWindow large(2001);
    EXPECT_TRUE(large.Close());
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(watch.Shown, QStringList { "Cleaning up, please wait..." });
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<QProgressDialog*>(window) && window->isVisible());
}

// A click on a column header applies the pending edit, then sorts. The selected and the current
// entries stay so wherever the sort takes them; a second click sorts the other way, and the
// header shows which.
TEST(TMDIChild, SortingKeepsTheSelectedEntriesAndASecondClickSortsDescending)
{
    TWindow window;
    for (const auto& [name, latitude] :
        { std::pair { "Paris", 48.9 }, { "Madrid", 40.4 }, { "Berlin", 52.5 }, { "Oslo", 59.9 } })
        window->Document.Entries.AddValues(name, "", 0, latitude);
    window->UpdateView();
    window->SelectOnly(0);
    window->SelectRanges({ { 0, 0 }, { 3, 3 } }); // Paris current, Paris and Oslo selected
    window.Field(fDescription)->setFocus();
    window.Field(fDescription)->setText("Paris!");
    QHeaderView* header = window.List()->horizontalHeader();
    const auto clickLatitude = [&] {
        const int x = header->sectionViewportPosition(TDocument::colLatitude) + 5;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    };
    const auto selected = [&] {
        std::string names;
        for (int row : window->SelectedRows())
            names += std::string(window.Entry(row).Description()) + ' ';
        return names + "current " + std::string(window.Entry(window->CurrentRow()).Description());
    };
    clickLatitude();
    EXPECT_EQ(window.Descriptions(), "Madrid Paris! Berlin Oslo ");
    EXPECT_EQ(selected(), "Paris! Oslo current Paris!");
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickLatitude();
    EXPECT_EQ(window.Descriptions(), "Oslo Berlin Paris! Madrid ");
    EXPECT_EQ(selected(), "Oslo Paris! current Paris!");
    EXPECT_EQ(header->sortIndicatorSection(), TDocument::colLatitude);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
}

TEST(TMDIChild, EditFieldsFitATiledWindowAndTheMapKeepsItsShare)
{
    Settings().MapVisible = false; // the map beside the list takes a width of its own
    TWindow window(1);
    window->Document.Entries.Items(0).SetLongitude(-179.123456);
    window->SelectOnly(0);
    // Three windows side by side on a screen 1280 pixels wide.
    EXPECT_LE(window->minimumSizeHint().width(), 400);
    for (const int width : { 400, 1600 }) {
        window->resize(width, 400);
        QCoreApplication::processEvents();
        for (QLineEdit* field : window->findChildren<QLineEdit*>()) {
            if (!field->objectName().startsWith("ed"))
                continue;
            const QRect shown(field->mapTo(&*window, QPoint(0, 0)), field->size());
            EXPECT_TRUE(window->rect().contains(shown)) << field->objectName().toStdString();
            EXPECT_LE(field->fontMetrics().horizontalAdvance(field->text()) + 6, field->width())
                << field->objectName().toStdString() << " shows " << field->text().toStdString();
        }
        for (const auto& [caption, name] :
            { std::pair { "Lat", "edLatitude" }, std::pair { "Lon", "edLongitude" },
                std::pair { "Description", "edDescription" } }) {
            QLabel* label = nullptr;
            for (QLabel* candidate : window->findChildren<QLabel*>())
                if (candidate->text() == caption)
                    label = candidate;
            ASSERT_NE(label, nullptr);
            const int textEnd = label->alignment() & Qt::AlignRight
                ? label->geometry().right()
                : label->x() + label->fontMetrics().horizontalAdvance(label->text());
            EXPECT_LE(window->findChild<QWidget*>(name)->x() - textEnd, 12)
                << caption << " at width " << width;
        }
    }

    // The map keeps its share of the window, not its width in pixels, and never squeezes the
    // list.
    Settings().MapPanelShare = 25;
    window->ShowMap(true);
    auto* splitter = window->findChild<QSplitter*>();
    for (const int width : { 1600, 1200 }) {
        window->resize(width, 500);
        QCoreApplication::processEvents();
        EXPECT_NEAR(splitter->sizes()[0], splitter->width() / 4, 2) << width;
    }
    Settings().MapPanelShare = 90;
    window->resize(500, 500);
    QCoreApplication::processEvents();
    EXPECT_GE(splitter->sizes()[1], splitter->widget(1)->minimumSizeHint().width());
}
