#include "sysops/AdminShares.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(AdminSharesTest, MapsOnlyThisMachinesDriveAndAdminShares) {
    const MachineNames names{{L"ORVHOST", L"orvhost.lab.example"}, L"C:\\Windows"};
    const std::pair<const wchar_t*, const wchar_t*> mapped[] = {
        {L"\\\\localhost\\C$\\Windows", L"C:\\Windows"},
        {L"\\\\127.0.0.1\\c$\\Users\\x", L"c:\\Users\\x"},
        {L"\\\\127.4.5.6\\D$", L"D:\\"},
        {L"\\\\::1\\C$\\x", L"C:\\x"},
        {L"\\\\0--1.ipv6-literal.net\\C$\\x", L"C:\\x"},
        {L"\\\\orvhost\\ADMIN$", L"C:\\Windows"},
        {L"\\\\ORVHOST.lab.example.\\admin$\\System32", L"C:\\Windows\\System32"},
    };
    for (const auto& [unc, local] : mapped) EXPECT_EQ(LocalPathOfAdminShare(unc, names), std::wstring(local)) << unc;
    for (const wchar_t* other : {L"\\\\server\\C$\\Windows", L"\\\\localhost\\share\\x", L"\\\\localhost\\CD$\\x",
                                 L"\\\\128.0.0.1\\C$", L"\\\\127.0.0\\C$", L"\\\\localhost", L"C:\\x"})
        EXPECT_FALSE(LocalPathOfAdminShare(other, names).has_value()) << other;
}

}  // namespace
