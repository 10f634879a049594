// Key trees in the registry editor's text format: every value type as the
// editor writes it, keys named where Windows keeps them.

#include "platform/Errors.h"
#include "sysops/RegistryExport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::wstring Line(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    return RegFileValueLines(name, type, data.data(), static_cast<DWORD>(data.size()));
}

std::vector<BYTE> Utf16(const std::wstring& text, bool withNul = true) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
}

TEST(RegistryExportTest, StringsThatAreOneWholeTextAreQuoted) {
    EXPECT_EQ(Line(L"Path", REG_SZ, Utf16(L"C:\\Program Files (x86)\\\"ORV\"")),
              L"\"Path\"=\"C:\\\\Program Files (x86)\\\\\\\"ORV\\\"\"\r\n");
    EXPECT_EQ(Line(L"", REG_SZ, Utf16(L"default")), L"@=\"default\"\r\n");
    EXPECT_EQ(Line(L"a\\\"b", REG_SZ, Utf16(L"")), L"\"a\\\\\\\"b\"=\"\"\r\n");
}

TEST(RegistryExportTest, StringsThatAreNotExactlyOneTextKeepTheirBytes) {
    EXPECT_EQ(Line(L"empty", REG_SZ, {}), L"\"empty\"=hex(1):\r\n");
    EXPECT_EQ(Line(L"odd", REG_SZ, {0x41, 0x00, 0x42}), L"\"odd\"=hex(1):41,00,42\r\n");
    EXPECT_EQ(Line(L"unterminated", REG_SZ, Utf16(L"AB", false)), L"\"unterminated\"=hex(1):41,00,42,00\r\n");
    EXPECT_EQ(Line(L"two", REG_SZ, Utf16(std::wstring(L"a\0b", 3))), L"\"two\"=hex(1):61,00,00,00,62,00,00,00\r\n");
    EXPECT_EQ(Line(L"lines", REG_SZ, Utf16(L"a\r\n")), L"\"lines\"=hex(1):61,00,0d,00,0a,00,00,00\r\n");
}

TEST(RegistryExportTest, OtherTypesAreWrittenAsTheEditorWritesThem) {
    EXPECT_EQ(Line(L"e", REG_EXPAND_SZ, Utf16(L"%P%")), L"\"e\"=hex(2):25,00,50,00,25,00,00,00\r\n");
    EXPECT_EQ(Line(L"m", REG_MULTI_SZ, Utf16(std::wstring(L"a\0\0", 3))), L"\"m\"=hex(7):61,00,00,00,00,00,00,00\r\n");
    EXPECT_EQ(Line(L"d", REG_DWORD, {0x2a, 0x00, 0x01, 0x80}), L"\"d\"=dword:8001002a\r\n");
    EXPECT_EQ(Line(L"short", REG_DWORD, {0x01, 0x02}), L"\"short\"=hex(4):01,02\r\n");
    EXPECT_EQ(Line(L"q", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}), L"\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n");
    EXPECT_EQ(Line(L"b", REG_BINARY, {0xff, 0x00, 0x10}), L"\"b\"=hex:ff,00,10\r\n");
    EXPECT_EQ(Line(L"nothing", REG_BINARY, {}), L"\"nothing\"=hex:\r\n");
    EXPECT_EQ(Line(L"n", REG_NONE, {}), L"\"n\"=hex(0):\r\n");
    EXPECT_EQ(Line(L"x", 0x80000001, {7}), L"\"x\"=hex(80000001):07\r\n");
}

TEST(RegistryExportTest, NamesTheFormatCannotCarryAreRefused) {
    EXPECT_THROW(Line(L"a\nb", REG_SZ, Utf16(L"x")), ExceptionPL);
    EXPECT_THROW(Line(std::wstring(L"a\0b", 3), REG_SZ, Utf16(L"x")), ExceptionPL);
}

}  // namespace
