// Reports the register prints itself and follows while they run, the readable reports, the
// fiscal-memory range and the EKLZ service commands.
#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "core/Error.h"
#include "core/Logger.h"
#include "core/Platform.h"
#include "core/StringUtils.h"
#include "fptr/tavro20/Tavro20Report.h"
#include "fptr/tavro20/TavroDrv.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

namespace Str = Orn::Utils::String;

namespace {

enum Param {
    kDocumentNumber = 12,
    kDecimals = 26,
    kShiftNumber = 31,
    kSerialNumber = 45,
    kSecond = 47,
    kMinute = 48,
    kHour = 49,
    kDay = 50,
    kMonth = 51,
    kYear = 52,
    kReportOption = 63,
    kEklzState = 77,
    kEklzCounter = 78,
    kLastYear = 79,
    kLastMonth = 80,
    kLastDay = 81,
    kLastShift = 82,
};

constexpr uint32_t kPollInterval = 500;
constexpr int kZStartTimeout = 40000;
constexpr int kZAfterWait = 30000;
constexpr int kReportInterrupted = -3883;

void logCall(const wchar_t* name) { Logger::instance().logCall(4, name); }

ReportSleep& sleepHook() {
    static ReportSleep hook;
    return hook;
}

void pause(uint32_t ms) {
    if (sleepHook()) sleepHook()(ms);
    else Platform::sleepMs(ms);
}

// Whether the mode byte shows a report of this type still printing.
bool stillRunning(int type, int mode) {
    if (type == 0) return mode == 0x23;
    if (type == 1) return mode == 0x17 || mode == 0x23;
    if (type == 2 || (type >= 7 && type <= 11) || (type >= 22 && type <= 33)) return mode == 0x22;
    if (type >= 3 && type <= 6) return mode == 0x25;
    if (type >= 34 && type <= 36) return mode == 0x23;
    return true;   // no rule: wait for the time limit
}

// Restores the link time-outs however the state poll ends.
struct TimeoutGuard {
    TavroDrv& drv;
    TimeoutGuard(TavroDrv& d, int limit) : drv(d) { drv.setTimeout(1, limit); }
    ~TimeoutGuard() { drv.resetTimeouts(); }
};

// Follows a running report until its mode byte leaves the running state or the limit passes.
// Paper and printer faults end the wait at once; the final mode must be one of `accepted`
// (any mode when the list is empty).
void waitReport(TavroDrv& drv, int type, int limit, const std::vector<int>& accepted, ParameterSet& params) {
    const uint32_t started = Platform::tickCount();
    int lastMode = 0;
    while (static_cast<int64_t>(Platform::tickCount() - started) < limit) {
        pause(kPollInterval);
        int st;
        {
            TimeoutGuard guard(drv, limit);
            st = drv.state(params);
        }
        const int mode = st & 0xFF;
        const int flags = (st >> 8) & 0xFF;
        if ((mode >> 4) == 0) {
            if (flags & 1) raiseError(-3807);
            if (flags & 2) raiseError(-3873);
            if (flags & 4) raiseError(-3909);
        }
        lastMode = mode;
        if (!stillRunning(type, mode)) break;
    }
    if (accepted.empty() || std::find(accepted.begin(), accepted.end(), lastMode) != accepted.end()) return;
    raiseError(kReportInterrupted);
}

ByteBuffer padded(ByteBuffer answer, size_t n) {
    if (answer.size() < n) answer.resize(n);   // missing bytes read as zero
    return answer;
}

} // namespace

ReportSleep setReportSleepForTests(ReportSleep hook) {
    ReportSleep previous = std::move(sleepHook());
    sleepHook() = std::move(hook);
    return previous;
}

int TavroDrv::report(int type, ParameterSet& params) {
    logCall(L"report");
    switch (type) {
    case 0:
        if (modelCode() == 53) {
            command(ByteBuffer{0x54});
            waitReport(*this, 0, 5000, {3}, params);
        } else {
            command(ByteBuffer{0xB7, 0x01, 0x01});
            waitReport(*this, 0, 600000, {3}, params);
        }
        return 0;
    case 1: {
        command(ByteBuffer{0x5A}, kZStartTimeout);
        bool interrupted = false;
        try {
            waitReport(*this, 0, 120000, {3, 23}, params);
        } catch (const Exception& e) {
            if (e.code() != kReportInterrupted) throw;
            interrupted = true;
        }
        // The register may still be finishing its control tape after the report itself.
        try {
            waitReport(*this, 1, kZAfterWait, {}, params);
        } catch (const Exception&) {
        }
        if (interrupted) {
            // A report that ended oddly still counts when it closed the shift. A status answer
            // too short to show the shift flag proves nothing.
            ByteBuffer status = command(ByteBuffer{0x3F});
            if (status.size() < 10 || (status[9] & 2)) raiseError(kReportInterrupted);
        }
        return 0;
    }
    case 2:
        command(ByteBuffer{0x67, 0x01});
        waitReport(*this, 2, 60000, {2}, params);
        return 0;
    case 7:
        command(ByteBuffer{0x67, 0x02});
        waitReport(*this, 7, 5000, {2}, params);
        return 0;
    case 34: {
        ByteBuffer cmd{0xB6};
        cmd.append(Str::toBcdBytes(params[kDocumentNumber].toInt64(), 3));
        command(cmd);
        waitReport(*this, 34, 30000, {3}, params);
        return 0;
    }
    case 35:
    case 36:
        command(ByteBuffer{0xB7, static_cast<uint8_t>(type == 35 ? 1 : 2),
                           static_cast<uint8_t>(params[kReportOption].toInt() != 0 ? 1 : 0)});
        waitReport(*this, type, 120000, {3}, params);
        return 0;
    default:
        raiseError(-6, -20);
        return 0;
    }
}

Orn::Fptr::Reports::AbstractReport* TavroDrv::beginReport(int type, ParameterSet& params, bool query) {
    logCall(L"beginReport");
    if (type != 19 && type != 20 && type != 41) raiseError(-6, -20);
    if (query) return nullptr;
    std::unique_ptr<Orn::Fptr::Reports::AbstractReport> rep;
    if (type == 41) rep = std::make_unique<Reports::JournalDataReport>(*this);
    else rep = std::make_unique<Reports::RomReport>(*this);
    rep->start(params);   // a failure discards what was read so far
    return rep.release();
}

int TavroDrv::fiscalRange(ParameterSet& params) {
    logCall(L"fiscalRange");
    ByteBuffer a = padded(command(ByteBuffer{0x63}), 12);
    params[kDay].setInt(a[2]);
    params[kMonth].setInt(a[3]);
    params[kYear].setInt(yearFromTwoDigits(a[4]));
    params[kLastDay].setInt(a[5]);
    params[kLastMonth].setInt(a[6]);
    params[kLastYear].setInt(yearFromTwoDigits(a[7]));
    params[kShiftNumber].setInt(static_cast<int32_t>(Str::fromBcdBytes(a.data() + 8, 2)));
    params[kLastShift].setInt(static_cast<int32_t>(Str::fromBcdBytes(a.data() + 10, 2)));
    return 0;
}

int TavroDrv::eklzStatus(int& out, ParameterSet& params) {
    logCall(L"eklzStatus");
    ByteBuffer a = padded(command(ByteBuffer{0xAE}), 25);
    const int64_t amount = Str::toMinorUnits(Str::bcdBytesToDouble(a.data() + 2, 5), params[kDecimals].toInt());
    // The result slot is 32 bits wide; saturate rather than wrap a larger total.
    out = static_cast<int>(std::max<int64_t>(std::numeric_limits<int>::min(),
                                             std::min<int64_t>(std::numeric_limits<int>::max(), amount)));
    params[kYear].setInt(yearFromTwoDigits(a[7]));
    params[kMonth].setInt(a[8]);
    params[kDay].setInt(a[9]);
    params[kHour].setInt(a[10]);
    params[kMinute].setInt(a[11]);
    params[kSecond].setInt(0);
    params[kEklzCounter].setInt64(Str::fromBcdBytes(a.data() + 12, 5));
    params[kSerialNumber].setText(Str::toHex(a.data() + 17, 5));
    params[kEklzState].setInt(a[22]);
    params[kShiftNumber].setInt(static_cast<int32_t>(Str::fromBcdBytes(a.data() + 23, 2)));
    return 0;
}

int TavroDrv::eklzActivate(ParameterSet& /*params*/) {
    logCall(L"eklzActivate");
    return singleByteCommand(0xA6);
}

int TavroDrv::eklzCloseArchive(ParameterSet& /*params*/) {
    logCall(L"eklzCloseArchive");
    return singleByteCommand(0xA7);
}

}}} // namespace Orn::Fptr::Tavro20
