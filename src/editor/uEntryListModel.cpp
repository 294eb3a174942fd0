#include "editor/uEntryListModel.h"

#include "editor/uDocument.h"
#include "platform/uCodePage.h"

TEntryListModel::TEntryListModel(TDocument& document, QObject* parent)
    : QAbstractTableModel(parent)
    , Document(document)
    , ShownCount(document.Entries.Count())
{
}

int TEntryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ShownCount;
}

int TEntryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant TEntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Document.Entries.Count())
        return {};
    const TEntry& entry = Document.Entries.Items(index.row());
    if (role == Qt::TextAlignmentRole && index.column() != TDocument::colDescription)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case TDocument::colDescription:
        return Utf8ToUnicode(entry.Description());
    case TDocument::colLatitude:
        return entry.LatitudeStr();
    default:
        return entry.LongitudeStr();
    }
}

QVariant TEntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole && section != TDocument::colDescription)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    static const char* const captions[] = { QT_TR_NOOP("Description"), QT_TR_NOOP("Latitude"),
        QT_TR_NOOP("Longitude") };
    return tr(captions[section]);
}

Qt::ItemFlags TEntryListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
    if (index.column() == TDocument::colDescription)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TEntryListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != TDocument::colDescription
        || index.row() >= Document.Entries.Count())
        return false;
    Document.Rename({ index.row() }, value.toString().toStdString());
    emit dataChanged(index, index);
    return true;
}

void TEntryListModel::Refresh()
{
    if (ShownCount != Document.Entries.Count()) {
        beginResetModel();
        ShownCount = Document.Entries.Count();
        endResetModel();
    } else if (ShownCount > 0) {
        emit dataChanged(index(0, 0), index(ShownCount - 1, 2));
    }
}
