#pragma once

#include <vector>

#include <QAbstractListModel>
#include <QString>
#include <QStringList>
#include <QVariant>

class IUserPrompt;

// The rules of the device dialogs ("Open Remote...", "Save Remote...", the folder picker),
// apart from their windows. Device paths use "\" and begin with it.

// `path` ending in "\".
QString IncludeTrailingBackslash(const QString& path);
// The folder part of a device path, up to and with its last "\"; empty when it has none.
QString RemoteFolderOf(const QString& path);
// The part after the last "\".
QString RemoteNameOf(const QString& path);
// `path` with "." and ".." resolved and a trailing "\"; ".." at the root stays there.
QString NormalizedRemoteFolder(const QString& path);
// The folder above `folder` (a trailing "\" aside); the root is its own parent.
QString RemoteParentFolder(const QString& folder);
// The extension of a name, lower-cased, with its dot; empty when it has none.
QString LowerExtOf(const QString& name);

// The places of the device browser, each "device path=caption": the device itself ("My
// Device"), "My Documents", then the TomTom map folders (a map may be listed twice).
QStringList RemotePlaces();
// The place whose path is `folder` (a trailing "\" aside, except for the root), -1 for none.
int PlaceIndexOf(const QStringList& places, const QString& folder);

// One entry of a listed device folder.
struct TRemoteEntry {
    QString Name; // as the device spells it
    bool IsFolder = false;
};

// The subfolders and the POI files of `folder` (ending in "\"), in the device's order: a file
// counts when an importer knows its extension. Empty when the folder cannot be listed.
std::vector<TRemoteEntry> ListPoiFolder(const QString& folder);

// The file list of the device browser as a model, so a folder of many thousands of files
// lists at once. Shows a folder and a file with the icons the dialog gives it.
class TRemoteEntryModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void SetEntries(std::vector<TRemoteEntry> entries);
    const std::vector<TRemoteEntry>& Entries() const { return Items; }
    void Remove(int row);
    // The row of `name` (ignoring case), -1 for none.
    int RowOf(const QString& name) const;
    void SetIcons(const QVariant& folder, const QVariant& file);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<TRemoteEntry> Items;
    QVariant FolderIcon;
    QVariant FileIcon;
};

// What "Open Remote..." and "Save Remote..." do with what the user enters. The caller
// connects (`InitRapi`) first.
class TMobileBrowser {
public:
    explicit TMobileBrowser(bool saveMode);

    bool SaveMode() const { return IsSaveMode; }
    // The importers' names (open) or the exporters' (save), in registry order.
    QStringList TypeNames() const;
    // The chosen type: a registry index of the mode's converters, -1 for none.
    int TypeIndex = -1;
    // The format id of the chosen type; empty for none.
    QString TypeFormatId() const;
    // The full device path: the suggested one before showing, the chosen one after OK.
    QString FileName;
    // The listed folder, ending in "\".
    QString CurrentFolder;
    QStringList Places;
    TRemoteEntryModel Entries;

    // Sets `FileName` and chooses the type registered for its extension, or none.
    void SetFileName(const QString& name);
    // Reads the places and lists the folder of `FileName`, or the first place when it has
    // none; returns the name part of `FileName` for the "File" field.
    QString Start();
    // Lists `folderText` (given a trailing "\"), which becomes the current folder.
    void List(const QString& folderText);
    // "Directory Up" from `folderText`; false when already at the top.
    bool Up(const QString& folderText);
    // The place of the current folder, -1 for none.
    int CurrentPlace() const;
    // The "File" text after the type changed: its extension replaced by the type's default.
    QString WithTypeExtension(const QString& fileText) const;

    enum class TAccept {
        EnteredFolder, // the text named a folder, which is now listed; the dialog stays
        Accepted, // `FileName` holds the chosen file; the dialog closes
        Declined, // the user would not overwrite; the dialog stays
    };
    // The Open or Save button with `fileText` in the "File" field. Fails with a user error
    // when the name cannot be a device file or (saving) its extension does not fit the type.
    TAccept Accept(const QString& fileText, IUserPrompt& prompt);

    // The question before deleting the entry `name` of the current folder.
    QString DeleteQuestion(const QString& name) const;
    // Deletes the entry `name` of the current folder and, with `companions`, its ".bmp" and
    // ".inf" files (whose failures do not count). Fails with "Could not delete remote file".
    void Delete(const QString& name, bool companions);

private:
    QString TypeExtension() const;
    void CheckSaveName(const QString& fileText);

    bool IsSaveMode;
};

// The rules of "Select Mobile Folder...": the TomTom maps as shortcuts to their folders.
class TMobileFolderChoice {
public:
    // Reads the device's map list ("path=caption").
    TMobileFolderChoice();
    explicit TMobileFolderChoice(QStringList maps);

    // "[Other]", then each map's caption.
    QStringList ComboItems() const;
    // The tree path (no leading "\") that combo item `index` stands for; empty for "[Other]".
    QString TreePathOf(int index) const;
    // The combo item that fits the tree path: `current` when it does, else the first map of
    // that folder, else "[Other]" (0).
    int ComboIndexFor(const QString& treePath, int current) const;
    // Fails with "No map or folder specified" when nothing is chosen.
    static void CheckChosen(const QString& treePath);

private:
    QStringList Maps;
};
