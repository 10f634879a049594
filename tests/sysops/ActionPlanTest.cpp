// Plan mode on the real registry and file system: the acting operations
// describe what they would do, touch nothing, and describe nothing twice
// that a real run would find gone.

#include "sysops/ActionPlan.h"
#include "sysops/Files.h"
#include "sysops/Registry.h"
#include "sysops/Services.h"

#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

namespace {

class Recorder : public PlanObserver {
public:
    void Planned(const PlannedAction& action) override { actions.push_back(action); }
    std::vector<PlannedAction> actions;
};

TEST(ActionPlanTest, OutsidePlanModeOperationsActAndNothingIsDescribed) {
    RecordingLog log;
    EXPECT_FALSE(Planning());
    EXPECT_TRUE(ActOrDescribe(PlannedAction{ActionKind::RegistryKey, L"HKLM\\SOFTWARE\\X"}, log));
    EXPECT_EQ(log.Text(), L"");
}

TEST(ActionPlanTest, PlanNamesKeysAndFoldersOnceAndLeavesThemInPlace) {
    RegistryFixture registry;
    const std::wstring key = L"SOFTWARE\\" + registry.Unique(L"ORVPlanTest");
    registry.SetDword(HKEY_LOCAL_MACHINE, key + L"\\Child", L"Value", 1);
    TempTree files;
    files.File(L"sub\\a.txt", "abc");
    files.File(L"b.txt", "de");

    RecordingLog log;
    Recorder recorder;
    {
        const ScopedPlanMode plan(&recorder);
        EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, key, log));
        EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, key + L"\\Child", log));  // gone with its parent
        EXPECT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, key + L"\\Missing", log));
        EXPECT_TRUE(DeleteDirectory(files.Root(), log));
        EXPECT_TRUE(DeleteDirectory(files.Path(L"sub"), log));
        EXPECT_TRUE(RemoveService(L"ORVPlanTestNoSuchService", log));
    }
    EXPECT_FALSE(Planning());

    ASSERT_EQ(recorder.actions.size(), 2u) << log.Text();
    EXPECT_EQ(recorder.actions[0].kind, ActionKind::RegistryKey);
    // Named where Windows keeps it: the 32-bit view of this 32-bit program.
    EXPECT_EQ(recorder.actions[0].target, L"HKLM\\Software\\Wow6432Node\\" + key.substr(9));
    EXPECT_EQ(recorder.actions[1].kind, ActionKind::Folder);
    EXPECT_EQ(log.Text(), L"Would delete registry key \"" + recorder.actions[0].target + L"\"\r\n" +
                              L"Would delete directory \"" + files.Root() + L"\" (2 files, 5 bytes)\r\n");
    EXPECT_TRUE(RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, key + L"\\Child"));
    EXPECT_NE(GetFileAttributesW(files.Path(L"sub\\a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
