// The document journal: reading the register's control tape, cutting it into documents filed
// under their number and shift, and printing control-tape copies from the local journal.
#include <cwctype>
#include <memory>

#include "adapter/JournalStore.h"
#include "adapter/Norvex.h"
#include "adapter/RegisterModes.h"
#include "core/Logger.h"
#include "core/Platform.h"
#include "core/StringUtils.h"
#include "fptr/Reports.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

namespace Str = Orn::Utils::String;

namespace {

constexpr int kReportJournalData = 41;

constexpr int kParamAlignment = 10;
constexpr int kParamReportLine = 32;
constexpr int kParamRecFont = 97;

constexpr int kAlignLeft = 0;
constexpr int kAlignCentre = 1;
constexpr int kWrapByLines = 2;
constexpr int kJournalFont = 2;

constexpr int32_t kCurrentShift = -1;
constexpr int32_t kSingleNumber = -1;
constexpr int32_t kShiftNumberLimit = 10000;   // four digits: the count starts again at 0

// Lines that start a new document.
const wchar_t* const kTitles[] = {
    L"ЧЕК ПРОДАЖИ",
    L"ЧЕК ВОЗВРАТА ПРОДАЖИ",
    L"ЧЕК ПОКУПКИ",
    L"ЧЕК ВОЗВРАТА ПОКУПКИ",
    L"ВЫПЛАТА",
    L"ВНЕСЕНИЕ",
};
const wchar_t* const kShiftLine = L"СМЕНА";
const wchar_t* const kNumberLine = L"#";
const wchar_t* const kAnnulledLine = L"ЧЕК АННУЛИРОВАН";

const wchar_t* const kTapeHeading = L"КОНТРОЛЬНАЯ ЛЕНТА";
const wchar_t* const kShiftHeading = L"Смена №%d";
const wchar_t* const kDocumentHeading = L"Документ №%d";
const wchar_t* const kRangeHeading = L"Документы с №%d по №%d";

bool beginsWith(const std::wstring& line, const wchar_t* text) { return line.find(text) == 0; }

bool isTitle(const std::wstring& line) {
    for (const wchar_t* title : kTitles)
        if (beginsWith(line, title)) return true;
    return false;
}

// Reads "<digits><sep><digits>..." with one or two digits a number and nothing left over.
bool readNumbers(const std::wstring& word, wchar_t sep, int* out, int count) {
    size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (pos >= word.size() || word[pos] != sep) return false;
            ++pos;
        }
        int value = 0;
        int digits = 0;
        while (pos < word.size() && digits < 2 && std::iswdigit(word[pos])) {
            value = value * 10 + (word[pos] - L'0');
            ++pos;
            ++digits;
        }
        if (digits == 0) return false;
        out[i] = value;
    }
    return pos == word.size();
}

// The number line's document number, and its date and time as "YYYY-MM-DD HH:MM" when its
// last two words read as DD-MM-YY and HH:MM; otherwise the timestamp stays as it was.
void readNumberLine(const std::wstring& line, int currentYear, int32_t& number, std::wstring& timestamp) {
    std::vector<std::wstring> words;
    Str::split(line, L" ", false, words);
    if (words.empty()) return;
    number = Str::parseInt(words[0].substr(1));
    if (words.size() < 2) return;

    int date[3] = {0, 0, 0};
    int time[2] = {0, 0};
    if (!readNumbers(words[words.size() - 2], L'-', date, 3) || !readNumbers(words.back(), L':', time, 2)) return;
    const int year = date[2] + 100 * (currentYear / 100);
    timestamp = Str::format(L"%d-%02d-%02d %02d:%02d", year, date[1], date[0], time[0], time[1]);
}

// Splits at line feeds, keeping empty lines between two of them; a final line feed adds none.
std::vector<std::wstring> splitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    Str::split(text, L"\n", true, lines);
    return lines;
}

Logger& log() { return Logger::instance(); }

} // namespace

std::vector<JournalDocument> cutJournal(const std::vector<std::wstring>& lines, int currentYear) {
    std::vector<JournalDocument> documents;
    JournalDocument current;
    auto store = [&] {
        if (!current.text.empty()) documents.push_back(current);
    };
    for (const std::wstring& line : lines) {
        if (beginsWith(line, kShiftLine)) continue;
        if (isTitle(line)) {
            store();
            current.text = line + L'\n';
        } else if (beginsWith(line, kNumberLine)) {
            readNumberLine(line, currentYear, current.number, current.timestamp);
            current.text += line + L'\n';
        } else if (beginsWith(line, kAnnulledLine)) {
            current.text.clear();
        } else {
            current.text += line + L'\n';
        }
    }
    store();
    return documents;
}

void Norvex::prepareJournal() {
    JournalConnection db = openJournalConnection();
    initJournal(db.get());
}

void Norvex::journalUpdate() {
    drv().setMode(kModeReports, parameters);

    std::vector<std::wstring> lines;
    {
        std::unique_ptr<Reports::AbstractReport> report(drv().beginReport(kReportJournalData, parameters, false));
        if (report) {
            while (Reports::AbstractReportItem* item = report->next()) {
                item->fill(parameters);
                lines.push_back(parameters[kParamReportLine].toText());
            }
            report->clear();
        }
    }

    JournalConnection db = openJournalConnection();
    for (const JournalDocument& document : cutJournal(lines, Platform::localTime().year)) {
        // The register is asked again for every document, as a shift may close in between.
        const int32_t shift = currentShiftNumber();
        insertJournalEntry(db.get(), document.number, shift, Platform::toUtf8(document.timestamp),
                           Platform::toUtf8(document.text));
    }
}

int32_t Norvex::currentShiftNumber() {
    drv().info(parameters);
    if ((parameters[kParamDeviceFlags].toInt() & 1) == 0) return 0;
    const int32_t last = parameters[kParamShiftNumber].toInt();
    if (!parameters[kParamShiftOpened].toBool(false)) return last;
    return last + 1 >= kShiftNumberLimit ? 0 : last + 1;
}

namespace {

// Prints the journal text one line at a time in the journal's font.
void printJournalText(AbstractFptrDriver& driver, ParameterSet& parameters, const std::wstring& text) {
    parameters[kParamAlignment].setInt(kAlignLeft);
    parameters[kParamTextWrap].setInt(kWrapByLines);
    parameters[kParamRecFont].setInt(kJournalFont);
    for (const std::wstring& line : splitLines(text)) driver.printFormattedText(line, parameters);
}

} // namespace

int32_t Norvex::printChequeByShift(int32_t shift) {
    log().logCall(3, L"printChequeByShift", L"%d", shift);
    return run([&] {
        printHeader();
        if (shift == kCurrentShift) {
            journalUpdate();
            shift = currentShiftNumber();
        }
        std::wstring text;
        {
            JournalConnection db = openJournalConnection();
            text = selectByShift(db.get(), shift);
        }

        parameters[kParamAlignment].setInt(kAlignCentre);
        parameters[kParamTextWrap].setInt(kWrapByLines);
        printString(kTapeHeading);
        printString(Str::format(kShiftHeading, shift));
        printJournalText(drv(), parameters, text);
        printFooter();
    });
}

int32_t Norvex::printChequeByNumber(int32_t first, int32_t last) {
    log().logCall(3, L"printChequeByNumber", L"%d %d", first, last);
    return run([&] {
        printHeader();
        journalUpdate();
        std::wstring text;
        {
            JournalConnection db = openJournalConnection();
            text = selectByNumber(db.get(), first, last);
        }

        parameters[kParamAlignment].setInt(kAlignCentre);
        parameters[kParamTextWrap].setInt(kWrapByLines);
        printString(kTapeHeading);
        if (last == kSingleNumber)
            printString(Str::format(kDocumentHeading, first));
        else
            printString(Str::format(kRangeHeading, first, last));
        printJournalText(drv(), parameters, text);
        printFooter();
    });
}

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
