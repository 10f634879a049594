#pragma once
// Access recovery for files, folders and registry keys whose security stops
// an administrator from deleting them: give the current user full access,
// taking ownership first when the object refuses a new DACL.
//
// These operations throw (Windows::Error with the failing status). Just
// before throwing, SetObjectSecurity, CreateFullAccessAcl and TakeOwnership
// write a lead-in of their own to the log ("error creating ACL: ",
// "error setting object security descriptor: ", "error changing object
// owner: ") with no line break; the catching step writes the exception's
// description and completes the line.
//
// Object names are those of SetNamedSecurityInfoW: a file path, or for a key
// the root's security name and the path ("MACHINE\\SOFTWARE\\Orvalis", see
// SecurityObjectName in sysops/Registry.h). Registry keys are addressed with
// RegistryKeyObjectType(view), so that they are found in the same registry
// view as the operation that asks for the grant.
//
// Test seams (platform/FaultInjection.h): "SetEntriesInAclW",
// "SetNamedSecurityInfoW/DACL" (the DACL calls), "SetNamedSecurityInfoW/OWNER"
// (the owner call), "OpenProcessToken".

#include "log/Log.h"
#include "platform/UniqueHandle.h"
#include "sysops/Registry.h"

#include <windows.h>

#include <aclapi.h>

#include <string>

// The object type for registry keys of a view: SE_REGISTRY_KEY reaches the
// program's own view, SE_REGISTRY_WOW64_64KEY the 64-bit one. Files use
// SE_FILE_OBJECT.
// mingw-w64's aclapi.h stops at SE_REGISTRY_WOW64_32KEY; the 64-bit one follows it.
constexpr SE_OBJECT_TYPE kRegistryWow6464KeyObjectType = static_cast<SE_OBJECT_TYPE>(SE_REGISTRY_WOW64_32KEY + 1);

constexpr SE_OBJECT_TYPE RegistryKeyObjectType(RegistryView view) {
    return view == RegistryView::Native64 ? kRegistryWow6464KeyObjectType : SE_REGISTRY_KEY;
}

// Replaces the object's DACL by one entry granting the current user full
// access (inherited by sub-containers and objects). If that is refused,
// takes ownership of the object and tries once more. A leading "\\?\" is
// removed from the name first.
void SetObjectSecurity(const std::wstring& objectName, SE_OBJECT_TYPE objectType, Remove::Log& log);

// A new ACL holding only the entry "CURRENT_USER: GENERIC_ALL, inherited by
// sub-containers and objects"; the caller owns it.
WindowsPlatform::UniqueLocalAcl CreateFullAccessAcl(Remove::Log& log);

// Makes the current process's user the owner of the object, enabling
// SeTakeOwnershipPrivilege in the process token first (the privilege stays
// enabled for the whole process).
void TakeOwnership(const std::wstring& objectName, SE_OBJECT_TYPE objectType, Remove::Log& log);

// Enables one privilege (for example L"SeTakeOwnershipPrivilege") in a token
// opened with TOKEN_ADJUST_PRIVILEGES. A privilege the token does not hold is
// not reported: AdjustTokenPrivileges succeeds without assigning it.
void EnablePrivilege(HANDLE token, const wchar_t* privilegeName);
