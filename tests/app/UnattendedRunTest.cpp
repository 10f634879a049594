// Unattended runs over stand-in components: exit codes, the log file, the
// detection report and the registry backup, with real files and keys.

#include "app/SilentRemoval.h"
#include "app/UnattendedRun.h"
#include "platform/FaultInjection.h"
#include "sysops/Registry.h"
#include "support/FileBytes.h"
#include "support/MessageBoxRecorder.h"
#include "support/RegistryFixture.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using C = Component;

// A component that is one registry key of its own: it is installed while
// the key exists, and its removal deletes the key with the real step.
class KeyProduct : public ORVProduct {
public:
    KeyProduct(Remove::Log& log, std::wstring name, std::wstring key, std::vector<std::wstring>& events)
        : ORVProduct(log), name_(std::move(name)), key_(std::move(key)), events_(events) {}

    std::wstring Name() const override { return name_; }
    std::optional<std::wstring> Version() const override { return version; }
    void Detect() override {
        events_.push_back(L"detect " + name_);
        log.WriteDetectionBanner(name_.c_str());
        installed = RegistryKeyExists(HKEY_LOCAL_MACHINE, key_, log);
    }
    bool Remove() override {
        events_.push_back(L"remove " + name_);
        log.WriteRemovalBanner(name_.c_str());
        return DeleteRegistryKey(HKEY_LOCAL_MACHINE, key_, log);
    }

    std::optional<std::wstring> version;

private:
    std::wstring name_;
    std::wstring key_;
    std::vector<std::wstring>& events_;
};

const std::map<C, std::wstring> kNames = {
    {C::Agent, L"Agent"}, {C::Server, L"Server"}, {C::Relay, L"Relay"}, {C::Console, L"Console"},
    {C::ClientDeployTool, L"CDT"}, {C::InstallationGenerator, L"Generator"}, {C::PlatformAPI, L"API"},
    {C::LoggingService, L"Logging"}, {C::DLP, L"DLP"}, {C::SoftwareAssetManagement, L"SAM"},
    {C::MSDE, L"MSDE"}, {C::A2A, L"A2A"}, {C::Databases, L"Databases"},
};

class UnattendedRunTest : public ::testing::Test {
protected:
    UnattendedRunTest() {
        parts.makeCatalogue = [this](Remove::Log& log) {
            Catalogue catalogue;
            for (const auto& [component, name] : kNames) {
                auto product = std::make_unique<KeyProduct>(log, name, Key(component), events);
                if (versions.count(component) != 0) product->version = versions[component];
                catalogue.Set(component, std::move(product));
            }
            return catalogue;
        };
        parts.rootCleanup = [this](Remove::Log&) { events.push_back(L"root cleanup"); };
        parts.now.wYear = 2024;
        parts.now.wMonth = 5;
        parts.now.wDay = 6;
        parts.now.wHour = 7;
        parts.now.wMinute = 8;
        parts.now.wSecond = 9;
    }

    std::wstring Key(C component) const { return base + L"\\" + kNames.at(component); }
    void Install(std::initializer_list<C> components) {
        for (C c : components) registry.SetString(HKEY_LOCAL_MACHINE, Key(c), L"Marker", L"installed");
    }
    bool Installed(C component) const { return RegistryFixture::KeyExists(HKEY_LOCAL_MACHINE, Key(component)); }

    int Run(const std::wstring& arguments) { return RunUnattended(arguments, parts); }
    std::wstring LogText() const { return Utf8ToWide(ReadFileBytes(logPath)); }
    std::vector<std::wstring> Removed() const {
        std::vector<std::wstring> removed;
        for (const auto& e : events)
            if (e.rfind(L"remove ", 0) == 0) removed.push_back(e.substr(7));
        return removed;
    }

    static bool EndsWith(const std::wstring& text, const std::wstring& end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    }

    RegistryFixture registry;
    TempTree files;
    MessageBoxRecorder boxes;
    UnattendedParts parts;
    std::vector<std::wstring> events;
    std::map<C, std::wstring> versions;
    const std::wstring base = L"SOFTWARE\\" + registry.Unique(L"ORVUnattendedTest");
    const std::wstring logPath = files.Path(L"logs\\run.log");
    const std::wstring logSwitch = L" \"/log=" + logPath + L"\"";
};

TEST_F(UnattendedRunTest, ExitCodeTellsWhatBecameOfTheSelection) {
    EXPECT_EQ(Run(L"/silent /dlp"), 0);  // selected, not installed
    Install({C::Agent, C::Relay});
    EXPECT_EQ(Run(L"/silent /client"), 2);
    EXPECT_EQ(Run(L"/silent"), 1);
    EXPECT_EQ(Run(L"/silent /relay"), 0);
    EXPECT_FALSE(Installed(C::Relay));
    ASSERT_EQ(boxes.boxes.size(), 2u);  // the refusal and the usage text

    // A selected component that survives its removal.
    Install({C::Console});
    const WindowsPlatform::ScopedFault stuck("RegDeleteKeyExW", ERROR_ACCESS_DENIED);
    EXPECT_EQ(Run(L"/silent /console"), 3);
    EXPECT_TRUE(Installed(C::Console));
}

TEST_F(UnattendedRunTest, LogHoldsEveryStepTheBoxTextsAndEndsWithTheExitCode) {
    Install({C::Agent, C::Relay});
    EXPECT_EQ(Run(L"/silent /client" + logSwitch), 2);
    const std::wstring text = LogText();
    EXPECT_EQ(text.substr(0, 31), L"\xFEFFStarted 2024-05-06 07:08:09 wi");
    EXPECT_NE(text.find(L"\r\n* Detecting Relay\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"...found\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\nThe client should not be removed without also removing"), std::wstring::npos);
    EXPECT_TRUE(EndsWith(text, L"\r\nExit code 2: refused by the agent dependency rule\r\n")) << text;
    // Every line ends in CR LF.
    for (size_t at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', at + 1))
        EXPECT_EQ(text[at - 1], L'\r') << at;
}

TEST_F(UnattendedRunTest, UsageTextGoesToTheLogWithCrLfLineEnds) {
    EXPECT_EQ(Run(L"/silent" + logSwitch), 1);
    const std::wstring text = LogText();
    EXPECT_NE(text.find(L"To remove components silently\r\nthe /silent switch must be used"), std::wstring::npos);
    EXPECT_TRUE(EndsWith(text, L"\r\nExit code 1: nothing was selected or the command line is not valid\r\n"));
    // The cleanup of the suite's roots, with the dialog's banner, ran before it.
    EXPECT_NE(text.find(L"x Removing Folders and Registry keys\r\n"), std::wstring::npos);
}

TEST_F(UnattendedRunTest, TimeoutThatIsNotAPositiveWholeNumberIsAUsageErrorBeforeAnything) {
    Install({C::Agent});
    EXPECT_EQ(Run(L"/silent /all /timeout=0" + logSwitch), 1);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(Installed(C::Agent));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text.rfind(
                  L"The value of /timeout= must be a positive whole number of seconds, not \"0\".\n\nTo remove", 0),
              0u);
    const std::wstring text = LogText();
    EXPECT_NE(text.find(L"a positive whole number of seconds, not \"0\".\r\n\r\nTo remove components"),
              std::wstring::npos)
        << text;
    EXPECT_TRUE(EndsWith(text, L"\r\nExit code 1: nothing was selected or the command line is not valid\r\n"));
}

TEST_F(UnattendedRunTest, LogThatCannotBeCreatedStopsTheRunBeforeAnything) {
    Install({C::Agent});
    files.File(L"a file");
    for (const std::wstring& log : {files.Path(L"a file") + L"\\run.log", files.Root(), std::wstring()}) {
        events.clear();
        EXPECT_EQ(Run(L"/silent /all /log=\"" + log + L"\""), 4) << log;
        EXPECT_TRUE(events.empty()) << log;
    }
    EXPECT_TRUE(Installed(C::Agent));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(UnattendedRunTest, DetectReportsEveryInstalledComponentAndRemovesNothing) {
    EXPECT_EQ(Run(L"/silent /detect" + logSwitch), 0);
    EXPECT_TRUE(EndsWith(LogText(), L"\r\nInstalled components: 0 (exit code 0)\r\n"));

    Install({C::Agent, C::Relay});
    versions[C::Relay] = L"7.2.1";
    events.clear();
    EXPECT_EQ(Run(L"/silent /detect /all /client /force" + logSwitch), 5);
    EXPECT_TRUE(Removed().empty());
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(Installed(C::Agent));
    EXPECT_EQ(events.size(), kNames.size());  // one detection each
    const std::wstring text = LogText();
    EXPECT_NE(text.find(L"* Detecting Databases\r\n"), std::wstring::npos);
    // In the silent detection order: the relay before the agent.
    EXPECT_TRUE(EndsWith(text, L"\r\n\r\nInstalled components: 2 (exit code 5)\r\nRelay\t7.2.1\r\nAgent\tunknown\r\n"))
        << text;
}

TEST_F(UnattendedRunTest, BackupFolderThatCannotBeUsedStopsTheRemoval) {
    Install({C::Server});
    files.File(L"not a folder");
    EXPECT_EQ(Run(L"/silent /server" + logSwitch + L" /backup=\"" + files.Path(L"not a folder") + L"\""), 4);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(Installed(C::Server));
    const std::wstring text = LogText();
    EXPECT_NE(text.find(L"Registry backup: no file can be created in \""), std::wstring::npos);
    EXPECT_TRUE(EndsWith(text, L"\r\n\r\nExit code 4: the log or the registry backup could not be written\r\n"));
}

TEST_F(UnattendedRunTest, BackupThatFailsDuringTheRunKeepsTheKeyAndEndsWithCodeFour) {
    Install({C::Server, C::Console});
    const WindowsPlatform::ScopedFault diskFull("WriteFile/registry backup", ERROR_DISK_FULL, 1);
    EXPECT_EQ(Run(L"/silent /server /console /backup=" + files.Path(L"b")), 4);
    // Neither key could be written down, so both stay.
    EXPECT_TRUE(Installed(C::Console));
    EXPECT_TRUE(Installed(C::Server));
}

}  // namespace
