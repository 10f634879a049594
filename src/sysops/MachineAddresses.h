#pragma once
// This computer's own IP addresses, and IP address texts as a UNC path may
// write them: a share of "\\\\192.168.7.20\\C$" or "\\\\fe80--1s5.ipv6-literal.net\\C$"
// is on this computer when the address is one of its own.

#include <array>
#include <optional>
#include <string>
#include <vector>

// An IPv4 or IPv6 address without its scope (a zone index like "%5").
struct IpAddress {
    bool v6 = false;
    std::array<unsigned char, 16> bytes{};  // IPv4: the first four

    bool operator==(const IpAddress& other) const { return v6 == other.v6 && bytes == other.bytes; }
};

// The address a host name of a UNC path writes: dotted IPv4 ("10.0.0.5"),
// IPv6 as Windows shows it ("fe80::1%5"), in brackets ("[::1]") or in the
// literal form that UNC paths take ("fe80--1s5.ipv6-literal.net"). An IPv6
// address that maps an IPv4 one ("::ffff:10.0.0.5") gives the IPv4 address.
// Absent for a text that is no address.
std::optional<IpAddress> ParseIpAddress(std::wstring text);

bool IsLoopback(const IpAddress& address);

// The unicast addresses of every network adapter of this computer, the
// loopback adapter included, as Windows shows them; empty when Windows
// cannot give them.
std::vector<std::wstring> OwnIpAddresses();
