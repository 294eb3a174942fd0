#pragma once

// The Remote API of a handheld device as its published entry points see it: the records and
// constants both our librapi and the program's binding rely on. Linux has no Windows types, so
// they are spelled out with the widths the device records have.

#include <cstdint>

namespace Ce {

using DWORD = uint32_t;
using LONG = int32_t;
using BOOL = int32_t;
using HRESULT = int32_t;
using WCHAR = char16_t;
using HANDLE = void*;
// Registry keys are small numbers, so the predefined roots keep their published values.
using HKEY = uint32_t;

inline const HANDLE InvalidHandle = reinterpret_cast<HANDLE>(intptr_t(-1));
constexpr HKEY CurrentUser = 0x80000001;
constexpr HKEY LocalMachine = 0x80000002;

constexpr DWORD GenericRead = 0x80000000;
constexpr DWORD GenericWrite = 0x40000000;
constexpr DWORD ShareRead = 1;
constexpr DWORD CreateNew = 1;
constexpr DWORD CreateAlways = 2;
constexpr DWORD OpenExisting = 3;
constexpr DWORD AttributeDirectory = 0x10;
constexpr DWORD AttributeNormal = 0x80;

// Flags of CeFindAllFiles.
constexpr DWORD FindAttributes = 0x0001;
constexpr DWORD FindName = 0x0080;
constexpr DWORD FindFoldersOnly = 0x1000;
constexpr DWORD FindAttribChildren = 0x4000;

constexpr DWORD RegSz = 1;
constexpr DWORD KeyRead = 0x20019;
constexpr DWORD CreatedNewKey = 1;

constexpr LONG ErrorSuccess = 0;
constexpr LONG ErrorFileNotFound = 2;
constexpr LONG ErrorPathNotFound = 3;
constexpr LONG ErrorAccessDenied = 5;
constexpr LONG ErrorInvalidHandle = 6;
constexpr LONG ErrorNotSameDevice = 17;
constexpr LONG ErrorFileExists = 80;
constexpr LONG ErrorInvalidParameter = 87;
constexpr LONG ErrorDiskFull = 112;
constexpr LONG ErrorAlreadyExists = 183;
constexpr LONG ErrorMoreData = 234;
constexpr LONG ErrorNoMoreItems = 259;
constexpr HRESULT Fail = static_cast<HRESULT>(0x80004005);

constexpr int FolderMyDocuments = 5;
constexpr int FolderMyDevice = 17;
constexpr int FolderProgramFiles = 38;

struct FILETIME {
    DWORD Low;
    DWORD High;
};

// 560 bytes, as in the array CeFindAllFiles returns.
struct CE_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[260];
};
static_assert(sizeof(CE_FIND_DATA) == 560);

// The event of the published record is a handle; here it is a file descriptor that becomes
// readable when the connection attempt has ended, so the record keeps its size of 12.
struct RAPIINIT {
    DWORD cbSize;
    int32_t heRapiInit;
    HRESULT hrRapiInit;
};
static_assert(sizeof(RAPIINIT) == 12);

struct CEOSVERSIONINFO {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};

} // namespace Ce
