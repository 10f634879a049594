#include "sysops/RegistrySearchIndex.h"

#include "platform/CriticalSection.h"
#include "platform/Errors.h"
#include "sysops/Registry.h"
#include "sysops/RegistryQuery.h"

#include <algorithm>
#include <list>
#include <map>

using WindowsPlatform::CriticalSection;
using WindowsPlatform::CriticalSectionLock;
using WindowsPlatform::UniqueKernelHandle;
using WindowsPlatform::UniqueRegistryKey;

namespace {

// Every kind of change below the place: names, attributes, values, security.
constexpr DWORD kWatchedChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES |
                                  REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_SECURITY;
// The program searches a handful of places, and one more in the 64-bit view
// for every user with installer records; more are let go oldest first.
constexpr size_t kMostPlaces = 32;

using Names = std::vector<std::wstring>;
using Texts = std::vector<std::optional<std::wstring>>;

// The outcome of reading one subkey's value: the text, or none when it is
// missing, empty, of another type or not readable.
struct ValueRead {
    std::optional<std::wstring> text;
    bool lasting = true;  // false: a passing failure, not to be remembered
};

bool IsLastingError(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_ACCESS_DENIED;
}

ValueRead ReadValue(HKEY parent, const std::wstring& path, const wchar_t* valueName, RegistryView view) {
    try {
        const UniqueRegistryKey key = OpenSubkeyForReading(parent, path, view);
        return {QueryTypedString(key.Get(), valueName, REG_SZ), true};
    } catch (const Windows::Error& error) {
        return {std::nullopt, IsLastingError(error.Code())};
    } catch (const Windows::RegistryValueIsEmpty&) {
        return {std::nullopt, true};
    } catch (const Windows::WrongRegistryType&) {
        return {std::nullopt, true};
    } catch (...) {
        return {std::nullopt, false};
    }
}

RegistrySearchIndexCounts counts;

class Place {
public:
    Place(HKEY root, std::wstring parentPath, std::wstring subPath, RegistryView view)
        : root_(root), parentPath_(std::move(parentPath)), subPath_(std::move(subPath)), view_(view) {}

    bool Is(HKEY root, const std::wstring& parentPath, const std::wstring& subPath, RegistryView view) const {
        return root == root_ && view == view_ && parentPath == parentPath_ && subPath == subPath_;
    }

    std::optional<Names> Search(const wchar_t* valueName, const std::optional<std::wstring>& expected) {
        const Freshness freshness = MakeCurrent();
        if (freshness == Freshness::Unwatched) return std::nullopt;
        if (freshness == Freshness::Missing) return Names{};
        const Texts* texts = Column(valueName);
        Names found;
        for (size_t i = 0; i < names_.size(); ++i) {
            const auto& text = (*texts)[i];
            if (text && (!expected || *text == *expected)) found.push_back(names_[i]);
        }
        // A listing cut short or a passing read failure answers this search
        // only; the next one reads the place again.
        if (freshness == Freshness::Partial || !lasting_) Forget();
        return found;
    }

    std::optional<Names> Listing() {
        const Freshness freshness = MakeCurrent();
        if (freshness == Freshness::Unwatched) return std::nullopt;
        if (freshness == Freshness::Missing) return Names{};
        Names names = names_;
        if (freshness == Freshness::Partial) Forget();
        return names;
    }

private:
    enum class Freshness { Current, Partial, Missing, Unwatched };

    // Lists the place again unless nothing has changed since it was listed.
    Freshness MakeCurrent() {
        if (listed_ && WaitForSingleObject(changed_.Get(), 0) == WAIT_TIMEOUT && !ParentDeleted())
            return Freshness::Current;
        Forget();
        if (!changed_) changed_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!changed_ || !ResetEvent(changed_.Get())) return Freshness::Unwatched;
        try {
            parent_ = OpenRegistryKey(root_, parentPath_, KEY_READ, view_);
        } catch (...) {
            return Freshness::Missing;  // as a fresh search finds nothing
        }
        // Watched before it is listed, so a change during the listing is seen.
        if (RegNotifyChangeKeyValue(parent_.Get(), TRUE, kWatchedChanges, changed_.Get(), TRUE) != ERROR_SUCCESS) {
            parent_.Reset();
            return Freshness::Unwatched;
        }
        ++counts.listings;
        try {
            SubkeyEnumerator subkeys(parent_.Get());
            for (std::wstring name; subkeys.Next(name);) names_.push_back(name);
        } catch (...) {
            return Freshness::Partial;  // the names so far, as a fresh search has them
        }
        listed_ = true;
        return Freshness::Current;
    }

    // True when the listed key itself was deleted (and perhaps made anew):
    // Wine signals no change to the watchers of a deleted key, and a key
    // made anew under the same name is another key with no watcher.
    bool ParentDeleted() const {
        return RegQueryInfoKeyW(parent_.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr, nullptr) == ERROR_KEY_DELETED;
    }

    const Texts* Column(const wchar_t* valueName) {
        auto found = columns_.find(valueName);
        if (found != columns_.end()) return &found->second;
        ++counts.columns;
        Texts texts;
        texts.reserve(names_.size());
        for (const std::wstring& name : names_) {
            ValueRead read =
                ReadValue(parent_.Get(), subPath_.empty() ? name : name + L"\\" + subPath_, valueName, view_);
            if (!read.lasting) lasting_ = false;
            texts.push_back(std::move(read.text));
        }
        return &columns_.emplace(valueName, std::move(texts)).first->second;
    }

    void Forget() {
        listed_ = false;
        lasting_ = true;
        names_.clear();
        columns_.clear();
        parent_.Reset();
    }

    HKEY root_;
    std::wstring parentPath_;
    std::wstring subPath_;
    RegistryView view_;
    UniqueRegistryKey parent_;
    UniqueKernelHandle changed_;
    bool listed_ = false;
    bool lasting_ = true;
    Names names_;
    std::map<std::wstring, Texts> columns_;
};

CriticalSection& IndexLock() {
    static CriticalSection lock;
    return lock;
}

// Most recently used first.
std::list<Place>& Places() {
    static std::list<Place> places;
    return places;
}

Place& PlaceFor(HKEY root, const std::wstring& parentPath, const std::wstring& subPath, RegistryView view) {
    auto& places = Places();
    const auto found = std::find_if(places.begin(), places.end(),
                                    [&](const Place& place) { return place.Is(root, parentPath, subPath, view); });
    if (found != places.end()) {
        places.splice(places.begin(), places, found);
    } else {
        places.emplace_front(root, parentPath, subPath, view);
        if (places.size() > kMostPlaces) places.pop_back();
    }
    return places.front();
}

}  // namespace

std::optional<std::vector<std::wstring>> IndexedSubkeySearch(HKEY root, const std::wstring& parentPath,
                                                             const std::wstring& subPath, const wchar_t* valueName,
                                                             const std::optional<std::wstring>& expected,
                                                             RegistryView view) {
    if (root != HKEY_LOCAL_MACHINE) return std::nullopt;
    try {
        CriticalSectionLock lock(IndexLock());
        return PlaceFor(root, parentPath, subPath, view).Search(valueName, expected);
    } catch (...) {
        return std::nullopt;  // out of memory: search afresh
    }
}

std::optional<std::vector<std::wstring>> IndexedSubkeyNames(HKEY root, const std::wstring& path, RegistryView view) {
    if (root != HKEY_LOCAL_MACHINE) return std::nullopt;
    try {
        CriticalSectionLock lock(IndexLock());
        return PlaceFor(root, path, std::wstring(), view).Listing();
    } catch (...) {
        return std::nullopt;  // out of memory: list afresh
    }
}

RegistrySearchIndexCounts CurrentRegistrySearchIndexCounts() {
    CriticalSectionLock lock(IndexLock());
    return counts;
}
