#include "fptr/tavro20/Tavro20Report.h"

#include "core/Error.h"
#include "core/StringUtils.h"
#include "fptr/tavro20/TavroDrv.h"

namespace Orn { namespace Fptr { namespace Tavro20 { namespace Reports {

namespace Str = Orn::Utils::String;

int RomReportItem::fill(ParameterSet& params) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(bytes_.size() * 3);
    for (uint8_t b : bytes_) {
        text += digits[b >> 4];
        text += digits[b & 15];
        text += L' ';
    }
    params[AbstractReport::kReportLine].setText(text);
    return 0;
}

int RomReport::start(ParameterSet& params) {
    clear();
    int block = params[kBlockSelector].toInt();
    int64_t total;
    if (block == -1) {
        ByteBuffer answer = driver().command(ByteBuffer{0x83});
        total = (answer.at(2) << 8) | answer.at(3);
    } else {
        ByteBuffer answer = driver().command(ByteBuffer{0x9C, static_cast<uint8_t>(block)});
        total = (static_cast<int64_t>(answer.at(2)) << 16) | (answer.at(3) << 8) | answer.at(4);
    }
    int64_t received = 0;
    while (received < total) {
        ByteBuffer answer = driver().command(ByteBuffer{0x84});
        // A block without data would never bring the count closer to the total.
        if (answer.size() <= 2) raiseError(-15);
        append(std::make_unique<RomReportItem>(answer.data() + 2, answer.size() - 3));
        received += static_cast<int64_t>(answer.size()) - 2;
    }
    rewind();
    return 0;
}

std::wstring JournalDataReport::exchangeSigns(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'$') c = L'\u2116';
        else if (c == L'\u2116') c = L'$';
    }
    return text;
}

int JournalDataReport::start(ParameterSet& /*params*/) {
    clear();
    for (bool first = true;; first = false) {
        ByteBuffer answer;
        try {
            answer = driver().command(ByteBuffer{0xC3, static_cast<uint8_t>(first ? 1 : 0), 0x00, 0x00});
        } catch (const Exception& e) {
            if (e.code() == -17) break;   // the register has no more lines
            throw;
        }
        size_t end = 2;
        while (end < answer.size() && answer[end] != 0) ++end;
        std::wstring line;
        if (end > 2)
            line = Str::fromCp1251(reinterpret_cast<const char*>(answer.data() + 2), static_cast<int>(end - 2));
        append(std::make_unique<TextReportItem>(exchangeSigns(line)));
    }
    setType(kType);
    rewind();
    return 0;
}

}}}} // namespace Orn::Fptr::Tavro20::Reports
