// Receipts, cash moves, shifts and everything printed on the paper.
#include "emulator/Register.h"

#include <cstdio>

namespace NorvexEmu {

namespace {

const wchar_t* const kTitles[7] = {
    L"", L"ЧЕК ПРОДАЖИ", L"ЧЕК ВОЗВРАТА ПРОДАЖИ", L"АННУЛИРОВАНИЕ ПРОДАЖИ",
    L"ЧЕК ПОКУПКИ", L"ЧЕК ВОЗВРАТА ПОКУПКИ", L"АННУЛИРОВАНИЕ ПОКУПКИ",
};
const wchar_t* const kPayNames[5] = {L"", L"НАЛИЧНЫМИ", L"КРЕДИТОМ", L"ТАРОЙ", L"ПЛАТ. КАРТОЙ"};

constexpr int64_t kMaxAmount = 9999999999LL;   // ten digits: the widest amount a command carries
constexpr size_t kPictureMemory = 16384;

std::wstring quantityText(int64_t thousandths) {
    wchar_t buf[32];
    std::swprintf(buf, 32, L"%lld.%03lld", static_cast<long long>(thousandths / 1000),
                  static_cast<long long>(thousandths % 1000));
    return buf;
}

std::wstring moneyText(int64_t v) {
    wchar_t buf[40];
    std::swprintf(buf, 40, L"%lld.%02lld", static_cast<long long>(v / 100), static_cast<long long>(v % 100));
    return buf;
}

} // namespace

void Register::openShift() {
    shiftOpen_ = true;
    shiftOpenedAt_ = now();
    wchar_t buf[40];
    std::swprintf(buf, 40, L"СМЕНА %04d ОТКРЫТА", shiftNumber_ + 1);
    journalLine(buf);
    paper_.push_back(buf);
}

Bytes Register::cmdOpenCheque(const Bytes& c) {
    if (c.size() < 3) return error(Err::BadLength);
    if (mode_ != 1) return error(Err::Mode);
    if (chequeType_ != 0) return error(Err::ChequeOpen);
    int type = c[2];
    if (type < 1 || type > 6) return error(Err::BadChequeType);
    if (paperOut_) return error(Err::NoPaper);
    if (chequeTimedOut()) return error(Err::Shift24);
    if (c[1] & 1) return ok();
    if (!shiftOpen_) openShift();
    chequeType_ = type;
    cheque_ = Cheque();
    lastDocument_.clear();
    collecting_ = true;
    print(kTitles[type], true);
    return ok();
}

Bytes Register::cmdRegistration(const Bytes& c) {
    const uint8_t code = c[0];
    if (mode_ != 1) return error(Err::Mode);
    if (chequeType_ == 0) return error(Err::ChequeClosed);
    bool fits = code == 0x4E || (code == 0x52 && (chequeType_ == 1 || chequeType_ == 4)) ||
                (code == 0x57 && (chequeType_ == 2 || chequeType_ == 5)) ||
                (code == 0x41 && (chequeType_ == 3 || chequeType_ == 6));
    if (!fits) return error(Err::BadChequeType);
    if (c.size() < 12) return error(Err::BadLength);
    if (!isBcd(c, 2, 5)) return error(Err::BadPrice);
    if (!isBcd(c, 7, 5)) return error(Err::BadQuantity);
    int64_t price = fromBcd(c, 2, 5), qty = fromBcd(c, 7, 5);
    if (qty == 0) return error(Err::BadQuantity);
    int section = 0;
    if (c.size() > 12 && (code == 0x52 || code == 0x4E)) {
        if (!isBcd(c, 12, 1)) return error(Err::BadSection);
        section = static_cast<int>(fromBcd(c, 12, 1));
        if (section > 16) return error(Err::BadSection);
    }
    // price * qty / 1000 without overflow: both are at most ten digits.
    long double exact = static_cast<long double>(price) * static_cast<long double>(qty) / 1000.0L;
    if (exact > static_cast<long double>(kMaxAmount)) return error(127);
    int64_t amount = static_cast<int64_t>(exact + 0.5L);
    if (cheque_.registrations + amount > kMaxAmount) return error(Err::TotalOverflow);
    bool paid = false;
    for (int i = 1; i <= 4; ++i) paid = paid || cheque_.paid[i] != 0;
    if (paid) return error(Err::Busy);
    if (paperOut_) return error(Err::NoPaper);
    if (c[1] & 1) return ok();   // checked, not performed

    cheque_.registrations += amount;
    cheque_.lines++;
    cheque_.discountLast = false;
    if (qty != 1000) print(L"  " + quantityText(qty) + L" X " + moneyText(price), true);
    wchar_t label[24];
    std::swprintf(label, 24, L"%02d", section);
    print(amountLine(section > 0 ? label : L"", amount), true);
    return ok();
}

Bytes Register::cmdDiscount(const Bytes& c) {
    if (mode_ != 1) return error(Err::Mode);
    if (chequeType_ == 0) return error(Err::ChequeClosed);
    if (c.size() < 5) return error(Err::BadLength);
    bool amountKind = c[3] == 1;
    size_t need = amountKind ? 10 : 8;
    if (c.size() < need) return error(Err::BadLength);
    int n = amountKind ? 5 : 3;
    if (!isBcd(c, 5, n)) return error(Err::BadDiscount);
    int64_t value = fromBcd(c, 5, n);
    int64_t base = chequeTotal();
    int64_t amount = amountKind ? value : (base * value + 5000) / 10000;
    bool surcharge = c[4] != 0;
    if (!amountKind && value > 9999) return error(Err::BadDiscount);
    if (!surcharge && amount > base) return error(Err::BadDiscount);
    if (surcharge && base + amount > kMaxAmount) return error(Err::TotalOverflow);
    for (int i = 1; i <= 4; ++i)
        if (cheque_.paid[i] != 0) return error(Err::Busy);
    if (paperOut_) return error(Err::NoPaper);
    if (c[1] & 1) return ok();
    int64_t signedAmount = surcharge ? -amount : amount;
    cheque_.discounts += signedAmount;
    cheque_.lastDiscount = signedAmount;
    cheque_.discountLast = true;
    print(amountLine(surcharge ? L"НАДБАВКА" : L"СКИДКА", amount), true);
    return ok();
}

Bytes Register::cmdResetDiscount() {
    if (mode_ != 1) return error(Err::Mode);
    if (chequeType_ == 0) return error(Err::ChequeClosed);
    if (!cheque_.discountLast) return error(178);
    cheque_.discounts -= cheque_.lastDiscount;
    cheque_.discountLast = false;
    print(L"ОТМЕНА СКИДКИ/НАДБАВКИ", true);
    return ok();
}

Bytes Register::cmdPayment(const Bytes& c) {
    if (mode_ != 1) return error(Err::Mode);
    if (chequeType_ == 0) return error(Err::ChequeClosed);
    if (c.size() < 8) return error(Err::BadLength);
    if (!isBcd(c, 2, 1)) return error(Err::BadPayType);
    int type = static_cast<int>(fromBcd(c, 2, 1));
    if (type < 1 || type > 4) return error(Err::BadPayType);
    if (!isBcd(c, 3, 5)) return error(Err::BadPrice);
    int64_t sum = fromBcd(c, 3, 5);
    int64_t total = chequeTotal();
    int64_t paid = 0;
    for (int i = 1; i <= 4; ++i) paid += cheque_.paid[i];
    int64_t remainder = total > paid ? total - paid : 0;
    if (type != 1 && sum > remainder) return error(Err::NonCashAbove);
    if (paid + sum > kMaxAmount) return error(117);
    if (paperOut_) return error(Err::NoPaper);
    if (!(c[1] & 1)) {
        if (!cheque_.totalPrinted) print(amountLine(L"ИТОГ", total), true);
        cheque_.totalPrinted = true;
        cheque_.paid[type] += sum;
        paid += sum;
        print(amountLine(kPayNames[type], sum), true);
    } else {
        paid += sum;
    }
    int64_t left = total > paid ? total - paid : 0;
    int64_t change = paid > total ? paid - total : 0;
    Bytes data = bcd(left, 5);
    appendBcd(data, change, 5);
    return ok(data);
}

Bytes Register::cmdClose(const Bytes& c) {
    if (mode_ != 1) return error(Err::Mode);
    if (chequeType_ == 0) return error(Err::ChequeClosed);
    if (c.size() < 3) return error(Err::BadLength);
    if (!isBcd(c, 2, 1)) return error(Err::BadPayType);
    int type = static_cast<int>(fromBcd(c, 2, 1));
    if (type < 1 || type > 4) return error(Err::BadPayType);
    int64_t sum = fromBcd(c, 3, 5);
    int64_t total = chequeTotal();
    int64_t paid[5];
    for (int i = 0; i < 5; ++i) paid[i] = cheque_.paid[i];
    int64_t paidSum = paid[1] + paid[2] + paid[3] + paid[4];
    int64_t remainder = total > paidSum ? total - paidSum : 0;
    // A zero amount settles whatever is still due with the given payment type.
    int64_t add = sum == 0 ? remainder : sum;
    if (type != 1 && add > remainder) return error(Err::NonCashAbove);
    paid[type] += add;
    paidSum += add;
    if (paidSum < total) return error(Err::NotPaid);
    int64_t change = paidSum - total;
    int64_t cashNet = paid[1] - change;
    if (!cashIncreases(chequeType_) && cashNet > cash_) return error(Err::NoCash);
    if (paperOut_) return error(Err::NoPaper);
    if (c[1] & 1) return ok();

    if (!cheque_.totalPrinted) print(amountLine(L"ИТОГ", total), true);
    if (add > 0) print(amountLine(kPayNames[type], add), true);
    if (change > 0) print(amountLine(L"СДАЧА", change), true);
    print(numberLine(), true);

    int t = chequeType_;
    totals_.registrations[t] += cheque_.registrations;
    totals_.discounts[t] += cheque_.discounts;
    for (int i = 1; i <= 4; ++i) totals_.payments[t][i] += paid[i] - (i == 1 ? change : 0);
    totals_.receipts[t]++;
    cash_ += cashIncreases(t) ? cashNet : -cashNet;
    if (t == 1) grandTotal_ += total;
    chequeNumber_ = chequeNumber_ >= 9999 ? 1 : chequeNumber_ + 1;
    documentNumber_++;
    chequeType_ = 0;
    cheque_ = Cheque();
    collecting_ = false;
    return ok();
}

Bytes Register::cmdCancel() {
    if (chequeType_ == 0) return error(Err::ChequeClosed);
    if (paperOut_) return error(Err::NoPaper);
    print(L"ЧЕК АННУЛИРОВАН", true);
    totals_.annulled++;
    chequeType_ = 0;
    cheque_ = Cheque();
    collecting_ = false;
    return ok();
}

Bytes Register::cmdCash(const Bytes& c, bool in) {
    if (mode_ != 1) return error(Err::Mode);
    if (chequeType_ != 0) return error(Err::ChequeOpen);
    if (c.size() < 7) return error(Err::BadLength);
    if (!isBcd(c, 2, 5)) return error(Err::BadPrice);
    int64_t sum = fromBcd(c, 2, 5);
    if (!in && sum > cash_) return error(Err::NoCash);
    if (in && cash_ + sum > 99999999999999LL) return error(Err::CashOverflow);
    if (paperOut_) return error(Err::NoPaper);
    if (chequeTimedOut()) return error(Err::Shift24);
    if (c[1] & 1) return ok();
    if (!shiftOpen_) openShift();
    lastDocument_.clear();
    collecting_ = true;
    print(in ? L"ВНЕСЕНИЕ" : L"ВЫПЛАТА", true);
    print(amountLine(L"", sum), true);
    print(numberLine(), true);
    collecting_ = false;
    if (in) { cash_ += sum; totals_.cashIn += sum; totals_.cashInCount++; }
    else { cash_ -= sum; totals_.cashOut += sum; totals_.cashOutCount++; }
    documentNumber_++;
    return ok();
}

Bytes Register::cmdSumm() {
    Bytes a{0x4D};
    appendBcd(a, cash_, 7);
    return a;
}

Bytes Register::cmdOpenSession(const Bytes& c) {
    if (mode_ != 1) return error(Err::Mode);
    if (chequeType_ != 0) return error(Err::ChequeOpen);
    if (shiftOpen_) return error(Err::ShiftOpen);
    if (paperOut_) return error(Err::NoPaper);
    if (c.size() >= 2 && (c[1] & 1)) return ok();
    openShift();
    std::wstring text = printedText(c, 2, 126);
    if (!text.empty()) print(text, false);
    return ok();
}

// ---- printing commands ----------------------------------------------------------------------

Bytes Register::cmdPrintText(const Bytes& c) {
    if (paperOut_) return error(Err::NoPaper);
    print(printedText(c, 1, 127), inDocument());
    return ok();
}

Bytes Register::cmdFormatted(const Bytes& c) {
    if (c.size() < 12) return error(Err::BadLength);
    int station = c[2];
    if (station < 1 || station > 3) return error(109);
    if (paperOut_) return error(Err::NoPaper);
    std::wstring text = printedText(c, 12);
    if (station & 1) print(text, inDocument());
    else if (inDocument()) journalLine(text);
    return ok();
}

Bytes Register::cmdRaw(const Bytes& c) {
    if (c.size() < 2) return error(Err::BadLength);
    if (paperOut_) return error(Err::NoPaper);
    if (c.size() > 2) print(printedText(c, 2), false);
    return ok();
}

Bytes Register::cmdHeader() {
    if (paperOut_) return error(Err::NoPaper);
    int n = static_cast<int>(fromBcd(Bytes{static_cast<uint8_t>(fieldByte(2, 1, 36))}, 0, 1));
    for (int r = 1; r <= n && r <= 20; ++r) print(fieldText(6, r, 1), false);
    return ok();
}

Bytes Register::cmdFooter() {
    if (paperOut_) return error(Err::NoPaper);
    for (int r = 7; r <= 20; ++r) {
        std::wstring s = fieldText(6, r, 1);
        if (!s.empty()) print(s, false);
    }
    return ok();
}

Bytes Register::cmdCut(const Bytes& c) {
    if (paperOut_) return error(Err::NoPaper);
    bool partial = c.size() > 1 && c[1] != 0;
    std::wstring line = partial ? L"✂ - - - - - - - - -" : L"✂ ───────────────────";
    paper_.push_back(line);
    return ok();
}

Bytes Register::cmdLastCopy() {
    if (chequeType_ != 0) return error(Err::ChequeOpen);
    if (lastDocument_.empty()) return error(Err::NoReports);
    if (paperOut_) return error(Err::NoPaper);
    paper_.push_back(L"КОПИЯ");
    for (const auto& l : lastDocument_) paper_.push_back(l);
    return ok();
}

// ---- pictures -------------------------------------------------------------------------------

void Register::printPicture(const std::vector<Bytes>& rows, int offset) {
    // Two dots per character, identical consecutive dot rows collapsed, so pictures stay readable.
    std::wstring previous;
    bool first = true;
    for (const Bytes& row : rows) {
        std::wstring line(static_cast<size_t>(offset / 2), L' ');
        for (size_t x = 0; x + 1 < row.size() * 8; x += 2) {
            auto dot = [&](size_t px) { return (row[px / 8] >> (7 - px % 8)) & 1; };
            line += (dot(x) || dot(x + 1)) ? L'█' : L' ';
        }
        while (!line.empty() && line.back() == L' ') line.pop_back();
        if (first || line != previous) paper_.push_back(line);
        previous = line;
        first = false;
    }
}

Bytes Register::cmdPicture(uint8_t code, const Bytes& c) {
    size_t used = 0;
    for (const auto& p : pictures_)
        for (const auto& r : p.rows) used += r.size();
    for (const auto& r : upload_.rows) used += r.size();
    size_t freeBytes = used < kPictureMemory ? kPictureMemory - used : 0;
    auto number = [&](size_t i) { return i >= 1 && i <= pictures_.size(); };

    switch (code) {
    case 0x8C:
        return ok(Bytes{static_cast<uint8_t>(freeBytes >> 8), static_cast<uint8_t>(freeBytes & 0xFF),
                        static_cast<uint8_t>(pictures_.size()), static_cast<uint8_t>(uploadOpen_ ? 1 : 0)});
    case 0x8A: {
        if (c.size() < 2) return error(Err::BadLength);
        if (c[1] == 0) { pictures_.clear(); return ok(); }
        if (c[1] != pictures_.size()) return error(Err::BadPicture);
        pictures_.pop_back();
        return ok();
    }
    case 0x8B: {
        if (c.size() < 2) return error(Err::BadLength);
        if (c.size() - 1 > freeBytes) return error(Err::NoMemory);
        if (!uploadOpen_) { upload_ = StoredPicture(); uploadOpen_ = true; }
        Bytes row(c.begin() + 1, c.end());
        if (static_cast<int>(row.size()) > upload_.widthBytes) upload_.widthBytes = static_cast<int>(row.size());
        upload_.rows.push_back(row);
        return ok();
    }
    case 0x9E: {
        uint8_t n = 0;
        if (uploadOpen_ && !upload_.rows.empty()) {
            for (auto& r : upload_.rows) r.resize(static_cast<size_t>(upload_.widthBytes), 0);
            pictures_.push_back(upload_);
            n = static_cast<uint8_t>(pictures_.size());
        }
        uploadOpen_ = false;
        upload_ = StoredPicture();
        return ok(Bytes{n});
    }
    case 0x8D: {
        if (c.size() < 5) return error(Err::BadLength);
        if (!number(c[2])) return error(Err::BadPicture);
        if (paperOut_) return error(Err::NoPaper);
        printPicture(pictures_[c[2] - 1].rows, (c[3] << 8) | c[4]);
        return ok();
    }
    case 0x8E: {
        if (c.size() < 6) return error(Err::BadLength);
        if (paperOut_) return error(Err::NoPaper);
        int count = (c[2] << 8) | c[3];
        int offset = (c[4] << 8) | c[5];
        Bytes row(c.begin() + 6, c.end());
        std::vector<Bytes> rows(static_cast<size_t>(count > 0 ? 1 : 0), row);
        printPicture(rows, offset);
        return ok();
    }
    case 0x90: {
        if (c.size() < 2) return error(Err::BadLength);
        if (!number(c[1])) return error(Err::BadPicture);
        const auto& p = pictures_[c[1] - 1];
        size_t h = p.rows.size();
        return ok(Bytes{static_cast<uint8_t>(p.widthBytes), static_cast<uint8_t>(h >> 8),
                        static_cast<uint8_t>(h & 0xFF), 0});
    }
    case 0x9F: {
        if (c.size() < 2) return error(Err::BadLength);
        if (!number(c[1])) return error(Err::BadPicture);
        downloadPicture_ = c[1] - 1;
        downloadRow_ = 0;
        const auto& p = pictures_[static_cast<size_t>(downloadPicture_)];
        size_t h = p.rows.size();
        return ok(Bytes{static_cast<uint8_t>(p.widthBytes), static_cast<uint8_t>(h >> 8),
                        static_cast<uint8_t>(h & 0xFF)});
    }
    case 0x86: {
        if (downloadPicture_ < 0 || static_cast<size_t>(downloadPicture_) >= pictures_.size())
            return error(Err::BadPicture);
        const auto& p = pictures_[static_cast<size_t>(downloadPicture_)];
        if (downloadRow_ >= p.rows.size()) return error(Err::BadPicture);
        return ok(p.rows[downloadRow_++]);
    }
    default:
        return error(Err::NoCommand);
    }
}

} // namespace NorvexEmu
