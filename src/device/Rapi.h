#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include <QString>
#include <QStringList>

class TMemoryStream;

// The one connection of the process to the handheld device, through the Remote API library
// bound at run time. Paths are device paths that begin with "\". The library is
// MARIVEL_RAPI_LIBRARY when set, else librapi beside the executable. Connecting hands the
// setting `DeviceFolder` to the library, which serves it as the device (MARIVEL_DEVICE_ROOT
// overrides it; with neither, the library looks for a mounted navigator).

// Loads the library once (until `ReleaseRapi`); fails with "The library that reaches the device ...
// could not be loaded" when it cannot.
void LoadRapi();
// The folder the library serves as the device when no device folder is set: the
// environment's, else a mounted navigator; empty when there is none, or no library.
QString FoundDeviceFolder();
// Makes sure a live connection exists, connecting (waiting at most 4000 ms) or reconnecting
// after the device went away; fails with EInitRapi.
void InitRapi();
// Ends the connection, so the next device operation connects anew.
void DoneRapi();
// Ends the connection and lets the library go: the next device operation binds the library
// MARIVEL_RAPI_LIBRARY names by then.
void ReleaseRapi();
bool RapiConnected();

// These four expect `InitRapi` to have been called.
bool RemoteFileExists(const QString& path);
// Whether `path` names a folder of the device ("\" is its root).
bool RemoteFolderExists(const QString& path);
using TRemoteFolderHandler = std::function<void(const QString& name, bool isFolder)>;
// Reports the entries of `folder` (ending in "\"); nothing when it cannot be listed.
void EnumRemoteFolder(const QString& folder, const TRemoteFolderHandler& handler);
QString GetRemoteSpecialFolder(int folderId);
// The subfolders of `folder` (ending in "\"), "." and ".." left out; none when it cannot be
// listed.
QStringList RemoteSubfolders(const QString& folder);

// The whole file, into `stream` (replacing its content).
void ReadRemoteFile(const QString& path, TMemoryStream& stream);
// Creates or replaces the file with `bytes`. The bytes go to a new file beside it first, which
// then takes its place, so a failed or interrupted write leaves the old file whole; fails with
// "Could not write remote file ...: <reason>" when the device cannot store them.
void WriteRemoteFile(const QString& path, std::string_view bytes);
void CopyFileToDevice(const QString& localFile, const QString& path);
// False when the device could not delete the file (a folder is no file to delete).
bool DeleteRemoteFile(const QString& path);
// Copies a file within the device, replacing `target`; false when it could not.
bool CopyRemoteFile(const QString& source, const QString& target);

// TomTom Navigator's map folders as "folder=name" (or only the names): those of the device
// registry, then the "-map" folders on the storage cards. Cached until `DoneRapi`.
void GetTomTomMaps(QStringList& list, bool namesOnly);

using TRemoteKey = uint32_t;
inline constexpr TRemoteKey RemoteCurrentUser = 0x80000001;
// Opens or creates a key of the device registry; `created` tells which.
TRemoteKey CreateRemoteKey(TRemoteKey root, const QString& subKey, bool& created);
// At most 255 characters.
void SetRemoteString(TRemoteKey key, const QString& name, const QString& text);
void CloseRemoteKey(TRemoteKey key);

// Ends the connection when it goes out of scope, as the program does at its end.
struct TRapiSession {
    TRapiSession() = default;
    TRapiSession(const TRapiSession&) = delete;
    TRapiSession& operator=(const TRapiSession&) = delete;
    ~TRapiSession() { DoneRapi(); }
};
