#pragma once
// The generic fiscal-printer driver interface. The order of the operations is fixed:
// it is the slot order every driver implements.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Value.h"

namespace Orn {
namespace Graphic { class Picture; }
namespace Fptr {
namespace Reports { class AbstractReport; }

class AbstractFptrDriver {
public:
    virtual ~AbstractFptrDriver() = default;                                               // 1, 2
    virtual bool hasCapability(unsigned mask) const = 0;                                   // 3
    virtual bool isModel(int code) const = 0;                                              // 4
    virtual int setEnabled(int how) = 0;                                                   // 5
    virtual bool isEnabled() const = 0;                                                    // 6
    virtual int state(ParameterSet& params) = 0;                                           // 7
    virtual int info(ParameterSet& params) = 0;                                            // 8
    virtual int setSettings(const Settings& settings) = 0;                                 // 9
    virtual int beep(ParameterSet& params) = 0;                                            // 10
    virtual int openDrawer(ParameterSet& params) = 0;                                      // 11
    virtual int cut(int partial, ParameterSet& params) = 0;                                // 12
    virtual int resetMode(ParameterSet& params) = 0;                                       // 13
    virtual int setMode(int mode, ParameterSet& params) = 0;                               // 14
    virtual int setDate(int day, int month, int year, ParameterSet& params) = 0;           // 15
    virtual int setTime(int hour, int minute, int second, ParameterSet& params) = 0;       // 16
    virtual int setSerialNumber(const std::wstring& digits, ParameterSet& params) = 0;     // 17
    virtual int summ(int64_t& amount, ParameterSet& params) = 0;                           // 18
    virtual int moveCash(int direction, int flags, int64_t sum, ParameterSet& params) = 0; // 19
    virtual int payment(int flags, int type, int64_t sum, int64_t& remainder,
                        int64_t& change, ParameterSet& params) = 0;                        // 20
    virtual int beginDocument(ParameterSet& params) = 0;                                   // 21
    virtual int openSession(int flags, const std::wstring& text, ParameterSet& params) = 0;// 22
    virtual int getRegister(ParameterSet& params, int reg, int first, int second) = 0;     // 23
    virtual int registration(int type, int64_t price, double quantity,
                             ParameterSet& params) = 0;                                    // 24
    virtual int cancelCheque(ParameterSet& params) = 0;                                    // 25
    virtual int report(int type, ParameterSet& params) = 0;                                // 26
    virtual int openCheque(int flags, int type, ParameterSet& params) = 0;                 // 27
    virtual int closeCheque(int flags, int type, ParameterSet& params) = 0;                // 28
    virtual int discount(int flags, int kind, int sign, int64_t value,
                         ParameterSet& params) = 0;                                        // 29
    virtual int printHeader(ParameterSet& params) = 0;                                     // 30
    virtual int printFooter(ParameterSet& params) = 0;                                     // 31
    virtual int printText(const std::wstring& text) = 0;                                   // 32
    virtual int printPicture(Graphic::Picture& picture, int offset, ParameterSet& params) = 0; // 33
    virtual int setValue(double value, int number, ParameterSet& params) = 0;              // 34
    virtual int value(double& out, int number, ParameterSet& params) = 0;                  // 35
    virtual bool isValueSupported(int number) = 0;                                         // 36
    virtual int valueMapping(std::wstring& out, int number) = 0;                           // 37
    virtual int setCaption(const std::wstring& text, int number, ParameterSet& params) = 0;// 38
    virtual int caption(std::wstring& out, int number, ParameterSet& params) = 0;          // 39
    virtual bool isCaptionSupported(int number) = 0;                                       // 40
    virtual int reservedOperation() = 0;                                                   // 41
    virtual int writeRawData(const uint8_t* bytes, int length) = 0;                        // 42
    virtual int fiscalization(ParameterSet& params) = 0;                                   // 43
    virtual int resetSettings(ParameterSet& params) = 0;                                   // 44
    virtual int resetSummary(ParameterSet& params) = 0;                                    // 45
    virtual int setTableField(int table, int row, int field, int fieldType,
                              const std::wstring& value) = 0;                              // 46
    virtual int tableField(int table, int row, int field, int fieldType,
                           std::wstring& out) = 0;                                         // 47
    virtual int runCommand(const std::wstring& command, std::wstring& answer) = 0;         // 48
    virtual int resetLastDiscount(ParameterSet& params) = 0;                               // 49
    virtual int initTables(ParameterSet& params) = 0;                                      // 50
    virtual int eklzStatus(int& out, ParameterSet& params) = 0;                            // 51
    virtual int eklzActivate(ParameterSet& params) = 0;                                    // 52
    virtual int eklzCloseArchive(ParameterSet& params) = 0;                                // 53
    virtual int fiscalRange(ParameterSet& params) = 0;                                     // 54
    // The caller owns the returned report; null when the type has no report object.
    virtual Reports::AbstractReport* beginReport(int type, ParameterSet& params, bool query) = 0; // 55
    virtual int uploadPicture(Graphic::Picture& picture, int& number, ParameterSet& params) = 0;  // 56
    virtual int downloadPicture(Graphic::Picture& picture, int number) = 0;                // 57
    virtual int printPictureFromMemory(int number, int offset) = 0;                        // 58
    virtual int pictureArrayStatus(int& count, int& openFlag, int& freeBytes) = 0;         // 59
    virtual int pictureStatus(int number, int& openFlag, int& width, int& height) = 0;     // 60
    virtual int deleteLastPicture(ParameterSet& params) = 0;                               // 61
    virtual int clearPictureArray(ParameterSet& params) = 0;                               // 62
    virtual int addTextField(const std::wstring& text, ParameterSet& params) = 0;          // 63
    virtual int printFormattedText(const std::wstring& text, ParameterSet& params) = 0;    // 64
    virtual int summTax(int64_t sum, int area, int taxNumber, ParameterSet& params) = 0;   // 65
    virtual int printLastCopy(ParameterSet& params) = 0;                                   // 66
};

// The model registry: three entries (52, 47, 53), looked up in that order.
using DriverFactory = AbstractFptrDriver* (*)(int modelCode, unsigned capabilities);
struct ModelEntry {
    int32_t modelCode;
    uint32_t capabilities;
    const wchar_t* displayName;
    DriverFactory factory;
};
// The registry's entries in look-up order.
const ModelEntry* registryEntries(size_t& count);
// Returns a new driver for the model, or null when the registry has no such model.
AbstractFptrDriver* createDriver(int modelCode);
// Tests may replace the registry's factory (returns the previous one; null restores the default).
using RegistryHook = AbstractFptrDriver* (*)(int modelCode);
RegistryHook setRegistryHookForTests(RegistryHook hook);

} // namespace Fptr
} // namespace Orn
