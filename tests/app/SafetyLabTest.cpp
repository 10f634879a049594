// The real ORVRemove.exe on lab machines whose registry points it at what
// is not the suite's: folder values that name IIS's web folders or a folder
// of Windows, and commands whose program could be taken from the wrong
// place, with a look-alike planted there. Everything that is not the
// suite's must survive, and nothing planted may run.

#include "support/BoxDriver.h"
#include "support/FileBytes.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"
#include "support/TempTree.h"

#include "InstallerRecords.h"
#include "LabFiles.h"
#include "MachinePaths.h"
#include "RegistryKey.h"
#include "SetupManifest.h"

#include <algorithm>

namespace {

using Lines = std::vector<std::wstring>;

const wchar_t kInetpub[] = L"C:\\inetpub";

std::wstring SystemWindowsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    return std::wstring(buffer, GetSystemWindowsDirectoryW(buffer, MAX_PATH));
}

std::wstring SystemFolder() {
    wchar_t buffer[MAX_PATH] = {};
    return std::wstring(buffer, GetSystemDirectoryW(buffer, MAX_PATH));
}

// Every file and folder below folder, as paths relative to it.
Lines TreeEntries(const std::wstring& folder, const std::wstring& relative = L"") {
    Lines entries;
    for (const auto& name : Lab::FolderEntries(folder + relative)) {
        entries.push_back(relative + L"\\" + name);
        const auto below = TreeEntries(folder, relative + L"\\" + name);
        entries.insert(entries.end(), below.begin(), below.end());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// Files that the test plants outside the lab's own places, removed when
// the test ends, also when it fails.
class PlantedFiles {
public:
    PlantedFiles() = default;
    PlantedFiles(const PlantedFiles&) = delete;
    PlantedFiles& operator=(const PlantedFiles&) = delete;
    ~PlantedFiles() {
        for (auto it = paths_.rbegin(); it != paths_.rend(); ++it) {
            try {
                Lab::DeleteFolderTree(*it);
            } catch (...) {
            }
        }
    }

    void Text(const std::wstring& path, const std::string& text) {
        Own(path);
        Lab::WriteBytes(path, text);
    }
    // A copy of the lab setup that only logs its run under product "planted".
    void Impostor(const std::wstring& program) {
        Own(program);
        Own(Lab::ManifestPathFor(program));
        Lab::CopyFileTo(Lab::LabBinary(L"labsetup.exe"), program);
        Lab::SetupManifest manifest;
        manifest.role = L"bystander";
        manifest.product = L"planted";
        Lab::WriteManifest(Lab::ManifestPathFor(program), manifest);
    }
    void Own(const std::wstring& path) {
        if (std::find(paths_.begin(), paths_.end(), path) == paths_.end()) paths_.push_back(path);
    }

private:
    Lines paths_;
};

// Points the current user's Local AppData shell folder at another folder
// for the life of the object; the values before are put back at its end.
class LocalAppDataOverride {
public:
    explicit LocalAppDataOverride(const std::wstring& folder) {
        for (auto& saved : saved_) {
            DWORD size = sizeof saved.text;
            saved.present = RegGetValueW(HKEY_CURRENT_USER, saved.key, kValue, RRF_RT_ANY | RRF_NOEXPAND,
                                         &saved.type, saved.text, &size) == ERROR_SUCCESS;
            RegSetKeyValueW(HKEY_CURRENT_USER, saved.key, kValue, REG_EXPAND_SZ, folder.c_str(),
                            static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        }
    }
    ~LocalAppDataOverride() {
        for (const auto& saved : saved_) {
            if (!saved.present) RegDeleteKeyValueW(HKEY_CURRENT_USER, saved.key, kValue);
            else RegSetKeyValueW(HKEY_CURRENT_USER, saved.key, kValue, saved.type, saved.text,
                                 static_cast<DWORD>((wcslen(saved.text) + 1) * sizeof(wchar_t)));
        }
    }
    LocalAppDataOverride(const LocalAppDataOverride&) = delete;
    LocalAppDataOverride& operator=(const LocalAppDataOverride&) = delete;

private:
    static constexpr const wchar_t* kValue = L"Local AppData";
    struct Saved {
        const wchar_t* key;
        bool present = false;
        DWORD type = 0;
        wchar_t text[MAX_PATH * 2] = {};
    };
    Saved saved_[2] = {{L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},
                       {L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"}};
};

// The outermost folder of path that does not exist yet, or "" when all do.
std::wstring FirstMissingFolder(const std::wstring& path) {
    std::wstring missing;
    for (std::wstring folder = path; !Lab::PathExists(folder); folder = folder.substr(0, folder.rfind(L'\\')))
        missing = folder;
    return missing;
}

class SafetyLabTest : public LabMachineTest {
protected:
    DrivenRun Run(const std::wstring& program, const std::wstring& arguments) {
        const DrivenRun run = RunAndAnswerBoxes(L"\"" + program + L"\" " + arguments + L" " + logSwitch);
        EXPECT_FALSE(run.timedOut) << "ORVRemove did not end";
        return run;
    }

    std::wstring Log() const { return Utf8ToWide(ReadFileBytes(logPath)); }

    static bool Contains(const std::wstring& text, const std::wstring& part) {
        return text.find(part) != std::wstring::npos;
    }

    static std::vector<Lab::SetupRun> RunsOf(const std::wstring& product) {
        std::vector<Lab::SetupRun> runs;
        for (const auto& run : Lab::SetupRuns()) {
            if (run.product == product) runs.push_back(run);
        }
        return runs;
    }

    TempTree files;
    const std::wstring logPath = files.Path(L"run.log");
    const std::wstring logSwitch = L"\"/log=" + logPath + L"\"";
};

TEST_F(SafetyLabTest, FoldersOfWindowsAndIisSurviveValuesThatNameThem) {
    // IIS with its default site, error pages and a second site; the server's
    // web reports were put straight into C:\inetpub, and its web root is a
    // folder of its own inside IIS's.
    ASSERT_FALSE(Lab::PathExists(kInetpub)) << "the prefix already has an IIS tree";
    PlantedFiles planted;
    planted.Own(kInetpub);
    const std::wstring inetpub = kInetpub;
    planted.Text(inetpub + L"\\wwwroot\\iisstart.htm", "<html>IIS</html>\r\n");
    planted.Text(inetpub + L"\\wwwroot\\orvweb\\index.htm", "<html>ORV</html>\r\n");
    planted.Text(inetpub + L"\\custerr\\en-US\\404.htm", "<html>404</html>\r\n");
    planted.Text(inetpub + L"\\Shop\\default.htm", "<html>shop</html>\r\n");
    planted.Text(inetpub + L"\\cgi-bin\\orvreports\\orvreports.cgi", "#!cgi\r\n");

    Lab::PlantBystanders();
    Lab::Plant(L"server", Lab::SetupKind::InstallShield);
    const Lab::RegKey settings = Lab::Hklm32(L"SOFTWARE\\Orvalis\\Enterprise Server");
    Lab::SetValue(settings, Lab::TextValue(L"wwwRootFolder", inetpub + L"\\wwwroot\\orvweb"));
    Lab::SetValue(settings.Sub(L"ORVReports"), Lab::TextValue(L"Path", inetpub + L"\\cgi-bin\\orvreports"));
    // The agent's Uninstall entry names a real folder of Windows as its home.
    const Lab::Planted agent = Lab::Plant(L"agent", Lab::SetupKind::InstallShield);
    // The 64-bit drivers folder, as a 32-bit program reaches it.
    wchar_t windows[MAX_PATH] = {};
    const std::wstring drivers =
        std::wstring(windows, GetWindowsDirectoryW(windows, MAX_PATH)) + L"\\Sysnative\\drivers";
    ASSERT_TRUE(Lab::PathExists(drivers));
    Lab::SetValue(Lab::UninstallEntry(agent.productCode), Lab::TextValue(L"InstallLocation", drivers));
    const Lines driversBefore = TreeEntries(drivers);
    const Lab::Snapshot before = Lab::TakeSnapshot();

    Run(ProductProgram(), L"/silent /client /server");

    const Lab::Snapshot after = Lab::TakeSnapshot();
    const std::wstring orvweb = L"file C:\\inetpub\\wwwroot\\orvweb";
    EXPECT_EQ(Lab::LinesWithin(after.lines, {orvweb}), NoLines());
    const Lines iis = Lab::LinesOutside(Lab::LinesWithin(before.lines, {L"file C:\\inetpub"}), {orvweb});
    EXPECT_EQ(iis.size(), 11u);  // the folders and files planted above, less the suite's
    EXPECT_EQ(Lab::MissingLines(after, iis), NoLines());
    EXPECT_EQ(TreeEntries(drivers), driversBefore);
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());
    // The agent's own folder stays: its entry named another one.
    const Lines server = Lab::LinesWithin(after.lines, Prefixes({L"server"}));
    EXPECT_EQ(Lab::LinesOutside(server, {Lab::FilePrefix(Lab::SuiteFolder())}), NoLines());
    EXPECT_EQ(Lab::LinesWithin(server, {Lab::FilePrefix(Lab::SuiteFolder() + L"\\ORV Server")}), NoLines());

    const std::wstring log = Log();
    EXPECT_TRUE(Contains(log, L"Deleting directory \"C:\\inetpub\\\"...refused: \"C:\\inetpub\" is a folder that "
                              L"IIS owns\r\n"))
        << log;
    EXPECT_TRUE(Contains(log, L"Deleting directory \"" + drivers + L"\"...refused: \"" + drivers + L"\" is inside \""))
        << log;
}

TEST_F(SafetyLabTest, ProgramsStartOnlyFromWhereTheyBelong) {
    // ORVRemove run from a folder (also the current one) that holds a
    // MsiExec.exe, and a C:\Program.exe where an unquoted path with blanks
    // would find it.
    PlantedFiles planted;
    files.Folder(L"tools");
    const std::wstring program = files.Path(L"tools\\ORVRemove.exe");
    Lab::CopyFileTo(ProductProgram(), program);
    // The test bench loads its stand-in ODBC driver manager from beside the program.
    Lab::CopyFileTo(Lab::LabBinary(L"odbc32.dll"), files.Path(L"tools\\odbc32.dll"));
    planted.Impostor(files.Path(L"tools\\MsiExec.exe"));
    planted.Impostor(L"C:\\Program.exe");

    Lab::PlantBystanders();
    Lab::PlantOptions agentOptions(Lab::SetupKind::Msi);
    agentOptions.uninstallByX = true;  // MsiExec.exe /X{GUID}
    const Lab::Planted agent = Lab::Plant(L"agent", agentOptions);
    // Its key names its own command: MsiExec.exe /X{GUID} /qn REBOOT=REALLYSUPPRESS.
    const Lab::Planted loggingService = Lab::Plant(L"loggingservice");
    // The helper's service names its program without quotes.
    const std::wstring helper = agent.installDir + L"\\ORVClientHelper.exe";
    {
        SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        ASSERT_NE(manager, nullptr);
        SC_HANDLE service = OpenServiceW(manager, L"ORVClientHelper", SERVICE_CHANGE_CONFIG);
        const BOOL changed = service != nullptr && ChangeServiceConfigW(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                                                        SERVICE_NO_CHANGE, helper.c_str(), nullptr,
                                                                        nullptr, nullptr, nullptr, nullptr, nullptr);
        if (service != nullptr) CloseServiceHandle(service);
        CloseServiceHandle(manager);
        ASSERT_TRUE(changed);
    }
    const Lab::Snapshot before = Lab::TakeSnapshot();

    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(files.Path(L"tools").c_str());
    const DrivenRun run = Run(program, L"/silent /client /loggingservice");
    SetCurrentDirectoryW(previous);
    ASSERT_TRUE(Lab::PathExists(logPath)) << "exit code " << run.exitCode;

    EXPECT_TRUE(RunsOf(L"planted").empty());
    EXPECT_TRUE(RunsOf(L"").empty());  // a copy of the lab setup that could not tell what it is
    const auto helperRuns = RunsOf(L"agent");
    ASSERT_EQ(helperRuns.size(), 1u) << Log();
    EXPECT_EQ(helperRuns[0].role, L"helper");
    EXPECT_EQ(helperRuns[0].commandLine, L"\"" + helper + L"\" -remove");

    const Lab::Snapshot after = Lab::TakeSnapshot();
    EXPECT_EQ(Lab::LinesWithin(after.lines, Prefixes({L"agent", L"loggingservice"})), NoLines());
    EXPECT_EQ(Lab::MissingBystanderLines(before, after), NoLines());

    const std::wstring log = Log();
    const std::wstring msiexec = L"with command \"" + SystemFolder() + L"\\MsiExec.exe\" /X";
    EXPECT_TRUE(Contains(log, msiexec + agent.productCode + L" /qn\r\n")) << log;
    EXPECT_TRUE(Contains(log, msiexec + loggingService.productCode + L" /qn REBOOT=REALLYSUPPRESS\r\n")) << log;
    EXPECT_TRUE(Contains(log, L"with command \"" + helper + L"\" -remove\r\n")) << log;
}

TEST_F(SafetyLabTest, FinalCleanupAsSystemTakesTheSuitesFolderInTheSystemProfile) {
    // Run as SYSTEM, the 32-bit program's Local AppData is the system
    // profile's: SHGetFolderPathW gives the System32 spelling, which leads to
    // the SysWOW64 folder where the data really is. Wine runs nothing as
    // SYSTEM, so the user's Local AppData shell folder is pointed there,
    // once in each spelling.
    const std::wstring windows = SystemWindowsFolder();
    const std::wstring local = windows + L"\\SysWOW64\\config\\systemprofile\\AppData\\Local";
    PlantedFiles planted;
    if (const std::wstring missing = FirstMissingFolder(local); !missing.empty()) planted.Own(missing);
    planted.Own(local + L"\\Orvalis");
    planted.Own(local + L"\\Kestrel Backup");
    Lab::PlantBystanders();
    for (const wchar_t* spelling : {L"System32", L"SysWOW64"}) {
        const std::wstring shown = windows + L"\\" + spelling + L"\\config\\systemprofile\\AppData\\Local";
        planted.Text(local + L"\\Orvalis\\Enterprise Console\\console.xml", "<settings/>\r\n");
        planted.Text(local + L"\\Kestrel Backup\\state.dat", "kept\r\n");
        const Lab::Snapshot before = Lab::TakeSnapshot();
        DeleteFileW(logPath.c_str());
        {
            const LocalAppDataOverride systemProfile(shown);
            Run(ProductProgram(), L"/silent /all");
        }
        EXPECT_FALSE(Lab::PathExists(local + L"\\Orvalis")) << spelling;
        EXPECT_EQ(ReadFileBytes(local + L"\\Kestrel Backup\\state.dat"), "kept\r\n");
        EXPECT_EQ(Lab::MissingBystanderLines(before, Lab::TakeSnapshot()), NoLines());
        const std::wstring log = Log();
        EXPECT_TRUE(Contains(log, L"Deleting directory \"" + shown + L"\\Orvalis\"...done\r\n")) << log;
        EXPECT_FALSE(Contains(log, L"refused")) << log;
    }
    EXPECT_TRUE(Lab::PathExists(local));
}

}  // namespace
