#include "device/uDeviceTree.h"

#include <algorithm>

#include <QCoreApplication>

#include "device/Rapi.h"

struct TDeviceFolderModel::TNode {
    QString Name;
    TNode* Parent = nullptr;
    std::vector<std::unique_ptr<TNode>> Children;
    bool Placeholder = false;
    bool Expanded = false;

    // Not read yet: only the placeholder below it.
    bool Unread() const { return Children.size() == 1 && Children.front()->Placeholder; }
};

namespace {

QString PlaceholderText()
{
    return QCoreApplication::translate("Marivel", "retrieving contents...");
}

} // namespace

TDeviceFolderModel::TDeviceFolderModel(TLister lister, QObject* parent)
    : QAbstractItemModel(parent)
    , Lister(lister ? std::move(lister) : TLister(RemoteSubfolders))
    , Root(std::make_unique<TNode>())
{
}

TDeviceFolderModel::~TDeviceFolderModel() = default;

void TDeviceFolderModel::SetIcons(const QVariant& folder, const QVariant& expanded)
{
    FolderIcon = folder;
    ExpandedIcon = expanded;
}

void TDeviceFolderModel::Reload()
{
    beginResetModel();
    Root->Children.clear();
    endResetModel();
    Fill(Root.get());
}

// Reads the node's folder; each subfolder gets a placeholder until it is read in turn.
void TDeviceFolderModel::Fill(TNode* node)
{
    const QString folder = node == Root.get()
        ? QStringLiteral("\\")
        : QLatin1Char('\\') + PathOf(IndexOf(node)) + QLatin1Char('\\');
    SetChildren(node, Lister(folder));
}

void TDeviceFolderModel::SetChildren(TNode* node, const QStringList& names)
{
    const QModelIndex parent = node == Root.get() ? QModelIndex() : IndexOf(node);
    if (!node->Children.empty()) {
        beginRemoveRows(parent, 0, static_cast<int>(node->Children.size()) - 1);
        node->Children.clear();
        endRemoveRows();
    }
    if (names.isEmpty())
        return;
    beginInsertRows(parent, 0, static_cast<int>(names.size()) - 1);
    for (const QString& name : names) {
        auto child = std::make_unique<TNode>();
        child->Name = name;
        child->Parent = node;
        auto placeholder = std::make_unique<TNode>();
        placeholder->Name = PlaceholderText();
        placeholder->Parent = child.get();
        placeholder->Placeholder = true;
        child->Children.push_back(std::move(placeholder));
        node->Children.push_back(std::move(child));
    }
    endInsertRows();
}

bool TDeviceFolderModel::Expand(const QModelIndex& index)
{
    TNode* node = NodeOf(index);
    if (!node || node->Placeholder)
        return false;
    if (!CacheDirs || node->Unread())
        Fill(node);
    node->Expanded = !node->Children.empty();
    if (node->Expanded)
        emit dataChanged(index, index, { Qt::DecorationRole });
    return node->Expanded;
}

void TDeviceFolderModel::Collapsed(const QModelIndex& index)
{
    if (TNode* node = NodeOf(index)) {
        node->Expanded = false;
        emit dataChanged(index, index, { Qt::DecorationRole });
    }
}

QString TDeviceFolderModel::PathOf(const QModelIndex& index) const
{
    QStringList names;
    for (TNode* node = NodeOf(index); node && node != Root.get(); node = node->Parent)
        names.prepend(node->Name);
    return names.join(QLatin1Char('\\'));
}

QModelIndex TDeviceFolderModel::Find(const QString& path)
{
    QString rest = path;
    if (rest.startsWith(QLatin1Char('\\')))
        rest.remove(0, 1);
    if (rest.endsWith(QLatin1Char('\\')))
        rest.chop(1);
    if (rest.isEmpty())
        return {};
    TNode* node = Root.get();
    const QStringList names = rest.split(QLatin1Char('\\'));
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i > 0 && !Expand(IndexOf(node)))
            return {};
        const auto match = std::find_if(
            node->Children.begin(), node->Children.end(), [&](const std::unique_ptr<TNode>& child) {
                return !child->Placeholder
                    && child->Name.compare(names[i], Qt::CaseInsensitive) == 0;
            });
        if (match == node->Children.end())
            return {};
        node = match->get();
    }
    return IndexOf(node);
}

TDeviceFolderModel::TNode* TDeviceFolderModel::NodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<TNode*>(index.internalPointer()) : Root.get();
}

QModelIndex TDeviceFolderModel::IndexOf(TNode* node) const
{
    if (!node || node == Root.get())
        return {};
    const auto& siblings = node->Parent->Children;
    const auto at = std::find_if(siblings.begin(), siblings.end(),
        [&](const std::unique_ptr<TNode>& sibling) { return sibling.get() == node; });
    return createIndex(static_cast<int>(at - siblings.begin()), 0, node);
}

QModelIndex TDeviceFolderModel::index(int row, int column, const QModelIndex& parent) const
{
    TNode* node = NodeOf(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(node->Children.size()))
        return {};
    return createIndex(row, 0, node->Children[static_cast<size_t>(row)].get());
}

QModelIndex TDeviceFolderModel::parent(const QModelIndex& child) const
{
    TNode* node = NodeOf(child);
    return node == Root.get() ? QModelIndex() : IndexOf(node->Parent);
}

int TDeviceFolderModel::rowCount(const QModelIndex& parent) const
{
    return static_cast<int>(NodeOf(parent)->Children.size());
}

int TDeviceFolderModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TDeviceFolderModel::data(const QModelIndex& index, int role) const
{
    const TNode* node = NodeOf(index);
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->Name;
    case Qt::UserRole:
        return node->Placeholder ? QVariant(PlaceholderData) : QVariant();
    case Qt::DecorationRole:
        return node->Placeholder ? QVariant() : node->Expanded ? ExpandedIcon : FolderIcon;
    default:
        return {};
    }
}
