#include "sysops/Services.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/Text.h"
#include "support/LabService.h"
#include "support/RecordingLog.h"
#include "support/StopWaitDots.h"

#include <gtest/gtest.h>

namespace {

using WindowsPlatform::ScopedFault;

std::wstring Description(DWORD code) { return TranscodeU8ToU16(std::string(Windows::Error(code).Description())); }

std::wstring StopLine(const std::wstring& name) { return L"Stopping service \"" + name + L"\"..."; }

TEST(ServicesTest, MissingServiceIsNeverAnError) {
    const std::wstring name = L"ORVLabMissing" + std::to_wstring(GetCurrentProcessId());
    RecordingLog log;
    EXPECT_FALSE(ServiceExists(name, log));
    EXPECT_FALSE(IsServiceRunning(name, log));
    EXPECT_TRUE(StopService(name, log));
    EXPECT_TRUE(RemoveService(name, log));
    EXPECT_EQ(log.Text(), L"Checking for \"" + name + L"\" service...not found\r\n" + L"Checking if \"" + name +
                              L"\" is running...service does not exist\r\n" + StopLine(name) +
                              L"service does not exist\r\n" + StopLine(name) + L"service does not exist\r\n" +
                              L"Deleting service \"" + name + L"\"...service does not exist\r\n");
}

TEST(ServicesTest, StoppedServiceExistsIsNotRunningAndGetsNoStopControl) {
    LabService service(L"Stopped", L"");
    RecordingLog log;
    EXPECT_TRUE(ServiceExists(service.Name(), log));
    EXPECT_FALSE(IsServiceRunning(service.Name(), log));
    // A stop control sent to a stopped service would fail with 1062.
    EXPECT_TRUE(StopService(service.Name(), log));
    EXPECT_EQ(log.Text(), L"Checking for \"" + service.Name() + L"\" service...exists\r\n" + L"Checking if \"" +
                              service.Name() + L"\" is running...service not running\r\n" + StopLine(service.Name()) +
                              L"service is already stopped\r\n");
}

TEST(ServicesTest, PausedServiceIsNotRunning) {
    LabService service(L"Paused", L"");
    service.Start();
    RecordingLog log;
    EXPECT_TRUE(IsServiceRunning(service.Name(), log));
    ASSERT_EQ(service.Control(SERVICE_CONTROL_PAUSE), 0u);
    ASSERT_TRUE(service.WaitFor(SERVICE_PAUSED, 5000));
    EXPECT_FALSE(IsServiceRunning(service.Name(), log));
    EXPECT_EQ(log.Text(), L"Checking if \"" + service.Name() + L"\" is running...service is running\r\n" +
                              L"Checking if \"" + service.Name() + L"\" is running...service not running\r\n");
}

TEST(ServicesTest, RemovingARunningServiceStopsThenDeletesIt) {
    LabService service(L"Remove", L"");
    service.Start();
    RecordingLog log;
    EXPECT_TRUE(RemoveService(service.Name(), log));
    EXPECT_EQ(WithoutStopWaitDots(log.Text()),
              StopLine(service.Name()) + L"stopped\r\n" + L"Deleting service \"" + service.Name() + L"\"...done\r\n");
    // The manager removes the service once the last handle to it closes,
    // the stopped service process's own included: wait for that.
    bool exists = true;
    for (int poll = 0; poll < 100 && exists; ++poll) {
        RecordingLog after;
        exists = ServiceExists(service.Name(), after);
        if (exists) Sleep(100);
    }
    EXPECT_FALSE(exists);
}

TEST(ServicesTest, ServiceFoundStoppedAtPollElevenShowsTwoFullStops) {
    // Stop pending for 1.5 s: found stopped between polls 11 and 20, after
    // the full stops of polls 0 and 10.
    LabService service(L"Slow", L"--stop-after 1500");
    service.Start();
    RecordingLog log;
    EXPECT_TRUE(StopService(service.Name(), log));
    // Later polls add a dot each second when a loaded machine slows the service.
    const std::wstring text = log.Text();
    EXPECT_EQ(text.rfind(StopLine(service.Name()) + L"..", 0), 0u) << text;
    EXPECT_EQ(WithoutStopWaitDots(text), StopLine(service.Name()) + L"stopped\r\n") << text;
}

TEST(ServicesTest, StopAlreadyPendingIsWaitedForWithoutASecondControl) {
    LabService service(L"Pending", L"--stop-after 800");
    service.Start();
    ASSERT_EQ(service.Control(SERVICE_CONTROL_STOP), 0u);
    ASSERT_EQ(service.State(), static_cast<DWORD>(SERVICE_STOP_PENDING));
    // A second stop control would fail with 1061 and end in an error line.
    RecordingLog log;
    EXPECT_TRUE(StopService(service.Name(), log));
    const std::wstring text = log.Text();
    EXPECT_EQ(text.rfind(StopLine(service.Name()), 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 9), L"stopped\r\n") << text;
    EXPECT_EQ(text.find(L"error"), std::wstring::npos) << text;
}

TEST(ServicesTest, ServiceThatNeverStopsIsAbandonedAfterTenFullStops) {
    LabService service(L"Stubborn", L"--ignore-stop");
    service.Start();
    RecordingLog log;
    const DWORD start = GetTickCount();
    EXPECT_FALSE(RemoveService(service.Name(), log));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(log.Text(), StopLine(service.Name()) + L"..........abandoning wait.  Service not stopped.\r\n");
    EXPECT_GE(elapsed, 9500u);
    EXPECT_EQ(service.State(), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST(ServicesTest, RefusedControlAndDeletionAreReportedAndLeaveTheService) {
    LabService service(L"Refused", L"");
    service.Start();
    RecordingLog log;
    {
        ScopedFault refused("ControlService", ERROR_SERVICE_CANNOT_ACCEPT_CTRL);
        EXPECT_FALSE(RemoveService(service.Name(), log));
    }
    EXPECT_EQ(log.Text(),
              StopLine(service.Name()) + L"error encountered: " + Description(ERROR_SERVICE_CANNOT_ACCEPT_CTRL) + L"\r\n");
    log.pieces.clear();
    {
        ScopedFault refused("DeleteService", ERROR_ACCESS_DENIED);
        EXPECT_FALSE(RemoveService(service.Name(), log));
    }
    EXPECT_EQ(WithoutStopWaitDots(log.Text()), StopLine(service.Name()) + L"stopped\r\n" + L"Deleting service \"" +
                                                   service.Name() + L"\"...failed to delete service: " + Description(ERROR_ACCESS_DENIED) + L"\r\n");
    RecordingLog after;
    EXPECT_TRUE(ServiceExists(service.Name(), after));
}

TEST(ServicesTest, ManagerThatCannotBeOpenedGivesTheErrorLine) {
    ScopedFault denied("OpenSCManagerW", ERROR_ACCESS_DENIED);
    RecordingLog log;
    EXPECT_FALSE(ServiceExists(L"Anything", log));
    EXPECT_FALSE(StopService(L"Anything", log));
    EXPECT_EQ(log.Text(), L"Checking for \"Anything\" service..." + Description(ERROR_ACCESS_DENIED) + L"\r\n" +
                              StopLine(L"Anything") + L"error encountered: " + Description(ERROR_ACCESS_DENIED) +
                              L"\r\n");
}

}  // namespace
