#pragma once
// The driver for registers speaking protocol 2.0. It is also the link protocol object, so one
// object owns the port, the link state and the register logic. Its operations are split over
// several sources by family: core, registration, printing, reports, values, tables.
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

    // Helpers shared by the driver's sources.
    ByteBuffer command(const ByteBuffer& cmd, int timeout = -1, bool check = true);
    ByteBuffer getReg(int reg, int first, int second);
    int singleByteCommand(uint8_t code, int timeout = -1);
    // Text to the register's bytes, in a field of the given capacity (see the text encoding).
    static ByteBuffer encodeText(const std::wstring& text, int capacity);
    static std::wstring decodeText(const uint8_t* bytes, size_t n);
    static uint8_t encodeChar(wchar_t c);
    static wchar_t decodeChar(uint8_t b);
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
