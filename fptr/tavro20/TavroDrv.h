#pragma once
// The driver for registers speaking protocol 2.0. It is also the link protocol object, so one
// object owns the port, the link state and the register logic. Its operations are split over
// several sources by family: core, registration, printing, reports, values, tables.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "fptr/AbstractFptrDriver.h"
#include "fptr/tavro20/ModelTables.h"
#include "transport/ALLProtocol.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

class TavroDrv : public AbstractFptrDriver, public ALLProtocol {
public:
    TavroDrv(int modelCode, unsigned capabilities, const ModelDescriptor* descriptor);
    ~TavroDrv() override;

    bool hasCapability(unsigned mask) const override;
    bool isModel(int code) const override;
    int setEnabled(int how) override;
    bool isEnabled() const override;
    int state(ParameterSet& params) override;
    int info(ParameterSet& params) override;
    int setSettings(const Settings& settings) override;
    int beep(ParameterSet& params) override;
    int openDrawer(ParameterSet& params) override;
    int cut(int partial, ParameterSet& params) override;
    int resetMode(ParameterSet& params) override;
    int setMode(int mode, ParameterSet& params) override;
    int setDate(int day, int month, int year, ParameterSet& params) override;
    int setTime(int hour, int minute, int second, ParameterSet& params) override;
    int setSerialNumber(const std::wstring& digits, ParameterSet& params) override;
    int summ(int64_t& amount, ParameterSet& params) override;
    int moveCash(int direction, int flags, int64_t sum, ParameterSet& params) override;
    int payment(int flags, int type, int64_t sum, int64_t& remainder, int64_t& change,
                ParameterSet& params) override;
    int beginDocument(ParameterSet& params) override;
    int openSession(int flags, const std::wstring& text, ParameterSet& params) override;
    int getRegister(ParameterSet& params, int reg, int first, int second) override;
    int registration(int type, int64_t price, double quantity, ParameterSet& params) override;
    int cancelCheque(ParameterSet& params) override;
    int report(int type, ParameterSet& params) override;
    int openCheque(int flags, int type, ParameterSet& params) override;
    int closeCheque(int flags, int type, ParameterSet& params) override;
    int discount(int flags, int kind, int sign, int64_t value, ParameterSet& params) override;
    int printHeader(ParameterSet& params) override;
    int printFooter(ParameterSet& params) override;
    int printText(const std::wstring& text) override;
    int printPicture(Graphic::Picture& picture, int offset, ParameterSet& params) override;
    int setValue(double value, int number, ParameterSet& params) override;
    int value(double& out, int number, ParameterSet& params) override;
    bool isValueSupported(int number) override;
    int valueMapping(std::wstring& out, int number) override;
    int setCaption(const std::wstring& text, int number, ParameterSet& params) override;
    int caption(std::wstring& out, int number, ParameterSet& params) override;
    bool isCaptionSupported(int number) override;
    int reservedOperation() override;
    int writeRawData(const uint8_t* bytes, int length) override;
    int fiscalization(ParameterSet& params) override;
    int resetSettings(ParameterSet& params) override;
    int resetSummary(ParameterSet& params) override;
    int setTableField(int table, int row, int field, int fieldType, const std::wstring& value) override;
    int tableField(int table, int row, int field, int fieldType, std::wstring& out) override;
    int runCommand(const std::wstring& command, std::wstring& answer) override;
    int resetLastDiscount(ParameterSet& params) override;
    int initTables(ParameterSet& params) override;
    int eklzStatus(int& out, ParameterSet& params) override;
    int eklzActivate(ParameterSet& params) override;
    int eklzCloseArchive(ParameterSet& params) override;
    int fiscalRange(ParameterSet& params) override;
    Reports::AbstractReport* beginReport(int type, ParameterSet& params, bool query) override;
    int uploadPicture(Graphic::Picture& picture, int& number, ParameterSet& params) override;
    int downloadPicture(Graphic::Picture& picture, int number) override;
    int printPictureFromMemory(int number, int offset) override;
    int pictureArrayStatus(int& count, int& openFlag, int& freeBytes) override;
    int pictureStatus(int number, int& openFlag, int& width, int& height) override;
    int deleteLastPicture(ParameterSet& params) override;
    int clearPictureArray(ParameterSet& params) override;
    int addTextField(const std::wstring& text, ParameterSet& params) override;
    int printFormattedText(const std::wstring& text, ParameterSet& params) override;
    int summTax(int64_t sum, int area, int taxNumber, ParameterSet& params) override;
    int printLastCopy(ParameterSet& params) override;

    // Answer time-outs in milliseconds; kDefaultTimeout selects the link's own (10 s).
    static constexpr int kDefaultTimeout = -1;
    static constexpr int kChequeTimeout = 20000;     // openCheque, closeCheque
    static constexpr int kRegisterTimeout = 45000;   // getReg
    static constexpr int kBeepTimeout = 0;           // beep
    static constexpr int kReportTimeout = 40000;     // the long report command

    // Helpers shared by the driver's sources.
    // One exchange; with check set a refusal of the register is raised as its error.
    ByteBuffer command(const ByteBuffer& cmd, int timeout = kDefaultTimeout, bool check = true);
    // Register read 0x91: the answer is 0x55, error code, data.
    ByteBuffer getReg(int reg, int first, int second);
    // Sends the one command byte, ignores the answer, returns 0.
    int singleByteCommand(uint8_t code, int timeout = kDefaultTimeout);
    // Table field access (0x46 read: answer 0x55, error code, field bytes; 0x50 write). Table
    // and field must fit one byte and row two bytes, else -6 with the Table/Row/Field code.
    ByteBuffer readField(int table, int row, int fieldNumber);
    void writeField(int table, int row, int fieldNumber, const ByteBuffer& bytes);
    static ByteBuffer fieldAddress(uint8_t code, int table, int row, int fieldNumber);

    // Bounds-safe readers of answer fields: bytes past the end of the answer read as zero.
    static ByteBuffer field(const ByteBuffer& answer, size_t offset, size_t n);
    static int64_t bcdAt(const ByteBuffer& answer, size_t offset, size_t n);
    // BCD amount divided by 10^decimals, decoded digit by digit.
    static double amountAt(const ByteBuffer& answer, size_t offset, size_t n, int decimals);
    // The raw bytes as upper-case hexadecimal digits, two per byte.
    static std::wstring hexAt(const ByteBuffer& answer, size_t offset, size_t n);

    // Text to the register's bytes in a field of `capacity` bytes: a text of n < capacity
    // characters gives n bytes, a longer one capacity-1 characters and a zero byte. Capacity 0
    // gives nothing; a negative capacity means no limit.
    static ByteBuffer encodeText(const std::wstring& text, int capacity);
    static std::wstring decodeText(const uint8_t* bytes, size_t n);
    static uint8_t encodeChar(wchar_t c);
    static wchar_t decodeChar(uint8_t b);
    // A two-digit year read from the register as four digits.
    static int yearFromTwoDigits(int yy);
    using PrintLine = std::function<int(const std::wstring&)>;
    int printWrapped(const std::wstring& text, int parameterCode, const PrintLine& printLine,
                     ParameterSet& params);

    int modelCode() const { return modelCode_; }
    int lineWidth() const { return lineWidth_; }
    const ModelDescriptor* descriptor() const { return descriptor_; }

private:
    const ModelDescriptor* descriptor_;
    int modelCode_;
    unsigned capabilities_;
    int lineWidth_ = 0;
};

}}} // namespace Orn::Fptr::Tavro20
