#include "emulator/Register.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "core/StringUtils.h"

namespace NorvexEmu {

namespace {

constexpr uint32_t key(int table, int row, int field) {
    return (static_cast<uint32_t>(table) << 24) | (static_cast<uint32_t>(row) << 8) | static_cast<uint32_t>(field);
}

// Settings tables: which rows and fields exist and how wide each field is. A width of 0 stands
// for the model's text width.
struct TableShape {
    int table, rows, fields;
    int width;
};
const TableShape kTables[] = {
    {2, 1, 98, 1},   // register settings, one row; wider fields below
    {3, 30, 2, 4},   // field 1 password (4 bytes BCD), field 2 name (text)
    {4, 2, 1, 1},    // discount and surcharge modes
    {6, 20, 1, 0},   // header and footer lines
    {7, 16, 1, 0},   // section names
    {8, 16, 1, 2},   // tax rates, hundredths of a percent
    {9, 4, 2, 1},    // ports
    {12, 9, 1, 0},   // payment type names
    {13, 5, 1, 0},   // tax names
    {14, 16, 2, 0},  // field 1 name (text), field 2 discount or surcharge (1 byte)
};
struct WideField { int table, row, field, width; };
const WideField kWideFields[] = {
    {2, 1, 23, 2},                 // access password
    {2, 1, 53, 3}, {2, 1, 54, 3},  // summer / winter time dates
    {2, 1, 57, 2}, {2, 1, 58, 2},  // test run period and cycles
    {3, 0, 2, 0},                  // names of table 3 (any row): text
    {14, 0, 2, 1},                 // table 14 field 2: one byte
};

// Per model: characters and dots per line, device name.
struct ModelInfo { int model; int chars; int dots; int textWidth; const wchar_t* name; };
const ModelInfo kModels[] = {
    {53, 48, 576, 57, L"Lumo-30ПТК"},
    {47, 36, 432, 36, L"Lumo-20ПТК"},
    {52, 32, 384, 48, L"Lumo-10ПТК"},
};
const ModelInfo& modelInfo(int model) {
    for (const auto& m : kModels)
        if (m.model == model) return m;
    return kModels[0];
}

std::wstring money(int64_t v) {
    wchar_t buf[40];
    int64_t a = v < 0 ? -v : v;
    std::swprintf(buf, 40, L"%ls%lld.%02lld", v < 0 ? L"-" : L"", static_cast<long long>(a / 100),
                  static_cast<long long>(a % 100));
    return buf;
}

std::tm localOf(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

bool validDate(int d, int m, int y) {
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1) return false;
    if (m == 2 && d == 29) return (2000 + y) % 4 == 0;
    return d <= days[m - 1];
}

} // namespace

Register::Register(int model) : model_(modelInfo(model).model) { initTables(); }

int Register::lineWidth() const { return modelInfo(model_).chars; }
int Register::textWidth() const { return modelInfo(model_).textWidth; }

uint16_t Register::accessPassword() const {
    Bytes f;
    field(2, 1, 23, f);
    return static_cast<uint16_t>((f.size() > 0 ? f[0] << 8 : 0) | (f.size() > 1 ? f[1] : 0));
}

std::time_t Register::now() const { return std::time(nullptr) + clockOffset_; }

void Register::initTables() {
    fields_.clear();
    for (const auto& t : kTables) {
        for (int r = 1; r <= t.rows; ++r) {
            for (int f = 1; f <= t.fields; ++f) {
                int w = t.width;
                for (const auto& wf : kWideFields)
                    if (wf.table == t.table && (wf.row == r || wf.row == 0) && wf.field == f) w = wf.width;
                if (w == 0) w = textWidth();
                Bytes init(static_cast<size_t>(w), 0);
                if (w == textWidth() && (t.table != 2)) init.assign(init.size(), 0x20);
                fields_[key(t.table, r, f)] = init;
            }
        }
    }
    auto setByte = [this](int f, int v) { fields_[key(2, 1, f)] = Bytes{static_cast<uint8_t>(v)}; };
    setByte(1, 1);                     // machine number in the shop
    setByte(3, 0x02); setByte(4, 0x02); setByte(5, 0x02);   // payment types allowed
    setByte(27, 0x03);                 // print the document number
    setByte(36, 0x04); setByte(94, 0x04);  // header lines
    setByte(55, bcdByte(lineWidth()));
    for (int r = 1; r <= 30; ++r) fields_[key(3, r, 1)] = bcd(r, 4);   // each password is its row number
    auto text = [this](int t, int r, int f, const std::wstring& s) {
        Bytes b = printBytes(s);
        b.resize(static_cast<size_t>(textWidth()), 0x20);
        fields_[key(t, r, f)] = b;
    };
    text(6, 1, 1, L"ООО \"РОМАШКА\"");
    text(6, 2, 1, L"г. Москва, ул. Лесная, 1");
    text(6, 3, 1, L"ДОБРО ПОЖАЛОВАТЬ!");
    text(6, 7, 1, L"СПАСИБО ЗА ПОКУПКУ");
    for (int r = 1; r <= 28; ++r) text(3, r, 2, L"КАССИР " + std::to_wstring(r));
    text(3, 29, 2, L"АДМИНИСТРАТОР");
    text(3, 30, 2, L"СИС. АДМИНИСТРАТОР");
    text(12, 1, 1, L"НАЛИЧНЫМИ");
    text(12, 2, 1, L"КРЕДИТОМ");
    text(12, 3, 1, L"ПЛАТ. КАРТОЙ");
    for (int r = 1; r <= 16; ++r) text(7, r, 1, L"СЕКЦИЯ " + std::to_wstring(r));
}

bool Register::field(int table, int row, int f, Bytes& out) const {
    auto it = fields_.find(key(table, row, f));
    if (it == fields_.end()) return false;
    out = it->second;
    return true;
}

bool Register::setField(int table, int row, int f, const Bytes& data) {
    auto it = fields_.find(key(table, row, f));
    if (it == fields_.end() || it->second.size() != data.size()) return false;
    it->second = data;
    return true;
}

int Register::fieldByte(int table, int row, int f) const {
    Bytes b;
    return field(table, row, f, b) && !b.empty() ? b[0] : 0;
}

std::wstring Register::fieldText(int table, int row, int f) const {
    Bytes b;
    if (!field(table, row, f, b)) return L"";
    std::wstring s = printedText(b);
    while (!s.empty() && s.back() == L' ') s.pop_back();
    return s;
}

bool Register::passwordMatches(int row, int64_t password) const {
    Bytes b;
    return field(3, row, 1, b) && fromBcd(b, 0, 4) == password;
}

int Register::modeByte() const {
    if (running_ == Running::X) return 0x22;
    if (running_ == Running::Z) return runningPolls_ > 1 ? 0x23 : 0x17;
    if (running_ == Running::Other) return 0x23;
    return mode_;
}

void Register::setPaperOut(bool out) {
    paperOut_ = out;
    if (out && running_ != Running::None) {
        // A report stops where the paper ran out; the register stays in the report's mode.
        running_ = Running::None;
        reportInterrupted_ = true;
    }
}

void Register::ageShift(int hours) {
    if (shiftOpen_) shiftOpenedAt_ -= static_cast<std::time_t>(hours) * 3600;
}

int64_t Register::chequeTotal() const { return cheque_.registrations - cheque_.discounts; }

bool Register::chequeTimedOut() const { return shiftOpen_ && now() - shiftOpenedAt_ >= 24 * 3600; }

Bytes Register::ok(Bytes data) const {
    Bytes a{0x55, 0x00};
    a.insert(a.end(), data.begin(), data.end());
    return a;
}

Bytes Register::error(uint8_t code) { return Bytes{0x55, code}; }

// ---- printing -------------------------------------------------------------------------------

void Register::print(const std::wstring& text, bool journal) {
    size_t w = static_cast<size_t>(lineWidth());
    std::wstring line = text;
    do {
        std::wstring part = line.substr(0, w);
        line = line.size() > w ? line.substr(w) : std::wstring();
        paper_.push_back(part);
        if (journal) journal_.push_back(part);
        if (collecting_) lastDocument_.push_back(part);
    } while (!line.empty());
}

std::wstring Register::amountLine(const std::wstring& label, int64_t amount) const {
    std::wstring right = L"=" + money(amount);
    size_t w = static_cast<size_t>(lineWidth());
    std::wstring line = label;
    if (line.size() + right.size() < w) line.append(w - line.size() - right.size(), L' ');
    else line += L' ';
    return line + right;
}

std::wstring Register::operatorName() const {
    std::wstring n = fieldText(3, operator_ > 0 ? operator_ : 30, 2);
    return n.empty() ? L"КАССИР" : n;
}

std::wstring Register::numberLine() const {
    std::tm t = localOf(now());
    wchar_t left[32], right[32];
    std::swprintf(left, 32, L"#%04d", documentNumber_);
    std::swprintf(right, 32, L"%02d-%02d-%02d %02d:%02d", t.tm_mday, t.tm_mon + 1, t.tm_year % 100, t.tm_hour,
                  t.tm_min);
    std::wstring mid = L" " + std::wstring(L"ККМ ") + std::wstring(serial_.begin(), serial_.end()) + L" ";
    std::wstring line = left + mid;
    size_t w = static_cast<size_t>(lineWidth());
    size_t r = std::wcslen(right);
    // The number and the date must share one printed line, so narrow paper drops the factory number.
    if (line.size() + r > w) line = std::wstring(left) + L" ";
    if (line.size() + r < w) line.append(w - line.size() - r, L' ');
    return line + right;
}

// ---- dispatch -------------------------------------------------------------------------------

Bytes Register::execute(uint16_t password, const Bytes& c) {
    if (c.empty()) return error(Err::BadFormat);
    if (password != accessPassword()) return error(Err::Password);
    const uint8_t code = c[0];
    if (running_ != Running::None) {
        switch (code) {
        case 0x45: case 0x3F: case 0x91: case 0xA5: case 0x46: case 0x47: break;
        default: return error(Err::Busy);
        }
    }
    switch (code) {
    case 0x45: return cmdState();
    case 0x3F: return cmdStatus();
    case 0xA5: return cmdDeviceType();
    case 0x91: return cmdRegister(c);
    case 0x56: return cmdEnterMode(c);
    case 0x48: return cmdLeaveMode();
    case 0x46: return cmdReadField(c);
    case 0x50: return cmdWriteField(c);
    case 0x64: return cmdSetDate(c);
    case 0x4B: return cmdSetTime(c);
    case 0x61: return cmdSetSerial(c);
    case 0x62: return cmdFiscalize(c);
    case 0x92: return cmdOpenCheque(c);
    case 0x52: case 0x57: case 0x41: case 0x4E: return cmdRegistration(c);
    case 0x43: return cmdDiscount(c);
    case 0x78: return cmdResetDiscount();
    case 0x99: return cmdPayment(c);
    case 0x4A: return cmdClose(c);
    case 0x59: return cmdCancel();
    case 0x49: return cmdCash(c, true);
    case 0x4F: return cmdCash(c, false);
    case 0x4D: return cmdSumm();
    case 0x9A: return cmdOpenSession(c);
    case 0x4C: return cmdPrintText(c);
    case 0x87: return cmdFormatted(c);
    case 0x8F: return cmdRaw(c);
    case 0x6C: return cmdHeader();
    case 0x73: return cmdFooter();
    case 0x75: return cmdCut(c);
    case 0x47: return Bytes{};
    case 0x80: return ok();
    case 0xB0: return ok();
    case 0xB8:
        if (mode_ != 1) return error(Err::Mode);
        if (chequeType_ == 0) return error(Err::ChequeClosed);
        return ok();
    case 0x54: case 0x5A: case 0x67: case 0xB6: case 0xB7: return cmdReport(code, c);
    case 0xC3: return cmdControlTape(c);
    case 0x63: return cmdFiscalRange();
    case 0x83: case 0x9C: case 0x84: return cmdFiscalDump(code, c);
    case 0xAE: return cmdEklzStatus();
    case 0xA6: case 0xA7:
        if (shiftOpen_) return error(Err::ShiftOpen);
        return ok();
    case 0x8A: case 0x8B: case 0x8C: case 0x8D: case 0x8E: case 0x90: case 0x9E: case 0x9F: case 0x86:
        return cmdPicture(code, c);
    case 0x95: return cmdLastCopy();
    case 0x77: return cmdResetSummary();
    case 0x71: case 0x6B: return cmdInitTables();
    default: return error(Err::NoCommand);
    }
}

// ---- identity and modes ---------------------------------------------------------------------

Bytes Register::cmdState() {
    if (running_ != Running::None && --runningPolls_ <= 0) finishReport();
    int flags = (paperOut_ ? 0x01 : 0);
    return Bytes{0x55, static_cast<uint8_t>(modeByte()), static_cast<uint8_t>(flags)};
}

Bytes Register::cmdStatus() {
    std::tm t = localOf(now());
    Bytes a{0x44};
    a.push_back(bcdByte(mode_ == 0 ? 0 : operator_));
    a.push_back(static_cast<uint8_t>(fieldByte(2, 1, 1)));
    a.push_back(bcdByte(t.tm_year % 100));
    a.push_back(bcdByte(t.tm_mon + 1));
    a.push_back(bcdByte(t.tm_mday));
    a.push_back(bcdByte(t.tm_hour));
    a.push_back(bcdByte(t.tm_min));
    a.push_back(bcdByte(t.tm_sec));
    int flags = (fiscalized_ ? 0x01 : 0) | (shiftOpen_ ? 0x02 : 0) | (paperOut_ ? 0 : 0x08);
    a.push_back(static_cast<uint8_t>(flags));
    // Factory number as BCD, most significant digits first.
    std::string s = serial_;
    if (s.size() < 8) s.insert(0, 8 - s.size(), '0');
    appendBcd(a, std::stoll(s.substr(s.size() - 8)), 4);
    a.push_back(static_cast<uint8_t>(model_));
    a.push_back(0x03);
    a.push_back(0x01);
    a.push_back(static_cast<uint8_t>(modeByte()));
    appendBcd(a, chequeNumber_, 2);
    appendBcd(a, shiftNumber_, 2);
    a.push_back(static_cast<uint8_t>(chequeType_));
    appendBcd(a, chequeTotal(), 5);
    a.push_back(2);   // decimal places
    a.push_back(1);   // port
    return a;
}

Bytes Register::cmdDeviceType() {
    Bytes a{0x00, 0x02, 0x01, static_cast<uint8_t>(model_), 0x00, 0x00};
    a.push_back(0x03);            // version 3.1.0, build 3746
    a.push_back(0x01);
    a.push_back(0x00);
    appendBcd(a, 3746, 2);
    Bytes name = answerBytes(modelInfo(model_).name);
    a.insert(a.end(), name.begin(), name.end());
    return a;
}

Bytes Register::cmdEnterMode(const Bytes& c) {
    if (c.size() < 6) return error(Err::BadLength);
    int m = c[1];
    if (mode_ != 0) return error(Err::Mode);
    if (m < 1 || m > 4) return error(Err::Mode);
    int64_t pw = fromBcd(c, 2, 4);
    // Registration and X reports: any cashier; Z reports: administrators; programming: system administrator.
    int first = m <= 2 ? 1 : (m == 3 ? 29 : 30);
    int who = 0;
    for (int row = 30; row >= first; --row)
        if (passwordMatches(row, pw)) { who = row; break; }
    if (who == 0) return error(Err::Password);
    mode_ = m;
    operator_ = who;
    reportInterrupted_ = false;
    return ok();
}

Bytes Register::cmdLeaveMode() {
    mode_ = 0;
    operator_ = 0;
    reportInterrupted_ = false;
    return ok();
}

// ---- tables ---------------------------------------------------------------------------------

Bytes Register::cmdReadField(const Bytes& c) {
    if (c.size() < 5) return error(Err::BadLength);
    int t = c[1], r = (c[2] << 8) | c[3], f = c[4];
    bool tableKnown = false, rowKnown = false;
    for (const auto& s : kTables) {
        if (s.table != t) continue;
        tableKnown = true;
        rowKnown = r >= 1 && r <= s.rows;
    }
    if (!tableKnown) return error(Err::BadTable);
    if (!rowKnown) return error(Err::BadRow);
    Bytes b;
    if (!field(t, r, f, b)) return error(Err::BadField);
    return ok(b);
}

Bytes Register::cmdWriteField(const Bytes& c) {
    if (c.size() < 5) return error(Err::BadLength);
    if (mode_ != 4) return error(Err::Mode);
    Bytes check = cmdReadField(c);
    if (check[1] != 0) return check;
    int t = c[1], r = (c[2] << 8) | c[3], f = c[4];
    Bytes data(c.begin() + 5, c.end());
    if (data.size() != check.size() - 2) return error(Err::BadLength);
    setField(t, r, f, data);
    return ok();
}

// ---- service settings -----------------------------------------------------------------------

Bytes Register::cmdSetDate(const Bytes& c) {
    if (c.size() < 4) return error(Err::BadLength);
    if (mode_ != 0 && mode_ != 4) return error(Err::Mode);
    if (!isBcd(c, 1, 3)) return error(Err::BadDate);
    int d = static_cast<int>(fromBcd(c, 1, 1));
    int m = static_cast<int>(fromBcd(c, 2, 1));
    int y = static_cast<int>(fromBcd(c, 3, 1));
    if (!validDate(d, m, y)) return error(Err::BadDate);
    std::tm t = localOf(now());
    t.tm_mday = d;
    t.tm_mon = m - 1;
    t.tm_year = 100 + y;
    t.tm_isdst = -1;
    clockOffset_ += std::mktime(&t) - now();
    return ok();
}

Bytes Register::cmdSetTime(const Bytes& c) {
    if (c.size() < 4) return error(Err::BadLength);
    if (mode_ != 0 && mode_ != 4) return error(Err::Mode);
    if (!isBcd(c, 1, 3)) return error(Err::BadTime);
    int h = static_cast<int>(fromBcd(c, 1, 1)), mi = static_cast<int>(fromBcd(c, 2, 1));
    int s = static_cast<int>(fromBcd(c, 3, 1));
    if (h > 23 || mi > 59 || s > 59) return error(Err::BadTime);
    std::tm t = localOf(now());
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    t.tm_isdst = -1;
    clockOffset_ += std::mktime(&t) - now();
    return ok();
}

Bytes Register::cmdSetSerial(const Bytes& c) {
    if (c.size() < 5) return error(Err::BadLength);
    if (chequeType_ != 0) return error(Err::ChequeOpen);
    if (serialSet_) return error(Err::SerialSet);
    if (!isBcd(c, 1, 4)) return error(Err::BadFormat);
    // The host sends the lowest two digits first.
    Bytes be{c[4], c[3], c[2], c[1]};
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08lld", static_cast<long long>(fromBcd(be, 0, 4)));
    serial_ = buf;
    serialSet_ = true;
    return ok();
}

Bytes Register::cmdFiscalize(const Bytes& c) {
    if (c.size() < 16) return error(Err::BadLength);
    if (mode_ != 4) return error(Err::Mode);
    if (shiftOpen_) return error(Err::ShiftOpen);
    if (!serialSet_) return error(Err::NoSerial);
    if (!passwordMatches(30, fromBcd(c, 12, 4))) return error(Err::Password);
    if (fromBcd(c, 6, 6) == 0) return error(167);
    machineNumber_ = fromBcd(c, 1, 5);
    inn_ = fromBcd(c, 6, 6);
    fiscalized_ = true;
    std::tm t = localOf(now());
    fiscalDay_ = t.tm_mday;
    fiscalMonth_ = t.tm_mon + 1;
    fiscalYear_ = t.tm_year % 100;
    fiscalShift_ = shiftNumber_ + 1;
    print(L"ФИСКАЛИЗАЦИЯ", false);
    return ok();
}

Bytes Register::cmdResetSummary() {
    if (mode_ != 4) return error(Err::Mode);
    if (shiftOpen_) return error(Err::ShiftOpen);
    totals_ = ShiftTotals();
    cash_ = 0;
    return ok();
}

Bytes Register::cmdInitTables() {
    if (mode_ != 4) return error(Err::Mode);
    if (shiftOpen_) return error(Err::ShiftOpen);
    initTables();
    return ok();
}

} // namespace NorvexEmu
