#pragma once

#include <QAbstractTableModel>

class TDocument;

// The three columns of a document's list, filled on demand from its entries: a list of a
// million rows costs no more than the entries themselves.
class TEntryListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TEntryListModel(TDocument& document, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // In-place editing of a description.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // After the entries changed: a new row count resets the view, else it repaints.
    void Refresh();

private:
    TDocument& Document;
    int ShownCount = 0;
};
