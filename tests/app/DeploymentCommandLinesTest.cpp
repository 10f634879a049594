// Every command line of docs/deployment.md, run as written with the real
// ORVRemove.exe on a lab machine where the agent is installed: a removal
// ends with 0 and writes the report it names, a detection ends with 5.

#include "support/BoxDriver.h"
#include "support/FileBytes.h"
#include "support/LabMachine.h"
#include "support/LabPaths.h"

#include <nlohmann/json.hpp>

#include <set>

namespace {

// The guide, copied into the test bench beside the bin folder.
std::wstring GuidePath() {
    const std::wstring bin = TestProgramFolder();
    return bin.substr(0, bin.find_last_of(L"\\/")) + L"\\docs\\deployment.md";
}

// The argument texts of every code-block line that runs ORVRemove.exe with
// switches: what follows the program's name (and the quote closing it), up
// to PowerShell's "| Out-Null".
std::vector<std::wstring> GuideArguments(const std::wstring& guide) {
    std::vector<std::wstring> found;
    std::set<std::wstring> seen;
    bool inBlock = false;
    for (size_t at = 0; at < guide.size();) {
        size_t end = guide.find(L'\n', at);
        if (end == std::wstring::npos) end = guide.size();
        std::wstring line = guide.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.rfind(L"```", 0) == 0) {
            inBlock = !inBlock;
            continue;
        }
        const size_t name = line.find(L"ORVRemove.exe");
        if (!inBlock || name == std::wstring::npos) continue;
        std::wstring arguments = line.substr(name + 13);
        if (!arguments.empty() && arguments[0] == L'"') arguments.erase(0, 1);
        arguments.erase(0, arguments.find_first_not_of(L' '));
        const size_t pipe = arguments.find(L" | Out-Null");
        if (pipe != std::wstring::npos) arguments.erase(pipe);
        if (arguments.rfind(L"/silent", 0) != 0 && arguments.rfind(L"\"/", 0) != 0) continue;
        if (seen.insert(arguments).second) found.push_back(arguments);
    }
    return found;
}

// The value of "/report=" in an argument text, quoted or not.
std::wstring ReportPath(const std::wstring& arguments) {
    const size_t at = arguments.find(L"/report=");
    if (at == std::wstring::npos) return {};
    const bool quoted = at > 0 && arguments[at - 1] == L'"';
    const size_t begin = at + 8;
    const size_t end = arguments.find(quoted ? L'"' : L' ', begin);
    return arguments.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
}

class DeploymentCommandLinesTest : public LabMachineTest {
protected:
    void TearDown() override {
        for (const std::wstring& file : written_) DeleteFileW(file.c_str());
        for (const wchar_t* name : {L"ORVRemove.log", L"detect.log", L"ORVRemove run.log", L"startup.log"})
            DeleteFileW((std::wstring(kFolder) + L"\\" + name).c_str());
        RemoveDirectoryW(kFolder);
        LabMachineTest::TearDown();
    }
    static constexpr wchar_t kFolder[] = L"C:\\Windows\\Temp\\ORVRemove";
    std::vector<std::wstring> written_;
};

TEST_F(DeploymentCommandLinesTest, EveryCommandLineOfTheDeploymentGuideRunsWithItsExitCode) {
    const std::vector<std::wstring> lines = GuideArguments(Utf8ToWide(ReadFileBytes(GuidePath())));
    // The removal, the detection, and the two with quoted values.
    ASSERT_EQ(lines.size(), 4u);
    for (const std::wstring& arguments : lines) {
        SCOPED_TRACE(arguments);
        Lab::Reset();
        Lab::PlantOptions bare(Lab::SetupKind::None);
        bare.helper = false;
        Lab::Plant(L"agent", bare);
        const bool detect = arguments.find(L"/detect") != std::wstring::npos;
        const std::wstring report = ReportPath(arguments);
        ASSERT_FALSE(report.empty()) << "every command line of the guide writes a report";
        written_.push_back(report);
        DeleteFileW(report.c_str());

        const DrivenRun run = RunAndAnswerBoxes(L"\"" + ProductProgram() + L"\" " + arguments);
        EXPECT_FALSE(run.timedOut);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_EQ(run.exitCode, detect ? 5u : 0u);
        const auto json = nlohmann::json::parse(ReadFileBytes(report));
        EXPECT_EQ(json["exitCode"], detect ? 5 : 0);
        EXPECT_EQ(json["mode"], detect ? "detect" : "remove");
    }
}

}  // namespace
