#include "sysops/AdminShares.h"

#include "sysops/MachineAddresses.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <iterator>

namespace {

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// "127.0.0.1", "127.1.2.3": four decimal parts, the first 127.
bool IsIpv4Loopback(const std::wstring& host) {
    if (host.compare(0, 4, L"127.") != 0) return false;
    int dots = 0;
    bool digitBefore = false;
    for (wchar_t c : host) {
        if (c == L'.') {
            if (!digitBefore) return false;
            ++dots;
            digitBefore = false;
        } else if (c >= L'0' && c <= L'9') {
            digitBefore = true;
        } else {
            return false;
        }
    }
    return dots == 3 && digitBefore;
}

// Whether host writes a loopback address or one of this machine's own.
bool IsOwnAddress(const std::wstring& host, const std::vector<std::wstring>& addresses) {
    const auto address = ParseIpAddress(host);
    if (!address) return false;
    if (IsLoopback(*address)) return true;
    for (const auto& own : addresses)
        if (ParseIpAddress(own) == address) return true;
    return false;
}

bool IsThisMachine(std::wstring host, const MachineNames& names) {
    if (!host.empty() && host.back() == L'.') host.pop_back();  // a fully qualified name's root
    if (IsIpv4Loopback(host)) return true;
    for (const wchar_t* loopback : {L"localhost", L"::1", L"[::1]", L"0:0:0:0:0:0:0:1", L"0--1.ipv6-literal.net"})
        if (SameText(host, loopback)) return true;
    for (const auto& name : names.hosts)
        if (!name.empty() && SameText(host, name)) return true;
    return IsOwnAddress(host, names.addresses);
}

std::optional<std::wstring> ComputerName(COMPUTER_NAME_FORMAT format) {
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 256];
    DWORD length = static_cast<DWORD>(std::size(buffer));
    if (!GetComputerNameExW(format, buffer, &length) || length == 0) return std::nullopt;
    return std::wstring(buffer, length);
}

}  // namespace

MachineNames ThisMachine() {
    MachineNames names;
    for (COMPUTER_NAME_FORMAT format : {ComputerNameNetBIOS, ComputerNameDnsHostname, ComputerNameDnsFullyQualified,
                                        ComputerNamePhysicalNetBIOS, ComputerNamePhysicalDnsHostname,
                                        ComputerNamePhysicalDnsFullyQualified})
        if (const auto name = ComputerName(format)) names.hosts.push_back(*name);
    wchar_t windows[MAX_PATH * 2];
    const UINT length = GetWindowsDirectoryW(windows, static_cast<UINT>(std::size(windows)));
    if (length > 0 && length < std::size(windows)) names.windowsFolder.assign(windows, length);
    names.addresses = OwnIpAddresses();
    return names;
}

std::optional<std::wstring> LocalPathOfAdminShare(const std::wstring& uncPath, const MachineNames& names) {
    if (uncPath.compare(0, 2, L"\\\\") != 0) return std::nullopt;
    const size_t hostEnd = uncPath.find(L'\\', 2);
    if (hostEnd == std::wstring::npos) return std::nullopt;
    const size_t shareEnd = std::min(uncPath.find(L'\\', hostEnd + 1), uncPath.size());
    const std::wstring share = uncPath.substr(hostEnd + 1, shareEnd - hostEnd - 1);
    if (!IsThisMachine(uncPath.substr(2, hostEnd - 2), names)) return std::nullopt;
    const std::wstring rest = uncPath.substr(shareEnd);
    if (share.size() == 2 && share[1] == L'$' && std::iswalpha(share[0]) && share[0] < 128)
        return share.substr(0, 1) + L":" + (rest.empty() ? L"\\" : rest);
    if (SameText(share, L"ADMIN$") && !names.windowsFolder.empty()) return names.windowsFolder + rest;
    return std::nullopt;
}
