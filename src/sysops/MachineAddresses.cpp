#include "sysops/MachineAddresses.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

namespace {

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix) {
    const size_t length = wcslen(suffix);
    return text.size() > length && CompareStringOrdinal(text.c_str() + text.size() - length, static_cast<int>(length),
                                                        suffix, static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

// "fe80--1s5.ipv6-literal.net" is "fe80::1%5".
std::wstring FromLiteralName(std::wstring text) {
    text.resize(text.size() - wcslen(L".ipv6-literal.net"));
    for (auto& c : text) {
        if (c == L'-') c = L':';
        else if (c == L's' || c == L'S') c = L'%';
    }
    return text;
}

IpAddress MappedOrSame(const IpAddress& address) {
    static const unsigned char kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    if (!address.v6 || std::memcmp(address.bytes.data(), kMapped, sizeof kMapped) != 0) return address;
    IpAddress v4;
    std::copy(address.bytes.begin() + 12, address.bytes.end(), v4.bytes.begin());
    return v4;
}

std::wstring AddressText(const SOCKADDR* socketAddress) {
    if (socketAddress == nullptr) return {};
    wchar_t text[INET6_ADDRSTRLEN] = {};
    const void* bytes = nullptr;
    if (socketAddress->sa_family == AF_INET)
        bytes = &reinterpret_cast<const sockaddr_in*>(socketAddress)->sin_addr;
    else if (socketAddress->sa_family == AF_INET6)
        bytes = &reinterpret_cast<const sockaddr_in6*>(socketAddress)->sin6_addr;
    if (bytes == nullptr || !InetNtopW(socketAddress->sa_family, bytes, text, std::size(text)))
        return {};
    return text;
}

}  // namespace

std::optional<IpAddress> ParseIpAddress(std::wstring text) {
    if (text.size() > 2 && text.front() == L'[' && text.back() == L']') text = text.substr(1, text.size() - 2);
    if (EndsWithNoCase(text, L".ipv6-literal.net")) text = FromLiteralName(text);
    IpAddress address;
    if (text.find(L':') != std::wstring::npos) {
        text = text.substr(0, text.find(L'%'));
        address.v6 = true;
        if (InetPtonW(AF_INET6, text.c_str(), address.bytes.data()) != 1) return std::nullopt;
        return MappedOrSame(address);
    }
    // InetPtonW takes only four decimal parts, as UNC paths write them.
    if (InetPtonW(AF_INET, text.c_str(), address.bytes.data()) != 1) return std::nullopt;
    return address;
}

bool IsLoopback(const IpAddress& address) {
    if (!address.v6) return address.bytes[0] == 127;
    static const std::array<unsigned char, 16> kLoopback = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    return address.bytes == kLoopback;
}

std::vector<std::wstring> OwnIpAddresses() {
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    std::unique_ptr<unsigned char[]> buffer;
    ULONG status = ERROR_BUFFER_OVERFLOW;
    // The list may grow between two calls: a few attempts.
    for (int attempt = 0; attempt < 4 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.reset(new unsigned char[size]);
        status = GetAdaptersAddresses(AF_UNSPEC, flags, nullptr,
                                      reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
    }
    std::vector<std::wstring> addresses;
    if (status != ERROR_SUCCESS) return addresses;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()); adapter; adapter = adapter->Next) {
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const std::wstring text = AddressText(unicast->Address.lpSockaddr);
            if (!text.empty() && std::find(addresses.begin(), addresses.end(), text) == addresses.end())
                addresses.push_back(text);
        }
    }
    return addresses;
}
