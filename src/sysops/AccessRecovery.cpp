#include "sysops/AccessRecovery.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "sysops/PathSafety.h"

#include <vector>

using WindowsPlatform::InjectedFault;
using WindowsPlatform::UniqueKernelHandle;
using WindowsPlatform::UniqueLocalAcl;

namespace {

DWORD SetFullAccessDacl(std::wstring& name, SE_OBJECT_TYPE type, Remove::Log& log) {
    const UniqueLocalAcl acl = CreateFullAccessAcl(log);
    if (DWORD fault = InjectedFault("SetNamedSecurityInfoW/DACL")) return fault;
    return SetNamedSecurityInfoW(name.data(), type, DACL_SECURITY_INFORMATION, nullptr, nullptr, acl.Get(), nullptr);
}

DWORD SetOwner(std::wstring& name, SE_OBJECT_TYPE type, PSID owner) {
    if (DWORD fault = InjectedFault("SetNamedSecurityInfoW/OWNER")) return fault;
    return SetNamedSecurityInfoW(name.data(), type, OWNER_SECURITY_INFORMATION, owner, nullptr, nullptr, nullptr);
}

// The TOKEN_USER of the token, in a buffer that lives as long as the result.
std::vector<BYTE> QueryTokenUser(HANDLE token) {
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenUser, nullptr, 0, &size)) {
        const DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER) ThrowIfError(error);
    }
    std::vector<BYTE> buffer(size);
    ThrowLastErrorIfFalse(GetTokenInformation(token, TokenUser, buffer.data(), size, &size));
    return buffer;
}

}  // namespace

UniqueLocalAcl CreateFullAccessAcl(Remove::Log& log) {
    EXPLICIT_ACCESS_W entry{};
    entry.grfAccessPermissions = GENERIC_ALL;
    entry.grfAccessMode = SET_ACCESS;
    entry.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    entry.Trustee.pMultipleTrustee = nullptr;
    entry.Trustee.MultipleTrusteeOperation = NO_MULTIPLE_TRUSTEE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    entry.Trustee.TrusteeType = TRUSTEE_IS_UNKNOWN;
    wchar_t trustee[] = L"CURRENT_USER";
    entry.Trustee.ptstrName = trustee;

    UniqueLocalAcl acl;
    DWORD status = InjectedFault("SetEntriesInAclW");
    if (status == 0) status = SetEntriesInAclW(1, &entry, nullptr, acl.Put());
    if (status != 0) {
        log.Write(L"error creating ACL: ");
        ThrowIfError(status);
    }
    return acl;
}

void SetObjectSecurity(const std::wstring& objectName, SE_OBJECT_TYPE objectType, Remove::Log& log) {
    // The security functions do not take the long-path prefix; a network
    // path goes back to its \\server\share form, not UNC\server\share.
    std::wstring name = WithoutLongPathPrefix(objectName);

    if (SetFullAccessDacl(name, objectType, log) == 0) return;

    TakeOwnership(name, objectType, log);
    const DWORD status = SetFullAccessDacl(name, objectType, log);
    if (status != 0) {
        log.Write(L"error setting object security descriptor: ");
        ThrowIfError(status);
    }
}

void TakeOwnership(const std::wstring& objectName, SE_OBJECT_TYPE objectType, Remove::Log& log) {
    UniqueKernelHandle token;
    if (DWORD fault = InjectedFault("OpenProcessToken")) ThrowIfError(fault);
    ThrowLastErrorIfFalse(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()));

    std::vector<BYTE> user = QueryTokenUser(token.Get());
    const PSID owner = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;

    EnablePrivilege(token.Get(), SE_TAKE_OWNERSHIP_NAME);

    std::wstring name = objectName;
    const DWORD status = SetOwner(name, objectType, owner);
    if (status != 0) {
        log.Write(L"error changing object owner: ");
        ThrowIfError(status);
    }
}

void EnablePrivilege(HANDLE token, const wchar_t* privilegeName) {
    LUID luid{};
    ThrowLastErrorIfFalse(LookupPrivilegeValueW(nullptr, privilegeName, &luid));

    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid = luid;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // ERROR_NOT_ALL_ASSIGNED after success is not an error here: the
    // following call fails on its own if the privilege was needed.
    ThrowLastErrorIfFalse(AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
}
