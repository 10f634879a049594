#pragma once
// A folder path can reach this machine's own disks through its
// administrative shares: "\\\\localhost\\C$\\Windows" is "C:\\Windows", and
// "\\\\<this computer>\\ADMIN$" is the Windows folder. The folder guard maps
// such paths back to their local form before it judges them.

#include <optional>
#include <string>
#include <vector>

struct MachineNames {
    std::vector<std::wstring> hosts;  // the names of this computer (NetBIOS, DNS host, full DNS name)
    std::wstring windowsFolder;       // what ADMIN$ shares
    std::vector<std::wstring> addresses;  // its own IP addresses, as Windows shows them
};

// This computer's names, Windows folder and IP addresses; a name Windows
// cannot give is left out.
MachineNames ThisMachine();

// The local path of uncPath ("\\\\host\\share\\rest", no long-path prefix)
// when host is this machine (one of names.hosts, "localhost", a 127.x.x.x
// address, the IPv6 loopback or one of names.addresses, in any of the forms
// that ParseIpAddress reads) and share is a drive share ("C$") or
// "ADMIN$"; absent for every other path. Names compare without regard to
// case.
std::optional<std::wstring> LocalPathOfAdminShare(const std::wstring& uncPath, const MachineNames& names);
