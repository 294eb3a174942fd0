#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QAbstractItemModel>
#include <QStringList>
#include <QVariant>

// The device's folders as a tree that reads a folder when it is first expanded. A folder not
// read yet holds one placeholder, "retrieving contents..." (data value 1), so it shows that it
// can be expanded without its contents being fetched.
class TDeviceFolderModel : public QAbstractItemModel {
public:
    // The subfolder names of a device folder given with a trailing "\".
    using TLister = std::function<QStringList(const QString& folder)>;
    // The value of the placeholder under Qt::UserRole.
    static constexpr int PlaceholderData = 1;

    explicit TDeviceFolderModel(TLister lister = {}, QObject* parent = nullptr);
    ~TDeviceFolderModel() override;

    // Read a folder once, at its first expansion (true), or at every expansion.
    bool CacheDirs = true;
    void SetIcons(const QVariant& folder, const QVariant& expanded);

    // Clears the tree and reads the root folders.
    void Reload();
    // Reads `index`'s folder when it is due; false when it has no subfolders to show.
    bool Expand(const QModelIndex& index);
    void Collapsed(const QModelIndex& index);
    // The folder as a device path without leading "\" ("My Documents\Maps"); empty for none.
    QString PathOf(const QModelIndex& index) const;
    // The node of `path` (a leading and a trailing "\" aside), reading the folders on the
    // way; invalid when there is none.
    QModelIndex Find(const QString& path);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct TNode;
    TNode* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(TNode* node) const;
    void Fill(TNode* node);
    void SetChildren(TNode* node, const QStringList& names);

    TLister Lister;
    std::unique_ptr<TNode> Root;
    QVariant FolderIcon;
    QVariant ExpandedIcon;
};
