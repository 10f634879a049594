#include "sysops/ProfilePasses.h"

#include "platform/UniqueHandle.h"
#include "sysops/MountedHive.h"
#include "sysops/Registry.h"
#include "sysops/RunEvents.h"
#include "sysops/UserInstallerRecords.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <optional>

namespace {

const wchar_t kSuiteKey[] = L"Software\\Orvalis";

// A profile and what its hive said when it was last loaded.
struct KnownProfile {
    UserProfile profile;
    bool present = false;                   // its folder exists
    std::optional<ProfileFolders> folders;  // once its hive was read
    // An unloaded hive at the last look: whether it held Software\Orvalis,
    // the product names of its installer records (absent: never looked,
    // such as a hive that was loaded by Windows until now), whether the load
    // failed.
    bool suiteKey = true;
    std::optional<std::vector<std::wstring>> products;
    bool loadFailed = false;
};

struct ProfileCache {
    bool listed = false;
    std::vector<KnownProfile> profiles;
};

ProfileCache& Cache() {
    static ProfileCache cache;
    return cache;
}

// Windows keeps profiles on local drives ("C:\\Users\\x"). Anything else in
// ProfileList (a share, a relative path) is damaged or hostile data, and
// its hive is not loaded: a program running as SYSTEM would open it.
bool IsLocalPath(const std::wstring& path) {
    return path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyOpens(const std::wstring& path) {
    WindowsPlatform::UniqueRegistryKey key;
    return RegOpenKeyExW(HKEY_USERS, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

std::vector<KnownProfile>& Profiles(Remove::Log& log) {
    ProfileCache& cache = Cache();
    if (cache.listed) return cache.profiles;
    UnloadStaleHives(log);
    const std::optional<std::wstring> self = CurrentUserSid();
    for (UserProfile& profile : ListUserProfiles()) {
        if (self && !profile.isDefault && _wcsicmp(profile.name.c_str(), self->c_str()) == 0) continue;
        KnownProfile known;
        known.present = IsLocalPath(profile.folder) && IsFolder(profile.folder);
        known.profile = std::move(profile);
        cache.profiles.push_back(std::move(known));
    }
    cache.listed = true;
    return cache.profiles;
}

bool AnyFolder(const ProfileTargets& targets, const ProfileFolders& folders) {
    if (!targets.folders) return false;
    for (const std::wstring& folder : targets.folders(folders))
        if (Exists(folder)) return true;
    return false;
}

bool AnyTarget(const ProfileTargets& targets, const std::wstring& hive, const ProfileFolders& folders) {
    for (const std::wstring& key : targets.keys)
        if (KeyOpens(hive + L"\\" + key)) return true;
    for (const std::wstring& product : targets.installerProducts)
        if (!FindInstallerRecordsIn(UserInstallerPlace(HKEY_USERS, hive), product).empty()) return true;
    return AnyFolder(targets, folders);
}

bool OnlyProducts(const ProfileTargets& targets) { return targets.keys.empty() && !targets.folders; }

// Whether an unloaded hive, as it was at its last load, may hold a target.
bool MayHold(const KnownProfile& known, const ProfileTargets& targets) {
    if (!known.folders) return true;
    if (known.suiteKey && !targets.keys.empty()) return true;
    for (const std::wstring& product : targets.installerProducts) {
        if (!known.products) return true;
        const std::vector<std::wstring>& names = *known.products;
        if (std::find(names.begin(), names.end(), product) != names.end()) return true;
    }
    return AnyFolder(targets, *known.folders);
}

void Learn(KnownProfile& known, const std::wstring& hive) {
    known.suiteKey = KeyOpens(hive + L"\\" + kSuiteKey);
    known.products = UserInstallerProductNames(hive);
}

bool IsLoaded(const std::vector<std::wstring>& hives, const std::wstring& name) {
    return std::any_of(hives.begin(), hives.end(),
                       [&](const std::wstring& hive) { return _wcsicmp(hive.c_str(), name.c_str()) == 0; });
}

// The line that begins a profile's steps, and the run's events around them.
class ProfileScope {
public:
    ProfileScope(const UserProfile& profile, Remove::Log& log) {
        log.Write(L"Profile " + profile.name + L" (" + profile.folder + L"):");
        log.EndLine();
        TellProfileEntered(profile.name, profile.folder);
    }
    ~ProfileScope() { TellProfileLeft(); }
    ProfileScope(const ProfileScope&) = delete;
    ProfileScope& operator=(const ProfileScope&) = delete;
};

// A hive that Windows has loaded: its user is logged on.
void VisitLoaded(KnownProfile& known, const ProfileTargets& targets,
                 const std::function<void(const ProfileVisit&)>& step, Remove::Log& log) {
    const std::wstring& hive = known.profile.name;
    if (!known.folders) known.folders = ReadProfileFolders(known.profile, HKEY_USERS, hive);
    if (!AnyTarget(targets, hive, *known.folders)) return;
    const ProfileScope scope(known.profile, log);
    step(ProfileVisit{known.profile, hive, *known.folders});
}

// A hive this pass loads itself, and unloads when it leaves the profile.
bool VisitUnloaded(KnownProfile& known, const ProfileTargets& targets,
                   const std::function<void(const ProfileVisit&)>& step, Remove::Log& log) {
    if (known.loadFailed && OnlyProducts(targets)) return true;
    if (!MayHold(known, targets)) return true;
    std::optional<MountedHive> hive;
    try {
        hive.emplace(MountedHive::Load(HiveMountName(known.profile.name), known.profile.HiveFile()));
    } catch (...) {
        known.loadFailed = true;
        const ProfileScope scope(known.profile, log);
        log.Write(L"Loading the registry hive \"" + known.profile.HiveFile() + L"\"...failed: ");
        log.WriteCurrentException();
        log.EndLine();
        step(ProfileVisit{known.profile, std::wstring(), known.folders.value_or(DefaultProfileFolders(known.profile))});
        return false;
    }
    known.loadFailed = false;
    const std::wstring name = hive->Name();
    if (!known.folders) known.folders = ReadProfileFolders(known.profile, HKEY_USERS, name);
    Learn(known, name);
    if (AnyTarget(targets, name, *known.folders)) {
        const ProfileScope scope(known.profile, log);
        step(ProfileVisit{known.profile, name, *known.folders});
        Learn(known, name);
    }
    return hive->Unload(known.profile.HiveFile(), log);
}

}  // namespace

bool VisitOtherProfiles(const ProfileTargets& targets, const std::function<void(const ProfileVisit&)>& step,
                        Remove::Log& log) {
    bool ok = true;
    try {
        std::vector<KnownProfile>& profiles = Profiles(log);
        const std::vector<std::wstring> loaded = EnumerateSubkeys(HKEY_USERS, L"");
        for (KnownProfile& known : profiles) {
            if (!known.present) continue;
            if (!known.profile.isDefault && IsLoaded(loaded, known.profile.name))
                VisitLoaded(known, targets, step, log);
            else
                ok &= VisitUnloaded(known, targets, step, log);
        }
    } catch (...) {
        log.Write(L"error visiting the user profiles: ");
        log.WriteCurrentException();
        log.EndLine();
        return false;
    }
    return ok;
}

void ForgetUserProfiles() {
    Cache() = ProfileCache();
}
