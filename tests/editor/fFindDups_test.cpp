#include "editor/fFindDups.h"

#include <QApplication>
#include <QClipboard>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "convert/uFormats.h"
#include "editor/uDocument.h"
#include "testing.h"

namespace {

// A document of three groups: "a" heads "a2" and "a3", "b" heads "b2", "c" heads "c2"; "far"
// has no duplicate. Each duplicate lies about a metre from its head.
class FindDupsTest : public ::testing::Test {
protected:
    FindDupsTest()
    {
        for (const auto& [name, lon] : std::initializer_list<std::pair<const char*, double>> {
                 { "a", 1 }, { "b", 2 }, { "a2", 1.00001 }, { "far", 3 }, { "c", 4 },
                 { "c2", 4.00001 }, { "b2", 2.00001 }, { "a3", 1 } })
            Document.Entries.AddValues(name, "", lon, 50);
        Window.ToleranceField()->setValue(5);
        Window.SetPrompt(Prompt);
        Window.SetProgressRunner([this](const QString& text, const auto& work) {
            ProgressText = text;
            work([](int) { return true; });
        });
    }

    QTreeWidgetItem* Node(int group, int duplicate = -1) const
    {
        QTreeWidgetItem* head = Window.ResultTree()->topLevelItem(group);
        return duplicate < 0 ? head : head->child(duplicate);
    }

    // The tree as "head: duplicate duplicate | head: ...".
    std::string Tree() const
    {
        std::string text;
        for (int g = 0; g < Window.ResultTree()->topLevelItemCount(); ++g) {
            text += (g ? " | " : "") + Node(g)->text(0).toStdString() + ":";
            for (int d = 0; d < Node(g)->childCount(); ++d)
                text += " " + Node(g, d)->text(0).toStdString();
        }
        return text;
    }

    // Which of cut, copy and delete can be used, as "xcd", "---" for none.
    std::string Enabled() const
    {
        return { Window.CutAction()->isEnabled() ? 'x' : '-',
            Window.CopyAction()->isEnabled() ? 'c' : '-',
            Window.DeleteAction()->isEnabled() ? 'd' : '-' };
    }

    TBuiltInFormats Formats;
    TDocument Document;
    int DocumentRefreshes = 0;
    TfmFindDups Window { Document, [this] { ++DocumentRefreshes; } };
    TScriptedPrompt Prompt;
    QString ProgressText;
};

} // namespace

// The tool opens ready for a number; Enter searches and keeps it open. Cut, copy and delete need
// a duplicate selected; copy takes the selected duplicates in tree order, never a head; delete
// and cut remove them.
TEST_F(FindDupsTest, FindsGroupsWithTheStoredToleranceThenCopiesDeletesAndCutsDuplicates)
{
    Settings().FindDupsTolerance = 2;
    TfmFindDups fresh(Document, [] {});
    EXPECT_EQ(fresh.ToleranceField()->value(), 2);

    Window.show();
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    EXPECT_EQ(Window.focusWidget(), Window.ToleranceField());
    Window.ToleranceField()->selectAll();
    QTest::keyClicks(Window.ToleranceField(), "3");
    QTest::keyClick(Window.ToleranceField(), Qt::Key_Return);
    EXPECT_TRUE(Window.isVisible());
    EXPECT_EQ(Tree(), "a: a2 a3 | b: b2 | c: c2");
    EXPECT_TRUE(Node(0)->isExpanded());
    EXPECT_EQ(ProgressText, "Searching for duplicates...");
    EXPECT_EQ(Settings().FindDupsTolerance, 3);

    EXPECT_EQ(Enabled(), "---");
    Node(1)->setSelected(true);
    EXPECT_EQ(Enabled(), "---") << "a head alone";
    Window.Delete();
    EXPECT_EQ(Document.Entries.Count(), 8) << "a head is never deleted";
    Node(1, 0)->setSelected(true);
    EXPECT_EQ(Enabled(), "xcd");
    Node(1, 0)->setSelected(false);
    EXPECT_EQ(Enabled(), "---");

    for (QTreeWidgetItem* node : { Node(2, 0), Node(0), Node(0, 1), Node(1, 0) })
        node->setSelected(true);
    QApplication::clipboard()->clear();
    Window.Copy();
    TEntries copied;
    copied.AppendGpxText(QApplication::clipboard()->text());
    EXPECT_EQ(Descriptions(copied), "a3 b2 c2 ");

    Window.ResultTree()->clearSelection();
    Node(0, 0)->setSelected(true);
    Node(2, 0)->setSelected(true);
    Window.Delete();
    EXPECT_EQ(Descriptions(Document.Entries), "a b far c b2 a3 ");
    EXPECT_EQ(Tree(), "a: a3 | b: b2 | c:");
    EXPECT_EQ(DocumentRefreshes, 1);
    EXPECT_EQ(Enabled(), "---");

    Node(1, 0)->setSelected(true);
    QApplication::clipboard()->clear();
    Window.Cut();
    EXPECT_EQ(Descriptions(Document.Entries), "a b far c a3 ");
    EXPECT_TRUE(QApplication::clipboard()->text().contains("b2"));
    EXPECT_EQ(Tree(), "a: a3 | b: | c:");

    Document.Entries.Clear();
    ProgressText.clear();
    Window.Find();
    EXPECT_EQ(Tree(), "");
    EXPECT_EQ(Prompt.Shown, QStringList { "No duplicate items found" });
    EXPECT_TRUE(ProgressText.isEmpty()) << "an empty document is searched without progress";
}
