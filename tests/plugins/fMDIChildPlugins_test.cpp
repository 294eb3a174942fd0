#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "core/uSettings.h"
#include "editor/fMDIChild.h"
#include "pluginfixture.h"
#include "testing.h"

namespace {

// A shown document of four entries "0", "1", ... at latitude = longitude = row, sending to the
// fake plugins named.
class TDocumentPlugins : public ::testing::Test, protected TFakePluginList {
protected:
    void Open(const QStringList& plugins)
    {
        for (const QString& name : plugins)
            Add(name, name != "OpenStreetMap");
        Settings().PluginAutoArrange = false;
        for (int i = 0; i < 4; ++i)
            Child->Document.Entries.AddValues(std::to_string(i), "", i, i);
        Child->SetPlugins(Plugins, Windows);
        Child->UpdateView();
        Child->show();
        Child->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Child.get()));
        List()->setFocus();
    }
    QTableView* List() const { return Child->findChild<QTableView*>(); }

    TFakeWindows Windows;
    std::unique_ptr<TMDIChild> Child = std::make_unique<TMDIChild>();
};

// Enter that ends an in-place rename only ends it.
TEST_F(TDocumentPlugins, OnePluginsCommandsSendTheSelectionAndTheCurrentEntry)
{
    Open({ "JOSM" });
    EXPECT_FALSE(Child->PluginGotoAction()->isEnabled()); // nothing selected
    Child->SelectAll();
    EXPECT_EQ(Child->PluginGotoAction()->text(), QStringLiteral("&Show in JOSM"));
    EXPECT_TRUE(Child->PluginGotoAction()->isEnabled());
    EXPECT_FALSE(Child->ShowInAction()->isVisible());
    Child->PluginAddAction()->trigger();
    EXPECT_EQ(Fakes[0]->Calls.filter("add"),
        QStringList({ "add 0 0 0 -1", "add 1 1 1 0", "add 2 2 2 0", "add 3 3 3 0" }));

    Child->SelectOnly(2);
    QTest::keyClick(List(), Qt::Key_Return);
    const QRect row = List()->visualRect(List()->model()->index(3, 0));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, row.center());
    QTest::keyClick(List(), Qt::Key_F2);
    auto* editor = List()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("renamed");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(Child->Document.Entries.Items(3).Description(), "renamed");
    EXPECT_EQ(Fakes[0]->Calls.filter("show"), QStringList({ "show 2 2 2", "show 3 3 3" }));
}

// Which plugins the submenus offer is the commands' own test; here, that they reach them.
TEST_F(TDocumentPlugins, TheSubmenusSendToTheOtherPlugins)
{
    Settings().DefaultPlugin = QStringLiteral("Example");
    Open({ "OpenStreetMap", "JOSM", "Example" });
    Child->SelectOnly(1);
    Child->UpdatePluginCommands(true);
    EXPECT_TRUE(Child->ShowInAction()->isVisible());
    const QList<QAction*> addTo = Child->AddToAction()->menu()->actions();
    ASSERT_EQ(addTo.size(), 2);
    EXPECT_EQ(addTo[0]->text(), QStringLiteral("OpenStreetMap"));
    EXPECT_FALSE(addTo[0]->isEnabled()); // OpenStreetMap cannot add
    addTo[1]->trigger();
    EXPECT_EQ(Fakes[1]->Calls.filter("add"), QStringList { "add 1 1 1 -1" });
    Child->ShowInAction()->menu()->actions()[0]->trigger();
    EXPECT_EQ(Fakes[0]->Calls.filter("show"), QStringList { "show 1 1 1" });
}

} // namespace
