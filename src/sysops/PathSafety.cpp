#include "sysops/PathSafety.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/UniqueHandle.h"
#include "sysops/AdminShares.h"
#include "sysops/FileAttributeQuery.h"
#include "sysops/ProtectedFolders.h"

#include <windows.h>

#include <cwctype>
#include <vector>

namespace {

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

bool HasDevicePrefix(const std::wstring& path) {
    return StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\") || StartsWith(path, L"\\??\\");
}

std::wstring WithoutDevicePrefix(const std::wstring& path) {
    if (StartsWith(path, L"\\\\?\\UNC\\") || StartsWith(path, L"\\\\?\\unc\\")) return L"\\" + path.substr(7);
    if (HasDevicePrefix(path)) return path.substr(4);
    return path;
}

bool IsAbsolute(const std::wstring& path) {
    const bool drive = path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
    return drive || StartsWith(path, L"\\\\");
}

// Calls a Windows function that fills a buffer and returns the length it
// needs when the buffer is too small; 0 is a failure.
template <class Call>
std::wstring FilledBuffer(Call call) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) ThrowLastError();
        if (length < buffer.size()) return buffer.substr(0, length);
        buffer.assign(length + 1, L'\0');
    }
}

// A folder path taken apart: the root ("C:" or "\\\\server\\share") and the
// names below it, with "." and ".." resolved and no empty names.
struct FolderName {
    std::wstring root;
    bool share = false;
    std::vector<std::wstring> parts;
};

std::wstring WithoutTrailingDotsAndBlanks(std::wstring name) {
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.pop_back();
    return name;
}

std::vector<std::wstring> Names(const std::wstring& text) {
    std::vector<std::wstring> names;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find(L'\\', begin);
        if (end == std::wstring::npos) end = text.size();
        if (end > begin) names.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return names;
}

FolderName Parse(const std::wstring& absolutePath) {
    FolderName folder;
    std::vector<std::wstring> names;
    size_t first = 0;
    if (StartsWith(absolutePath, L"\\\\")) {
        names = Names(absolutePath.substr(2));
        folder.share = true;
        folder.root = L"\\\\";
        if (!names.empty()) folder.root += names[0];
        if (names.size() > 1) folder.root += L"\\" + names[1];
        first = 2;
    } else {
        folder.root = absolutePath.substr(0, 2);
        names = Names(absolutePath.substr(2));
    }
    for (size_t i = first; i < names.size(); ++i) {
        if (names[i] == L".") continue;
        if (names[i] == L"..") {
            if (!folder.parts.empty()) folder.parts.pop_back();
            continue;
        }
        // Windows drops trailing dots and blanks from names it resolves.
        std::wstring name = WithoutTrailingDotsAndBlanks(names[i]);
        if (!name.empty()) folder.parts.push_back(std::move(name));
    }
    return folder;
}

std::wstring Joined(const FolderName& folder) {
    std::wstring path = folder.root;
    if (folder.parts.empty() && !folder.share) path += L"\\";
    for (const auto& part : folder.parts) path += L"\\" + part;
    return path;
}

FolderName Canonical(const std::wstring& path) {
    std::wstring text = WithoutDevicePrefix(path);
    for (auto& c : text)
        if (c == L'/') c = L'\\';
    if (StartsWith(text, L"\\\\")) {
        if (auto local = LocalPathOfAdminShare(text, ThisMachine())) text = *local;
    }
    if (!IsAbsolute(text)) {
        // A literal path that names no drive folder or share (a volume or
        // device name) cannot be judged: refuse it.
        if (HasDevicePrefix(path)) throw Windows::Error(ERROR_BAD_PATHNAME);
        text = FilledBuffer([&](wchar_t* buffer, DWORD size) {
            return GetFullPathNameW(text.c_str(), size, buffer, nullptr);
        });
        text = WithoutDevicePrefix(text);
        if (!IsAbsolute(text)) throw Windows::Error(ERROR_BAD_PATHNAME);
    }
    FolderName folder = Parse(text);
    // A short name (PROGRA~1) only ever contains a tilde; expanding it needs
    // the folder to exist, and other paths are left alone so that no remote
    // share is asked anything.
    if (text.find(L'~') != std::wstring::npos) {
        try {
            const std::wstring joined = Joined(folder);
            folder = Parse(WithoutDevicePrefix(FilledBuffer([&](wchar_t* buffer, DWORD size) {
                return GetLongPathNameW(joined.c_str(), buffer, size);
            })));
        } catch (const Windows::Error&) {
        }
    }
    return folder;
}

bool SameFolder(const FolderName& a, const FolderName& b) {
    if (!SameText(a.root, b.root) || a.parts.size() != b.parts.size()) return false;
    for (size_t i = 0; i < a.parts.size(); ++i)
        if (!SameText(a.parts[i], b.parts[i])) return false;
    return true;
}

// True when inner lies somewhere below outer.
bool Holds(const FolderName& outer, const FolderName& inner) {
    if (!SameText(outer.root, inner.root) || outer.parts.size() >= inner.parts.size()) return false;
    for (size_t i = 0; i < outer.parts.size(); ++i)
        if (!SameText(outer.parts[i], inner.parts[i])) return false;
    return true;
}

FolderName Parent(FolderName folder) {
    if (!folder.parts.empty()) folder.parts.pop_back();
    return folder;
}

// The protected folders in resolved form, and the folders inside the
// Windows folder below which folders may go all the same.
struct GuardedFolder {
    FolderName folder;
    Protection kind;
};

struct Guard {
    std::vector<GuardedFolder> folders;
    std::vector<FolderName> opened;
};

Guard GatherProtectedFolders() {
    Guard guard;
    for (const auto& protectedPath : ProtectedPaths()) {
        try {
            guard.folders.push_back({Canonical(protectedPath.path), protectedPath.kind});
        } catch (...) {
        }
    }
    for (const auto& path : ServiceProfileDataFolders()) {
        try {
            guard.opened.push_back(Canonical(path));
        } catch (...) {
        }
    }
    return guard;
}

const wchar_t* Description(Protection kind) {
    switch (kind) {
    case Protection::IisOwned:
        return L"a folder that IIS owns";
    case Protection::Profile:
        return L"a user profile folder";
    default:
        return L"a folder that Windows owns";
    }
}

std::wstring Quoted(const FolderName& folder) { return L"\"" + Joined(folder) + L"\""; }

// Where the folder really is once junctions and links in the folders above
// it are followed; the folder itself is not followed when it is a link,
// since the deletion removes such a folder as a link. Absent when the folder
// cannot be opened or its final path cannot be read.
// Test seam: "GetFinalPathNameByHandleW".
std::optional<std::wstring> FinalPath(const std::wstring& path) {
    WindowsPlatform::UniqueFileHandle folder(CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!folder) return std::nullopt;
    if (WindowsPlatform::InjectedFault("GetFinalPathNameByHandleW")) return std::nullopt;
    try {
        return FilledBuffer([&](wchar_t* buffer, DWORD size) {
            return GetFinalPathNameByHandleW(folder.Get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        });
    } catch (const Windows::Error&) {
        return std::nullopt;
    }
}

// Whether the guarded folder refuses the folder as one below it: it is a
// folder whose whole tree Windows owns, and the folder is not below one of
// the opened folders inside it.
bool RefusedAsInside(const FolderName& folder, const GuardedFolder& guarded, const Guard& guard) {
    if (guarded.kind != Protection::WindowsFolder && guarded.kind != Protection::WindowsData) return false;
    if (!Holds(guarded.folder, folder)) return false;
    for (const auto& opened : guard.opened)
        if (Holds(guarded.folder, opened) && Holds(opened, folder)) return false;
    return true;
}

std::optional<std::wstring> Refusal(const FolderName& folder, const Guard& guard) {
    if (folder.parts.empty()) return Quoted(folder) + (folder.share ? L" is a share root" : L" is a drive root");
    const auto& list = guard.folders;
    for (const auto& guarded : list)
        if (SameFolder(folder, guarded.folder)) return Quoted(folder) + L" is " + Description(guarded.kind);
    for (const auto& guarded : list)
        if (guarded.kind == Protection::ProfileParent && SameFolder(Parent(folder), guarded.folder))
            return Quoted(folder) + L" is a user profile folder";
    for (const auto& guarded : list)
        if (RefusedAsInside(folder, guarded, guard))
            return Quoted(folder) + L" is inside " + Quoted(guarded.folder) + L", " + Description(guarded.kind);
    for (const auto& guarded : list)
        if (Holds(folder, guarded.folder))
            return Quoted(folder) + L" holds " + Quoted(guarded.folder) + L", " + Description(guarded.kind);
    return std::nullopt;
}

}  // namespace

std::wstring FullFolderPath(const std::wstring& path) {
    if (HasDevicePrefix(path)) return path;
    return FilledBuffer([&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
}

std::wstring LongPathForm(const std::wstring& fullPath) {
    if (HasDevicePrefix(fullPath)) return fullPath;
    if (StartsWith(fullPath, L"\\\\")) return L"\\\\?\\UNC\\" + fullPath.substr(2);
    return L"\\\\?\\" + fullPath;
}

bool IsFullPath(const std::wstring& path) {
    return IsAbsolute(WithoutDevicePrefix(path));
}

std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    if (StartsWith(path, L"\\\\?\\UNC\\") || StartsWith(path, L"\\\\?\\unc\\")) return L"\\" + path.substr(7);
    if (StartsWith(path, L"\\\\?\\")) return path.substr(4);
    return path;
}

std::optional<std::wstring> FolderDeletionRefusal(const std::wstring& path) {
    FolderName folder;
    try {
        folder = Canonical(path);
    } catch (...) {
        return L"\"" + path + L"\" cannot be resolved to a full path";
    }
    if (folder.parts.empty()) return Refusal(folder, {});
    const Guard guard = GatherProtectedFolders();
    if (auto refusal = Refusal(folder, guard)) return refusal;
    // What is not there is not deleted; an existing folder is judged once
    // more where it really is, and refused when that cannot be told.
    const std::wstring local = LongPathForm(Joined(folder));
    if (WindowsPlatform::QueryFileAttributes(local) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    const std::wstring unresolved = Quoted(folder) + L" cannot be resolved to its final path";
    const auto realPath = FinalPath(local);
    if (!realPath) return unresolved;
    try {
        return Refusal(Canonical(*realPath), guard);
    } catch (...) {
        return unresolved;
    }
}
