#include "device/TreeViewCe.h"

#include <QStyle>

#include "widgets/uGuiPrompt.h"

TTreeViewCe::TTreeViewCe(QWidget* parent, TDeviceFolderModel::TLister lister)
    : QTreeView(parent)
    , Folders(std::move(lister))
{
    setHeaderHidden(true);
    setEditTriggers(NoEditTriggers);
    setUniformRowHeights(true);
    Folders.SetIcons(style()->standardIcon(QStyle::SP_DirClosedIcon),
        style()->standardIcon(QStyle::SP_DirOpenIcon));
    setModel(&Folders);
    connect(this, &QTreeView::expanded, this, &TTreeViewCe::OnExpanded);
    connect(this, &QTreeView::collapsed, this,
        [this](const QModelIndex& index) { Folders.Collapsed(index); });
}

// The model goes before the view: nothing is told about the folders it takes along.
TTreeViewCe::~TTreeViewCe()
{
    blockSignals(true);
    setModel(nullptr);
}

void TTreeViewCe::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    emit PathChanged(Path());
}

void TTreeViewCe::Reload()
{
    TWaitCursor wait;
    Folders.Reload();
}

void TTreeViewCe::OnExpanded(const QModelIndex& index)
{
    if (Finding)
        return;
    TWaitCursor wait;
    if (!Folders.Expand(index))
        collapse(index);
}

QString TTreeViewCe::Path() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? Folders.PathOf(current)
                                                                      : QString();
}

void TTreeViewCe::SetPath(const QString& path)
{
    QModelIndex found;
    {
        TWaitCursor wait;
        Finding = true;
        found = Folders.Find(path);
        for (QModelIndex up = found.parent(); up.isValid(); up = up.parent())
            expand(up);
        Finding = false;
    }
    if (found.isValid()) {
        setCurrentIndex(found);
        scrollTo(found);
    } else {
        clearSelection();
        setCurrentIndex({});
    }
    emit PathChanged(Path());
}
