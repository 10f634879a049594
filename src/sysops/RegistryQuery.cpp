#include "sysops/RegistryQuery.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "sysops/Registry.h"

#include <algorithm>
#include <string_view>

using WindowsPlatform::InjectedFault;
using WindowsPlatform::UniqueRegistryKey;

namespace {

// Characters read in the first try; longer values take a second call.
constexpr DWORD kFirstTryCharacters = 260;

// The first count characters of text, cut at the first NUL among them.
std::wstring TextUpToNul(const wchar_t* text, size_t count) {
    const std::wstring_view view(text, count);
    return std::wstring(view.substr(0, view.find(L'\0')));
}

}  // namespace

SubkeyEnumerator::SubkeyEnumerator(HKEY key) : key_(key) { SizeBuffer(); }

void SubkeyEnumerator::SizeBuffer() {
    DWORD longest = 0;
    ThrowIfError(RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr));
    // The length excludes the terminating NUL that RegEnumKeyExW writes.
    buffer_.assign(std::max<size_t>(longest + 1, buffer_.size()), L'\0');
}

bool SubkeyEnumerator::Next(std::wstring& name) {
    LONG status = static_cast<LONG>(InjectedFault("RegEnumKeyExW"));
    DWORD length = 0;
    if (status == ERROR_SUCCESS) {
        length = static_cast<DWORD>(buffer_.size());
        status = RegEnumKeyExW(key_, index_, buffer_.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            SizeBuffer();
            length = static_cast<DWORD>(buffer_.size());
            status = RegEnumKeyExW(key_, index_, buffer_.data(), &length, nullptr, nullptr, nullptr, nullptr);
        }
    }
    if (status == ERROR_NO_MORE_ITEMS) return false;
    ThrowIfError(status);
    name = TextUpToNul(buffer_.data(), std::min<size_t>(length, buffer_.size()));
    ++index_;
    return true;
}

UniqueRegistryKey OpenSubkeyForReading(HKEY key, const std::wstring& name, RegistryView view) {
    return OpenRegistryKey(key, name, KEY_READ, view);
}

RawStringValue QueryStringValue(HKEY key, const wchar_t* valueName) {
    RawStringValue value;
    // One spare character beyond what is offered, so the text can always be
    // cut where the data ends; a value without a NUL then needs no copy.
    std::vector<wchar_t> buffer(kFirstTryCharacters + 1, L'\0');
    DWORD bytes = kFirstTryCharacters * sizeof(wchar_t);
    LONG status = RegQueryValueExW(key, valueName, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()),
                                   &bytes);
    if (status == ERROR_MORE_DATA) {
        // The size it reported, rounded up to whole characters; a value that
        // grows once more fails with ERROR_MORE_DATA.
        const DWORD count = bytes / 2 + bytes % 2;
        buffer.assign(count + 1, L'\0');
        bytes = count * sizeof(wchar_t);
        status = RegQueryValueExW(key, valueName, nullptr, &value.type, reinterpret_cast<BYTE*>(buffer.data()),
                                  &bytes);
    }
    ThrowIfError(status);
    value.bytes = bytes;
    // Only the bytes the registry returned count; an odd trailing byte (half
    // a character) is dropped.
    value.text = TextUpToNul(buffer.data(), std::min<size_t>(bytes / sizeof(wchar_t), buffer.size() - 1));
    return value;
}

std::wstring QueryTypedString(HKEY key, const wchar_t* valueName, DWORD expectedType) {
    RawStringValue value = QueryStringValue(key, valueName);
    if (value.bytes == 0) throw Windows::RegistryValueIsEmpty();
    if (value.type != expectedType) throw Windows::WrongRegistryType();
    return std::move(value.text);
}
