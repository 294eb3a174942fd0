// librapi: the handheld's Remote API, served from a local folder that stands for the device.
// The folder is MARIVEL_DEVICE_ROOT, else the one the program set with RapiSetDeviceFolder, else
// the first mounted navigator found in the user's removable-media folders (MARIVEL_MEDIA_ROOTS,
// ":"-separated, names other folders to look in); device paths ("\My Documents\a.ov2") map below it
// and never lead out of it, and names match without regard to case, as on the device's own file
// system. The device registry is a text file inside the folder. MARIVEL_RAPI_CONNECT_DELAY_MS makes
// connecting slow, as a busy device is. Built a second time without some entry points
// (RAPI_PARTIAL), to stand for older versions of the library, and a third time taking only part
// of each write (RAPI_SHORT_WRITE), as a card that fills up mid-write. It needs nothing but the
// C++ library, so any program can load it, and one process keeps one connection, as with the real
// library.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

// How many continuation bytes follow the lead byte at `at`; -1 when the sequence there is not
// UTF-8, as in a name a memory card got from a program that wrote Latin-1.
int Utf8Extra(const std::string& text, size_t at)
{
    auto byte = static_cast<unsigned char>(text[at]);
    int extra = byte >= 0xF8 ? -1
        : byte >= 0xF0       ? 3
        : byte >= 0xE0       ? 2
        : byte >= 0xC0       ? 1
        : byte >= 0x80       ? -1
                             : 0;
    for (int k = 1; k <= extra; ++k)
        if (at + k >= text.size() || (static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80)
            return -1;
    return extra;
}

// UTF-8 to UTF-16; a byte that starts no valid sequence stands for its Latin-1 character.
std::u16string Utf16(const std::string& text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        int extra = Utf8Extra(text, i);
        if (extra < 0) {
            out += static_cast<char16_t>(byte);
            ++i;
            continue;
        }
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

// --- Finding the device ------------------------------------------------------------------

// The folders in which the desktop mounts removable media, one volume per subfolder.
std::vector<fs::path> MediaRoots()
{
    if (const char* roots = std::getenv("MARIVEL_MEDIA_ROOTS")) {
        std::vector<fs::path> given;
        for (const std::string& root : SplitPath(roots, ':'))
            given.emplace_back(root);
        return given;
    }
    const char* user = std::getenv("USER");
    if (!user || !*user)
        return {};
    return { fs::path("/media") / user, fs::path("/run/media") / user };
}

bool HasExtension(const fs::path& file, std::string_view ext)
{
    return SameText(file.extension().string(), ext);
}

// A navigator's volume: its boot file at the top, or a map folder (.pna or .meta files) in it.
bool IsNavigatorVolume(const fs::path& volume)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(volume, error)) {
        if (!entry.is_directory(error)) {
            if (SameText(entry.path().filename().string(), "ttgo.bif"))
                return true;
            continue;
        }
        for (const auto& file : fs::directory_iterator(entry.path(), error))
            if (HasExtension(file.path(), ".pna") || HasExtension(file.path(), ".meta"))
                return true;
    }
    return false;
}

// The first navigator volume of the media folders, in name order; empty when none is mounted.
fs::path MountedNavigator()
{
    for (const fs::path& root : MediaRoots()) {
        std::error_code error;
        std::vector<fs::path> volumes;
        for (const auto& entry : fs::directory_iterator(root, error))
            if (entry.is_directory(error))
                volumes.push_back(entry.path());
        std::sort(volumes.begin(), volumes.end());
        for (const fs::path& volume : volumes)
            if (IsNavigatorVolume(volume))
                return volume;
    }
    return {};
}

std::string ConfiguredFolder; // set by the program before it connects

fs::path DeviceFolder()
{
    if (const char* root = std::getenv("MARIVEL_DEVICE_ROOT"))
        return root;
    if (!ConfiguredFolder.empty())
        return ConfiguredFolder;
    return MountedNavigator();
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
    fs::path RealRoot; // with its symbolic links resolved, as paths inside it are compared
    std::optional<TIdentity> Identity;
    std::chrono::steady_clock::time_point ReadyAt;
    int Event = -1;
};

TConnection Connection;
std::string TriedFolder; // kept after a failed attempt, so the program can name it
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
    Connection.Root = DeviceFolder();
    TriedFolder = Connection.Root.string();
    Connection.Identity = IdentityOf(Connection.Root);
    std::error_code error;
    if (Connection.Identity)
        Connection.RealRoot = fs::canonical(Connection.Root, error);
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

bool InsideDevice(const fs::path& path)
{
    const fs::path& root = Connection.RealRoot;
    return std::mismatch(root.begin(), root.end(), path.begin(), path.end()).first == root.end();
}

// A local name as the device lists it: a name that is not UTF-8 read as Latin-1.
std::string ListedName(const fs::path& path)
{
    return Utf8(Utf16(path.filename().string()).c_str());
}

// The name in `folder` that `name` stands for: the existing one that matches without regard
// to case, else `name` as written.
fs::path ExistingName(const fs::path& folder, const std::string& name)
{
    fs::path exact = folder / name;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(exact, error)))
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            // A name that is not UTF-8 is known by the text it was listed with.
            if (SameText(ListedName(entry.path()), name))
                return entry.path();
        }
    return exact;
}

// A symbolic link stands for its target as long as that lies inside the device folder.
std::optional<fs::path> FollowInside(const fs::path& path)
{
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error)))
        return path;
    fs::path target = fs::canonical(path, error);
    return !error && InsideDevice(target) ? std::optional(target) : std::nullopt;
}

// The local path of a device path, free of symbolic links, or none when the path would lead
// out of the device folder. "\" and "/" both separate names and ".." goes up, as on the device.
std::optional<fs::path> LocalPath(const WCHAR* devicePath)
{
    std::string text = Utf8(devicePath);
    std::replace(text.begin(), text.end(), '/', '\\');
    std::vector<std::string> names;
    for (const std::string& name : SplitPath(text, '\\'))
        if (name == "..") {
            if (names.empty())
                return std::nullopt;
            names.pop_back();
        } else if (name != ".")
            names.push_back(name);
    fs::path path = Connection.RealRoot;
    for (const std::string& name : names) {
        auto next = FollowInside(ExistingName(path, name));
        if (!next)
            return std::nullopt;
        path = *next;
    }
    return path;
}

std::string ParentOf(const std::string& devicePath)
{
    size_t slash = devicePath.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : devicePath.substr(0, slash);
}

std::string NameOf(const std::string& devicePath)
{
    size_t slash = devicePath.find_last_of("\\/");
    return slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
}

// 100-nanosecond ticks since 1601, as the device counts them.
FILETIME FileTimeOf(const timespec& time)
{
    constexpr int64_t From1601To1970 = 116444736000000000LL;
    const int64_t ticks = int64_t(time.tv_sec) * 10000000 + time.tv_nsec / 100 + From1601To1970;
    return { static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32) };
}

// One status call per entry: a folder of many thousand files lists at once.
CE_FIND_DATA FindRecord(const fs::path& path, const std::string& name)
{
    CE_FIND_DATA record {};
    struct stat info { };
    stat(path.c_str(), &info);
    const bool folder = S_ISDIR(info.st_mode);
    record.dwFileAttributes = folder ? AttributeDirectory : AttributeNormal;
    record.ftCreationTime = record.ftLastAccessTime = record.ftLastWriteTime =
        FileTimeOf(info.st_mtim);
    const uint64_t size = folder ? 0 : static_cast<uint64_t>(info.st_size);
    record.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    record.nFileSizeLow = static_cast<DWORD>(size);
    CopyText(Utf16(name), record.cFileName, 260);
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
    const std::string wanted = NameOf(text);
    const std::u16string parent16 = Utf16(parent);
    auto folder = LocalPath(parent16.c_str());
    if (!folder)
        return found;
    std::error_code error;
    std::vector<std::pair<std::string, fs::directory_entry>> entries;
    for (const auto& entry : fs::directory_iterator(*folder, error)) {
        std::error_code linkError;
        if (!entry.is_symlink(linkError) || FollowInside(entry.path()))
            entries.emplace_back(entry.path().filename().string(), entry);
    }
    std::sort(entries.begin(), entries.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [name, entry] : entries)
        if ((wanted == "*.*" || Matches(wanted, ListedName(entry.path())))
            && (!foldersOnly || entry.is_directory(error)))
            found.push_back(FindRecord(entry.path(), name));
    return found;
}

struct TOpenFile {
    int Fd;
    bool Writable;
};

std::map<intptr_t, TOpenFile> OpenFiles;
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

// The device's error code for what the file system answered.
DWORD CeErrorOf(int error)
{
    switch (error) {
    case ENOENT:
        return ErrorFileNotFound;
    case ENOTDIR:
    case ELOOP: // a symbolic link where none may be
        return ErrorPathNotFound;
    case EEXIST:
    case ENOTEMPTY:
        return ErrorAlreadyExists;
    case ENOSPC:
    case EDQUOT:
        return ErrorDiskFull;
    case EXDEV:
        return ErrorNotSameDevice;
    default:
        return ErrorAccessDenied;
    }
}

BOOL FailedWith(int error) { return Failed(CeErrorOf(error)); }

// Closes a descriptor when it goes out of scope.
struct TFd {
    explicit TFd(int fd)
        : Fd(fd)
    {
    }
    ~TFd()
    {
        if (Fd >= 0)
            close(Fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;

    int Fd;
};

// Opens a regular file only: a link swapped in at the last moment is not followed, and a
// pipe or device node in the folder neither blocks nor is read. -1 with errno set otherwise.
int OpenRegular(const fs::path& path, int flags)
{
    int fd = open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    struct stat info;
    if (fd < 0 || (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)))
        return fd;
    close(fd);
    errno = EACCES; // a folder is no file, as on the device
    return -1;
}

bool SameFile(int a, int b)
{
    struct stat first, second;
    return fstat(a, &first) == 0 && fstat(b, &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

bool WriteAll(int fd, const char* bytes, size_t count, size_t& written)
{
    for (written = 0; written < count;) {
        ssize_t n = write(fd, bytes + written, count - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

std::string ReadAll(int fd)
{
    std::string text;
    char block[65536];
    for (ssize_t n; (n = read(fd, block, sizeof block)) > 0 || (n < 0 && errno == EINTR);)
        text.append(block, static_cast<size_t>(std::max<ssize_t>(n, 0)));
    return text;
}

// Replaces `file` with `text` in one step: a reader, or a crash, sees the old content or the
// new one, never a part.
bool ReplaceFile(const fs::path& file, const std::string& text)
{
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    std::string temp = file.string() + ".XXXXXX";
    TFd fd(mkostemp(temp.data(), O_CLOEXEC));
    if (fd.Fd < 0)
        return false;
    size_t written = 0;
    bool replaced = fchmod(fd.Fd, 0644) == 0 && WriteAll(fd.Fd, text.data(), text.size(), written)
        && fsync(fd.Fd) == 0 && rename(temp.c_str(), file.c_str()) == 0;
    if (!replaced)
        unlink(temp.c_str());
    return replaced;
}

// --- The registry --------------------------------------------------------------------------

// The device registry in the form of a .reg file: "[HKEY_CURRENT_USER\Software\...]" heads a
// key, "name"="text" holds a string and "name"=hex(type):01,ff any other value. Names and
// strings are quoted with backslash, quote, line feed and carriage return escaped, so any text
// stays on its own line; "name"=sz:text, as earlier versions wrote strings, is read as it is.

struct TRegValue {
    std::string Name;
    DWORD Type;
    std::vector<uint8_t> Data;
};

struct TRegKey {
    std::string Path; // "HKEY_CURRENT_USER\Software\..."
    std::vector<TRegValue> Values;
};

std::optional<fs::path> RegistryFile() { return LocalPath(u"\\Windows\\registry.reg"); }

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
        out += c == '\\' ? "\\\\"
            : c == '"'   ? "\\\""
            : c == '\n'  ? "\\n"
            : c == '\r'  ? "\\r"
                         : std::string(1, c);
    return out + '"';
}

// The text of the quoted part that begins at `at`, which then points behind it.
std::string Unquoted(std::string_view line, size_t& at)
{
    std::string out;
    for (++at; at < line.size() && line[at] != '"'; ++at) {
        char c = line[at];
        if (c == '\\' && at + 1 < line.size()) {
            c = line[++at];
            c = c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        }
        out += c;
    }
    ++at;
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

std::optional<TRegValue> ParseValue(std::string_view line)
{
    size_t at = 0;
    std::string name = Unquoted(line, at);
    std::string_view value = line.substr(std::min(line.size(), at + 1));
    if (value.starts_with('"')) {
        size_t start = 0;
        return TRegValue { name, RegSz, DataOf(Unquoted(value, start)) };
    }
    if (value.starts_with("sz:"))
        return TRegValue { name, RegSz, DataOf(std::string(value.substr(3))) };
    if (!value.starts_with("hex("))
        return std::nullopt;
    size_t colon = value.find("):");
    TRegValue typed { name, static_cast<DWORD>(std::atoi(value.data() + 4)), {} };
    if (colon != std::string_view::npos)
        for (const std::string& byte : SplitPath(std::string(value.substr(colon + 2)), ','))
            typed.Data.push_back(static_cast<uint8_t>(std::strtoul(byte.c_str(), nullptr, 16)));
    return typed;
}

std::vector<TRegKey> ParseRegistry(const std::string& text)
{
    std::vector<TRegKey> keys;
    for (std::string line : SplitPath(text, '\n')) {
        if (line.ends_with('\r'))
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            keys.push_back({ line.substr(1, line.size() - 2), {} });
        else if (!keys.empty() && line.starts_with('"'))
            if (auto value = ParseValue(line))
                keys.back().Values.push_back(*value);
    }
    return keys;
}

std::string RegistryText(const std::vector<TRegKey>& keys)
{
    std::string text;
    for (const TRegKey& key : keys) {
        text += '[' + key.Path + "]\n";
        for (const TRegValue& value : key.Values) {
            text += Quoted(value.Name) + '=';
            if (value.Type == RegSz) {
                text += Quoted(StringOf(value.Data)) + '\n';
                continue;
            }
            text += "hex(" + std::to_string(value.Type) + "):";
            char hex[4];
            for (size_t i = 0; i < value.Data.size(); ++i) {
                std::snprintf(hex, sizeof hex, "%02x", value.Data[i]);
                text += (i ? "," : "") + std::string(hex);
            }
            text += '\n';
        }
    }
    return text;
}

// What tells one state of the registry file from another: an edit from outside changes its
// times or size, a save puts another file in its place.
struct TFileStamp {
    dev_t Device;
    ino_t Inode;
    off_t Size;
    int64_t Modified;
    int64_t Changed;
    bool operator==(const TFileStamp&) const = default;
};

TFileStamp StampOf(const struct stat& info)
{
    auto nanoseconds = [](const timespec& time) {
        return int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
    };
    return { info.st_dev, info.st_ino, info.st_size, nanoseconds(info.st_mtim),
        nanoseconds(info.st_ctim) };
}

std::optional<TFileStamp> CurrentStamp(const std::optional<fs::path>& file)
{
    struct stat info;
    if (!file || stat(file->c_str(), &info) != 0)
        return std::nullopt;
    return StampOf(info);
}

// The registry as last read or saved, parsed again only when its file has changed since.
struct TRegistry {
    bool Valid = false;
    std::optional<fs::path> File;
    std::optional<TFileStamp> Stamp; // none while the file does not exist
    std::vector<TRegKey> Keys;
};

TRegistry Registry;

std::vector<TRegKey>& RegistryKeys()
{
    auto file = RegistryFile();
    auto stamp = CurrentStamp(file);
    if (Registry.Valid && Registry.File == file && Registry.Stamp == stamp)
        return Registry.Keys;
    Registry = { true, file, std::nullopt, {} };
    TFd fd(file ? OpenRegular(*file, O_RDONLY) : -1);
    struct stat info;
    if (fd.Fd >= 0 && fstat(fd.Fd, &info) == 0) {
        Registry.Stamp = StampOf(info);
        Registry.Keys = ParseRegistry(ReadAll(fd.Fd));
    }
    return Registry.Keys;
}

// A change that could not be saved is forgotten: the file still holds the registry.
bool SaveRegistry()
{
    bool saved = Registry.File && ReplaceFile(*Registry.File, RegistryText(Registry.Keys));
    Registry.Valid = saved;
    Registry.Stamp = CurrentStamp(Registry.File);
    return saved;
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

// The key that an open handle names; null when there is none or the device is gone.
TRegKey* OpenedKey(HKEY key)
{
    auto path = KeyPath(key);
    return Connected() && path ? FindKey(RegistryKeys(), *path) : nullptr;
}

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

// Not of the published interface: where the device is when no environment says otherwise.
RAPI_EXPORT void RapiSetDeviceFolder(const WCHAR* folder) { ConfiguredFolder = Utf8(folder); }

// The folder a connection would serve when the program sets none (the environment's, else a
// mounted navigator), into `buffer` of `length` characters; returns its length, 0 when there
// is none.
RAPI_EXPORT DWORD RapiFindDeviceFolder(DWORD length, WCHAR* buffer)
{
    const char* root = std::getenv("MARIVEL_DEVICE_ROOT");
    const std::u16string folder = Utf16(root ? std::string(root) : MountedNavigator().string());
    return CopyText(folder, buffer, length) ? static_cast<DWORD>(folder.size()) : 0;
}

// The folder the last connection attempt served (or tried to), into `buffer` of `length`
// characters; returns its length, 0 when no folder was found.
RAPI_EXPORT DWORD RapiGetDeviceFolder(DWORD length, WCHAR* buffer)
{
    const std::u16string folder = Utf16(TriedFolder);
    return CopyText(folder, buffer, length) ? static_cast<DWORD>(folder.size()) : 0;
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
    if (auto local = Connected() ? LocalPath(path) : std::nullopt)
        status = fs::status(*local, error);
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
    auto local = LocalPath(path);
    int fd = local ? OpenRegular(*local, OpenFlags(access, creation)) : -1;
    if (fd < 0) {
        LastError = !local || errno == ENOENT ? ErrorPathNotFound
            : errno == EEXIST                 ? ErrorFileExists
                                              : CeErrorOf(errno);
        return InvalidHandle;
    }
    HANDLE handle = NewHandle();
    OpenFiles[HandleId(handle)] = { fd, (access & GenericWrite) != 0 };
    return handle;
}

RAPI_EXPORT BOOL CeReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* done, void*)
{
    auto file = OpenFiles.find(HandleId(handle));
    if (file == OpenFiles.end() || !Connected())
        return Failed(ErrorInvalidHandle);
    DWORD total = 0;
    for (ssize_t n; total < count
         && (n = read(file->second.Fd, static_cast<char*>(buffer) + total, count - total)) > 0;)
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
#ifdef RAPI_SHORT_WRITE
    count -= count / 2; // the card took only part, and says nothing of the rest
#endif
    size_t written = 0;
    bool complete = WriteAll(file->second.Fd, static_cast<const char*>(buffer), count, written);
    if (done)
        *done = static_cast<DWORD>(written);
    return complete ? 1 : FailedWith(errno);
}

RAPI_EXPORT DWORD CeGetFileSize(HANDLE handle, DWORD* high)
{
    auto file = OpenFiles.find(HandleId(handle));
    struct stat info;
    if (file == OpenFiles.end() || fstat(file->second.Fd, &info) != 0) {
        LastError = ErrorInvalidHandle;
        return 0xFFFFFFFF;
    }
    if (high)
        *high = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
    return static_cast<DWORD>(info.st_size);
}

// A written file reaches the card before the handle is gone, so a card pulled right after a
// save still holds it.
RAPI_EXPORT BOOL CeCloseHandle(HANDLE handle)
{
    auto file = OpenFiles.find(HandleId(handle));
    if (file == OpenFiles.end())
        return Failed(ErrorInvalidHandle);
    const TOpenFile closing = file->second;
    OpenFiles.erase(file);
    bool synced = !closing.Writable || fsync(closing.Fd) == 0;
    int syncError = errno;
    if (close(closing.Fd) != 0)
        return FailedWith(errno);
    return synced ? 1 : FailedWith(syncError);
}

RAPI_EXPORT BOOL CeCopyFile(const WCHAR* source, const WCHAR* target, BOOL failIfExists)
{
    auto from = Connected() ? LocalPath(source) : std::nullopt;
    auto to = from ? LocalPath(target) : std::nullopt;
    if (!to)
        return Failed(ErrorPathNotFound);
    TFd in { OpenRegular(*from, O_RDONLY) };
    if (in.Fd < 0)
        return FailedWith(errno);
    TFd out { OpenRegular(*to, O_WRONLY | O_CREAT | (failIfExists ? O_EXCL : 0)) };
    if (out.Fd < 0)
        return FailedWith(errno);
    if (SameFile(in.Fd, out.Fd))
        return Failed(ErrorAccessDenied); // emptying the target would lose the source
    if (ftruncate(out.Fd, 0) != 0)
        return FailedWith(errno);
    char block[65536];
    for (ssize_t n; (n = read(in.Fd, block, sizeof block)) != 0;) {
        size_t written = 0;
        if (n < 0 || !WriteAll(out.Fd, block, static_cast<size_t>(n), written))
            return FailedWith(errno);
    }
    return fsync(out.Fd) == 0 ? 1 : FailedWith(errno);
}

#ifndef RAPI_PARTIAL
// As on the device, an existing target is never replaced.
RAPI_EXPORT BOOL CeMoveFile(const WCHAR* source, const WCHAR* target)
{
    auto from = Connected() ? LocalPath(source) : std::nullopt;
    auto to = from ? LocalPath(target) : std::nullopt;
    if (!to)
        return Failed(ErrorPathNotFound);
    if (renameat2(AT_FDCWD, from->c_str(), AT_FDCWD, to->c_str(), RENAME_NOREPLACE) == 0)
        return 1;
    if (errno != EINVAL && errno != ENOSYS)
        return FailedWith(errno);
    // A file system without the no-replace rename: a new link fails as well when the target
    // exists.
    if (link(from->c_str(), to->c_str()) != 0)
        return FailedWith(errno);
    return unlink(from->c_str()) == 0 ? 1 : FailedWith(errno);
}
#endif

RAPI_EXPORT BOOL CeDeleteFile(const WCHAR* path)
{
    auto local = Connected() ? LocalPath(path) : std::nullopt;
    std::error_code error;
    if (!local || fs::is_directory(*local, error))
        return Failed(ErrorFileNotFound);
    return unlink(local->c_str()) == 0 ? 1 : FailedWith(errno);
}

RAPI_EXPORT BOOL CeCreateDirectory(const WCHAR* path, void*)
{
    auto local = Connected() ? LocalPath(path) : std::nullopt;
    if (!local)
        return Failed(ErrorPathNotFound);
    return mkdir(local->c_str(), 0755) == 0 ? 1 : FailedWith(errno);
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
    TRegKey* found = FindKey(RegistryKeys(), *path);
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
    if (path->find_first_of("\r\n") != std::string::npos)
        return ErrorInvalidParameter; // a key name is one line of the registry file
    std::vector<TRegKey>& keys = RegistryKeys();
    TRegKey* found = FindKey(keys, *path);
    if (disposition)
        *disposition = found ? 2 : CreatedNewKey;
    std::string opened = found ? found->Path : *path;
    if (!found) {
        keys.push_back({ *path, {} });
        if (!SaveRegistry())
            return ErrorAccessDenied;
    }
    *result = OpenKeyHandle(opened);
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
    TRegKey* found = OpenedKey(key);
    if (!found)
        return ErrorInvalidHandle;
    if (values)
        *values = static_cast<DWORD>(found->Values.size());
    return ErrorSuccess;
}

RAPI_EXPORT LONG CeRegEnumValue(HKEY key, DWORD index, WCHAR* name, DWORD* nameLength, DWORD*,
    DWORD* type, uint8_t* data, DWORD* dataSize)
{
    TRegKey* found = OpenedKey(key);
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
    TRegKey* found = OpenedKey(key);
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
    TRegKey* found = OpenedKey(key);
    if (!found)
        return ErrorInvalidHandle;
    TRegValue value { Utf8(name), type, std::vector<uint8_t>(data, data + size) };
    if (TRegValue* existing = FindValue(*found, value.Name))
        *existing = value;
    else
        found->Values.push_back(value);
    return SaveRegistry() ? ErrorSuccess : ErrorAccessDenied;
}
