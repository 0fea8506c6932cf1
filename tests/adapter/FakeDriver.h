#pragma once
// A scripted stand-in for the register driver: records every call as text in one shared
// journal (across driver replacement) and fails the calls it is told to fail.
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/Value.h"
#include "fptr/AbstractFptrDriver.h"

namespace adapter_test {

enum class Failure { Register, OutOfMemory, Standard, Unknown };

struct Fault {
    Failure kind = Failure::Register;
    int32_t code = 0;
    int32_t parameterCode = 0;
};

struct Script {
    // What info() reports.
    int model = 52;
    int flags = 0x08;
    int checkState = 0;
    std::wstring serial;
    bool shiftOpened = false;
    int stateResult = 0x0100;
    double value57 = 7;
    // Optional answers for the receipt and document operations (absent: not written).
    std::wstring checkNumber;            // parameter 17 from info()
    int pixelLineLength = -1;            // parameter 39 from info()
    int charLineLength = -1;             // parameter 36 from getRegister()
    std::map<int, double> values;        // value() results besides 57
    std::map<int, std::wstring> registers; // parameter 1 per register (default 12.34)
    int64_t remainder = 0;               // payment() outputs
    int64_t change = 0;
    std::wstring captionText;            // caption() result
    int shiftNumber = 0;          // the last closed shift
    // Control-tape lines handed out by the journal-data report (beginReport 41).
    std::vector<std::wstring> tape;
    // Extra parameters of info and getRegister, after the fixed ones above.
    std::function<void(Orn::ParameterSet&)> onInfo;
    std::function<void(Orn::ParameterSet&, int reg, int first, int second)> onRegister;
    // Texts of printText and printFormattedText, in order.
    std::vector<std::wstring> printed;
    // A call whose text (for example "setValue 235=3") or bare name ("info") is listed fails.
    std::map<std::string, Fault> faults;

    std::vector<std::string> calls;
    std::vector<int> createdModels;
    int port = -1;     // "Port" of the last setSettings
    bool enabled = false;

    std::vector<std::string> callsFrom(const std::string& first) const;
    size_t count(const std::string& call) const;
};

Script& script();
Orn::Fptr::AbstractFptrDriver* fakeRegistry(int modelCode);

} // namespace adapter_test
