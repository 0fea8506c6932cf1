// Registers, reports, the control tape, fiscal memory and the EKLZ.
#include "emulator/Register.h"

#include <algorithm>
#include <cstdio>

#include "core/StringUtils.h"

namespace NorvexEmu {

namespace {

std::tm localOf(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

void appendDate(Bytes& a, const std::tm& t) {
    a.push_back(bcdByte(t.tm_mday));
    a.push_back(bcdByte(t.tm_mon + 1));
    a.push_back(bcdByte(t.tm_year % 100));
}

void appendTime(Bytes& a, const std::tm& t) {
    a.push_back(bcdByte(t.tm_hour));
    a.push_back(bcdByte(t.tm_min));
    a.push_back(bcdByte(t.tm_sec));
}

int64_t digits(const std::string& s) {
    int64_t v = 0;
    for (char ch : s)
        if (ch >= '0' && ch <= '9') v = v * 10 + (ch - '0');
    return v;
}

constexpr size_t kDumpChunk = 24;
constexpr int kFiscalCapacity = 2000;

} // namespace

Bytes Register::cmdRegister(const Bytes& c) {
    if (c.size() < 4) return error(Err::BadLength);
    const int r = c[1], a = c[2], b = c[3];
    const bool op = a >= 1 && a <= 6;
    Bytes d;
    std::tm t = localOf(now());
    switch (r) {
    case 1: appendBcd(d, op ? totals_.registrations[a] : 0, 6); break;
    case 2: appendBcd(d, op ? totals_.discounts[a] : 0, 6); break;
    case 3: appendBcd(d, op && b >= 1 && b <= 4 ? totals_.payments[a][b] : 0, 6); break;
    case 4: appendBcd(d, totals_.cashIn, 6); break;
    case 5: appendBcd(d, totals_.cashOut, 6); break;
    case 6: appendBcd(d, op ? totals_.receipts[a] : 0, 2); break;
    case 7: appendBcd(d, totals_.annulled, 2); break;
    case 8: appendBcd(d, totals_.cashInCount, 2); break;
    case 9: appendBcd(d, totals_.cashOutCount, 2); break;
    case 10: appendBcd(d, cash_, 7); break;
    case 11: {
        int64_t rev = totals_.registrations[1] - totals_.registrations[2] - totals_.registrations[4] +
                      totals_.registrations[5];
        d.push_back(rev < 0 ? 1 : 0);
        appendBcd(d, rev < 0 ? -rev : rev, 6);
        break;
    }
    case 12: appendBcd(d, grandTotal_, 7); break;
    case 13: appendBcd(d, totals_.registrations[1], 7); break;
    case 14: appendBcd(d, totals_.registrations[2], 7); break;
    case 15: d.push_back(bcdByte(fiscalized_ ? 15 : 16)); break;     // re-registrations left
    case 16: appendBcd(d, kFiscalCapacity - static_cast<int>(fiscal_.size()), 2); break;
    case 17: appendDate(d, t); appendTime(d, t); break;
    case 18: {
        d.push_back(shiftOpen_ ? 1 : 0);
        std::tm o = localOf(shiftOpen_ ? shiftOpenedAt_ : now());
        if (shiftOpen_) { appendDate(d, o); appendTime(d, o); }
        else d.insert(d.end(), 6, 0);
        break;
    }
    case 19:
        d.push_back(static_cast<uint8_t>(modeByte()));
        d.push_back(static_cast<uint8_t>(chequeType_));
        appendBcd(d, chequeNumber_, 2);
        appendBcd(d, documentNumber_, 4);
        break;
    case 20: {
        int64_t total = chequeTotal(), paid = 0;
        for (int i = 1; i <= 4; ++i) paid += cheque_.paid[i];
        appendBcd(d, total, 5);
        appendBcd(d, total > paid ? total - paid : 0, 5);
        appendBcd(d, paid > total ? paid - total : 0, 5);
        break;
    }
    case 21: appendBcd(d, shiftNumber_, 2); break;
    case 22: appendBcd(d, digits(serial_), 4); break;
    case 23: d = Bytes{static_cast<uint8_t>(model_), 3, 1}; break;
    case 24: {
        int chars = lineWidth();
        int dots = chars * 12;
        d.push_back(bcdByte(chars));
        appendBcd(d, dots, 2);
        d.push_back(bcdByte(chars + chars / 4));   // characters in the small font
        appendBcd(d, dots, 2);
        d.push_back(bcdByte(chars));               // journal characters
        appendBcd(d, dots, 2);
        break;
    }
    case 25: appendBcd(d, totals_.receipts[1] + totals_.receipts[2] + totals_.receipts[4] + totals_.receipts[5], 2); break;
    case 26: d.push_back(0); d.push_back(bcdByte(19)); break;   // EKLZ activations left
    case 27:
        appendBcd(d, inn_, 6);
        appendBcd(d, machineNumber_, 5);
        appendBcd(d, fiscalShift_, 2);
        d.push_back(bcdByte(fiscalDay_)); d.push_back(bcdByte(fiscalMonth_)); d.push_back(bcdByte(fiscalYear_));
        break;
    case 28:
        appendBcd(d, eklzNumber_, 5);
        d.push_back(bcdByte(fiscalDay_)); d.push_back(bcdByte(fiscalMonth_)); d.push_back(bcdByte(fiscalYear_));
        appendBcd(d, fiscalShift_, 2);
        break;
    case 29: d.assign(8, 0); break;
    case 30: appendBcd(d, totals_.registrations[4], 7); break;
    default: return error(Err::BadRegister);
    }
    return ok(d);
}

// ---- reports --------------------------------------------------------------------------------

Bytes Register::cmdReport(uint8_t code, const Bytes& c) {
    const bool x = code == 0x67;
    if (x && c.size() < 2) return error(Err::BadLength);
    if (mode_ != (x ? 2 : 3)) return error(Err::Mode);
    if (chequeType_ != 0) return error(Err::ChequeOpen);
    if (paperOut_) return error(Err::NoPaper);
    reportInterrupted_ = false;
    if (x) {
        running_ = Running::X;
        runningPolls_ = reportPolls_;
    } else if (code == 0x5A) {
        running_ = Running::Z;
        runningPolls_ = reportPolls_ + 1;   // the last poll shows the closing phase 0x17
    } else {
        running_ = Running::Other;
        runningPolls_ = reportPolls_;
    }
    return ok();
}

void Register::printTotals(const wchar_t* title) {
    print(title, false);
    wchar_t buf[64];
    std::swprintf(buf, 64, L"СМЕНА %04d", shiftNumber_ + 1);
    print(buf, false);
    static const wchar_t* const names[7] = {L"", L"ПРОДАЖИ", L"ВОЗВРАТЫ ПРОДАЖ", L"АННУЛИРОВАНИЯ ПРОДАЖ",
                                            L"ПОКУПКИ", L"ВОЗВРАТЫ ПОКУПОК", L"АННУЛИРОВАНИЯ ПОКУПОК"};
    for (int op = 1; op <= 6; ++op) {
        if (totals_.receipts[op] == 0 && totals_.registrations[op] == 0) continue;
        print(amountLine(names[op], totals_.registrations[op]), false);
        if (totals_.discounts[op] != 0) print(amountLine(L"  СКИДКИ/НАДБАВКИ", totals_.discounts[op]), false);
    }
    print(amountLine(L"ВНЕСЕНИЯ", totals_.cashIn), false);
    print(amountLine(L"ВЫПЛАТЫ", totals_.cashOut), false);
    print(amountLine(L"НАЛИЧНОСТЬ В КАССЕ", cash_), false);
    print(amountLine(L"НЕОБНУЛЯЕМАЯ СУММА", grandTotal_), false);
    print(numberLine(), false);
}

void Register::closeShift() {
    std::tm t = localOf(now());
    FiscalRecord rec;
    rec.shift = shiftNumber_ + 1;
    rec.day = t.tm_mday;
    rec.month = t.tm_mon + 1;
    rec.year = t.tm_year % 100;
    rec.sales = totals_.registrations[1];
    rec.returns = totals_.registrations[2];
    rec.purchases = totals_.registrations[4];
    rec.purchaseReturns = totals_.registrations[5];
    fiscal_.push_back(rec);
    shiftNumber_ = shiftNumber_ >= 9999 ? 1 : shiftNumber_ + 1;
    shiftOpen_ = false;
    totals_ = ShiftTotals();
    journal_.clear();
    journalCursor_ = 0;
    if (fromBcd(Bytes{static_cast<uint8_t>(fieldByte(2, 1, 28))}, 0, 1) != 0) chequeNumber_ = 1;
}

void Register::finishReport() {
    Running r = running_;
    running_ = Running::None;
    runningPolls_ = 0;
    if (r == Running::X) {
        printTotals(L"X-ОТЧЕТ");
        documentNumber_++;
    } else if (r == Running::Z) {
        printTotals(L"Z-ОТЧЕТ");
        documentNumber_++;
        closeShift();
    } else {
        print(L"ОТЧЕТ ФП", false);
        wchar_t buf[64];
        for (const auto& rec : fiscal_) {
            std::swprintf(buf, 64, L"%04d %02d.%02d.%02d", rec.shift, rec.day, rec.month, rec.year);
            print(amountLine(buf, rec.sales), false);
        }
        print(numberLine(), false);
        documentNumber_++;
    }
}

// ---- control tape ---------------------------------------------------------------------------

Bytes Register::cmdControlTape(const Bytes& c) {
    if (c.size() < 2) return error(Err::BadLength);
    if (c[1] == 1) journalCursor_ = 0;
    if (journalCursor_ >= journal_.size()) return error(Err::ControlTapeEnd);
    std::wstring line = journal_[journalCursor_++];
    // The tape memory keeps '$' and the numero sign in each other's places.
    for (auto& ch : line) {
        if (ch == L'$') ch = L'\u2116';
        else if (ch == L'\u2116') ch = L'$';
    }
    std::string bytes = Orn::Utils::String::toCp1251(line);
    return ok(Bytes(bytes.begin(), bytes.end()));
}

// ---- fiscal memory and EKLZ -----------------------------------------------------------------

Bytes Register::cmdFiscalRange() {
    if (fiscal_.empty()) return error(Err::NoReports);
    const FiscalRecord& f = fiscal_.front();
    const FiscalRecord& l = fiscal_.back();
    Bytes d{static_cast<uint8_t>(f.day), static_cast<uint8_t>(f.month), static_cast<uint8_t>(f.year),
            static_cast<uint8_t>(l.day), static_cast<uint8_t>(l.month), static_cast<uint8_t>(l.year)};
    appendBcd(d, f.shift, 2);
    appendBcd(d, l.shift, 2);
    return ok(d);
}

Bytes Register::cmdFiscalDump(uint8_t code, const Bytes& c) {
    auto record = [](const FiscalRecord& r) {
        Bytes b;
        appendBcd(b, r.shift, 2);
        b.push_back(bcdByte(r.day)); b.push_back(bcdByte(r.month)); b.push_back(bcdByte(r.year));
        appendBcd(b, r.sales, 5);
        appendBcd(b, r.returns, 5);
        b.push_back(0);
        return b;
    };
    // Every chunk the host reads carries a trailing check byte, which the totals count.
    auto total = [](size_t n) { return n + (n + kDumpChunk - 1) / kDumpChunk; };
    if (code == 0x83) {
        dump_.clear();
        for (const auto& r : fiscal_) { Bytes b = record(r); dump_.insert(dump_.end(), b.begin(), b.end()); }
        dumpCursor_ = 0;
        size_t n = total(dump_.size());
        return ok(Bytes{static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n & 0xFF)});
    }
    if (code == 0x9C) {
        if (c.size() < 2) return error(Err::BadLength);
        dump_.clear();
        dumpCursor_ = 0;
        if (c[1] >= 1 && c[1] <= fiscal_.size()) dump_ = record(fiscal_[c[1] - 1]);
        else if (c[1] != 0) return error(Err::NoReports);
        size_t n = total(dump_.size());
        return ok(Bytes{static_cast<uint8_t>(n >> 16), static_cast<uint8_t>((n >> 8) & 0xFF),
                        static_cast<uint8_t>(n & 0xFF)});
    }
    if (dumpCursor_ >= dump_.size()) return error(Err::ControlTapeEnd);
    size_t n = std::min(kDumpChunk, dump_.size() - dumpCursor_);
    Bytes d(dump_.begin() + static_cast<std::ptrdiff_t>(dumpCursor_),
            dump_.begin() + static_cast<std::ptrdiff_t>(dumpCursor_ + n));
    uint8_t x = 0;
    for (uint8_t b : d) x ^= b;
    d.push_back(x);
    dumpCursor_ += n;
    return ok(d);
}

Bytes Register::cmdEklzStatus() {
    std::tm t = localOf(now());
    Bytes d = bcd(totals_.registrations[1], 5);
    d.push_back(static_cast<uint8_t>(t.tm_year % 100));
    d.push_back(static_cast<uint8_t>(t.tm_mon + 1));
    d.push_back(static_cast<uint8_t>(t.tm_mday));
    d.push_back(static_cast<uint8_t>(t.tm_hour));
    d.push_back(static_cast<uint8_t>(t.tm_min));
    appendBcd(d, documentNumber_ - 1, 5);        // number of the last document (KPK)
    appendBcd(d, eklzNumber_, 5);
    d.push_back(static_cast<uint8_t>(shiftOpen_ ? 0x02 : 0x00));
    appendBcd(d, shiftOpen_ ? shiftNumber_ + 1 : shiftNumber_, 2);
    return ok(d);
}

} // namespace NorvexEmu
