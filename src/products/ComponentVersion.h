#pragma once
// Version texts such as "9.5.5.0", read as up to four numbers and compared
// part by part.

#include <array>
#include <string>

struct ComponentVersion {
    std::array<unsigned, 4> parts{};
    // How many parts the text held, 1 to 4.
    unsigned count = 4;
};

// Reads "a.b.c.d" (a comma also separates; an empty part is 0). A part above
// 65535, a fifth part, or any character other than a digit or a separator
// makes the text invalid; an invalid or empty text reads as 0.0.0.0.
ComponentVersion ParseComponentVersion(const std::wstring& text);

// Compares over the parts both versions have: the first differing part
// decides, and equal shared parts make the versions equal (9.5 equals
// 9.5.5.0). Negative, zero or positive.
int CompareComponentVersions(const ComponentVersion& a, const ComponentVersion& b);

inline bool operator<(const ComponentVersion& a, const ComponentVersion& b) {
    return CompareComponentVersions(a, b) < 0;
}
inline bool operator>=(const ComponentVersion& a, const ComponentVersion& b) { return !(a < b); }
