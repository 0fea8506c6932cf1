// Settings, header lines, the register's clock and the state and counter queries.
#include "api/ApiFrame.h"
#include "core/Platform.h"
#include "core/StringUtils.h"

using namespace Orn::Api;

namespace {

constexpr int32_t kCodeStatus = 0x00;
constexpr int32_t kCodeSetHeader = 0x41;
constexpr int32_t kCodeSetDate = 0x42;
constexpr int32_t kCodeSetHeaderNew = 0x4E;

// Header lines printed after each document (and so at the head of the next one).
constexpr int32_t kFirstHeaderCaption = 70;

// Writes captions 70, 71, ... from the lines, each decoded just before its write. Every
// write runs even after a failed one; the result is that of the last.
int32_t writeHeader(Adapter& a, int32_t code, const char* const* lines, int count, int emptyFirst) {
    a.prepareAnswerFields(code, 5);
    int32_t caption = kFirstHeaderCaption;
    for (int i = 0; i < emptyFirst; ++i) a.setCaption(caption++, std::wstring());
    for (int i = 0; i < count; ++i) a.setCaption(caption++, text(lines[i]));
    return a.apiResultCode();
}

int32_t setDateTime(Adapter& a, const std::wstring& date, const std::wstring& time) {
    a.prepareAnswerFields(kCodeSetDate, 5);
    return a.setDateTime(date, time);
}

int32_t statusQuery(const wchar_t* name) {
    return operation(name, [](Adapter& a) { return a.prepareAnswerFields(kCodeStatus, 5); });
}

} // namespace

extern "C" int32_t NORVEX_API SetHeader(const char* line1, const char* line2, const char* line3,
                                        const char* line4) {
    const char* const lines[] = {line1, line2, line3, line4};
    return operation(L"SetHeader", [&lines](Adapter& a) { return writeHeader(a, kCodeSetHeader, lines, 4, 2); });
}

extern "C" int32_t NORVEX_API SetHeaderNew(const char* line1, const char* line2, const char* line3,
                                           const char* line4, const char* line5, const char* line6) {
    const char* const lines[] = {line1, line2, line3, line4, line5, line6};
    return operation(L"SetHeaderNew",
                     [&lines](Adapter& a) { return writeHeader(a, kCodeSetHeaderNew, lines, 6, 0); });
}

// The register's clock from this computer's local clock; seconds are always 0.
extern "C" int32_t NORVEX_API SetDate(void) {
    return operation(L"SetDate", [](Adapter& a) {
        const Platform::LocalTime now = Platform::localTime();
        namespace Str = Orn::Utils::String;
        return setDateTime(a, Str::format(L"%02d%02d%02d", now.day, now.month, now.year % 100),
                           Str::format(L"%02d%02d", now.hour, now.minute));
    });
}

extern "C" int32_t NORVEX_API SetDateEx(const char* date, const char* time) {
    return operation(L"SetDateEx", [=](Adapter& a) {
        a.prepareAnswerFields(kCodeSetDate, 5);
        const std::wstring d = text(date);
        const std::wstring t = text(time);
        return a.setDateTime(d, t);
    });
}

extern "C" int32_t NORVEX_API GetDate(void) {
    return operation(L"GetDate", [](Adapter& a) { return a.dateTime(); });
}

extern "C" int32_t NORVEX_API GetParamDoc(void) {
    return operation(L"GetParamDoc", [](Adapter& a) { return a.getParamDoc(); });
}

extern "C" int32_t NORVEX_API GetStatus(void) { return statusQuery(L"GetStatus"); }
extern "C" int32_t NORVEX_API GetStatusPlus(void) { return statusQuery(L"GetStatusPlus"); }

// Both read the bytes of the last state query and send nothing to the register.
extern "C" uint8_t NORVEX_API GetStatusNum(int32_t n) {
    return query<uint8_t>(L"GetStatusNum", 0, 0, [n](Adapter& a) {
        return a.statusByte(static_cast<uint32_t>(n));  // 0 outside 1 to 6
    });
}

extern "C" int32_t NORVEX_API CheckStatusNum(int32_t n, int32_t bit) {
    return query<int32_t>(L"CheckStatusNum", 0, 0, [=](Adapter& a) {
        const uint8_t byte = a.statusByte(static_cast<uint32_t>(n));
        // Bits beyond the byte read as 0 (and a shift past the width would be undefined).
        if (bit < 0 || bit > 7) return 0;
        return (byte >> bit) & 1;
    });
}

extern "C" int32_t NORVEX_API GetSerialNum(void) {
    return operation(L"GetSerialNum", [](Adapter& a) { return a.fillSerialNumber(); });
}

extern "C" int32_t NORVEX_API GetFiscalNums(void) {
    return operation(L"GetFiscalNums", [](Adapter& a) { return a.kkmInfo(); });
}

extern "C" int32_t NORVEX_API GetNumbers(void) {
    return operation(L"GetNumbers", [](Adapter& a) { return a.fillNumbers(); });
}

extern "C" int32_t NORVEX_API GetMony(void) {
    return operation(L"GetMony", [](Adapter& a) { return a.reportXToMemory(); });
}

extern "C" int32_t NORVEX_API GetResource(void) {
    return operation(L"GetResource", [](Adapter& a) { return a.resources(); });
}

// Not implemented: the text says so, in the caller's buffer.
extern "C" char* NORVEX_API GetCommand(char* buffer) {
    return query<char*>(L"GetCommand", buffer, buffer, [buffer](Adapter&) { return copyOut(kNotImplemented, buffer); });
}

extern "C" char* NORVEX_API GetAnswer(char* buffer) {
    return query<char*>(L"GetAnswer", buffer, buffer, [buffer](Adapter&) { return copyOut(kNotImplemented, buffer); });
}
