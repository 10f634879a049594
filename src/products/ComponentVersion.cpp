#include "products/ComponentVersion.h"

#include "platform/Text.h"

#include <algorithm>
#include <optional>

namespace {

constexpr unsigned kLargestPart = 65535;

std::optional<ComponentVersion> Parse(const std::string& text) {
    ComponentVersion version;
    version.count = 0;
    unsigned current = 0;
    const auto endPart = [&version, &current]() {
        if (version.count == version.parts.size()) return false;
        version.parts[version.count++] = current;
        current = 0;
        return true;
    };
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            // Text after the fourth part.
            if (version.count == version.parts.size()) return std::nullopt;
            current = current * 10 + static_cast<unsigned>(c - '0');
            if (current > kLargestPart) return std::nullopt;
        } else if (c == '.' || c == ',') {
            if (!endPart()) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (!endPart()) return std::nullopt;
    return version;
}

}  // namespace

ComponentVersion ParseComponentVersion(const std::wstring& text) {
    try {
        if (const auto version = Parse(TranscodeU16ToU8(text)); version && !text.empty()) return *version;
    } catch (...) {
        // A text that cannot be transcoded is no version.
    }
    return ComponentVersion{};
}

int CompareComponentVersions(const ComponentVersion& a, const ComponentVersion& b) {
    const unsigned shared = std::min(a.count, b.count);
    for (unsigned i = 0; i < shared; ++i) {
        if (a.parts[i] != b.parts[i]) return a.parts[i] < b.parts[i] ? -1 : 1;
    }
    return 0;
}
