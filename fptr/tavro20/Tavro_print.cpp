// Printing: plain, wrapped and formatted text, raw data, pictures and picture memory, and the
// small devices (cutter, buzzer, drawer).
#include <algorithm>
#include <vector>

#include "core/Error.h"
#include "core/Logger.h"
#include "core/StringUtils.h"
#include "fptr/tavro20/TavroDrv.h"
#include "graphic/Picture.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

namespace Str = Orn::Utils::String;

namespace {

enum Param {
    kDeviceFlags = 8,
    kTextWrap = 9,
    kAlignment = 10,
    kCharLineLength = 36,
    kPixelLineLength = 39,
    kPrintPurpose = 58,
    kRecFont = 97,
    kRecHeight = 98,
    kRecSetting1 = 99,
    kRecSetting2 = 100,
    kJrnFont = 101,
    kJrnHeight = 102,
    kJrnSetting1 = 103,
    kJrnSetting2 = 104,
    kAttribute91 = 91,
    kAttribute93 = 93,
    kAttribute94 = 94,
};

constexpr int kRawChunk = 38;
constexpr int kTextCapacity = 127;

void logCall(const wchar_t* name) { Logger::instance().logCall(4, name); }

void appendBigEndian16(ByteBuffer& cmd, int v) {
    cmd.append(static_cast<uint8_t>((v >> 8) & 0xFF));
    cmd.append(static_cast<uint8_t>(v & 0xFF));
}

void appendEncoded(ByteBuffer& cmd, const std::wstring& text) {
    for (wchar_t c : text) cmd.append(TavroDrv::encodeChar(c));
}

// The three text attribute flags shared by formatted text and text fields.
uint8_t attributeByte(ParameterSet& params) {
    return static_cast<uint8_t>((params[kAttribute93].toBool() ? 4 : 0) |
                                (params[kAttribute94].toBool() ? 2 : 0) |
                                (params[kAttribute91].toBool() ? 1 : 0));
}

// Font numbers 1..4 are sent in reverse order; 0 stays 0.
uint8_t fontCode(int font, int parameterCode) {
    if (font < 0 || font > 4) raiseError(-6, parameterCode);
    return static_cast<uint8_t>(font == 0 ? 0 : 5 - font);
}

uint8_t heightBits(int selector, int shift) {
    if (selector == 1) return static_cast<uint8_t>(1 << shift);
    if (selector == 2) return static_cast<uint8_t>(3 << shift);
    return 0;
}

// One raster row: the leftmost pixel is the most significant bit; a dark pixel is a 1.
// Every row gets width / 8 + 1 bytes, so a width that is a multiple of 8 has an empty last byte.
ByteBuffer rasterRow(const Graphic::Picture& picture, int y) {
    const int w = std::max(0, static_cast<int>(picture.width()));
    ByteBuffer row(static_cast<size_t>(w / 8 + 1));
    for (int x = 0; x < w; ++x)
        if (Graphic::isInk(picture.pixelColor(x, y)))
            row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return row;
}

// All rows, the top of the picture first.
std::vector<ByteBuffer> rasterRows(const Graphic::Picture& picture) {
    std::vector<ByteBuffer> rows;
    for (int y = static_cast<int>(picture.height()) - 1; y >= 0; --y) rows.push_back(rasterRow(picture, y));
    return rows;
}

// Size of the whole converted picture: its rows back to back and one closing zero byte.
size_t rasterSize(const std::vector<ByteBuffer>& rows) {
    size_t n = 1;
    for (const auto& r : rows) n += r.size();
    return n;
}

void appendPrefix(ByteBuffer& cmd, const ByteBuffer& row, int limit) {
    size_t n = std::min(row.size(), static_cast<size_t>(std::max(0, limit)));
    cmd.append(row.data(), n);
}

// Fits a printed line to the width: cut when longer, padded by the alignment when shorter.
std::wstring fitLine(const std::wstring& line, int width, int alignment) {
    if (static_cast<int>(line.size()) >= width) return line.substr(0, static_cast<size_t>(width));
    if (alignment < 0 || alignment > 2) return line;
    return Str::fitToWidth(line, width, alignment);
}

} // namespace

int TavroDrv::printText(const std::wstring& text) {
    logCall(L"printText");
    ByteBuffer cmd{0x4C};
    cmd.append(encodeText(text, kTextCapacity));
    command(cmd);
    return 0;
}

int TavroDrv::printWrapped(const std::wstring& text, int parameterCode, const PrintLine& printLine,
                           ParameterSet& params) {
    int width = std::max(0, params[kCharLineLength].toInt());
    if (width == 0) {
        info(params);
        width = std::max(0, params[kCharLineLength].toInt());
        if (width == 0) return 0;
    }
    const int mode = params[kTextWrap].toInt();
    if (mode == 0 && static_cast<int>(text.size()) > width) raiseError(-6, parameterCode);
    const int alignment = params[kAlignment].toInt();
    const int breakSet = (mode == 1 || mode == 2) ? mode : 0;

    std::wstring rest = text;
    std::wstring line;
    std::wstring token;
    for (;;) {
        Str::nextWord(rest, token, breakSet);
        if (!token.empty()) {
            size_t need = line.size() + token.size() - (token.back() == L' ' ? 1 : 0);
            if (line.empty() || need <= static_cast<size_t>(width)) {
                line += token;
                continue;
            }
        }
        printLine(fitLine(line, width, alignment));
        // What did not fit goes on the next line when wrapping; otherwise it is dropped.
        if (static_cast<int>(line.size()) > width && mode != 0)
            line.erase(0, static_cast<size_t>(width));
        else
            line.clear();
        line += token;
        if (mode == 2) line.erase(0, line.find_first_not_of(L' '));
        if (line.empty()) break;
    }
    return 0;
}

int TavroDrv::printHeader(ParameterSet& /*params*/) {
    logCall(L"printHeader");
    return singleByteCommand(0x6C);
}

int TavroDrv::printFooter(ParameterSet& /*params*/) {
    logCall(L"printFooter");
    return singleByteCommand(0x73);
}

int TavroDrv::printFormattedText(const std::wstring& text, ParameterSet& params) {
    logCall(L"printFormattedText");
    const int purpose = params[kPrintPurpose].toInt();
    if (purpose < 0 || purpose > 2) raiseError(-6, -65);
    const uint8_t recFont = fontCode(params[kRecFont].toInt(), -75);
    const uint8_t jrnFont = fontCode(params[kJrnFont].toInt(), -88);

    ByteBuffer cmd{0x87, 0x00};
    cmd.append(static_cast<uint8_t>(purpose + 1));
    cmd.append(static_cast<uint8_t>(recFont | (jrnFont << 4)));
    cmd.append(static_cast<uint8_t>(heightBits(params[kRecHeight].toInt(), 0) |
                                    heightBits(params[kJrnHeight].toInt(), 4)));
    cmd.append(static_cast<uint8_t>((params[kJrnSetting2].toInt() << 4) | (params[kRecSetting2].toInt() & 15)));
    cmd.append(static_cast<uint8_t>((params[kJrnSetting1].toInt() << 4) | (params[kRecSetting1].toInt() & 15)));
    cmd.append(0x01);
    cmd.append(0x01);
    cmd.append(attributeByte(params));
    cmd.append(0x00);
    cmd.append(0x00);
    appendEncoded(cmd, text);
    command(cmd);
    return 0;
}

int TavroDrv::addTextField(const std::wstring& text, ParameterSet& params) {
    logCall(L"addTextField");
    ByteBuffer cmd{0x87, static_cast<uint8_t>(params[kDeviceFlags].toInt() & 1), 0x03,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    cmd.append(attributeByte(params));
    cmd.append(0x00);
    cmd.append(0x00);
    appendEncoded(cmd, text);
    command(cmd);
    return 0;
}

int TavroDrv::writeRawData(const uint8_t* bytes, int length) {
    logCall(L"writeRawData");
    if (!bytes || length <= 0) return 0;
    for (int from = 0; from < length; from += kRawChunk) {
        ByteBuffer cmd{0x8F, 0x01};
        cmd.append(bytes + from, static_cast<size_t>(std::min(kRawChunk, length - from)));
        command(cmd);
    }
    return 0;
}

int TavroDrv::cut(int partial, ParameterSet& /*params*/) {
    logCall(L"cut");
    command(ByteBuffer{0x75, static_cast<uint8_t>(partial ? 1 : 0)});
    return 0;
}

int TavroDrv::beep(ParameterSet& /*params*/) {
    logCall(L"beep");
    try {
        command(ByteBuffer{0x47}, 0);
    } catch (const Exception& e) {
        // The buzzer command has no answer to wait for; a missing one is no failure.
        if (e.code() != -20) throw;
    }
    return 0;
}

int TavroDrv::openDrawer(ParameterSet& /*params*/) {
    logCall(L"openDrawer");
    return singleByteCommand(0x80);
}

int TavroDrv::printPicture(Graphic::Picture& picture, int offset, ParameterSet& params) {
    logCall(L"printPicture");
    const int perLine = params[kPixelLineLength].toInt() / 8;
    if (hasCapability(128)) {
        for (const ByteBuffer& row : rasterRows(picture)) {
            ByteBuffer cmd{0x8E, 0x01, 0x00, 0x01};
            appendBigEndian16(cmd, offset);
            appendPrefix(cmd, row, perLine);
            command(cmd);
        }
    } else {
        // Without line-by-line raster printing the bottom row is repeated 32 times, which is
        // how one-row pictures such as linear barcodes come out.
        ByteBuffer cmd{0x8E, 0x01, 0x00, 0x20};
        appendBigEndian16(cmd, offset);
        appendPrefix(cmd, rasterRow(picture, 0), perLine);
        command(cmd);
    }
    return 0;
}

int TavroDrv::uploadPicture(Graphic::Picture& picture, int& number, ParameterSet& params) {
    logCall(L"uploadPicture");
    ByteBuffer status = command(ByteBuffer{0x8C});
    if (status.at(5) != 0) command(ByteBuffer{0x9E});   // close an upload left open
    const std::vector<ByteBuffer> rows = rasterRows(picture);
    status = command(ByteBuffer{0x8C});
    const size_t freeBytes = static_cast<size_t>((status.at(2) << 8) | status.at(3));
    if (freeBytes < rasterSize(rows)) raiseError(-22);
    const int limit = params[kPixelLineLength].toInt();
    for (const ByteBuffer& row : rows) {
        ByteBuffer cmd{0x8B};
        appendPrefix(cmd, row, limit);
        command(cmd);
    }
    ByteBuffer answer = command(ByteBuffer{0x9E});
    number = answer.at(2);
    return 0;
}

int TavroDrv::downloadPicture(Graphic::Picture& picture, int number) {
    ByteBuffer head = command(ByteBuffer{0x9F, static_cast<uint8_t>(number)});
    const int widthBytes = head.at(2);
    const int height = (head.at(3) << 8) | head.at(4);
    picture.create(widthBytes * 8, height, 1);
    for (int y = height - 1; y >= 0; --y) {
        ByteBuffer line = command(ByteBuffer{0x86});
        for (size_t j = 2; j < line.size(); ++j)
            for (int k = 0; k < 8; ++k)
                picture.setPixel(static_cast<int>(8 * (j - 2)) + k, y, (line[j] >> (7 - k)) & 1);
    }
    return 0;
}

int TavroDrv::printPictureFromMemory(int number, int offset) {
    logCall(L"printPictureFromMemory");
    ByteBuffer cmd{0x8D, 0x01, static_cast<uint8_t>(number)};
    appendBigEndian16(cmd, offset);
    command(cmd);
    return 0;
}

int TavroDrv::pictureArrayStatus(int& count, int& openFlag, int& freeBytes) {
    logCall(L"pictureArrayStatus");
    ByteBuffer answer = command(ByteBuffer{0x8C});
    freeBytes = (answer.at(2) << 8) | answer.at(3);
    count = answer.at(4);
    openFlag = answer.at(5) ? 1 : 0;
    return 0;
}

int TavroDrv::pictureStatus(int number, int& openFlag, int& width, int& height) {
    logCall(L"pictureStatus");
    ByteBuffer answer = command(ByteBuffer{0x90, static_cast<uint8_t>(number)});
    width = answer.at(2) * 8;
    height = (answer.at(3) << 8) | answer.at(4);
    openFlag = answer.at(5) ? 1 : 0;
    return 0;
}

int TavroDrv::deleteLastPicture(ParameterSet& /*params*/) {
    logCall(L"deleteLastPicture");
    ByteBuffer answer = command(ByteBuffer{0x8C});
    const uint8_t count = answer.at(4);
    if (count == 0) raiseError(-3898);
    command(ByteBuffer{0x8A, count});
    return 0;
}

int TavroDrv::clearPictureArray(ParameterSet& /*params*/) {
    logCall(L"clearPictureArray");
    command(ByteBuffer{0x8A, 0x00});
    return 0;
}

}}} // namespace Orn::Fptr::Tavro20
