// librapi: the handheld's Remote API, served from a local folder that stands for the device.
// The folder is MARIVEL_DEVICE_ROOT; device paths ("\My Documents\a.ov2") map below it, and
// names match without regard to case, as on the device's own file system. The device
// registry is a text file inside the folder. MARIVEL_RAPI_CONNECT_DELAY_MS makes connecting
// slow, as a busy device is. Built a second time without some entry points (RAPI_PARTIAL),
// to stand for older versions of the library. It needs nothing but the C++ library, so any
// program can load it, and one process keeps one connection, as with the real library.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include "ceapi.h"

using namespace Ce;
namespace fs = std::filesystem;

#define RAPI_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string Utf8(const WCHAR* text)
{
    std::string out;
    for (; text && *text; ++text) {
        char32_t c = *text;
        if (c >= 0xD800 && c < 0xDC00 && text[1] >= 0xDC00 && text[1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (*++text - 0xDC00);
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0x800)
            out += { static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F)) };
        else if (c < 0x10000)
            out += { static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F)) };
        else
            out += { static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F)) };
    }
    return out;
}

std::u16string Utf16(const std::string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        char32_t c = extra == 0 ? byte : byte & (0x3F >> extra);
        for (++i; extra > 0 && i < text.size(); --extra, ++i)
            c = c << 6 | (static_cast<unsigned char>(text[i]) & 0x3F);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else
            out += static_cast<char16_t>(c);
    }
    return out;
}

// Copies `text` with its terminating null into a buffer of `capacity` characters.
bool CopyText(const std::u16string& text, WCHAR* buffer, size_t capacity)
{
    if (!buffer || text.size() >= capacity)
        return false;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return true;
}

bool SameText(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x))
            == std::tolower(static_cast<unsigned char>(y));
    });
}

// The device's wildcards: "*" any run, "?" one character, without regard to case; "*.*"
// matches every name, also one without a dot.
bool Matches(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*")
        return true;
    if (pattern.empty())
        return name.empty();
    if (pattern.front() == '*')
        return Matches(pattern.substr(1), name)
            || (!name.empty() && Matches(pattern, name.substr(1)));
    return !name.empty()
        && (pattern.front() == '?' || SameText(pattern.substr(0, 1), name.substr(0, 1)))
        && Matches(pattern.substr(1), name.substr(1));
}

std::vector<std::string> SplitPath(const std::string& path, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t stop; (stop = path.find(separator, start)) != std::string::npos; start = stop + 1)
        if (stop > start)
            parts.push_back(path.substr(start, stop - start));
    if (start < path.size())
        parts.push_back(path.substr(start));
    return parts;
}

// --- The connection ------------------------------------------------------------------------

struct TIdentity {
    dev_t Device;
    ino_t Inode;
    bool operator==(const TIdentity&) const = default;
};

std::optional<TIdentity> IdentityOf(const fs::path& folder)
{
    struct stat info;
    if (folder.empty() || stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    return TIdentity { info.st_dev, info.st_ino };
}

// A device is plugged in while its folder exists; a folder put in its place later is another
// device, so the old connection ends with it.
struct TConnection {
    bool Started = false;
    fs::path Root;
    std::optional<TIdentity> Identity;
    std::chrono::steady_clock::time_point ReadyAt;
    int Event = -1;
};

TConnection Connection;
HRESULT LastRapiError = 0;
DWORD LastError = 0;

bool Connected()
{
    return Connection.Started && Connection.Identity
        && std::chrono::steady_clock::now() >= Connection.ReadyAt
        && IdentityOf(Connection.Root) == Connection.Identity;
}

int ConnectDelayMs()
{
    const char* delay = std::getenv("MARIVEL_RAPI_CONNECT_DELAY_MS");
    return delay ? std::max(0, std::atoi(delay)) : 0;
}

void EndConnection()
{
    if (Connection.Event >= 0)
        close(Connection.Event);
    Connection = TConnection();
}

// Starts connecting; the returned descriptor becomes readable once the attempt has ended.
HRESULT StartConnection()
{
    EndConnection();
    const char* root = std::getenv("MARIVEL_DEVICE_ROOT");
    Connection.Root = root ? fs::path(root) : fs::path();
    Connection.Identity = IdentityOf(Connection.Root);
    int delay = ConnectDelayMs();
    Connection.ReadyAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(delay);
    Connection.Event = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    if (Connection.Event < 0)
        return Fail;
    itimerspec when {};
    when.it_value.tv_sec = delay / 1000;
    when.it_value.tv_nsec = delay % 1000 * 1000000L + 1; // zero would disarm the timer
    timerfd_settime(Connection.Event, 0, &when, nullptr);
    Connection.Started = true;
    return 0;
}

// --- Files ---------------------------------------------------------------------------------

// The local path of a device path: each existing name is matched without regard to case;
// names that do not exist yet are taken as written.
fs::path LocalPath(const WCHAR* devicePath)
{
    fs::path path = Connection.Root;
    for (const std::string& name : SplitPath(Utf8(devicePath), '\\')) {
        if (name == "." || name == "..")
            continue; // a device path never leads out of the device folder
        fs::path exact = path / name;
        std::error_code error;
        if (!fs::exists(exact, error))
            for (const auto& entry : fs::directory_iterator(path, error))
                if (SameText(entry.path().filename().string(), name)) {
                    exact = entry.path();
                    break;
                }
        path = exact;
    }
    return path;
}

std::string ParentOf(const std::string& devicePath)
{
    size_t slash = devicePath.rfind('\\');
    return slash == std::string::npos ? std::string() : devicePath.substr(0, slash);
}

std::string NameOf(const std::string& devicePath)
{
    size_t slash = devicePath.rfind('\\');
    return slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
}

FILETIME FileTimeOf(const fs::path& path)
{
    std::error_code error;
    auto written = fs::last_write_time(path, error);
    // 100-nanosecond ticks since 1601, as the device counts them.
    constexpr int64_t From1601To1970 = 116444736000000000LL;
    auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(
                     std::chrono::file_clock::to_sys(written).time_since_epoch())
                     .count()
            / 100
        + From1601To1970;
    return { static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32) };
}

CE_FIND_DATA FindRecord(const fs::directory_entry& entry)
{
    CE_FIND_DATA record {};
    std::error_code error;
    bool folder = entry.is_directory(error);
    record.dwFileAttributes = folder ? AttributeDirectory : AttributeNormal;
    record.ftCreationTime = record.ftLastAccessTime = record.ftLastWriteTime =
        FileTimeOf(entry.path());
    uint64_t size = folder ? 0 : entry.file_size(error);
    record.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    record.nFileSizeLow = static_cast<DWORD>(size);
    CopyText(Utf16(entry.path().filename().string()), record.cFileName, 260);
    return record;
}

// The entries of a folder that match the last part of `pattern`, in name order.
std::vector<CE_FIND_DATA> Find(const WCHAR* pattern, bool foldersOnly)
{
    std::vector<CE_FIND_DATA> found;
    if (!Connected())
        return found;
    const std::string text = Utf8(pattern);
    const std::string parent = ParentOf(text);
    const std::u16string parent16 = Utf16(parent);
    std::error_code error;
    std::vector<fs::directory_entry> entries;
    for (const auto& entry : fs::directory_iterator(LocalPath(parent16.c_str()), error))
        entries.push_back(entry);
    std::sort(entries.begin(), entries.end());
    for (const auto& entry : entries)
        if (Matches(NameOf(text), entry.path().filename().string())
            && (!foldersOnly || entry.is_directory(error)))
            found.push_back(FindRecord(entry));
    return found;
}

std::map<intptr_t, int> OpenFiles;
std::map<intptr_t, std::vector<CE_FIND_DATA>> OpenFinds;
intptr_t NextHandle = 1;

HANDLE NewHandle() { return reinterpret_cast<HANDLE>(NextHandle++); }
intptr_t HandleId(HANDLE handle) { return reinterpret_cast<intptr_t>(handle); }

int OpenFlags(DWORD access, DWORD creation)
{
    int flags = (access & GenericWrite) ? ((access & GenericRead) ? O_RDWR : O_WRONLY) : O_RDONLY;
    switch (creation) {
    case 1: // create new
        return flags | O_CREAT | O_EXCL;
    case CreateAlways:
        return flags | O_CREAT | O_TRUNC;
    case 4: // open always
        return flags | O_CREAT;
    case 5: // truncate existing
        return flags | O_TRUNC;
    default:
        return flags;
    }
}

BOOL Failed(DWORD error)
{
    LastError = error;
    return 0;
}

// --- The registry --------------------------------------------------------------------------

// The device registry in the form of a .reg file: "[HKEY_CURRENT_USER\Software\...]" heads a
// key, "\"name\"=sz:text" holds a string and "\"name\"=hex(type):01,ff" any other value.

struct TRegValue {
    std::string Name;
    DWORD Type;
    std::vector<uint8_t> Data;
};

struct TRegKey {
    std::string Path; // "HKEY_CURRENT_USER\Software\..."
    std::vector<TRegValue> Values;
};

fs::path RegistryFile() { return Connection.Root / "Windows" / "registry.reg"; }

std::string EscapeName(const std::string& name)
{
    std::string out;
    for (char c : name)
        out += c == '"' || c == '\\' ? std::string { '\\', c } : std::string(1, c);
    return out;
}

std::string StringOf(const std::vector<uint8_t>& data)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        char16_t c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (c == 0)
            break;
        text += c;
    }
    return Utf8(reinterpret_cast<const WCHAR*>(text.c_str()));
}

std::vector<uint8_t> DataOf(const std::string& text)
{
    std::vector<uint8_t> data;
    for (char16_t c : Utf16(text))
        data.insert(data.end(), { static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8) });
    data.insert(data.end(), { 0, 0 });
    return data;
}

std::vector<TRegKey> LoadRegistry()
{
    std::vector<TRegKey> keys;
    std::ifstream file(RegistryFile());
    for (std::string line; std::getline(file, line);) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            keys.push_back({ line.substr(1, line.size() - 2), {} });
            continue;
        }
        if (keys.empty() || line.empty() || line.front() != '"')
            continue;
        std::string name;
        size_t i = 1;
        for (; i < line.size() && line[i] != '"'; ++i)
            name += line[i] == '\\' && i + 1 < line.size() ? line[++i] : line[i];
        std::string value = line.substr(std::min(line.size(), i + 2));
        if (value.rfind("sz:", 0) == 0)
            keys.back().Values.push_back({ name, RegSz, DataOf(value.substr(3)) });
        else if (value.rfind("hex(", 0) == 0) {
            size_t colon = value.find("):");
            TRegValue typed { name, static_cast<DWORD>(std::atoi(value.c_str() + 4)), {} };
            for (const std::string& byte : SplitPath(value.substr(colon + 2), ','))
                typed.Data.push_back(static_cast<uint8_t>(std::strtoul(byte.c_str(), nullptr, 16)));
            keys.back().Values.push_back(typed);
        }
    }
    return keys;
}

bool SaveRegistry(const std::vector<TRegKey>& keys)
{
    std::error_code error;
    fs::create_directories(RegistryFile().parent_path(), error);
    std::ofstream file(RegistryFile(), std::ios::trunc);
    for (const TRegKey& key : keys) {
        file << '[' << key.Path << "]\n";
        for (const TRegValue& value : key.Values) {
            file << '"' << EscapeName(value.Name) << "\"=";
            if (value.Type == RegSz) {
                file << "sz:" << StringOf(value.Data) << '\n';
                continue;
            }
            file << "hex(" << value.Type << "):";
            char hex[4];
            for (size_t i = 0; i < value.Data.size(); ++i) {
                std::snprintf(hex, sizeof hex, "%02x", value.Data[i]);
                file << (i ? "," : "") << hex;
            }
            file << '\n';
        }
    }
    return static_cast<bool>(file.flush());
}

TRegKey* FindKey(std::vector<TRegKey>& keys, const std::string& path)
{
    auto found = std::find_if(
        keys.begin(), keys.end(), [&](const TRegKey& key) { return SameText(key.Path, path); });
    return found == keys.end() ? nullptr : &*found;
}

TRegValue* FindValue(TRegKey& key, const std::string& name)
{
    auto found = std::find_if(key.Values.begin(), key.Values.end(),
        [&](const TRegValue& value) { return SameText(value.Name, name); });
    return found == key.Values.end() ? nullptr : &*found;
}

std::map<HKEY, std::string> OpenKeys;
HKEY NextKey = 1;

std::optional<std::string> KeyPath(HKEY key)
{
    if (key == CurrentUser)
        return "HKEY_CURRENT_USER";
    if (key == LocalMachine)
        return "HKEY_LOCAL_MACHINE";
    auto open = OpenKeys.find(key);
    return open == OpenKeys.end() ? std::nullopt : std::optional(open->second);
}

std::optional<std::string> SubKeyPath(HKEY key, const WCHAR* subKey)
{
    auto parent = KeyPath(key);
    if (!parent)
        return std::nullopt;
    std::string path = *parent;
    for (const std::string& name : SplitPath(Utf8(subKey), '\\'))
        path += '\\' + name;
    return path;
}

// The registry as stored, and the key that an open handle names (null when there is none or
// the device is gone).
struct TRegistryView {
    explicit TRegistryView(HKEY key)
        : Keys(LoadRegistry())
    {
        auto path = KeyPath(key);
        Key = Connected() && path ? FindKey(Keys, *path) : nullptr;
    }

    std::vector<TRegKey> Keys;
    TRegKey* Key;
};

HKEY OpenKeyHandle(const std::string& path)
{
    OpenKeys[NextKey] = path;
    return NextKey++;
}

// Copies a value's name or data into the caller's buffer; `size` says how much room there
// was and receives how much is needed.
LONG CopyOut(const void* source, DWORD needed, void* target, DWORD* size)
{
    if (!size)
        return target ? ErrorInvalidHandle : ErrorSuccess;
    DWORD room = *size;
    *size = needed;
    if (!target)
        return ErrorSuccess;
    if (room < needed)
        return ErrorMoreData;
    std::memcpy(target, source, needed);
    return ErrorSuccess;
}

} // namespace

// --- Entry points --------------------------------------------------------------------------

RAPI_EXPORT HRESULT CeRapiInitEx(RAPIINIT* init)
{
    if (!init || init->cbSize != sizeof(RAPIINIT))
        return Fail;
    HRESULT started = StartConnection();
    init->heRapiInit = Connection.Event;
    init->hrRapiInit = Connection.Identity ? 0 : Fail;
    return started;
}

RAPI_EXPORT HRESULT CeRapiInit()
{
    StartConnection();
    return Connection.Identity ? 0 : Fail;
}

RAPI_EXPORT HRESULT CeRapiUnInit()
{
    EndConnection();
    OpenKeys.clear();
    return 0;
}

#ifndef RAPI_PARTIAL
RAPI_EXPORT BOOL CeGetVersionEx(CEOSVERSIONINFO* info)
{
    if (!info || !Connected())
        return Failed(ErrorInvalidHandle);
    *info = { sizeof(CEOSVERSIONINFO), 5, 0, 1, 3, {} };
    return 1;
}
#endif

RAPI_EXPORT HRESULT GetRapiError() { return LastRapiError; }
RAPI_EXPORT DWORD CeGetLastError() { return LastError; }

RAPI_EXPORT HANDLE CeFindFirstFile(const WCHAR* pattern, CE_FIND_DATA* record)
{
    std::vector<CE_FIND_DATA> found = Find(pattern, false);
    if (found.empty()) {
        LastError = ErrorFileNotFound;
        return InvalidHandle;
    }
    if (record)
        *record = found.front();
    found.erase(found.begin());
    HANDLE handle = NewHandle();
    OpenFinds[HandleId(handle)] = std::move(found);
    return handle;
}

RAPI_EXPORT BOOL CeFindNextFile(HANDLE handle, CE_FIND_DATA* record)
{
    auto find = OpenFinds.find(HandleId(handle));
    if (find == OpenFinds.end() || find->second.empty())
        return Failed(ErrorNoMoreItems);
    if (record)
        *record = find->second.front();
    find->second.erase(find->second.begin());
    return 1;
}

RAPI_EXPORT BOOL CeFindClose(HANDLE handle)
{
    return OpenFinds.erase(HandleId(handle)) ? 1 : Failed(ErrorInvalidHandle);
}

#ifndef RAPI_PARTIAL
RAPI_EXPORT BOOL CeFindAllFiles(
    const WCHAR* pattern, DWORD flags, DWORD* count, CE_FIND_DATA** records)
{
    if (!Connected() || !count || !records)
        return Failed(ErrorInvalidHandle);
    std::vector<CE_FIND_DATA> found = Find(pattern, flags & FindFoldersOnly);
    *count = static_cast<DWORD>(found.size());
    *records = new CE_FIND_DATA[found.size() + 1];
    std::copy(found.begin(), found.end(), *records);
    return 1;
}

RAPI_EXPORT HRESULT RapiFreeBuffer(void* buffer)
{
    delete[] static_cast<CE_FIND_DATA*>(buffer);
    return 0;
}
#endif

RAPI_EXPORT DWORD CeGetFileAttributes(const WCHAR* path)
{
    std::error_code error;
    fs::file_status status;
    if (Connected())
        status = fs::status(LocalPath(path), error);
    if (!fs::exists(status)) {
        LastError = ErrorFileNotFound;
        return 0xFFFFFFFF;
    }
    return fs::is_directory(status) ? AttributeDirectory : AttributeNormal;
}

RAPI_EXPORT HANDLE CeCreateFile(
    const WCHAR* path, DWORD access, DWORD, void*, DWORD creation, DWORD, HANDLE)
{
    if (!Connected()) {
        LastError = ErrorInvalidHandle;
        return InvalidHandle;
    }
    int fd = open(LocalPath(path).c_str(), OpenFlags(access, creation) | O_CLOEXEC, 0644);
    struct stat info;
    if (fd >= 0 && (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))) {
        close(fd); // a folder is no file, as on the device
        fd = -1;
        errno = EISDIR;
    }
    if (fd < 0) {
        LastError = errno == ENOENT ? 3 /* path not found */ : ErrorAccessDenied;
        return InvalidHandle;
    }
    HANDLE handle = NewHandle();
    OpenFiles[HandleId(handle)] = fd;
    return handle;
}

RAPI_EXPORT BOOL CeReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* done, void*)
{
    auto file = OpenFiles.find(HandleId(handle));
    if (file == OpenFiles.end() || !Connected())
        return Failed(ErrorInvalidHandle);
    DWORD total = 0;
    for (ssize_t n; total < count
         && (n = read(file->second, static_cast<char*>(buffer) + total, count - total)) > 0;)
        total += static_cast<DWORD>(n);
    if (done)
        *done = total;
    return 1;
}

RAPI_EXPORT BOOL CeWriteFile(HANDLE handle, const void* buffer, DWORD count, DWORD* done, void*)
{
    auto file = OpenFiles.find(HandleId(handle));
    if (file == OpenFiles.end() || !Connected())
        return Failed(ErrorInvalidHandle);
    DWORD total = 0;
    for (ssize_t n; total < count
         && (n = write(file->second, static_cast<const char*>(buffer) + total, count - total)) > 0;)
        total += static_cast<DWORD>(n);
    if (done)
        *done = total;
    return total == count ? 1 : Failed(ErrorAccessDenied);
}

RAPI_EXPORT DWORD CeGetFileSize(HANDLE handle, DWORD* high)
{
    auto file = OpenFiles.find(HandleId(handle));
    struct stat info;
    if (file == OpenFiles.end() || fstat(file->second, &info) != 0) {
        LastError = ErrorInvalidHandle;
        return 0xFFFFFFFF;
    }
    if (high)
        *high = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
    return static_cast<DWORD>(info.st_size);
}

RAPI_EXPORT BOOL CeCloseHandle(HANDLE handle)
{
    auto file = OpenFiles.find(HandleId(handle));
    if (file == OpenFiles.end())
        return Failed(ErrorInvalidHandle);
    int result = close(file->second);
    OpenFiles.erase(file);
    return result == 0 ? 1 : Failed(ErrorAccessDenied);
}

RAPI_EXPORT BOOL CeCopyFile(const WCHAR* source, const WCHAR* target, BOOL failIfExists)
{
    std::error_code error;
    if (!Connected()
        || !fs::copy_file(LocalPath(source), LocalPath(target),
            failIfExists ? fs::copy_options::none : fs::copy_options::overwrite_existing, error))
        return Failed(ErrorAccessDenied);
    return 1;
}

RAPI_EXPORT BOOL CeDeleteFile(const WCHAR* path)
{
    std::error_code error;
    if (!Connected() || fs::is_directory(LocalPath(path)) || !fs::remove(LocalPath(path), error))
        return Failed(ErrorFileNotFound);
    return 1;
}

RAPI_EXPORT BOOL CeCreateDirectory(const WCHAR* path, void*)
{
    std::error_code error;
    return Connected() && fs::create_directory(LocalPath(path), error) ? 1
                                                                       : Failed(ErrorAccessDenied);
}

#ifndef RAPI_PARTIAL
RAPI_EXPORT DWORD CeGetSpecialFolderPath(int folder, DWORD length, WCHAR* buffer)
{
    const char* path = folder == FolderMyDevice ? "\\"
        : folder == FolderMyDocuments           ? "\\My Documents"
        : folder == FolderProgramFiles          ? "\\Program Files"
                                                : nullptr;
    if (!path || !Connected() || !CopyText(Utf16(path), buffer, length))
        return Failed(ErrorInvalidHandle);
    return static_cast<DWORD>(std::strlen(path));
}
#endif

RAPI_EXPORT LONG CeRegOpenKeyEx(HKEY key, const WCHAR* subKey, DWORD, DWORD, HKEY* result)
{
    auto path = SubKeyPath(key, subKey);
    if (!Connected() || !path || !result)
        return ErrorInvalidHandle;
    std::vector<TRegKey> keys = LoadRegistry();
    TRegKey* found = FindKey(keys, *path);
    if (!found)
        return ErrorFileNotFound;
    *result = OpenKeyHandle(found->Path);
    return ErrorSuccess;
}

RAPI_EXPORT LONG CeRegCreateKeyEx(HKEY key, const WCHAR* subKey, DWORD, WCHAR*, DWORD, DWORD, void*,
    HKEY* result, DWORD* disposition)
{
    auto path = SubKeyPath(key, subKey);
    if (!Connected() || !path || !result)
        return ErrorInvalidHandle;
    std::vector<TRegKey> keys = LoadRegistry();
    TRegKey* found = FindKey(keys, *path);
    if (disposition)
        *disposition = found ? 2 : CreatedNewKey;
    if (!found) {
        keys.push_back({ *path, {} });
        if (!SaveRegistry(keys))
            return ErrorAccessDenied;
    }
    *result = OpenKeyHandle(found ? found->Path : *path);
    return ErrorSuccess;
}

RAPI_EXPORT LONG CeRegCloseKey(HKEY key)
{
    return OpenKeys.erase(key) ? ErrorSuccess : ErrorInvalidHandle;
}

// Only the number of values is kept up to date; the other counts are not asked for.
RAPI_EXPORT LONG CeRegQueryInfoKey(HKEY key, WCHAR*, DWORD*, DWORD*, DWORD*, DWORD*, DWORD*,
    DWORD* values, DWORD*, DWORD*, DWORD*, FILETIME*)
{
    TRegistryView registry(key);
    TRegKey* found = registry.Key;
    if (!found)
        return ErrorInvalidHandle;
    if (values)
        *values = static_cast<DWORD>(found->Values.size());
    return ErrorSuccess;
}

RAPI_EXPORT LONG CeRegEnumValue(HKEY key, DWORD index, WCHAR* name, DWORD* nameLength, DWORD*,
    DWORD* type, uint8_t* data, DWORD* dataSize)
{
    TRegistryView registry(key);
    TRegKey* found = registry.Key;
    if (!found)
        return ErrorInvalidHandle;
    if (index >= found->Values.size())
        return ErrorNoMoreItems;
    const TRegValue& value = found->Values[index];
    if (type)
        *type = value.Type;
    std::u16string name16 = Utf16(value.Name);
    if (!nameLength || !CopyText(name16, name, *nameLength))
        return ErrorMoreData;
    *nameLength = static_cast<DWORD>(name16.size());
    return CopyOut(value.Data.data(), static_cast<DWORD>(value.Data.size()), data, dataSize);
}

RAPI_EXPORT LONG CeRegQueryValueEx(
    HKEY key, const WCHAR* name, DWORD*, DWORD* type, uint8_t* data, DWORD* dataSize)
{
    TRegistryView registry(key);
    TRegKey* found = registry.Key;
    if (!found)
        return ErrorInvalidHandle;
    TRegValue* value = FindValue(*found, Utf8(name));
    if (!value)
        return ErrorFileNotFound;
    if (type)
        *type = value->Type;
    return CopyOut(value->Data.data(), static_cast<DWORD>(value->Data.size()), data, dataSize);
}

RAPI_EXPORT LONG CeRegSetValueEx(
    HKEY key, const WCHAR* name, DWORD, DWORD type, const uint8_t* data, DWORD size)
{
    TRegistryView registry(key);
    TRegKey* found = registry.Key;
    if (!found)
        return ErrorInvalidHandle;
    TRegValue value { Utf8(name), type, std::vector<uint8_t>(data, data + size) };
    if (TRegValue* existing = FindValue(*found, value.Name))
        *existing = value;
    else
        found->Values.push_back(value);
    return SaveRegistry(registry.Keys) ? ErrorSuccess : ErrorAccessDenied;
}
