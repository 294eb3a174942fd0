#include "device/Rapi.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <QCoreApplication>
#include <QLibrary>
#include <QRandomGenerator>

#include <poll.h>

#include "ceapi.h"
#include "core/uSettings.h"
#include "core/uUtils.h"
#include "platform/uExceptions.h"
#include "platform/uMessages.h"
#include "platform/uStreams.h"

namespace {

// Every entry point of the library is resolved when it is loaded, whether used or not, so a
// library that lacks one is noticed in one place.
constexpr std::array EntryPointNames = { "CeRapiInit", "CeRapiUnInit", "CeRapiInitEx",
    "CeFindAllFiles", "RapiFreeBuffer", "CeCreateDatabase", "CeDeleteDatabase", "CeDeleteRecord",
    "CeFindFirstDatabase", "CeFindNextDatabase", "CeOidGetInfo", "CeOpenDatabase",
    "CeReadRecordProps", "CeSeekDatabase", "CeSetDatabaseInfo", "CeWriteRecordProps",
    "CeFindFirstFile", "CeFindNextFile", "CeFindClose", "CeGetFileAttributes",
    "CeSetFileAttributes", "CeCreateFile", "CeReadFile", "CeWriteFile", "CeCloseHandle",
    "CeFindAllDatabases", "CeGetLastError", "GetRapiError", "CeSetFilePointer", "CeSetEndOfFile",
    "CeCreateDirectory", "CeRemoveDirectory", "CeCreateProcess", "CeMoveFile", "CeCopyFile",
    "CeDeleteFile", "CeGetFileSize", "CeRegOpenKeyEx", "CeRegEnumKeyEx", "CeRegCreateKeyEx",
    "CeRegCloseKey", "CeRegDeleteKey", "CeRegEnumValue", "CeRegDeleteValue", "CeRegQueryInfoKey",
    "CeRegQueryValueEx", "CeRegSetValueEx", "CeGetStoreInformation", "CeGetSystemMetrics",
    "CeGetDesktopDeviceCaps", "CeGetSystemInfo", "CeSHCreateShortcut", "CeSHGetShortcutTarget",
    "CeCheckPassword", "CeGetFileTime", "CeSetFileTime", "CeGetVersionEx", "CeGetWindow",
    "CeGetWindowLong", "CeGetWindowText", "CeGetClassName", "CeGlobalMemoryStatus",
    "CeGetSystemPowerStatusEx", "CeGetSpecialFolderPath" };

// How long a device may take to answer a connection request.
constexpr int ConnectTimeoutMs = 4000;

struct TRapiState {
    std::unique_ptr<QLibrary> Library;
    std::array<QFunctionPointer, EntryPointNames.size()> EntryPoints {};
    bool Connected = false;
    Ce::RAPIINIT Init {};
    std::optional<QStringList> TomTomMaps;
};

TRapiState& State()
{
    static TRapiState state;
    return state;
}

QString LibraryPath()
{
    const QString configured = qEnvironmentVariable("MARIVEL_RAPI_LIBRARY");
    if (!configured.isEmpty())
        return configured;
    return ProgramLibraryDir() + QStringLiteral("/librapi");
}

QFunctionPointer EntryPoint(std::string_view name)
{
    auto found = std::find(EntryPointNames.begin(), EntryPointNames.end(), name);
    return State().EntryPoints[static_cast<size_t>(found - EntryPointNames.begin())];
}

// The thin call operations: each loads the library first and answers a fixed fallback
// instead of calling an entry point that the library lacks.
template <typename F> struct TCall;
template <typename R, typename... A> struct TCall<R(A...)> {
    static R Through(const char* name, R fallback, A... args)
    {
        LoadRapi();
        QFunctionPointer entry = EntryPoint(name);
        return entry ? reinterpret_cast<R (*)(A...)>(entry)(args...) : fallback;
    }
};

using namespace Ce;
const HANDLE FallbackHandle = reinterpret_cast<HANDLE>(intptr_t(65535));
constexpr LONG FallbackCode = 65535;

namespace Call {

    HRESULT CeRapiInitEx(RAPIINIT* init)
    {
        return TCall<HRESULT(RAPIINIT*)>::Through("CeRapiInitEx", FallbackCode, init);
    }
    HRESULT CeRapiUnInit() { return TCall<HRESULT()>::Through("CeRapiUnInit", FallbackCode); }
    BOOL CeGetVersionEx(CEOSVERSIONINFO* info)
    {
        return TCall<BOOL(CEOSVERSIONINFO*)>::Through("CeGetVersionEx", 0, info);
    }
    HANDLE CeFindFirstFile(const WCHAR* path, CE_FIND_DATA* record)
    {
        return TCall<HANDLE(const WCHAR*, CE_FIND_DATA*)>::Through(
            "CeFindFirstFile", FallbackHandle, path, record);
    }
    BOOL CeFindClose(HANDLE find) { return TCall<BOOL(HANDLE)>::Through("CeFindClose", 0, find); }
    BOOL CeFindAllFiles(const WCHAR* pattern, DWORD flags, DWORD* count, CE_FIND_DATA** records)
    {
        return TCall<BOOL(const WCHAR*, DWORD, DWORD*, CE_FIND_DATA**)>::Through(
            "CeFindAllFiles", 0, pattern, flags, count, records);
    }
    void RapiFreeBuffer(void* buffer)
    {
        TCall<HRESULT(void*)>::Through("RapiFreeBuffer", 0, buffer);
    }
    HANDLE CeCreateFile(const WCHAR* path, DWORD access, DWORD share, DWORD creation, DWORD flags)
    {
        return TCall<HANDLE(const WCHAR*, DWORD, DWORD, void*, DWORD, DWORD, HANDLE)>::Through(
            "CeCreateFile", FallbackHandle, path, access, share, nullptr, creation, flags, nullptr);
    }
    DWORD CeGetFileSize(HANDLE file)
    {
        return TCall<DWORD(HANDLE, DWORD*)>::Through("CeGetFileSize", 65535, file, nullptr);
    }
    BOOL CeReadFile(HANDLE file, void* buffer, DWORD count, DWORD* done)
    {
        return TCall<BOOL(HANDLE, void*, DWORD, DWORD*, void*)>::Through(
            "CeReadFile", 0, file, buffer, count, done, nullptr);
    }
    BOOL CeWriteFile(HANDLE file, const void* buffer, DWORD count, DWORD* done)
    {
        return TCall<BOOL(HANDLE, const void*, DWORD, DWORD*, void*)>::Through(
            "CeWriteFile", 0, file, buffer, count, done, nullptr);
    }
    BOOL CeCloseHandle(HANDLE handle)
    {
        return TCall<BOOL(HANDLE)>::Through("CeCloseHandle", 0, handle);
    }
    BOOL CeMoveFile(const WCHAR* source, const WCHAR* target)
    {
        return TCall<BOOL(const WCHAR*, const WCHAR*)>::Through("CeMoveFile", 0, source, target);
    }
    BOOL CeDeleteFile(const WCHAR* path)
    {
        return TCall<BOOL(const WCHAR*)>::Through("CeDeleteFile", 0, path);
    }
    DWORD CeGetLastError() { return TCall<DWORD()>::Through("CeGetLastError", 65535); }
    DWORD CeGetFileAttributes(const WCHAR* path)
    {
        return TCall<DWORD(const WCHAR*)>::Through("CeGetFileAttributes", 65535, path);
    }
    BOOL CeCopyFile(const WCHAR* source, const WCHAR* target)
    {
        return TCall<BOOL(const WCHAR*, const WCHAR*, BOOL)>::Through(
            "CeCopyFile", 0, source, target, 0);
    }
    LONG CeRegOpenKeyEx(HKEY key, const WCHAR* subKey, DWORD access, HKEY* result)
    {
        return TCall<LONG(HKEY, const WCHAR*, DWORD, DWORD, HKEY*)>::Through(
            "CeRegOpenKeyEx", FallbackCode, key, subKey, 0, access, result);
    }
    LONG CeRegQueryInfoKey(HKEY key, DWORD* values)
    {
        return TCall<LONG(HKEY, WCHAR*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*,
            DWORD*, DWORD*, FILETIME*)>::Through("CeRegQueryInfoKey", FallbackCode, key, nullptr,
            nullptr, nullptr, nullptr, nullptr, nullptr, values, nullptr, nullptr, nullptr,
            nullptr);
    }
    LONG CeRegEnumValue(HKEY key, DWORD index, WCHAR* name, DWORD* nameLength)
    {
        return TCall<LONG(HKEY, DWORD, WCHAR*, DWORD*, DWORD*, DWORD*, uint8_t*, DWORD*)>::Through(
            "CeRegEnumValue", FallbackCode, key, index, name, nameLength, nullptr, nullptr, nullptr,
            nullptr);
    }
    LONG CeRegQueryValueEx(HKEY key, const WCHAR* name, uint8_t* data, DWORD* size)
    {
        return TCall<LONG(HKEY, const WCHAR*, DWORD*, DWORD*, uint8_t*, DWORD*)>::Through(
            "CeRegQueryValueEx", FallbackCode, key, name, nullptr, nullptr, data, size);
    }
    LONG CeRegCloseKey(HKEY key)
    {
        return TCall<LONG(HKEY)>::Through("CeRegCloseKey", FallbackCode, key);
    }
    LONG CeRegCreateKeyEx(HKEY key, const WCHAR* subKey, HKEY* result, DWORD* disposition)
    {
        return TCall<LONG(HKEY, const WCHAR*, DWORD, WCHAR*, DWORD, DWORD, void*, HKEY*,
            DWORD*)>::Through("CeRegCreateKeyEx", FallbackCode, key, subKey, 0, nullptr, 0, 0,
            nullptr, result, disposition);
    }
    LONG CeRegSetValueEx(HKEY key, const WCHAR* name, const uint8_t* data, DWORD size)
    {
        return TCall<LONG(HKEY, const WCHAR*, DWORD, DWORD, const uint8_t*, DWORD)>::Through(
            "CeRegSetValueEx", FallbackCode, key, name, 0, RegSz, data, size);
    }

} // namespace Call

const WCHAR* Wide(const QString& text) { return reinterpret_cast<const WCHAR*>(text.utf16()); }

QString Narrow(const WCHAR* text) { return QString::fromUtf16(text); }

// A folder the library reports through `entryPoint`; empty when it has none, or has no such
// entry point.
QString LibraryFolder(const char* entryPoint)
{
    auto get = reinterpret_cast<DWORD (*)(DWORD, WCHAR*)>(State().Library->resolve(entryPoint));
    std::array<WCHAR, 4096> folder {};
    return get ? QString::fromUtf16(folder.data(), get(folder.size(), folder.data())) : QString();
}

// The folder the library served or tried to serve as the device; empty when it found none.
QString TriedDeviceFolder() { return LibraryFolder("RapiGetDeviceFolder"); }

// The user sees where the program looked for the device.
[[noreturn]] void FailToConnect()
{
    const QString folder = TriedDeviceFolder();
    throw EInitRapi(
        Tr(Msg::RapiConnectFailed)
            .arg(folder.isEmpty() ? Tr(Msg::NoDeviceFolder)
                                  : Tr(Msg::DeviceFolderTried).arg(EscapeControls(folder))));
}

// The library serves the folder of the settings unless the environment names another; a
// library without that entry point knows only the environment.
void HandOverDeviceFolder()
{
    if (auto set = reinterpret_cast<void (*)(const WCHAR*)>(
            State().Library->resolve("RapiSetDeviceFolder")))
        set(Wide(Settings().DeviceFolder));
}

bool WaitForConnection(int event)
{
    pollfd wait { event, POLLIN, 0 };
    return poll(&wait, 1, ConnectTimeoutMs) == 1;
}

bool ConnectionAlive()
{
    CEOSVERSIONINFO info {};
    info.dwOSVersionInfoSize = sizeof info;
    return Call::CeGetVersionEx(&info);
}

void Connect()
{
    TRapiState& state = State();
    HandOverDeviceFolder();
    state.Init = { sizeof(RAPIINIT), -1, 0 };
    if (Call::CeRapiInitEx(&state.Init) != 0)
        FailToConnect();
    state.Connected = true;
    if (!WaitForConnection(state.Init.heRapiInit) || state.Init.hrRapiInit != 0) {
        DoneRapi();
        FailToConnect();
    }
}

// Closes a device file handle whatever happens after it was opened.
class TRemoteFile {
public:
    explicit TRemoteFile(HANDLE handle)
        : Handle(handle)
    {
    }
    ~TRemoteFile()
    {
        if (IsOpen())
            Call::CeCloseHandle(Handle);
    }
    TRemoteFile(const TRemoteFile&) = delete;
    TRemoteFile& operator=(const TRemoteFile&) = delete;

    bool IsOpen() const { return Handle != InvalidHandle; }
    HANDLE Get() const { return Handle; }
    // False when the device reports that closing failed, as it may when the data cannot be
    // stored.
    bool Close() { return Call::CeCloseHandle(std::exchange(Handle, InvalidHandle)); }

private:
    HANDLE Handle;
};

// Closes a device registry key whatever happens after it was opened.
struct TRemoteKeyCloser {
    TRemoteKey Key;
    ~TRemoteKeyCloser() { Call::CeRegCloseKey(Key); }
};

// Calls `report` for every record that CeFindAllFiles answers for `pattern`.
template <typename Report> void ForEachFound(const QString& pattern, DWORD flags, Report report)
{
    DWORD count = 0;
    CE_FIND_DATA* records = nullptr;
    if (!Call::CeFindAllFiles(Wide(pattern), flags, &count, &records))
        return;
    struct TFree {
        CE_FIND_DATA* Records;
        ~TFree() { Call::RapiFreeBuffer(Records); }
    } release { records };
    for (DWORD i = 0; i < count; ++i)
        report(records[i]);
}

// The device registry's TomTom map list: value data (the folder) "=" value name.
void AddRegistryMaps(QStringList& maps)
{
    HKEY key = 0;
    if (Call::CeRegOpenKeyEx(CurrentUser,
            Wide(QStringLiteral("Software\\TomTom\\TomTom Navigator\\Maps")), KeyRead, &key)
        != ErrorSuccess)
        return;
    TRemoteKeyCloser closer { key };
    DWORD values = 0;
    if (Call::CeRegQueryInfoKey(key, &values) != ErrorSuccess)
        throw Exception(Tr(Msg::RemoteValueCountFailed));
    for (DWORD i = 0; i < values; ++i) {
        std::array<WCHAR, 256> name {};
        DWORD nameLength = name.size();
        if (Call::CeRegEnumValue(key, i, name.data(), &nameLength) != ErrorSuccess)
            throw Exception(Tr(Msg::RemoteValueReadFailed));
        if (Narrow(name.data()) == QLatin1String("LastMap"))
            continue;
        std::array<WCHAR, 256> data {};
        DWORD size = data.size() * sizeof(WCHAR);
        if (Call::CeRegQueryValueEx(
                key, name.data(), reinterpret_cast<uint8_t*>(data.data()), &size)
            != ErrorSuccess)
            throw Exception(Tr(Msg::RemoteValueReadFailed));
        data.back() = 0;
        maps.append(Narrow(data.data()) + QLatin1Char('=') + Narrow(name.data()));
    }
}

// The "-map" folders on the storage cards: full path "=" folder name.
void AddCardMaps(QStringList& maps)
{
    for (const QString& card : { QStringLiteral("\\SD Card"), QStringLiteral("\\CF Card") })
        ForEachFound(card + QStringLiteral("\\*.*"),
            FindName | FindFoldersOnly | FindAttribChildren, [&](const CE_FIND_DATA& record) {
                const QString name = Narrow(record.cFileName);
                if (name.endsWith(QLatin1String("-map"), Qt::CaseInsensitive))
                    maps.append(card + QLatin1Char('\\') + name + QLatin1Char('=') + name);
            });
}

// The texts of the error codes that the library answers.
QString SystemErrorText(LONG code)
{
    switch (code) {
    case ErrorFileNotFound:
        return QCoreApplication::translate("Marivel", "The system cannot find the file specified");
    case ErrorPathNotFound:
        return QCoreApplication::translate("Marivel", "The system cannot find the path specified");
    case ErrorAccessDenied:
        return QCoreApplication::translate("Marivel", "Access is denied");
    case ErrorInvalidHandle:
        return QCoreApplication::translate("Marivel", "The handle is invalid");
    case ErrorNotSameDevice:
        return QCoreApplication::translate(
            "Marivel", "The system cannot move the file to a different disk drive");
    case ErrorFileExists:
        return QCoreApplication::translate("Marivel", "The file exists");
    case ErrorInvalidParameter:
        return QCoreApplication::translate("Marivel", "The parameter is incorrect");
    case ErrorDiskFull:
        return QCoreApplication::translate("Marivel", "There is not enough space on the disk");
    case ErrorAlreadyExists:
        return QCoreApplication::translate(
            "Marivel", "Cannot create a file when that file already exists");
    default:
        return QCoreApplication::translate("Marivel", "Error %1").arg(code);
    }
}

bool AlreadyExists(DWORD error) { return error == ErrorFileExists || error == ErrorAlreadyExists; }

// The find record of a device path; none when nothing is there.
std::optional<CE_FIND_DATA> FindRemote(const QString& path)
{
    CE_FIND_DATA record {};
    HANDLE found = Call::CeFindFirstFile(Wide(path), &record);
    if (found == InvalidHandle)
        return std::nullopt;
    Call::CeFindClose(found);
    return record;
}

[[noreturn]] void FailToCreate(const QString& path)
{
    throw Exception(Tr(Msg::RemoteCreateFailed).arg(EscapeControls(path)));
}

[[noreturn]] void FailToWrite(const QString& path, DWORD error)
{
    throw EUserError(Tr(Msg::RemoteWriteFailed).arg(EscapeControls(path), SystemErrorText(error)));
}

// Sends all of `bytes` to an open device file and closes it; `path` names it in a failure.
void WriteAndClose(TRemoteFile& file, const QString& path, std::string_view bytes)
{
    DWORD done = 0;
    if (!bytes.empty()
        && !Call::CeWriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done))
        FailToWrite(path, Call::CeGetLastError());
    if (done != bytes.size())
        FailToWrite(path, ErrorDiskFull); // the device took less without a reason: it is full
    if (!file.Close())
        FailToWrite(path, Call::CeGetLastError());
}

// A name beside `path` that no other writer picks.
QString SiblingName(const QString& path, QLatin1String tag)
{
    return path
        + QStringLiteral(".~%1.%2")
              .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
              .arg(tag);
}

// A new file beside a device file that receives the new content and then takes the file's
// place, so the old content stays whole until the new one is complete. Removed again unless
// it took that place.
class TRemoteReplacement {
public:
    explicit TRemoteReplacement(const QString& target)
        : Target(target)
        , File(CreateBeside(target, Path))
    {
        if (File.IsOpen())
            return;
        // A read-only or full card says so; a missing folder is no file to create.
        const DWORD error = Call::CeGetLastError();
        if (error == ErrorAccessDenied || error == ErrorDiskFull)
            FailToWrite(Target, error);
        FailToCreate(Target);
    }
    ~TRemoteReplacement()
    {
        if (File.IsOpen())
            File.Close();
        if (!Placed)
            Call::CeDeleteFile(Wide(Path));
    }
    TRemoteReplacement(const TRemoteReplacement&) = delete;
    TRemoteReplacement& operator=(const TRemoteReplacement&) = delete;

    void Write(std::string_view bytes) { WriteAndClose(File, Target, bytes); }

    // The device never moves a file onto an existing one, so an old file steps aside first
    // and comes back when the new one cannot take its place.
    void Place()
    {
        if (!Call::CeMoveFile(Wide(Path), Wide(Target))) {
            DWORD error = Call::CeGetLastError();
            if (!AlreadyExists(error))
                FailToWrite(Target, error);
            ReplaceExisting();
        }
        Placed = true;
    }

private:
    // Another writer may have taken a name, by a rare chance: then another one is tried.
    static HANDLE CreateBeside(const QString& target, QString& path)
    {
        HANDLE file = InvalidHandle;
        for (int attempt = 0; attempt < 4 && file == InvalidHandle; ++attempt) {
            path = TemporaryName(target);
            file = Call::CeCreateFile(Wide(path), GenericWrite, 0, CreateNew, AttributeNormal);
            if (file == InvalidHandle && !AlreadyExists(Call::CeGetLastError()))
                break;
        }
        return file;
    }

    void ReplaceExisting()
    {
        const QString old = SiblingName(Target, QLatin1String("old"));
        if (!Call::CeMoveFile(Wide(Target), Wide(old)))
            FailToWrite(Target, Call::CeGetLastError());
        if (!Call::CeMoveFile(Wide(Path), Wide(Target))) {
            DWORD error = Call::CeGetLastError();
            Call::CeMoveFile(Wide(old), Wide(Target));
            FailToWrite(Target, error);
        }
        Call::CeDeleteFile(Wide(old));
    }

    QString Target;
    QString Path; // set while File is made, so declared before it
    TRemoteFile File;
    bool Placed = false;
};

// `path` with its last name replaced by `name`.
QString Renamed(const QString& path, const QString& name)
{
    return path.left(
               std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')))
               + 1)
        + name;
}

// Removes what writes of `path` that were killed left beside it.
void RemoveStaleTemporaries(const QString& path)
{
    ForEachFound(TemporaryPattern(path), FindName, [&](const CE_FIND_DATA& found) {
        const QString name = Narrow(found.cFileName);
        if (IsStaleTemporary(name))
            Call::CeDeleteFile(Wide(Renamed(path, name)));
    });
}

// A library without CeMoveFile can only write the file where it is.
void WriteInPlace(const QString& path, std::string_view bytes)
{
    TRemoteFile file(
        Call::CeCreateFile(Wide(path), GenericWrite, 0, CreateAlways, AttributeNormal));
    if (!file.IsOpen())
        FailToCreate(path);
    WriteAndClose(file, path, bytes);
}

} // namespace

QString FoundDeviceFolder()
{
    try {
        LoadRapi();
    } catch (const EUserError&) {
        return QString();
    }
    return LibraryFolder("RapiFindDeviceFolder");
}

void LoadRapi()
{
    TRapiState& state = State();
    if (state.Library)
        return;
    auto library = std::make_unique<QLibrary>(LibraryPath());
    if (!library->load())
        throw EUserError(Tr(Msg::RapiNotFound).arg(LibraryPath()));
    for (size_t i = 0; i < EntryPointNames.size(); ++i)
        state.EntryPoints[i] = library->resolve(EntryPointNames[i]);
    state.Library = std::move(library);
}

void InitRapi()
{
    LoadRapi();
    if (State().Connected) {
        if (ConnectionAlive())
            return;
        DoneRapi(); // unplugged, or another device in its place
    }
    Connect();
}

void DoneRapi()
{
    TRapiState& state = State();
    state.TomTomMaps.reset();
    if (!state.Connected)
        return;
    Call::CeRapiUnInit();
    state.Connected = false;
}

void ReleaseRapi()
{
    DoneRapi();
    State() = TRapiState();
}

bool RapiConnected() { return State().Connected; }

bool RemoteFileExists(const QString& path) { return FindRemote(path).has_value(); }

bool RemoteFolderExists(const QString& path)
{
    const DWORD attributes = Call::CeGetFileAttributes(Wide(path));
    return attributes != 0xFFFFFFFF && attributes != 65535 && (attributes & AttributeDirectory);
}

bool DeleteRemoteFile(const QString& path)
{
    InitRapi();
    return Call::CeDeleteFile(Wide(path));
}

bool CopyRemoteFile(const QString& source, const QString& target)
{
    InitRapi();
    return Call::CeCopyFile(Wide(source), Wide(target));
}

void EnumRemoteFolder(const QString& folder, const TRemoteFolderHandler& handler)
{
    ForEachFound(
        folder + QStringLiteral("*.*"), FindAttributes | FindName, [&](const CE_FIND_DATA& record) {
            handler(Narrow(record.cFileName), record.dwFileAttributes & AttributeDirectory);
        });
}

QStringList RemoteSubfolders(const QString& folder)
{
    QStringList names;
    ForEachFound(folder + QStringLiteral("*.*"), FindFoldersOnly | FindName,
        [&](const CE_FIND_DATA& record) {
            const QString name = Narrow(record.cFileName);
            if (name != QLatin1String(".") && name != QLatin1String(".."))
                names.append(name);
        });
    return names;
}

QString GetRemoteSpecialFolder(int folderId)
{
    try {
        LoadRapi();
    } catch (const EUserError&) {
        throw Exception(Tr(Msg::RapiNotLoaded));
    }
    QFunctionPointer entry = EntryPoint("CeGetSpecialFolderPath");
    if (!entry)
        throw Exception(Tr(Msg::SpecialFolderNotLoaded));
    std::array<WCHAR, 512> path {};
    DWORD length =
        reinterpret_cast<DWORD (*)(int, DWORD, WCHAR*)>(entry)(folderId, path.size(), path.data());
    return QString::fromUtf16(path.data(), std::min<qsizetype>(length, path.size()));
}

void ReadRemoteFile(const QString& path, TMemoryStream& stream)
{
    InitRapi();
    TRemoteFile file(Call::CeCreateFile(Wide(path), GenericRead, ShareRead, OpenExisting, 0));
    if (!file.IsOpen())
        throw EUserError(Tr(Msg::RemoteOpenFailed).arg(path));
    std::string bytes(Call::CeGetFileSize(file.Get()), '\0');
    DWORD done = 0;
    if (!bytes.empty()
        && (!Call::CeReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done)
            || done != bytes.size()))
        throw Exception(Tr(Msg::RemoteReadFailed).arg(path));
    stream = TMemoryStream(std::move(bytes));
}

void WriteRemoteFile(const QString& path, std::string_view bytes)
{
    InitRapi();
    if (!EntryPoint("CeMoveFile"))
        return WriteInPlace(path, bytes);
    RemoveStaleTemporaries(path);
    auto existing = FindRemote(path);
    if (existing && existing->dwFileAttributes & AttributeDirectory)
        FailToCreate(path); // a folder is no file to replace
    // The new file takes the old one's name as the device spells it.
    const QString target = existing ? Renamed(path, Narrow(existing->cFileName)) : path;
    TRemoteReplacement replacement(target);
    replacement.Write(bytes);
    replacement.Place();
}

void CopyFileToDevice(const QString& localFile, const QString& path)
{
    TMappedFile file(localFile);
    WriteRemoteFile(path, TStreamBytes(file.Stream()).Bytes());
}

void GetTomTomMaps(QStringList& list, bool namesOnly)
{
    InitRapi();
    std::optional<QStringList>& maps = State().TomTomMaps;
    if (!maps) {
        QStringList found;
        AddRegistryMaps(found);
        AddCardMaps(found);
        maps = found;
    }
    list.clear();
    for (const QString& map : *maps)
        list.append(namesOnly ? map.section(QLatin1Char('='), 1) : map);
}

TRemoteKey CreateRemoteKey(TRemoteKey root, const QString& subKey, bool& created)
{
    HKEY key = 0;
    DWORD disposition = 0;
    LONG result = Call::CeRegCreateKeyEx(root, Wide(subKey), &key, &disposition);
    if (result != ErrorSuccess)
        throw Exception(
            Tr(Msg::RemoteKeyCreateFailed) + QStringLiteral(": ") + SystemErrorText(result));
    created = disposition == CreatedNewKey;
    return key;
}

void SetRemoteString(TRemoteKey key, const QString& name, const QString& text)
{
    std::array<WCHAR, 256> data {}; // the terminating null always fits
    const QString kept = text.left(data.size() - 1);
    std::copy_n(Wide(kept), kept.size(), data.data());
    if (Call::CeRegSetValueEx(
            key, Wide(name), reinterpret_cast<const uint8_t*>(data.data()), sizeof data)
        != ErrorSuccess)
        throw Exception(Tr(Msg::RemoteValueWriteFailed).arg(name));
}

void CloseRemoteKey(TRemoteKey key) { Call::CeRegCloseKey(key); }
