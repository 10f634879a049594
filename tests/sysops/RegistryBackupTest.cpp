// The registry backup: every key tree is written to the run's .reg file
// before it is deleted, and Windows' reg.exe brings it back exactly.

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "sysops/Registry.h"
#include "sysops/RegistryBackup.h"
#include "support/FileBytes.h"
#include "support/RecordingLog.h"
#include "support/RegImport.h"
#include "support/RegistryFixture.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

// Every key and value below root\path in one view, as comparable lines.
void Dump(HKEY root, const std::wstring& path, REGSAM view, std::vector<std::wstring>& lines) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return;
    lines.push_back(L"key " + path);
    for (DWORD index = 0;; ++index) {
        wchar_t name[512];
        DWORD nameLength = 512;
        BYTE data[4096];
        DWORD size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        std::wstring line = L"value " + path + L" [" + std::wstring(name, nameLength) + L"] type " +
                            std::to_wstring(type) + L" size " + std::to_wstring(size) + L":";
        for (DWORD i = 0; i < size; ++i) line += L" " + std::to_wstring(data[i]);
        lines.push_back(line);
    }
    std::vector<std::wstring> subkeys;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.emplace_back(name, nameLength);
    }
    RegCloseKey(key);
    for (const auto& subkey : subkeys) Dump(root, path + L"\\" + subkey, view, lines);
}

std::vector<std::wstring> Dump(HKEY root, const std::wstring& path, REGSAM view = KEY_WOW64_32KEY) {
    std::vector<std::wstring> lines;
    Dump(root, path, view, lines);
    return lines;
}

class RegistryBackupTest : public ::testing::Test {
protected:
    void SetRaw(const std::wstring& path, const wchar_t* name, DWORD type, std::vector<BYTE> data) {
        registry.SetRaw(HKEY_LOCAL_MACHINE, path, name, type, data.data(), static_cast<DWORD>(data.size()));
    }

    // A tree with every value type that reg import takes back byte for byte.
    void PlantTree() {
        registry.SetString(HKEY_LOCAL_MACHINE, base, L"", L"the default value");
        registry.SetString(HKEY_LOCAL_MACHINE, base, L"InstallDir", L"C:\\Program Files (x86)\\\"Quoted\" Ä✓");
        registry.SetString(HKEY_LOCAL_MACHINE, base, L"Empty", L"");
        registry.SetExpandString(HKEY_LOCAL_MACHINE, base, L"Expand", L"%ProgramFiles%\\Orvalis");
        SetRaw(base, L"Multi", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 'c', 0, 0, 0, 0, 0});
        SetRaw(base, L"Binary", REG_BINARY, std::vector<BYTE>(300, 0x5a));
        SetRaw(base, L"OddBinary", REG_BINARY, {1, 2, 3});
        SetRaw(base, L"EmptyBinary", REG_BINARY, {});
        registry.SetDword(HKEY_LOCAL_MACHINE, base, L"Port", 0x1f90);
        SetRaw(base, L"ShortDword", REG_DWORD, {1, 2});
        SetRaw(base, L"Qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
        SetRaw(base, L"None", REG_NONE, {9});
        SetRaw(base, L"Lines", REG_SZ, {'a', 0, '\r', 0, '\n', 0, 0, 0});
        SetRaw(base, L"Name \"with\" \\ quotes", REG_SZ, {'v', 0, 0, 0});
        registry.CreateKey(HKEY_LOCAL_MACHINE, base + L"\\Empty key");
        registry.SetDword(HKEY_LOCAL_MACHINE, base + L"\\Level 1\\Level [2]\\Level 3", L"Depth", 3);
    }

    std::unique_ptr<RegistryBackup> NewBackup() {
        return RegistryBackup::Create(folder.Root(), Time(2024, 1, 31, 23, 59, 58));
    }

    RegistryFixture registry;
    TempTree folder;
    const std::wstring base = L"SOFTWARE\\" + registry.Unique(L"ORVBackupTest");
};

TEST(RegistryBackupNameTest, NameCarriesDateAndTimeAndAnAttemptNumber) {
    const SYSTEMTIME time = Time(2024, 1, 31, 23, 59, 58);
    EXPECT_EQ(RegistryBackupFileName(time, 1), L"ORVRemove-registry-20240131-235958.reg");
    EXPECT_EQ(RegistryBackupFileName(time, 2), L"ORVRemove-registry-20240131-235958-2.reg");
    EXPECT_EQ(RegistryBackupFileName(Time(987, 2, 3, 4, 5, 6), 1), L"ORVRemove-registry-09870203-040506.reg");
}

TEST_F(RegistryBackupTest, EveryDeletedTreeComesBackWithRegImportExactlyWhereItWas) {
    PlantTree();
    const std::vector<std::wstring> before = Dump(HKEY_LOCAL_MACHINE, base);
    ASSERT_GT(before.size(), 15u);

    auto backup = NewBackup();
    RecordingLog log;
    {
        const ScopedKeyTreeDeletionHook hook(backup.get());
        // A subkey first, then its parent: both trees go to the file.
        EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, base + L"\\Level 1", log));
        EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, base, log));
    }
    EXPECT_FALSE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, base));
    EXPECT_FALSE(backup->WriteFailed());
    EXPECT_EQ(log.Text(), L"Deleting registry key \"HKLM\\" + base + L"\\Level 1\"...done\r\n"
                          L"Deleting registry key \"HKLM\\" + base + L"\"...done\r\n");

    const std::wstring text = ReadUtf16File(backup->Path());
    EXPECT_EQ(text.substr(0, 41), L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n");

    ASSERT_EQ(ImportRegFile(backup->Path()), 0u);
    EXPECT_EQ(Dump(HKEY_LOCAL_MACHINE, base), before) << text;
    // Restored in the 32-bit view only, where the program had found it.
    EXPECT_TRUE(Dump(HKEY_LOCAL_MACHINE, base, KEY_WOW64_64KEY).empty());
}

TEST_F(RegistryBackupTest, AKeyIsWrittenOnceAsItWasWhenFirstWritten) {
    PlantTree();
    const std::vector<std::wstring> before = Dump(HKEY_LOCAL_MACHINE, base);
    auto backup = NewBackup();
    RecordingLog log;
    ASSERT_TRUE(backup->BackUpKey(HKEY_LOCAL_MACHINE, base, RegistryView::Program, log));
    const std::wstring written = ReadUtf16File(backup->Path());

    // What an uninstaller takes before the key itself is deleted.
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, (base + L"\\Level 1\\Level [2]\\Level 3").c_str(), L"Depth");
    EXPECT_TRUE(backup->BackUpValue(HKEY_LOCAL_MACHINE, base, L"Port", RegistryView::Program, log));
    {
        const ScopedKeyTreeDeletionHook hook(backup.get());
        EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, base + L"\\Level 1", log));
        EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, base, log));
    }
    EXPECT_EQ(ReadUtf16File(backup->Path()), written);

    ASSERT_EQ(ImportRegFile(backup->Path()), 0u);
    EXPECT_EQ(Dump(HKEY_LOCAL_MACHINE, base), before);
}

TEST_F(RegistryBackupTest, ASingleValueComesBackBesideTheOthers) {
    registry.SetString(HKEY_LOCAL_MACHINE, base, L"Kept", L"stays");
    registry.SetString(HKEY_LOCAL_MACHINE, base, L"orv_dsn", L"SQL Server");
    auto backup = NewBackup();
    RecordingLog log;
    ASSERT_TRUE(backup->BackUpValue(HKEY_LOCAL_MACHINE, base, L"orv_dsn", RegistryView::Program, log));
    EXPECT_TRUE(backup->BackUpValue(HKEY_LOCAL_MACHINE, base, L"missing", RegistryView::Program, log));
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, base.c_str(), L"orv_dsn");
    ASSERT_EQ(ImportRegFile(backup->Path()), 0u);
    EXPECT_TRUE(RegistryFixture::ValueExists(HKEY_LOCAL_MACHINE, base, L"orv_dsn"));
    EXPECT_TRUE(RegistryFixture::ValueExists(HKEY_LOCAL_MACHINE, base, L"Kept"));
    EXPECT_EQ(log.Text(), L"");
}

TEST_F(RegistryBackupTest, StringBytesThatAreNotOneTextAreWrittenAsStored) {
    // Wine 8's reg.exe pads string-typed hex data with a NUL (and fails on a
    // single byte), so these values are checked in the file's text.
    SetRaw(base, L"Odd", REG_SZ, {0x41, 0x00, 0x42});
    SetRaw(base, L"OddExpand", REG_EXPAND_SZ, {0x41});
    SetRaw(base, L"Unterminated", REG_MULTI_SZ, {0x41, 0x00});
    auto backup = NewBackup();
    Remove::Log log;
    {
        const ScopedKeyTreeDeletionHook hook(backup.get());
        ASSERT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, base, log));
    }
    const std::wstring text = ReadUtf16File(backup->Path());
    for (const wchar_t* line : {L"\r\n\"Odd\"=hex(1):41,00,42\r\n", L"\r\n\"OddExpand\"=hex(2):41\r\n",
                                L"\r\n\"Unterminated\"=hex(7):41,00\r\n"}) {
        EXPECT_NE(text.find(line), std::wstring::npos) << line;
    }
}

TEST_F(RegistryBackupTest, RunsWithinOneSecondGetFilesOfTheirOwn) {
    auto first = NewBackup();
    auto second = NewBackup();
    EXPECT_EQ(first->Path(), folder.Path(L"ORVRemove-registry-20240131-235958.reg"));
    EXPECT_EQ(second->Path(), folder.Path(L"ORVRemove-registry-20240131-235958-2.reg"));
    EXPECT_THROW(RegistryBackup::Create(folder.Path(L"missing"), Time(2024, 1, 1, 0, 0, 0)), Windows::Error);
}

TEST_F(RegistryBackupTest, KeyThatCannotBeBackedUpIsKeptAndTheFileStaysValid) {
    PlantTree();
    auto backup = NewBackup();
    const std::string empty = ReadFileBytes(backup->Path());
    RecordingLog log;
    {
        const ScopedKeyTreeDeletionHook hook(backup.get());
        // Wine cannot fill a disk; the seam makes the backup's write fail so.
        const WindowsPlatform::ScopedFault diskFull("WriteFile/registry backup", ERROR_DISK_FULL);
        EXPECT_FALSE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, base, log));
    }
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, base + L"\\Level 1\\Level [2]\\Level 3"));
    EXPECT_TRUE(backup->WriteFailed());
    const std::wstring text = log.Text();
    EXPECT_EQ(text.find(L"Deleting registry key \"HKLM\\" + base + L"\"...Windows Error 0x70: "), 0u) << text;
    EXPECT_NE(text.find(L"\r\n...error occured while backing up key \"HKLM\\" + base + L"\"\r\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"done"), std::wstring::npos);
    EXPECT_EQ(ReadFileBytes(backup->Path()), empty);

    // The next key still goes to the file.
    const ScopedKeyTreeDeletionHook hook(backup.get());
    EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, base + L"\\Empty key", log));
    EXPECT_GT(ReadFileBytes(backup->Path()).size(), empty.size());
}

}  // namespace
