// The scripted driver behind the adapter tests.
#include "FakeDriver.h"

#include <algorithm>
#include <memory>
#include <new>

#include "core/Platform.h"
#include "core/StringUtils.h"
#include "fptr/Reports.h"
#include "graphic/Picture.h"

namespace adapter_test {

using namespace Orn;
using namespace Orn::Fptr;

Script& script() {
    static Script s;
    return s;
}

std::vector<std::string> Script::callsFrom(const std::string& first) const {
    auto it = std::find(calls.begin(), calls.end(), first);
    return std::vector<std::string>(it, calls.end());
}

size_t Script::count(const std::string& call) const {
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
}

namespace {

std::string narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::string utf8(const std::wstring& w) { return Platform::toUtf8(w); }

std::string number(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

// The scripted control tape as a journal-data report.
class TapeReport : public Reports::AbstractReport {
public:
    int start(ParameterSet&) override {
        for (const std::wstring& line : script().tape) append(std::make_unique<Reports::TextReportItem>(line));
        setType(41);
        rewind();
        return 0;
    }
};

class FakeDriver : public AbstractFptrDriver {
public:
    explicit FakeDriver(int model) : model_(model) {}
    ~FakeDriver() override { script().calls.push_back("~driver " + std::to_string(model_)); }

    bool hasCapability(unsigned) const override { return true; }
    bool isModel(int code) const override { return code == model_; }
    int setEnabled(int how) override {
        note("setEnabled " + std::to_string(how), "setEnabled");
        script().enabled = how != 0;
        return 0;
    }
    bool isEnabled() const override { return script().enabled; }
    int state(ParameterSet&) override {
        note("state");
        return script().stateResult;
    }
    int info(ParameterSet& p) override {
        note("info");
        const Script& s = script();
        p[0].setInt(s.model);
        p[8].setInt(s.flags);
        p[18].setInt(s.checkState);
        p[45].setText(s.serial);
        p[54].setBool(s.shiftOpened);
        if (!s.checkNumber.empty()) p[17].setText(s.checkNumber);
        if (s.pixelLineLength >= 0) p[39].setInt(s.pixelLineLength);
        p[31].setInt(s.shiftNumber);
        if (s.onInfo) s.onInfo(p);
        return 0;
    }
    int setSettings(const Settings& settings) override {
        note("setSettings");
        script().port = settings.find(L"Port").toInt();
        return 0;
    }
    int resetMode(ParameterSet&) override { note("resetMode"); return 0; }
    int setMode(int mode, ParameterSet&) override {
        note("setMode " + std::to_string(mode), "setMode");
        return 0;
    }
    int setValue(double value, int n, ParameterSet&) override {
        note("setValue " + std::to_string(n) + "=" + number(value), "setValue");
        return 0;
    }
    int value(double& out, int n, ParameterSet&) override {
        note("value " + std::to_string(n), "value");
        const auto it = script().values.find(n);
        out = n == 57 ? script().value57 : it != script().values.end() ? it->second : 0;
        return 0;
    }
    int setCaption(const std::wstring& text, int n, ParameterSet&) override {
        note("setCaption " + std::to_string(n) + " " + narrow(text), "setCaption");
        return 0;
    }
    int cancelCheque(ParameterSet&) override { note("cancelCheque"); return 0; }
    int getRegister(ParameterSet& p, int reg, int first, int second) override {
        note("getRegister " + std::to_string(reg) + "," + std::to_string(first) + "," + std::to_string(second),
             "getRegister");
        const auto it = script().registers.find(reg);
        p[1].setText(it != script().registers.end() ? it->second : L"12.34");
        if (reg == 24 && script().charLineLength >= 0) p[36].setInt(script().charLineLength);
        if (script().onRegister) script().onRegister(p, reg, first, second);
        return 0;
    }
    Reports::AbstractReport* beginReport(int type, ParameterSet& p, bool) override {
        note("beginReport " + std::to_string(type), "beginReport");
        if (type != 41) return nullptr;
        auto report = std::make_unique<TapeReport>();
        report->start(p);
        return report.release();
    }
    int beep(ParameterSet& params) override { note("beep"); return 0; }
    int openDrawer(ParameterSet& params) override { note("openDrawer"); return 0; }
    int cut(int partial, ParameterSet& params) override { note("cut " + std::to_string(partial), "cut"); return 0; }
    int setDate(int day, int month, int year, ParameterSet& params) override {
        note("setDate " + std::to_string(day) + "." + std::to_string(month) + "." + std::to_string(year), "setDate");
        return 0;
    }
    int setTime(int hour, int minute, int second, ParameterSet& params) override {
        note("setTime " + std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second), "setTime");
        return 0;
    }
    int setSerialNumber(const std::wstring& digits, ParameterSet& params) override { note("setSerialNumber"); return 0; }
    int summ(int64_t& amount, ParameterSet& params) override { note("summ"); return 0; }
    int moveCash(int direction, int flags, int64_t sum, ParameterSet& params) override {
        note("moveCash " + std::to_string(direction) + " " + std::to_string(flags) + " " + std::to_string(sum), "moveCash");
        return 0;
    }
    int payment(int flags, int type, int64_t sum, int64_t& remainder, int64_t& change, ParameterSet& params) override {
        note("payment " + std::to_string(flags) + " " + std::to_string(type) + " " + std::to_string(sum), "payment");
        remainder = script().remainder;
        change = script().change;
        return 0;
    }
    int beginDocument(ParameterSet& params) override { note("beginDocument"); return 0; }
    int openSession(int flags, const std::wstring& text, ParameterSet& params) override { note("openSession"); return 0; }
    int registration(int type, int64_t price, double quantity, ParameterSet& params) override {
        note("registration " + std::to_string(type) + " " + std::to_string(price) + " " + number(quantity) +
                 " flags=" + std::to_string(params[64].toInt()) + " \"" + utf8(params[33].toText()) + "\"",
             "registration");
        return 0;
    }
    int report(int type, ParameterSet& params) override {
        note("report " + std::to_string(type), "report");
        return 0;
    }
    int openCheque(int flags, int type, ParameterSet& params) override {
        note("openCheque " + std::to_string(flags) + " " + std::to_string(type), "openCheque");
        return 0;
    }
    int closeCheque(int flags, int type, ParameterSet& params) override {
        note("closeCheque " + std::to_string(flags) + " " + std::to_string(type), "closeCheque");
        return 0;
    }
    int discount(int flags, int kind, int sign, int64_t value, ParameterSet& params) override {
        note("discount " + std::to_string(flags) + " " + std::to_string(kind) + " " + std::to_string(sign) + " " +
                 std::to_string(value),
             "discount");
        return 0;
    }
    int printHeader(ParameterSet& params) override { note("printHeader"); return 0; }
    int printFooter(ParameterSet& params) override { note("printFooter"); return 0; }
    int printText(const std::wstring& text) override {
        note("printText \"" + utf8(text) + "\"", "printText");
        script().printed.push_back(text);
        return 0;
    }
    int printPicture(Graphic::Picture& picture, int offset, ParameterSet& params) override {
        note("printPicture " + std::to_string(offset) + " " + std::to_string(picture.width()), "printPicture");
        return 0;
    }
    bool isValueSupported(int number) override { note("isValueSupported"); return false; }
    int valueMapping(std::wstring& out, int number) override { note("valueMapping"); return 0; }
    int caption(std::wstring& out, int number, ParameterSet& params) override {
        note("caption " + std::to_string(number), "caption");
        out = script().captionText;
        return 0;
    }
    bool isCaptionSupported(int number) override { note("isCaptionSupported"); return false; }
    int reservedOperation() override { note("reservedOperation"); return 0; }
    int writeRawData(const uint8_t* bytes, int length) override { note("writeRawData"); return 0; }
    int fiscalization(ParameterSet& params) override { note("fiscalization"); return 0; }
    int resetSettings(ParameterSet& params) override { note("resetSettings"); return 0; }
    int resetSummary(ParameterSet& params) override { note("resetSummary"); return 0; }
    int setTableField(int table, int row, int field, int fieldType, const std::wstring& value) override { note("setTableField"); return 0; }
    int tableField(int table, int row, int field, int fieldType, std::wstring& out) override { note("tableField"); return 0; }
    int runCommand(const std::wstring& command, std::wstring& answer) override { note("runCommand"); return 0; }
    int resetLastDiscount(ParameterSet& params) override { note("resetLastDiscount"); return 0; }
    int initTables(ParameterSet& params) override { note("initTables"); return 0; }
    int eklzStatus(int& out, ParameterSet& params) override { note("eklzStatus"); return 0; }
    int eklzActivate(ParameterSet& params) override { note("eklzActivate"); return 0; }
    int eklzCloseArchive(ParameterSet& params) override { note("eklzCloseArchive"); return 0; }
    int fiscalRange(ParameterSet& params) override { note("fiscalRange"); return 0; }
    int uploadPicture(Graphic::Picture& picture, int& number, ParameterSet& params) override { note("uploadPicture"); return 0; }
    int downloadPicture(Graphic::Picture& picture, int number) override { note("downloadPicture"); return 0; }
    int printPictureFromMemory(int number, int offset) override { note("printPictureFromMemory"); return 0; }
    int pictureArrayStatus(int& count, int& openFlag, int& freeBytes) override { note("pictureArrayStatus"); return 0; }
    int pictureStatus(int number, int& openFlag, int& width, int& height) override { note("pictureStatus"); return 0; }
    int deleteLastPicture(ParameterSet& params) override { note("deleteLastPicture"); return 0; }
    int clearPictureArray(ParameterSet& params) override { note("clearPictureArray"); return 0; }
    int addTextField(const std::wstring& text, ParameterSet& params) override {
        note("addTextField \"" + utf8(text) + "\"", "addTextField");
        return 0;
    }
    int printFormattedText(const std::wstring& text, ParameterSet& params) override {
        note("printFormattedText \"" + utf8(text) + "\" 91=" + utf8(params[91].toText()), "printFormattedText");
        script().printed.push_back(text);
        return 0;
    }
    int summTax(int64_t sum, int area, int taxNumber, ParameterSet& params) override { note("summTax"); return 0; }
    int printLastCopy(ParameterSet& params) override { note("printLastCopy"); return 0; }

private:
    // Records the call, then fails it when the script lists its text or its bare name.
    void note(const std::string& call, const std::string& name = std::string()) {
        Script& s = script();
        s.calls.push_back(call);
        auto it = s.faults.find(call);
        if (it == s.faults.end() && !name.empty()) it = s.faults.find(name);
        if (it == s.faults.end()) return;
        const Fault f = it->second;
        switch (f.kind) {
        case Failure::Register: raiseError(f.code, f.parameterCode); break;
        case Failure::OutOfMemory: throw std::bad_alloc();
        case Failure::Standard: throw std::runtime_error("unexpected");
        case Failure::Unknown: throw 42;
        }
    }

    int model_;
};

} // namespace

AbstractFptrDriver* fakeRegistry(int modelCode) {
    script().createdModels.push_back(modelCode);
    return new FakeDriver(modelCode);
}

} // namespace adapter_test
