#pragma once
// The register's readable reports: the fiscal-memory dump and the control-tape (journal) lines.
#include <cstdint>
#include <functional>
#include <vector>

#include "core/ByteBuffer.h"
#include "fptr/Reports.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

class TavroDrv;

namespace Reports {

// Keeps Reports::AbstractReport meaning the base class inside this namespace too.
using Orn::Fptr::Reports::AbstractReport;
using Orn::Fptr::Reports::AbstractReportItem;
using Orn::Fptr::Reports::TextReportItem;

// A report read through the driver that created it (not owned).
class Tavro20Report : public AbstractReport {
public:
    explicit Tavro20Report(TavroDrv& driver) : driver_(driver) {}

protected:
    TavroDrv& driver() { return driver_; }

private:
    TavroDrv& driver_;
};

// One block of fiscal memory; shown as hexadecimal pairs, each followed by a space.
class RomReportItem : public AbstractReportItem {
public:
    RomReportItem(const uint8_t* bytes, size_t n) : bytes_(bytes, bytes + n) {}
    int fill(ParameterSet& params) override;
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// The fiscal-memory dump: everything (parameter 83 = -1) or one block selected by parameter 83.
class RomReport : public Tavro20Report {
public:
    static constexpr int kBlockSelector = 83;
    using Tavro20Report::Tavro20Report;
    int start(ParameterSet& params) override;
};

// The control-tape lines, read one by one until the register has no more.
class JournalDataReport : public Tavro20Report {
public:
    static constexpr int kType = 41;
    explicit JournalDataReport(TavroDrv& driver) : Tavro20Report(driver) { setType(kType); }
    int start(ParameterSet& params) override;
    // The register's tape swaps the two signs: "$" reads as "№" and "№" as "$".
    static std::wstring exchangeSigns(std::wstring text);
};

} // namespace Reports

// The pause between two state polls of a running report. Tests may replace it (returns the
// previous hook; an empty hook restores the real sleep).
using ReportSleep = std::function<void(uint32_t ms)>;
ReportSleep setReportSleepForTests(ReportSleep hook);

}}} // namespace Orn::Fptr::Tavro20
