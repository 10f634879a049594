#include "sysops/AccessRecovery.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using WindowsPlatform::ScopedFault;

// A file in the temporary folder that is deleted when the test ends.
class TemporaryTestFile {
public:
    TemporaryTestFile() {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        wchar_t name[MAX_PATH];
        GetTempFileNameW(folder, L"orv", 0, name);
        path_ = name;
    }
    ~TemporaryTestFile() { DeleteFileW(path_.c_str()); }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

DWORD ErrorCodeOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Windows::Error& e) {
        return e.Code();
    }
    return 0;
}

TEST(AccessRecoveryTest, GrantsFullAccessToARealFileAndKey) {
    TemporaryTestFile file;
    RegistryFixture registry;
    const std::wstring path = L"SOFTWARE\\" + registry.Unique(L"ORVTest Access");
    registry.CreateKey(HKEY_LOCAL_MACHINE, path);

    RecordingLog log;
    EXPECT_NO_THROW(SetObjectSecurity(file.Path(), SE_FILE_OBJECT, log));
    EXPECT_NO_THROW(SetObjectSecurity(L"\\\\?\\" + file.Path(), SE_FILE_OBJECT, log));
    EXPECT_NO_THROW(SetObjectSecurity(L"MACHINE\\" + path, RegistryKeyObjectType(RegistryView::Program), log));
    EXPECT_NO_THROW(TakeOwnership(file.Path(), SE_FILE_OBJECT, log));
    EXPECT_NO_THROW(TakeOwnership(L"MACHINE\\" + path, RegistryKeyObjectType(RegistryView::Program), log));
    EXPECT_TRUE(CreateFullAccessAcl(log));
    EXPECT_EQ(log.Text(), L"");
}

TEST(AccessRecoveryTest, EnablePrivilegeRejectsAnUnknownName) {
    HANDLE raw = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw));
    WindowsPlatform::UniqueKernelHandle token(raw);
    EXPECT_NO_THROW(EnablePrivilege(token.Get(), L"SeTakeOwnershipPrivilege"));
    EXPECT_EQ(ErrorCodeOf([&] { EnablePrivilege(token.Get(), L"SeNoSuchPrivilege"); }),
              static_cast<DWORD>(ERROR_NO_SUCH_PRIVILEGE));
}

TEST(AccessRecoveryTest, RefusedDaclIsRetriedAfterTakingOwnership) {
    TemporaryTestFile file;
    RecordingLog log;
    ScopedFault refused("SetNamedSecurityInfoW/DACL", ERROR_ACCESS_DENIED, 0, 1);
    EXPECT_NO_THROW(SetObjectSecurity(file.Path(), SE_FILE_OBJECT, log));
    EXPECT_EQ(log.Text(), L"");
}

TEST(AccessRecoveryTest, EachFailureWritesItsLeadInBeforeThrowing) {
    TemporaryTestFile file;
    {
        RecordingLog log;
        ScopedFault dacl("SetNamedSecurityInfoW/DACL", ERROR_ACCESS_DENIED);
        EXPECT_EQ(ErrorCodeOf([&] { SetObjectSecurity(file.Path(), SE_FILE_OBJECT, log); }),
                  static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(log.Text(), L"error setting object security descriptor: ");
    }
    {
        RecordingLog log;
        ScopedFault dacl("SetNamedSecurityInfoW/DACL", ERROR_ACCESS_DENIED);
        ScopedFault owner("SetNamedSecurityInfoW/OWNER", ERROR_INVALID_OWNER);
        EXPECT_EQ(ErrorCodeOf([&] { SetObjectSecurity(file.Path(), SE_FILE_OBJECT, log); }),
                  static_cast<DWORD>(ERROR_INVALID_OWNER));
        EXPECT_EQ(log.Text(), L"error changing object owner: ");
    }
    {
        RecordingLog log;
        ScopedFault acl("SetEntriesInAclW", ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(ErrorCodeOf([&] { SetObjectSecurity(file.Path(), SE_FILE_OBJECT, log); }),
                  static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
        EXPECT_EQ(log.Text(), L"error creating ACL: ");
    }
}

}  // namespace
