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

TEST(AdminSharesTest, TheMachinesOwnAddressesNameItInEveryFormThatUncPathsTake) {
    // Addresses as Windows shows them; which addresses Wine's adapters have
    // depends on the host, so they are given here.
    const MachineNames names{{L"ORVHOST"}, L"C:\\Windows", {L"192.0.2.17", L"fe80::1c2d:3e4f:5a6b:7c8d%12", L"fd00::2"}};
    for (const wchar_t* unc :
         {L"\\\\192.0.2.17\\C$\\Windows\\inf", L"\\\\fe80--1c2d-3e4f-5a6b-7c8ds12.ipv6-literal.net\\C$\\Windows\\inf",
          L"\\\\FE80--1C2D-3E4F-5A6B-7C8D.IPV6-LITERAL.NET\\C$\\Windows\\inf", L"\\\\[fd00:0:0:0:0:0:0:2]\\C$\\Windows\\inf",
          L"\\\\fd00--2.ipv6-literal.net\\C$\\Windows\\inf", L"\\\\::ffff:192.0.2.17\\C$\\Windows\\inf",
          L"\\\\192.0.2.17.\\C$\\Windows\\inf"})
        EXPECT_EQ(LocalPathOfAdminShare(unc, names), std::wstring(L"C:\\Windows\\inf")) << unc;
    EXPECT_EQ(LocalPathOfAdminShare(L"\\\\fd00--2.ipv6-literal.net\\ADMIN$\\inf", names),
              std::wstring(L"C:\\Windows\\inf"));
    for (const wchar_t* other : {L"\\\\192.0.2.18\\C$\\Windows", L"\\\\192.0.2\\C$\\Windows",
                                 L"\\\\fe80--2.ipv6-literal.net\\C$\\Windows", L"\\\\fd00--3\\C$", L"\\\\192.0.2.17\\share\\x",
                                 L"\\\\192.0.2.17x\\C$"})
        EXPECT_FALSE(LocalPathOfAdminShare(other, names).has_value()) << other;
}

}  // namespace
