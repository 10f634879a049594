#include "platform/FaultInjection.h"

#include <map>
#include <mutex>
#include <string>

namespace WindowsPlatform {
namespace {

struct Fault {
    DWORD code;
    int skip;
    int times;
};

std::mutex faultsMutex;
std::map<std::string, Fault>& Faults() {
    static std::map<std::string, Fault> faults;
    return faults;
}

}  // namespace

DWORD InjectedFault(const char* callName) {
    std::lock_guard<std::mutex> lock(faultsMutex);
    auto& faults = Faults();
    if (faults.empty()) return 0;
    const auto it = faults.find(callName);
    if (it == faults.end()) return 0;
    Fault& fault = it->second;
    if (fault.skip > 0) {
        --fault.skip;
        return 0;
    }
    if (fault.times == 0) return 0;
    if (fault.times > 0) --fault.times;
    return fault.code;
}

void InjectFault(const char* callName, DWORD code, int skip, int times) {
    std::lock_guard<std::mutex> lock(faultsMutex);
    Faults()[callName] = Fault{code, skip, times};
}

void ClearFault(const char* callName) {
    std::lock_guard<std::mutex> lock(faultsMutex);
    Faults().erase(callName);
}

void ClearAllFaults() {
    std::lock_guard<std::mutex> lock(faultsMutex);
    Faults().clear();
}

}  // namespace WindowsPlatform
