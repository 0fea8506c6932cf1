// Printing operations of the register driver: wrapping, formatted text, raw data, devices and
// pictures, byte for byte against a scripted link.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ScriptedLink.h"
#include "graphic/Picture.h"

using norvex_test::Bytes;
using norvex_test::cat;
using norvex_test::kOk;
using norvex_test::ScriptedLink;
using norvex_test::raisedBy;

namespace {


// A picture of arbitrary colours, so the dark-or-light rule can be tried on any colour.
class ColourPicture : public Orn::Graphic::Picture {
public:
    ColourPicture(int w, int h) { create(w, h, 1); }
    void create(int w, int h, int) override {
        w_ = w;
        h_ = h;
        colours_.assign(static_cast<size_t>(w * h), 0xFFFFFF);
    }
    void scale(double, double) override {}
    void rotate(int) override {}
    int32_t width() const override { return w_; }
    int32_t height() const override { return h_; }
    void setPixel(int x, int y, bool ink) override { setColour(x, y, ink ? 0 : 0xFFFFFF); }
    int32_t pixelColor(int x, int y) const override { return colours_.at(static_cast<size_t>(y * w_ + x)); }
    void setColour(int x, int y, int32_t c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) colours_[static_cast<size_t>(y * w_ + x)] = c;
    }

private:
    int w_ = 0, h_ = 0;
    std::vector<int32_t> colours_;
};

// ---- wrapped printing -------------------------------------------------------------------

struct WrapCase {
    int width, mode, alignment;
    std::wstring text;
    std::vector<std::wstring> lines;
};

TEST(PrintWrapped, LinesByModeAndAlignment) {
    const WrapCase cases[] = {
        {10, 1, 0, L"ab cd efgh ijkl", {L"ab cd efgh", L" ijkl     "}},
        {5, 1, 2, L"hello world", {L"hello", L" worl", L"    d"}},
        {4, 2, 0, L"abcdefghij", {L"abcd", L"efgh", L"ij  "}},
        {6, 0, 0, L"", {L"      "}},
        {6, 0, 1, L"", {L"      "}},
        {6, 0, 2, L"", {L"      "}},
        {6, 0, 0, L"abcdef", {L"abcdef"}},
        {7, 0, 1, L"abc", {L"  abc  "}},
        {7, 0, 3, L"abc", {L"abc"}},                           // unknown alignment: no padding
        {8, 2, 0, L"one\ntwo", {L"one\ntwo "}},               // a line feed only ends a token
        {4, 2, 0, L"ab\r\ncdef", {L"ab\n ", L"cdef"}},          // carriage return dropped
        {4, 2, 0, L"abcd  ef", {L"abcd", L"ef  "}},              // leading spaces dropped
        {4, 1, 0, L"abcd  ef", {L"abcd", L"  ef"}},              // ... but kept by words
        {6, 1, 0, L"ab-cd;ef", {L"ab-cd;", L"ef    "}},
    };
    for (const WrapCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "W " << c.width << " mode " << c.mode << " align " << c.alignment);
        ScriptedLink drv;
        Orn::ParameterSet p;
        p[36].setInt(c.width);
        p[9].setInt(c.mode);
        p[10].setInt(c.alignment);
        std::vector<std::wstring> lines;
        drv.printWrapped(c.text, -3, [&](const std::wstring& l) { lines.push_back(l); return 0; }, p);
        EXPECT_EQ(c.lines, lines);
        EXPECT_TRUE(drv.sent().empty());
    }
}

TEST(PrintWrapped, TooWideWithoutWrapRaisesCallersCodeAndPrintsNothing) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    p[36].setInt(5);
    int printedLines = 0;
    auto raised = raisedBy([&] {
        drv.printWrapped(L"abcdef", -3, [&](const std::wstring&) { return ++printedLines; }, p);
    });
    EXPECT_EQ(std::make_pair(-6, -3), raised);
    EXPECT_EQ(0, printedLines);
}

TEST(PrintText, SendsEncodedTextCutToItsField) {
    ScriptedLink drv;
    drv.expect({0x4C, 0x4B, 0xAE, 0xE2, 0x20, 0xFC}, kOk).answerAny(kOk);
    drv.printText(L"Кот $");
    drv.printText(std::wstring(300, L'x'));
    const Bytes& longer = drv.commands()[1];
    ASSERT_EQ(128u, longer.size());
    EXPECT_EQ('x', longer[126]);
    EXPECT_EQ(0x00, longer[127]);
}

// ---- formatted text and fields ----------------------------------------------------------

TEST(PrintFormattedText, DefaultsAndEveryByte) {
    ScriptedLink drv;
    Orn::ParameterSet empty;
    drv.expect({0x87, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x61}, kOk);
    drv.printFormattedText(L"a", empty);

    Orn::ParameterSet p;
    p[58].setInt(2);
    p[97].setInt(1);
    p[101].setInt(4);
    p[98].setInt(2);
    p[102].setInt(1);
    p[99].setInt(0x1F);
    p[100].setInt(3);
    p[103].setInt(2);
    p[104].setInt(1);
    p[91].setBool(true);
    p[93].setBool(true);
    p[94].setBool(false);
    drv.expect({0x87, 0x00, 0x03, 0x14, 0x13, 0x13, 0x2F, 0x01, 0x01, 0x05, 0x00, 0x00, 0x80, 0x24}, kOk);
    drv.printFormattedText(L"А№", p);
    EXPECT_TRUE(drv.finished());
}

TEST(PrintFormattedText, OutOfRangeStationOrFontSendsNothing) {
    struct Case {
        int station, recFont, jrnFont;
        int parameterCode;
    };
    const Case cases[] = {{3, 0, 0, -65}, {-1, 0, 0, -65}, {0, 5, 0, -75}, {0, 0, -1, -88}, {3, 5, 9, -65},
                          {0, 7, 7, -75}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parameterCode);
        ScriptedLink drv;
        Orn::ParameterSet p;
        p[58].setInt(c.station);
        p[97].setInt(c.recFont);
        p[101].setInt(c.jrnFont);
        EXPECT_EQ(std::make_pair(-6, c.parameterCode), raisedBy([&] { drv.printFormattedText(L"x", p); }));
        EXPECT_TRUE(drv.sent().empty());
    }
}

TEST(AddTextField, FieldFormatAndText) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    p[8].setInt(3);
    p[94].setBool(true);
    drv.expect({0x87, 0x01, 0x03, 0, 0, 0, 0, 0, 0, 0x02, 0x00, 0x00, 0x31, 0x32}, kOk)
        .expect({0x87, 0x00, 0x03, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x00}, kOk);
    drv.addTextField(L"12", p);
    Orn::ParameterSet empty;
    drv.addTextField(L"", empty);
    EXPECT_TRUE(drv.finished());
}

// ---- raw data and devices ---------------------------------------------------------------

TEST(WriteRawData, ChunksOf38) {
    Bytes data(80);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    ScriptedLink drv;
    drv.answerAny(kOk).answerAny(kOk).answerAny(kOk);
    EXPECT_EQ(0, drv.writeRawData(data.data(), 80));
    auto cmds = drv.commands();
    ASSERT_EQ(3u, cmds.size());
    EXPECT_EQ(cat({0x8F, 0x01}, Bytes(data.begin(), data.begin() + 38)), cmds[0]);
    EXPECT_EQ(cat({0x8F, 0x01}, Bytes(data.begin() + 38, data.begin() + 76)), cmds[1]);
    EXPECT_EQ(cat({0x8F, 0x01}, Bytes(data.begin() + 76, data.end())), cmds[2]);

    ScriptedLink none;
    EXPECT_EQ(0, none.writeRawData(data.data(), 0));
    EXPECT_EQ(0, none.writeRawData(data.data(), -5));
    EXPECT_TRUE(none.sent().empty());
}

TEST(DeviceCommands, SendTheirBytes) {
    struct Case {
        const char* name;
        std::function<int(ScriptedLink&, Orn::ParameterSet&)> run;
        Bytes command;
    };
    const Case cases[] = {
        {"cut partial", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.cut(5, p); }, {0x75, 0x01}},
        {"cut full", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.cut(0, p); }, {0x75, 0x00}},
        {"openDrawer", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.openDrawer(p); }, {0x80}},
        {"printHeader", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.printHeader(p); }, {0x6C}},
        {"printFooter", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.printFooter(p); }, {0x73}},
        {"clearPictureArray", [](ScriptedLink& d, Orn::ParameterSet& p) { return d.clearPictureArray(p); },
         {0x8A, 0x00}},
        {"printPictureFromMemory", [](ScriptedLink& d, Orn::ParameterSet&) { return d.printPictureFromMemory(3, 0x0102); },
         {0x8D, 0x01, 0x03, 0x01, 0x02}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedLink drv;
        Orn::ParameterSet p;
        drv.expect(c.command, kOk);
        EXPECT_EQ(0, c.run(drv, p));
        EXPECT_TRUE(drv.finished());
    }
}

// The buzzer exchange raises whatever the test asks for.
class BeepLink : public ScriptedLink {
public:
    int32_t beepError = 0;
    Orn::ByteBuffer transact(const Orn::ByteBuffer& command, bool check, int timeout) override {
        if (command.size() == 1 && command[0] == 0x47 && beepError) {
            ScriptedLink::transact(command, check, timeout);   // recorded
            Orn::raiseError(beepError);
        }
        return ScriptedLink::transact(command, check, timeout);
    }
};

TEST(Beep, NoAnswerIsSwallowedOtherErrorsPropagate) {
    for (int32_t error : {0, -20, -11, -3807}) {
        SCOPED_TRACE(error);
        BeepLink drv;
        drv.beepError = error;
        Orn::ParameterSet p;
        auto raised = raisedBy([&] { EXPECT_EQ(0, drv.beep(p)); });
        EXPECT_EQ(error == -20 ? 0 : error, raised.first);
        ASSERT_EQ(1u, drv.sent().size());
        EXPECT_EQ(Bytes{0x47}, drv.sent()[0].command);
        EXPECT_EQ(0, drv.sent()[0].timeout);
    }
}

// ---- pictures ---------------------------------------------------------------------------

// 10 x 2: top row dark at x 0 and 9, bottom row dark at x 1.
ColourPicture twoRows() {
    ColourPicture pic(10, 2);
    pic.setPixel(0, 1, true);
    pic.setPixel(9, 1, true);
    pic.setPixel(1, 0, true);
    return pic;
}

TEST(PrintPicture, RowsTopFirstCutToTheLineWidth) {
    struct Case {
        int pixelLine;
        std::vector<Bytes> rows;
    };
    const Case cases[] = {
        {16, {{0x80, 0x40}, {0x40, 0x00}}},
        {8, {{0x80}, {0x40}}},
        {800, {{0x80, 0x40}, {0x40, 0x00}}},
        {0, {{}, {}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixelLine);
        ScriptedLink drv;
        Orn::ParameterSet p;
        p[39].setInt(c.pixelLine);
        ColourPicture pic = twoRows();
        drv.answerAny(kOk).answerAny(kOk);
        EXPECT_EQ(0, drv.printPicture(pic, 0x0102, p));
        auto cmds = drv.commands();
        ASSERT_EQ(2u, cmds.size());
        for (size_t i = 0; i < 2; ++i)
            EXPECT_EQ(cat({0x8E, 0x01, 0x00, 0x01, 0x01, 0x02}, c.rows[i]), cmds[i]);
    }
}

TEST(PrintPicture, WithoutLineRasterTheBottomRowIsRepeated) {
    ScriptedLink drv(53, 0);
    Orn::ParameterSet p;
    p[39].setInt(16);
    ColourPicture pic = twoRows();
    drv.expect({0x8E, 0x01, 0x00, 0x20, 0x00, 0x05, 0x40, 0x00}, kOk);
    drv.printPicture(pic, 5, p);
    EXPECT_TRUE(drv.finished());
}

TEST(PrintPicture, DarknessThresholdAndTheExtraByte) {
    ColourPicture pic(8, 1);
    pic.setColour(0, 0, 0x030000);   // blue 3: 351, dark
    pic.setColour(1, 0, 0x000003);   // red 3: 918, dark
    pic.setColour(2, 0, 0x010101);   // 1024 exactly: light
    pic.setColour(7, 0, 0x000000);
    ScriptedLink drv;
    Orn::ParameterSet p;
    p[39].setInt(64);
    drv.expect({0x8E, 0x01, 0x00, 0x01, 0x00, 0x00, 0xC1, 0x00}, kOk);
    drv.printPicture(pic, 0, p);
    EXPECT_TRUE(drv.finished());
}

TEST(UploadPicture, ClosesAnOpenUploadChecksMemoryAndSendsRows) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    p[39].setInt(384);
    ColourPicture pic = twoRows();   // 2 rows of 2 bytes + 1 closing byte = 5
    drv.expect({0x8C}, {0x55, 0x00, 0x10, 0x00, 0x02, 0x01})
        .expect({0x9E}, {0x55, 0x00, 0x03})
        .expect({0x8C}, {0x55, 0x00, 0x00, 0x05, 0x02, 0x00})
        .expect({0x8B, 0x80, 0x40}, kOk)
        .expect({0x8B, 0x40, 0x00}, kOk)
        .expect({0x9E}, {0x55, 0x00, 0x04});
    int number = -1;
    EXPECT_EQ(0, drv.uploadPicture(pic, number, p));
    EXPECT_EQ(4, number);
    EXPECT_TRUE(drv.finished());
}

TEST(UploadPicture, TooLittleMemorySendsNoRows) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    ColourPicture pic = twoRows();
    drv.expect({0x8C}, {0x55, 0x00, 0x00, 0x04, 0x00, 0x00}).expect({0x8C}, {0x55, 0x00, 0x00, 0x04, 0x00, 0x00});
    int number = -1;
    EXPECT_EQ(-22, raisedBy([&] { drv.uploadPicture(pic, number, p); }).first);
    EXPECT_TRUE(drv.finished());
}

TEST(DownloadPicture, RowsArriveTopFirst) {
    ScriptedLink drv;
    ColourPicture pic(1, 1);
    drv.expect({0x9F, 0x07}, {0x55, 0x00, 0x01, 0x00, 0x02})
        .expect({0x86}, {0x55, 0x00, 0x81})
        .expect({0x86}, {0x55, 0x00, 0x01, 0xFF});   // bytes beyond the width are ignored
    EXPECT_EQ(0, drv.downloadPicture(pic, 7));
    EXPECT_TRUE(drv.finished());
    ASSERT_EQ(8, pic.width());
    ASSERT_EQ(2, pic.height());
    std::string rows;
    for (int y = 1; y >= 0; --y) {
        for (int x = 0; x < 8; ++x) rows += pic.pixelColor(x, y) == 0 ? '#' : '.';
        rows += '/';
    }
    EXPECT_EQ("#......#/.......#/", rows);
}

TEST(PictureMemory, StatusAnswers) {
    ScriptedLink drv;
    drv.expect({0x8C}, {0x55, 0x00, 0x12, 0x34, 0x03, 0x01}).expect({0x90, 0x02}, {0x55, 0x00, 0x30, 0x01, 0x02, 0x00});
    int count = -1, open = -1, freeBytes = -1, width = -1, height = -1;
    drv.pictureArrayStatus(count, open, freeBytes);
    EXPECT_EQ(3, count);
    EXPECT_EQ(1, open);
    EXPECT_EQ(0x1234, freeBytes);
    drv.pictureStatus(2, open, width, height);
    EXPECT_EQ(0, open);
    EXPECT_EQ(384, width);
    EXPECT_EQ(0x0102, height);

    // A short answer reads its missing bytes as zero.
    drv.expect({0x8C}, {0x55, 0x00});
    drv.pictureArrayStatus(count, open, freeBytes);
    EXPECT_EQ(0, count + open + freeBytes);
}

TEST(PictureMemory, DeleteLastPicture) {
    ScriptedLink drv;
    Orn::ParameterSet p;
    drv.expect({0x8C}, {0x55, 0x00, 0x00, 0x10, 0x02, 0x00}).expect({0x8A, 0x02}, kOk);
    EXPECT_EQ(0, drv.deleteLastPicture(p));
    drv.expect({0x8C}, {0x55, 0x00, 0x00, 0x10, 0x00, 0x00});
    EXPECT_EQ(-3898, raisedBy([&] { drv.deleteLastPicture(p); }).first);
    EXPECT_TRUE(drv.finished());
    EXPECT_EQ(3u, drv.sent().size());
}

} // namespace
