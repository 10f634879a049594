// The thin and search layers against the real registry (32-bit view).

#include "sysops/Registry.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>


namespace {

using Names = std::vector<std::wstring>;

class RegistryReadTest : public ::testing::Test {
protected:
    // Plants a value of exactly these bytes under the test key.
    void PlantBytes(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        registry.SetRaw(HKEY_LOCAL_MACHINE, base, name, type, data, bytes);
    }
    // The characters of text without any terminator.
    void PlantChars(const wchar_t* name, const std::wstring& text) {
        PlantBytes(name, REG_SZ, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    }
    std::wstring Read(const wchar_t* name) { return ReadStringValue(HKEY_LOCAL_MACHINE, base, name); }
    std::optional<std::wstring> ReadOptional(const wchar_t* name) {
        return ReadOptionalStringValue(HKEY_LOCAL_MACHINE, base, name);
    }

    RegistryFixture registry;
    const std::wstring base = L"SOFTWARE\\" + registry.Unique(L"ORVTest Read");
};

TEST_F(RegistryReadTest, StringValuesEndAtTheFirstNulOrTheEndOfTheData) {
    PlantBytes(L"zero bytes", REG_SZ, L"", 0);
    PlantBytes(L"nul only", REG_SZ, L"", 2);
    PlantBytes(L"embedded nul", REG_SZ, L"abc\0def", 16);
    PlantChars(L"no terminator", L"abc");
    // "abcd" cut to 7 bytes: the half character at the end is not text.
    PlantBytes(L"odd size", REG_SZ, L"abcd", 7);

    EXPECT_THROW(Read(L"zero bytes"), Windows::RegistryValueIsEmpty);
    EXPECT_EQ(ReadOptional(L"zero bytes"), std::nullopt);
    EXPECT_EQ(Read(L"nul only"), L"");
    EXPECT_EQ(ReadOptional(L"nul only"), std::wstring());
    EXPECT_EQ(Read(L"embedded nul"), L"abc");
    EXPECT_EQ(Read(L"no terminator"), L"abc");
    EXPECT_EQ(Read(L"odd size"), L"abc");
    EXPECT_EQ(ReadOptional(L"odd size"), L"abc");
}

TEST_F(RegistryReadTest, TypesDecideWhichReadSucceeds) {
    registry.SetExpandString(HKEY_LOCAL_MACHINE, base, L"expand", L"%SystemRoot%\\orv");
    registry.SetDword(HKEY_LOCAL_MACHINE, base, L"dword", 7);
    registry.SetString(HKEY_LOCAL_MACHINE, base, L"plain", L"%SystemRoot%");
    wchar_t systemRoot[MAX_PATH] = L"";
    ASSERT_NE(GetEnvironmentVariableW(L"SystemRoot", systemRoot, MAX_PATH), 0u);

    EXPECT_THROW(Read(L"expand"), Windows::WrongRegistryType);
    EXPECT_EQ(ReadExpandStringValue(HKEY_LOCAL_MACHINE, base, L"expand"), L"%SystemRoot%\\orv");
    EXPECT_EQ(ReadOptional(L"expand"), std::wstring(systemRoot) + L"\\orv");
    EXPECT_THROW(ReadExpandStringValue(HKEY_LOCAL_MACHINE, base, L"plain"), Windows::WrongRegistryType);
    EXPECT_EQ(ReadOptional(L"plain"), L"%SystemRoot%");  // REG_SZ is never expanded
    EXPECT_THROW(Read(L"dword"), Windows::WrongRegistryType);
    EXPECT_EQ(ReadOptional(L"dword"), std::nullopt);
    EXPECT_EQ(ReadOptional(L"missing"), std::nullopt);
    EXPECT_EQ(ReadOptionalStringValue(HKEY_LOCAL_MACHINE, base + L"\\missing", L"plain"), std::nullopt);
    try {
        Read(L"missing");
        ADD_FAILURE() << "a missing value was read";
    } catch (const Windows::Error& e) {
        EXPECT_EQ(e.Code(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
}

TEST_F(RegistryReadTest, ReadsThroughAnOpenKeyAndOnlyInTheProgramsView) {
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\child", L"v", L"text");
    const auto parent = OpenRegistryKey(HKEY_LOCAL_MACHINE, base, KEY_READ);
    EXPECT_EQ(ReadStringValue(parent.Get(), L"child", L"v"), L"text");
    EXPECT_EQ(KeyDisplayName(parent.Get(), L"child"), L"(...)\\child");

    HKEY other = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, base.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &other),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryReadTest, EnumerationReturnsWholeNamesAndClasses) {
    // Names and classes of the longest length the key holds: the buffers
    // must leave room for the NUL that RegEnumKeyExW writes.
    const std::wstring longName(255, L'n');
    const std::wstring longClass(300, L'c');
    registry.CreateKey(HKEY_LOCAL_MACHINE, base + L"\\" + longName, longClass.c_str());

    const auto key = OpenRegistryKey(HKEY_LOCAL_MACHINE, base, KEY_READ);
    SubkeyInfo info;
    ASSERT_TRUE(EnumerateSubkey(key.Get(), 0, info));
    EXPECT_EQ(info.name, longName);
    EXPECT_EQ(info.className, longClass);
    EXPECT_FALSE(EnumerateSubkey(key.Get(), 1, info));
}

TEST_F(RegistryReadTest, EnumerateSubkeysSwallowsFailures) {
    registry.CreateKey(HKEY_LOCAL_MACHINE, base + L"\\a");
    registry.CreateKey(HKEY_LOCAL_MACHINE, base + L"\\b");
    EXPECT_EQ(EnumerateSubkeys(HKEY_LOCAL_MACHINE, base), (Names{L"a", L"b"}));
    EXPECT_EQ(EnumerateSubkeys(HKEY_LOCAL_MACHINE, base + L"\\missing"), Names{});

    WindowsPlatform::ScopedFault enumeration("RegEnumKeyExW", ERROR_ACCESS_DENIED, 1);
    EXPECT_EQ(EnumerateSubkeys(HKEY_LOCAL_MACHINE, base), (Names{L"a"}));
}

TEST_F(RegistryReadTest, FindSubkeysByValueMatchesWholeCaseSensitiveRegSzTexts) {
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\exact", L"DisplayName", L"Orvalis Agent");
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\case", L"DisplayName", L"orvalis agent");
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\prefix", L"DisplayName", L"Orvalis Agent 2");
    registry.SetExpandString(HKEY_LOCAL_MACHINE, base + L"\\expand", L"DisplayName", L"Orvalis Agent");
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\other value", L"Name", L"Orvalis Agent");
    registry.SetRaw(HKEY_LOCAL_MACHINE, base + L"\\empty", L"DisplayName", REG_SZ, L"", 0);
    registry.SetRaw(HKEY_LOCAL_MACHINE, base + L"\\unterminated", L"DisplayName", REG_SZ, L"Orvalis Agent", 26);

    EXPECT_EQ(FindSubkeysByValue(HKEY_LOCAL_MACHINE, base, L"DisplayName", L"Orvalis Agent"),
              (Names{L"exact", L"unterminated"}));
    EXPECT_EQ(FindSubkeysByValue(HKEY_LOCAL_MACHINE, base, L"DisplayName", L""), Names{});
    EXPECT_EQ(FindSubkeysByValue(HKEY_LOCAL_MACHINE, base + L"\\missing", L"DisplayName", L"Orvalis Agent"), Names{});
}

TEST_F(RegistryReadTest, FindSubkeysBySubkeyValueLooksOneLevelDown) {
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\p1\\InstallProperties", L"DisplayName", L"Orvalis Agent");
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\p2\\InstallProperties", L"DisplayName", L"Orvalis Server");
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\p3", L"DisplayName", L"Orvalis Agent");
    registry.SetString(HKEY_LOCAL_MACHINE, base + L"\\p4\\InstallProperties", L"DisplayName", L"Orvalis Agent");

    EXPECT_EQ(FindSubkeysBySubkeyValue(HKEY_LOCAL_MACHINE, base, L"InstallProperties", L"DisplayName",
                                       L"Orvalis Agent"),
              (Names{L"p1", L"p4"}));
}

TEST(RegistryTextTest, RootNames) {
    EXPECT_EQ(KeyDisplayName(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvalis"), L"HKLM\\SOFTWARE\\Orvalis");
    EXPECT_EQ(KeyDisplayName(HKEY_CURRENT_CONFIG, L"SOFTWARE\\Orvalis"), L"HKCC\\SOFTWARE\\Orvalis");
    EXPECT_EQ(KeyDisplayName(HKEY_CLASSES_ROOT, L"x"), L"HKCR\\x");
    EXPECT_EQ(KeyDisplayName(HKEY_CURRENT_USER, L"x"), L"HKCU\\x");
    EXPECT_EQ(KeyDisplayName(HKEY_USERS, L"x"), L"HKU\\x");

    EXPECT_EQ(SecurityObjectName(HKEY_CLASSES_ROOT), L"CLASSES_ROOT");
    EXPECT_EQ(SecurityObjectName(HKEY_CURRENT_USER), L"CURRENT_USER");
    EXPECT_EQ(SecurityObjectName(HKEY_LOCAL_MACHINE), L"MACHINE");
    EXPECT_EQ(SecurityObjectName(HKEY_USERS), L"USERS");
    try {
        SecurityObjectName(HKEY_CURRENT_CONFIG);
        ADD_FAILURE() << "HKEY_CURRENT_CONFIG has no security name";
    } catch (const ExceptionPL& e) {
        EXPECT_EQ(e.Message(), "Unknown HKEY rootKey type");
    }
}

}  // namespace
