#pragma once

#include <QTreeView>

#include "device/uDeviceTree.h"

// A tree of the device's folders that reads each folder when it is first expanded. The caller
// connects (`InitRapi`) before it is shown.
class TTreeViewCe : public QTreeView {
    Q_OBJECT

public:
    explicit TTreeViewCe(QWidget* parent = nullptr, TDeviceFolderModel::TLister lister = {});
    ~TTreeViewCe() override;

    // Read a folder at its first expansion only (the default), or at every expansion.
    void SetCacheDirs(bool cache) { Folders.CacheDirs = cache; }
    bool CacheDirs() const { return Folders.CacheDirs; }
    // Clears the tree and reads the device's root folders.
    void Reload();
    // The selected folder as a device path without leading "\"; empty when none.
    QString Path() const;
    // Selects the folder of `path` (leading and trailing "\" aside), opening the folders on
    // the way; clears the selection when there is none.
    void SetPath(const QString& path);
    TDeviceFolderModel& FolderModel() { return Folders; }

signals:
    void PathChanged(const QString& path);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void OnExpanded(const QModelIndex& index);

    TDeviceFolderModel Folders;
    bool Finding = false; // SetPath opens the folders itself
};
