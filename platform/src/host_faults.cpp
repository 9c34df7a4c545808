// Fault registry and call log of the test host.
#include <functional>
#include <utility>
#include <vector>

#include "qrx_host.h"

namespace qrxhost {
namespace {

struct Fault {
    std::string call;
    HRESULT code;
    int count; // -1: forever
    int skip;
};

std::vector<Fault>& Faults() {
    static std::vector<Fault> faults;
    return faults;
}

bool g_logOn = false;
std::function<void(const char*)> g_onCall;
bool g_inOnCall = false; // the hook's own platform calls do not re-enter it
std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

} // namespace

void InjectFault(const std::string& call, HRESULT code, int count, int skip) {
    Faults().push_back({call, code, count, skip});
}

void ClearFaults() {
    Faults().clear();
}

bool TakeFault(const char* call, HRESULT* code) {
    if (Faults().empty()) return false;
    for (Fault& f : Faults()) {
        if (f.call != call || f.count == 0) continue;
        if (f.skip > 0) {
            --f.skip;
            continue;
        }
        if (f.count > 0) --f.count;
        if (code) *code = f.code;
        return true;
    }
    return false;
}

bool TakeFault(const char* call, const char* surfaceTag, HRESULT* code) {
    if (Faults().empty()) return false;
    if (surfaceTag && *surfaceTag) {
        std::string tagged = std::string(call) + "@" + surfaceTag;
        if (TakeFault(tagged.c_str(), code)) return true;
    }
    return TakeFault(call, code);
}

void EnableCallLog(bool on) {
    g_logOn = on;
}
const std::vector<std::string>& CallLog() {
    return Log();
}
void LogCall(const char* name) {
    if (g_logOn) Log().push_back(name);
    if (g_onCall && !g_inOnCall) {
        g_inOnCall = true;
        g_onCall(name);
        g_inOnCall = false;
    }
}
void OnCall(std::function<void(const char* name)> hook) {
    g_onCall = std::move(hook);
}

} // namespace qrxhost
