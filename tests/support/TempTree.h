#pragma once
// A folder of its own for one test, in the temporary folder, where the test
// builds files and folders; the folder and whatever is left in it are removed
// when the test ends, also when it fails. Paths are plain Windows paths;
// everything is created through long-path names, so depth is no limit.
// Never holds links: deleting a Unix link under Wine deletes its target.

#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>

class TempTree {
public:
    TempTree() {
        static std::atomic<int> counter{0};
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        root_ = std::wstring(temp, length) + L"orvtree-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++);
        Folder(L"");
    }
    ~TempTree() { RemoveAll(LongName(root_)); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::wstring& Root() const { return root_; }
    std::wstring Path(const std::wstring& relative) const {
        return relative.empty() ? root_ : root_ + L"\\" + relative;
    }

    // Creates the folder and every missing folder above it inside the tree.
    void Folder(const std::wstring& relative) {
        const std::wstring path = Path(relative);
        for (size_t end = root_.size() - 1; end != std::wstring::npos;) {
            end = path.find(L'\\', end + 1);
            const std::wstring part = LongName(path.substr(0, end));
            if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                throw std::runtime_error("CreateDirectoryW failed: " + std::to_string(GetLastError()));
        }
    }

    // Creates a file holding text (and its folder); attributes are set after.
    void File(const std::wstring& relative, const char* text = "x", DWORD attributes = 0) {
        const size_t slash = relative.rfind(L'\\');
        if (slash != std::wstring::npos) Folder(relative.substr(0, slash));
        const std::wstring path = LongName(Path(relative));
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw std::runtime_error("CreateFileW failed: " + std::to_string(GetLastError()));
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
        CloseHandle(file);
        if (attributes != 0) SetFileAttributesW(path.c_str(), attributes);
    }

    bool Exists(const std::wstring& relative) const {
        return GetFileAttributesW(LongName(Path(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    static std::wstring LongName(const std::wstring& path) { return L"\\\\?\\" + path; }

private:
    static void RemoveAll(const std::wstring& path) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return;
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileW(path.c_str());
            return;
        }
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name != L"." && name != L"..") RemoveAll(path + L"\\" + name);
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW(path.c_str());
    }

    std::wstring root_;
};
