#include "platform/MiniDump.h"

#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace WindowsPlatform;

constexpr REGSAM kView = KEY_WOW64_32KEY;
const wchar_t* const kSettings = L"Software\\Orvalis";
const wchar_t* const kCounter = L"Software\\Orvalis\\Minidumps";
const wchar_t* const kCounterName = L"orvtests.exe";

// One registry value as it was before the test, put back afterwards; a key
// the test (or the code under test) created is deleted again.
class SavedValue {
public:
    SavedValue(HKEY root, const wchar_t* path, const wchar_t* name) : root_(root), path_(path), name_(name) {
        keyExisted_ = Open(KEY_READ);
        if (!keyExisted_) return;
        DWORD size = 0;
        if (RegQueryValueExW(key_, name_, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
            data_.emplace(size);
            RegQueryValueExW(key_, name_, nullptr, &type_, data_->data(), &size);
        }
        Close();
        Clear();
    }
    ~SavedValue() {
        if (!keyExisted_) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(root_, path_, 0, KEY_ALL_ACCESS | kView, &key) == ERROR_SUCCESS) {
                RegDeleteTreeW(key, nullptr);
                RegCloseKey(key);
                RegDeleteKeyExW(root_, path_, kView, 0);
            }
            return;
        }
        if (!Open(KEY_ALL_ACCESS)) return;
        if (data_)
            RegSetValueExW(key_, name_, 0, type_, data_->data(), static_cast<DWORD>(data_->size()));
        else
            RegDeleteValueW(key_, name_);
        Close();
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

    void Set(DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(root_, path_, 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &key, nullptr), 0);
        RegSetValueExW(key, name_, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }
    void Clear() {
        if (!Open(KEY_ALL_ACCESS)) return;
        RegDeleteValueW(key_, name_);
        Close();
    }
    std::optional<DWORD> Get() {
        if (!Open(KEY_READ)) return std::nullopt;
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof value;
        const LONG status = RegQueryValueExW(key_, name_, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        Close();
        if (status != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
        return value;
    }

private:
    bool Open(REGSAM access) { return RegOpenKeyExW(root_, path_, 0, access | kView, &key_) == ERROR_SUCCESS; }
    void Close() {
        RegCloseKey(key_);
        key_ = nullptr;
    }

    HKEY root_;
    const wchar_t* path_;
    const wchar_t* name_;
    HKEY key_ = nullptr;
    bool keyExisted_ = false;
    DWORD type_ = 0;
    std::optional<std::vector<BYTE>> data_;
};

std::wstring LocalAppData() {
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder))) return {};
    return folder;
}

std::set<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(entry.cFileName);
    while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

bool IsMiniDump(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char signature[4] = {};
    DWORD read = 0;
    ReadFile(file, signature, sizeof signature, &read, nullptr);
    CloseHandle(file);
    return read == 4 && std::string(signature, 4) == "MDMP";
}

template <class Throw>
bool DumpFor(Throw throwIt) {
    try {
        throwIt();
    } catch (...) {
        return WriteMiniDumpForCurrentException();
    }
    ADD_FAILURE() << "nothing thrown";
    return false;
}

// Every switch starts at its default; whatever the test writes is removed.
class MiniDumpTest : public ::testing::Test {
protected:
    MiniDumpTest() {
        folder = LocalAppData() + L"\\Orvalis";
        folderExisted_ = GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES;
        dumpsBefore_ = FilesIn(folder, L"orvtests*.dmp");
    }
    ~MiniDumpTest() override {
        for (const auto& name : NewDumps()) DeleteFileW((folder + L"\\" + name).c_str());
        if (!folderExisted_) RemoveDirectoryW(folder.c_str());
    }

    std::set<std::wstring> NewDumps() const {
        std::set<std::wstring> added;
        for (const auto& name : FilesIn(folder, L"orvtests*.dmp"))
            if (!dumpsBefore_.count(name)) added.insert(name);
        return added;
    }

    std::wstring folder;
    // Declared so that the counter key (below the settings key) goes first.
    SavedValue writeDumps{HKEY_LOCAL_MACHINE, kSettings, L"WriteMiniDumps"};
    SavedValue maxFiles{HKEY_LOCAL_MACHINE, kSettings, L"MaxDumpFiles"};
    // Also removes the user settings key when the counter key brought it.
    SavedValue dumpType{HKEY_CURRENT_USER, kSettings, L"MINIDUMP_TYPE"};
    SavedValue counter{HKEY_CURRENT_USER, kCounter, kCounterName};

private:
    bool folderExisted_ = false;
    std::set<std::wstring> dumpsBefore_;
};

TEST_F(MiniDumpTest, DumpableExceptionWritesNumberedFilesThatWrapAround) {
    counter.Set(3);
    EXPECT_TRUE(DumpFor([] { throw Windows::Error(ERROR_ACCESS_DENIED); }));
    EXPECT_TRUE(DumpFor([] { throw 42; }));
    EXPECT_EQ(NewDumps(), (std::set<std::wstring>{L"orvtests_3.dmp", L"orvtests_4.dmp"}));
    EXPECT_TRUE(IsMiniDump(folder + L"\\orvtests_3.dmp"));
    EXPECT_EQ(counter.Get(), std::optional<DWORD>(0));  // five files by default: 0 to 4
}

TEST_F(MiniDumpTest, NonDumpableExceptionsWriteNothing) {
    counter.Set(1);
    EXPECT_FALSE(DumpFor([] { throw DatabaseConnectionError("Database Error: down"); }));
    EXPECT_FALSE(DumpFor([] { throw DB2DatabaseDoesNotExist(); }));
    EXPECT_TRUE(NewDumps().empty());
    EXPECT_EQ(counter.Get(), std::optional<DWORD>(1));
    // Outside a handler there is no exception to judge.
    EXPECT_FALSE(IsDumpableCurrentException());
    EXPECT_FALSE(WriteMiniDumpForCurrentException());
}

TEST_F(MiniDumpTest, SwitchedOffWritesNothing) {
    writeDumps.Set(0);
    EXPECT_FALSE(DumpFor([] { throw ExceptionPL("boom"); }));
    EXPECT_TRUE(NewDumps().empty());
    EXPECT_EQ(counter.Get(), std::nullopt);

    writeDumps.Set(1);
    EXPECT_TRUE(DumpFor([] { throw ExceptionPL("boom"); }));
    EXPECT_EQ(NewDumps(), (std::set<std::wstring>{L"orvtests_0.dmp"}));
}

TEST_F(MiniDumpTest, OneFileLimitOverwritesOneUnnumberedFile) {
    maxFiles.Set(1);
    counter.Set(2);
    EXPECT_TRUE(DumpFor([] { throw ExceptionPL("first"); }));
    EXPECT_TRUE(DumpFor([] { throw ExceptionPL("second"); }));
    EXPECT_EQ(NewDumps(), (std::set<std::wstring>{L"orvtests.dmp"}));
    EXPECT_EQ(counter.Get(), std::optional<DWORD>(2));
}

TEST_F(MiniDumpTest, CounterLimits) {
    // 0: numbers keep growing.
    maxFiles.Set(0);
    counter.Set(41);
    EXPECT_EQ(NextMiniDumpPath(L"tester", ReadMiniDumpSettings().maxFiles), folder + L"\\orvtests_41.dmp");
    EXPECT_EQ(counter.Get(), std::optional<DWORD>(42));
    counter.Set(0xFFFFFFFE);
    EXPECT_EQ(NextMiniDumpPath(L"tester", 0), folder + L"\\orvtests_4294967294.dmp");
    EXPECT_EQ(counter.Get(), std::optional<DWORD>(0));

    // A counter beyond a lowered limit wraps, so the limit holds.
    maxFiles.Set(5);
    counter.Set(7);
    EXPECT_EQ(NextMiniDumpPath(L"tester", ReadMiniDumpSettings().maxFiles), folder + L"\\orvtests_2.dmp");
    EXPECT_EQ(counter.Get(), std::optional<DWORD>(3));
}

TEST_F(MiniDumpTest, SystemDumpsNextToTheExecutable) {
    wchar_t executable[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, executable, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::wstring expected(executable, length);
    expected.replace(expected.size() - 4, 4, L".dmp");
    EXPECT_EQ(NextMiniDumpPath(L"SYSTEM", 1), expected);
}

TEST_F(MiniDumpTest, GuardDropsTheExceptionAfterTheDump) {
    bool ran = false;
    RunInsideDumpGuard([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(NewDumps().empty());

    RunInsideDumpGuard([] { throw UserCancelled(); });
    RunInsideDumpGuard([] { throw DatabaseTimeoutExpiredError(); });
    EXPECT_EQ(NewDumps(), (std::set<std::wstring>{L"orvtests_0.dmp"}));
}

}  // namespace
