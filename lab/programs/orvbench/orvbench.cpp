// The lab side of tools/bench (benchmarks, never tests):
//
//   orvbench clutter <first> <last>    plants bench products first .. last - 1
//   orvbench unclutter                 removes every bench product
//   orvbench lowerbound                one scan of the places detection searches
//   orvbench components <count>        plants count component registrations (64-bit view)
//   orvbench uncomponents              removes them
//   orvbench clean-components <reps>   times one enumeration of them against the cleaning
//                                      of one product's registrations; prints medians
//   orvbench time <log|-> <command> [<timeline>]
//                                      runs the command once and prints its times
//   orvbench plant-suite <folder>      plants the whole suite, writes planted.txt and hand.cmd
//   orvbench left <folder>             counts the planted lines the machine still has
//   orvbench profiles <first> <last>   plants profiles first .. last - 1 (hives not loaded)
//   orvbench unprofiles                removes every bench profile
//
// "time" prints "total=<s> cpu=<s> exit=<code>" (cpu: the command's own
// process, user and kernel time), and with a log file to follow
// " uninstallers=<s> runs=<n> servicewaits=<s> stops=<n>".

#include "Clutter.h"
#include "Components.h"
#include "HandScript.h"
#include "LabError.h"
#include "LabProfiles.h"
#include "LabText.h"
#include "LowerBound.h"
#include "Runner.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

unsigned Number(const std::wstring& text) { return static_cast<unsigned>(std::stoul(text)); }

int Time(const std::vector<std::wstring>& arguments) {
    if (arguments.size() != 2 && arguments.size() != 3)
        throw Lab::Error(L"time needs a log path (or -), a command line and maybe a timeline file");
    const std::wstring log = arguments[0] == L"-" ? std::wstring() : arguments[0];
    const Bench::RunTimes times = Bench::TimeCommand(arguments[1], log, arguments.size() == 3 ? arguments[2] : L"");
    std::printf("total=%.4f cpu=%.4f exit=%lu", times.total, times.cpu, times.exitCode);
    if (!log.empty())
        std::printf(" uninstallers=%.4f runs=%u servicewaits=%.4f stops=%u", times.uninstallers,
                    times.uninstallerRuns, times.serviceWaits, times.serviceStops);
    std::printf("\n");
    return 0;
}

int Run(const std::wstring& command, const std::vector<std::wstring>& arguments) {
    if (command == L"clutter" && arguments.size() == 2) {
        Bench::PlantClutter(Number(arguments[0]), Number(arguments[1]));
    } else if (command == L"unclutter") {
        Bench::RemoveClutter();
    } else if (command == L"lowerbound") {
        const Bench::ScanCount count = Bench::LowerBoundScan();
        std::printf("keys=%u values=%u matches=%u\n", count.keys, count.values, count.matches);
    } else if (command == L"components" && arguments.size() == 1) {
        Bench::PlantComponents(Number(arguments[0]));
    } else if (command == L"uncomponents") {
        Bench::RemoveComponents();
    } else if (command == L"clean-components" && arguments.size() == 1) {
        const Bench::ComponentTimes times = Bench::TimeComponentCleaning(Number(arguments[0]));
        std::printf("keys=%u values=%u target=%u enumeration=%.4f cleaning=%.4f ratio=%.2f fastestenumeration=%.4f"
                    " fastestcleaning=%.4f fastestratio=%.2f\n",
                    times.keys, times.values, times.targetValues, times.enumeration, times.cleaning,
                    times.cleaning / times.enumeration, times.fastestEnumeration, times.fastestCleaning,
                    times.fastestCleaning / times.fastestEnumeration);
    } else if (command == L"time") {
        return Time(arguments);
    } else if (command == L"plant-suite" && arguments.size() == 1) {
        for (const Lab::Planted& planted : Bench::PlantSuite(arguments[0]))
            std::printf("planted %s\n", Lab::ToUtf8(planted.component).c_str());
    } else if (command == L"profiles" && arguments.size() == 2) {
        Lab::PlantBenchProfiles(Number(arguments[0]), Number(arguments[1]));
    } else if (command == L"unprofiles") {
        Lab::RemoveBenchProfiles();
    } else if (command == L"left" && arguments.size() == 1) {
        std::printf("left=%zu\n", Bench::CountLeft(arguments[0]));
    } else {
        std::fputs("usage: orvbench clutter <first> <last> | unclutter | lowerbound | components <count> |"
                   " uncomponents | clean-components <reps> | time <log|-> <command> | plant-suite <folder> |"
                   " left <folder> | profiles <first> <last> | unprofiles\n",
                   stderr);
        return 2;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Run(L"", {});
    try {
        return Run(argv[1], std::vector<std::wstring>(argv + 2, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvbench: %s\n", e.what());
        return 1;
    }
}
