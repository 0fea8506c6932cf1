#pragma once
// The register's own side of the command layer: modes, settings tables, counters, receipts,
// reports, the paper tape and the control tape. Not thread-safe; Emulator serialises access.
#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "emulator/Codec.h"

namespace NorvexEmu {

// Register error bytes (second byte of a 0x55 answer).
namespace Err {
enum : uint8_t {
    None = 0,
    Storno = 12, BadFormat = 19, BadLength = 20, ControlTapeEnd = 24,
    BadPrice = 8, BadQuantity = 10, CashOverflow = 11,
    Mode = 102, NoPaper = 103, BadChequeType = 106, BadRegister = 108, BadPicture = 111,
    NonCashAbove = 113, NotPaid = 114, ReturnAbove = 115, Busy = 118, BadDiscount = 123,
    BadSection = 125, BadPayType = 126, TotalOverflow = 129, Shift24 = 136, Password = 140,
    ShiftClosed = 143, BadTable = 145, BadRow = 146, BadField = 147, BadDate = 148,
    BadTime = 149, NoCash = 152, ChequeClosed = 154, ChequeOpen = 155, ShiftOpen = 156,
    SerialSet = 158, NotFiscal = 168, NoSerial = 169, NoReports = 170, NoMemory = 110,
    NoCommand = 200,
};
}

// One picture held in the register's picture memory.
struct StoredPicture {
    int widthBytes = 0;
    std::vector<Bytes> rows;
};

// Accumulated money per operation (1..6) and, for payments, per payment type (1..4).
struct ShiftTotals {
    int64_t registrations[7] = {};
    int64_t discounts[7] = {};
    int64_t payments[7][5] = {};
    int receipts[7] = {};
    int annulled = 0;
    int64_t cashIn = 0, cashOut = 0;
    int cashInCount = 0, cashOutCount = 0;
};

struct FiscalRecord {
    int shift = 0;
    int day = 1, month = 1, year = 0;   // year: two digits
    int64_t sales = 0, returns = 0, purchases = 0, purchaseReturns = 0;
};

class Register {
public:
    explicit Register(int model = 53);

    // Executes one command (command code first) that arrived with the given access password
    // bytes; returns the answer, empty for commands that have none.
    Bytes execute(uint16_t accessPassword, const Bytes& command);
    // Executes with the register's own access password (scripts, tests).
    Bytes execute(const Bytes& command) { return execute(accessPassword(), command); }

    int model() const { return model_; }
    int lineWidth() const;
    uint16_t accessPassword() const;

    // Clock: the register runs on the computer's clock plus an offset set by 0x64 / 0x4B.
    std::time_t now() const;
    void setClockOffset(std::time_t seconds) { clockOffset_ = seconds; }

    int mode() const { return mode_; }
    int modeByte() const;
    int chequeType() const { return chequeType_; }
    bool shiftOpen() const { return shiftOpen_; }
    std::time_t shiftOpenedAt() const { return shiftOpenedAt_; }
    // Moves the opening time of an open shift back by the given hours (to reach the 24-hour limit).
    void ageShift(int hours);
    int lastShift() const { return shiftNumber_; }
    int chequeNumber() const { return chequeNumber_; }
    int documentNumber() const { return documentNumber_; }
    int64_t cashInDrawer() const { return cash_; }
    int64_t chequeTotal() const;
    const ShiftTotals& totals() const { return totals_; }
    bool paperOut() const { return paperOut_; }
    void setPaperOut(bool out);
    // Number of state polls a running report shows its running mode byte.
    void setReportPolls(int polls) { reportPolls_ = polls < 1 ? 1 : polls; }

    // Raw table field access; false when the field does not exist.
    bool field(int table, int row, int field, Bytes& out) const;
    bool setField(int table, int row, int field, const Bytes& data);

    const std::vector<std::wstring>& paperTape() const { return paper_; }
    const std::vector<std::wstring>& controlTape() const { return journal_; }
    const std::vector<FiscalRecord>& fiscalMemory() const { return fiscal_; }
    std::string serialNumber() const { return serial_; }
    void setSerialNumber(const std::string& digits) { serial_ = digits; serialSet_ = !digits.empty(); }

    // State file: a text format of "key value" lines; see README.md.
    bool save(const std::string& path, std::string* error = nullptr) const;
    bool load(const std::string& path, std::string* error = nullptr);
    // Paper tape as UTF-8 text.
    bool writeTape(const std::string& path, std::string* error = nullptr) const;

private:
    struct Cheque {
        int64_t registrations = 0;
        int64_t discounts = 0;      // signed: surcharges negative
        int64_t paid[5] = {};
        int64_t change = 0;
        int lines = 0;
        bool discountLast = false;
        bool totalPrinted = false;
        int64_t lastDiscount = 0;   // signed as discounts
    };
    enum class Running { None, X, Z, Other };

    Bytes ok(Bytes data = {}) const;
    static Bytes error(uint8_t code);

    Bytes cmdState();
    Bytes cmdStatus();
    Bytes cmdDeviceType();
    Bytes cmdRegister(const Bytes& c);
    Bytes cmdEnterMode(const Bytes& c);
    Bytes cmdLeaveMode();
    Bytes cmdReadField(const Bytes& c);
    Bytes cmdWriteField(const Bytes& c);
    Bytes cmdSetDate(const Bytes& c);
    Bytes cmdSetTime(const Bytes& c);
    Bytes cmdSetSerial(const Bytes& c);
    Bytes cmdFiscalize(const Bytes& c);
    Bytes cmdOpenCheque(const Bytes& c);
    Bytes cmdRegistration(const Bytes& c);
    Bytes cmdDiscount(const Bytes& c);
    Bytes cmdResetDiscount();
    Bytes cmdPayment(const Bytes& c);
    Bytes cmdClose(const Bytes& c);
    Bytes cmdCancel();
    Bytes cmdCash(const Bytes& c, bool in);
    Bytes cmdSumm();
    Bytes cmdOpenSession(const Bytes& c);
    Bytes cmdPrintText(const Bytes& c);
    Bytes cmdFormatted(const Bytes& c);
    Bytes cmdRaw(const Bytes& c);
    Bytes cmdHeader();
    Bytes cmdFooter();
    Bytes cmdCut(const Bytes& c);
    Bytes cmdReport(uint8_t code, const Bytes& c);
    Bytes cmdControlTape(const Bytes& c);
    Bytes cmdFiscalRange();
    Bytes cmdFiscalDump(uint8_t code, const Bytes& c);
    Bytes cmdEklzStatus();
    Bytes cmdPicture(uint8_t code, const Bytes& c);
    Bytes cmdLastCopy();
    Bytes cmdResetSummary();
    Bytes cmdInitTables();

    void initTables();
    int textWidth() const;
    int fieldByte(int table, int row, int field) const;
    std::wstring fieldText(int table, int row, int field) const;
    bool passwordMatches(int row, int64_t password) const;

    void print(const std::wstring& line, bool journal);
    void journalLine(const std::wstring& line) { journal_.push_back(line); }
    std::wstring numberLine() const;
    std::wstring amountLine(const std::wstring& label, int64_t amount) const;
    std::wstring operatorName() const;
    void openShift();
    void finishReport();
    void closeShift();
    void printTotals(const wchar_t* title);
    bool cashIncreases(int type) const { return type == 1 || type == 5 || type == 6; }
    bool chequeTimedOut() const;
    bool inDocument() const { return chequeType_ != 0; }
    void printPicture(const std::vector<Bytes>& rows, int offset);

    int model_;
    std::time_t clockOffset_ = 0;
    int mode_ = 0;
    int operator_ = 0;
    bool paperOut_ = false;
    Running running_ = Running::None;
    int runningPolls_ = 0;
    int reportPolls_ = 2;
    bool reportInterrupted_ = false;

    std::string serial_ = "00012345";
    bool serialSet_ = true;
    bool fiscalized_ = true;
    int64_t inn_ = 7701234567LL;
    int64_t machineNumber_ = 1234567890LL;
    int fiscalShift_ = 0;
    int fiscalDay_ = 1, fiscalMonth_ = 1, fiscalYear_ = 24;
    int64_t eklzNumber_ = 1234567890LL;

    bool shiftOpen_ = false;
    std::time_t shiftOpenedAt_ = 0;
    int shiftNumber_ = 0;        // last closed shift
    int chequeNumber_ = 1;       // number the next receipt gets
    int documentNumber_ = 1;     // number the next document gets
    int chequeType_ = 0;
    Cheque cheque_;
    int64_t cash_ = 0;
    int64_t grandTotal_ = 0;
    ShiftTotals totals_;
    std::vector<FiscalRecord> fiscal_;
    std::map<uint32_t, Bytes> fields_;

    std::vector<std::wstring> paper_;
    std::vector<std::wstring> journal_;
    std::vector<std::wstring> lastDocument_;
    bool collecting_ = false;   // lines also go to the copy of the current document
    size_t journalCursor_ = 0;
    Bytes dump_;
    size_t dumpCursor_ = 0;

    std::vector<StoredPicture> pictures_;
    bool uploadOpen_ = false;
    StoredPicture upload_;
    int downloadPicture_ = -1;
    size_t downloadRow_ = 0;
};

} // namespace NorvexEmu
