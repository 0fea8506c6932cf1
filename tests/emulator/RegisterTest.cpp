// The register's command layer, driven directly with the bytes the driver sends.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "core/StringUtils.h"
#include "emulator/Register.h"
#include "emulator/Script.h"

using NorvexEmu::Bytes;
using NorvexEmu::Register;

namespace {

Bytes mode(int m, int password) {
    Bytes c{0x56, static_cast<uint8_t>(m)};
    NorvexEmu::appendBcd(c, password, 4);
    return c;
}

Bytes withAmount(Bytes c, int64_t v, int n = 5) {
    NorvexEmu::appendBcd(c, v, n);
    return c;
}

Bytes sale(int64_t price, int64_t qty, uint8_t flags = 0) {
    Bytes c = withAmount({0x52, flags}, price);
    c = withAmount(c, qty);
    c.push_back(0x01);
    return c;
}

const Bytes kOk{0x55, 0x00};

class Reg : public ::testing::Test {
protected:
    uint8_t err(const Bytes& c) {
        Bytes a = r.execute(c);
        return a.size() >= 2 ? a[1] : 0xFF;
    }
    Bytes reg(int n, int a = 0, int b = 0) {
        return r.execute({0x91, static_cast<uint8_t>(n), static_cast<uint8_t>(a), static_cast<uint8_t>(b)});
    }
    int64_t regValue(int n, int a, int b, size_t from, int len) { return NorvexEmu::fromBcd(reg(n, a, b), from, len); }
    void enter(int m) {
        ASSERT_EQ(err({0x48}), 0);
        ASSERT_EQ(err(mode(m, 30)), 0);
    }
    void openSale(int type = 1) {
        enter(1);
        ASSERT_EQ(err({0x92, 0x00, static_cast<uint8_t>(type)}), 0);
    }
    // Polls the state as the driver does while a report runs; returns the mode bytes seen.
    std::vector<int> poll() {
        std::vector<int> seen;
        for (int i = 0; i < 10; ++i) {
            Bytes s = r.execute({0x45});
            seen.push_back(s[1]);
            if ((s[1] >> 4) == 0 && s[1] != 0x17) break;
        }
        return seen;
    }
    std::vector<std::string> readTape() {
        std::vector<std::string> lines;
        Bytes a = r.execute({0xC3, 0x01, 0x00, 0x00});
        while (a.size() >= 2 && a[1] == 0) {
            lines.emplace_back(a.begin() + 2, a.end());
            a = r.execute({0xC3, 0x00, 0x00, 0x00});
        }
        EXPECT_EQ(a, (Bytes{0x55, 24}));
        return lines;
    }
    static bool startsWith(const std::string& s, const std::wstring& w) {
        std::string p = Orn::Utils::String::toCp1251(w);
        return s.compare(0, p.size(), p) == 0;
    }
    Register r{53};
};

} // namespace

TEST_F(Reg, ModeRules) {
    struct Case { int from; int to; int password; uint8_t error; } cases[] = {
        {0, 1, 30, 0}, {0, 1, 5, 0}, {0, 2, 1, 0}, {0, 3, 29, 0}, {0, 4, 30, 0},
        {0, 4, 29, 140}, {0, 3, 28, 140}, {0, 1, 31, 140}, {0, 9, 30, 102},
        {1, 2, 30, 102}, {4, 4, 30, 102},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + "->" + std::to_string(c.to) + " pw " + std::to_string(c.password));
        ASSERT_EQ(err({0x48}), 0);
        if (c.from) {
            ASSERT_EQ(err(mode(c.from, 30)), 0);
        }
        EXPECT_EQ(err(mode(c.to, c.password)), c.error);
        EXPECT_EQ(r.execute({0x45})[1], c.error ? c.from : c.to);
    }
    EXPECT_EQ(Register(53).execute(0x1234, {0x45}), (Bytes{0x55, 140}));
}

TEST_F(Reg, DeviceTypeAndPrintParameters) {
    Bytes d = r.execute({0xA5});
    ASSERT_GT(d.size(), 11u);
    EXPECT_EQ(d[0], 0);
    EXPECT_EQ(d[3], 53);
    // The name in the answer character set: capitals from 0x00, small letters from 0x80.
    Bytes name(d.begin() + 11, d.end());
    EXPECT_EQ(name, (Bytes{'L', 'u', 'm', 'o', '-', '3', '0', 0x0F, 0x12, 0x0A}));

    struct Case { int model; int chars; } cases[] = {{53, 48}, {47, 36}, {52, 32}};
    for (const auto& c : cases) {
        Bytes p = Register(c.model).execute({0x91, 24, 0, 0});
        ASSERT_GE(p.size(), 11u);
        EXPECT_EQ(NorvexEmu::fromBcd(p, 2, 1), c.chars);
        EXPECT_EQ(NorvexEmu::fromBcd(p, 3, 2), c.chars * 12);
    }
    EXPECT_EQ(reg(31), (Bytes{0x55, 108}));
}

TEST_F(Reg, TableFieldsMatchTheDriversMaps) {
    struct Case { int model, table, row, field; size_t width; } cases[] = {
        {53, 2, 1, 1, 1}, {53, 2, 1, 23, 2}, {53, 2, 1, 53, 3}, {53, 2, 1, 57, 2}, {53, 2, 1, 98, 1},
        {53, 3, 30, 1, 4}, {53, 3, 30, 2, 57}, {47, 3, 1, 2, 36}, {52, 6, 20, 1, 48}, {53, 8, 16, 1, 2},
        {53, 9, 4, 2, 1}, {53, 12, 9, 1, 57}, {53, 13, 5, 1, 57}, {53, 14, 16, 2, 1}, {53, 4, 2, 1, 1},
    };
    for (const auto& c : cases) {
        Bytes a = Register(c.model).execute({0x46, static_cast<uint8_t>(c.table), 0, static_cast<uint8_t>(c.row),
                                             static_cast<uint8_t>(c.field)});
        EXPECT_EQ(a.size(), c.width + 2) << c.model << " " << c.table << "/" << c.row << "/" << c.field;
    }
}

TEST_F(Reg, TableWrites) {
    const Bytes write{0x50, 0x08, 0x00, 0x01, 0x01, 0x12, 0x50};
    EXPECT_EQ(err(write), 102);
    enter(4);
    EXPECT_EQ(err({0x50, 99, 0, 1, 1, 0}), 145);
    EXPECT_EQ(err({0x50, 8, 0, 17, 1, 0, 0}), 146);
    EXPECT_EQ(err({0x50, 8, 0, 0, 1, 0, 0}), 146);
    EXPECT_EQ(err({0x50, 8, 0, 1, 2, 0, 0}), 147);
    EXPECT_EQ(err({0x50, 8, 0, 1, 1, 0x12}), 20);
    EXPECT_EQ(err(write), 0);
    EXPECT_EQ(r.execute({0x46, 8, 0, 1, 1}), (Bytes{0x55, 0, 0x12, 0x50}));
    // A new access password takes effect with the next block.
    EXPECT_EQ(err({0x50, 2, 0, 1, 23, 0x12, 0x34}), 0);
    EXPECT_EQ(r.execute(0x0000, {0x45}), (Bytes{0x55, 140}));
    EXPECT_EQ(r.execute(0x1234, {0x45})[1], 0x04);
}

TEST_F(Reg, ClockAndFactoryNumber) {
    EXPECT_EQ(err({0x64, 0x31, 0x12, 0x24}), 0);
    EXPECT_EQ(err({0x4B, 0x23, 0x59, 0x00}), 0);
    Bytes t = reg(17);
    EXPECT_EQ(Bytes(t.begin() + 2, t.begin() + 7), (Bytes{0x31, 0x12, 0x24, 0x23, 0x59}));
    EXPECT_EQ(err({0x64, 0x30, 0x02, 0x24}), 148);
    EXPECT_EQ(err({0x64, 0x1A, 0x01, 0x24}), 148);
    EXPECT_EQ(err({0x4B, 0x24, 0x00, 0x00}), 149);

    EXPECT_EQ(err({0x61, 0x78, 0x56, 0x34, 0x12}), 158);
    r.setSerialNumber("");
    EXPECT_EQ(err({0x61, 0x78, 0x56, 0x34, 0x12}), 0);
    Bytes s = r.execute({0x3F});
    EXPECT_EQ(Bytes(s.begin() + 10, s.begin() + 14), (Bytes{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(reg(22), (Bytes{0x55, 0, 0x12, 0x34, 0x56, 0x78}));
}

TEST_F(Reg, SaleWithCheckPassPaymentsAndChange) {
    openSale();
    EXPECT_EQ(err(sale(12345, 1500, 0x01)), 0);                   // checked only
    EXPECT_EQ(regValue(20, 0, 0, 2, 5), 0);
    EXPECT_EQ(err(sale(12345, 1500)), 0);                         // 185.175 rounds to 185.18
    EXPECT_EQ(regValue(20, 0, 0, 2, 5), 18518);
    EXPECT_EQ(err(withAmount({0x99, 0x00, 0x02}, 20000)), 113);   // non-cash above the total
    EXPECT_EQ(r.execute(withAmount({0x99, 0x00, 0x02}, 8518)), (Bytes{0x55, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(err(withAmount({0x99, 0x00, 0x02}, 10001)), 113);   // more than the remaining 100.00
    EXPECT_EQ(r.execute(withAmount({0x99, 0x00, 0x01}, 50000)),
              (Bytes{0x55, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0, 0}));  // change 400.00
    EXPECT_EQ(err({0x4A, 0x00, 0x01, 0, 0, 0, 0, 0}), 0);

    EXPECT_EQ(regValue(1, 1, 0, 2, 6), 18518);
    EXPECT_EQ(regValue(3, 1, 1, 2, 6), 10000);                    // cash kept: 500.00 less the change
    EXPECT_EQ(regValue(3, 1, 2, 2, 6), 8518);
    EXPECT_EQ(regValue(10, 0, 0, 2, 7), 10000);
    EXPECT_EQ(regValue(6, 1, 0, 2, 2), 1);
    Bytes n = reg(19);
    EXPECT_EQ(n[3], 0);                                           // receipt closed
    EXPECT_EQ(NorvexEmu::fromBcd(n, 4, 2), 2);
    EXPECT_EQ(NorvexEmu::fromBcd(n, 6, 4), 2);
    EXPECT_EQ(r.execute({0x4D}), (Bytes{0x4D, 0, 0, 0, 0, 0x01, 0, 0}));
    EXPECT_NE(r.execute({0x3F})[9] & 0x02, 0);                    // the receipt opened the shift
}

TEST_F(Reg, OutOfOrderCommandsAreRefused) {
    enter(1);
    EXPECT_EQ(err(sale(100, 1000)), 154);
    EXPECT_EQ(err(withAmount({0x99, 0x00, 0x01}, 100)), 154);
    EXPECT_EQ(err({0x4A, 0x00, 0x01, 0, 0, 0, 0, 0}), 154);
    EXPECT_EQ(err({0x59}), 154);
    EXPECT_EQ(err(withAmount({0x4F, 0x00}, 1)), 152);             // empty drawer
    EXPECT_EQ(err({0x92, 0x00, 0x07}), 106);
    ASSERT_EQ(err({0x92, 0x00, 0x01}), 0);
    EXPECT_EQ(err({0x92, 0x00, 0x01}), 155);
    EXPECT_EQ(err(withAmount({0x49, 0x00}, 100)), 155);
    EXPECT_EQ(err(withAmount(withAmount({0x57, 0x00}, 100), 1000)), 106);   // return line in a sale
    EXPECT_EQ(err(sale(100, 0)), 10);
    EXPECT_EQ(err(sale(1000, 1000)), 0);
    EXPECT_EQ(err({0x4A, 0x00, 0x02, 0, 0, 0, 0x20, 0}), 113);   // card above the total
    EXPECT_EQ(err({0x48}), 0);
    EXPECT_EQ(err(sale(100, 1000)), 102);
    r.setPaperOut(true);
    EXPECT_EQ(err({0x4C, 'a'}), 103);
    EXPECT_EQ(r.execute({0x45}), (Bytes{0x55, 0x00, 0x01}));
    EXPECT_EQ(r.execute({0x3F})[9] & 0x08, 0);
}

TEST_F(Reg, ReturnNeedsCashInTheDrawer) {
    enter(1);
    ASSERT_EQ(err(withAmount({0x49, 0x00}, 5000)), 0);
    ASSERT_EQ(err({0x92, 0x00, 0x02}), 0);
    ASSERT_EQ(err(withAmount(withAmount({0x57, 0x00}, 6000), 1000)), 0);
    EXPECT_EQ(err({0x4A, 0x00, 0x01, 0, 0, 0, 0, 0}), 152);
    EXPECT_EQ(err({0x4A, 0x00, 0x02, 0, 0, 0, 0, 0}), 0);         // by card it goes through
    EXPECT_EQ(regValue(10, 0, 0, 2, 7), 5000);
    EXPECT_EQ(err(withAmount({0x4F, 0x00}, 5001)), 152);
    EXPECT_EQ(err(withAmount({0x4F, 0x00}, 5000)), 0);
    EXPECT_EQ(regValue(5, 0, 0, 2, 6), 5000);
}

TEST_F(Reg, ControlTapeHoldsTheShiftsDocuments) {
    openSale();
    ASSERT_EQ(err({0x4C, 'A', 0xFC, '1'}), 0);                    // prints "A$1"
    ASSERT_EQ(err(sale(1000, 1000)), 0);
    ASSERT_EQ(err({0x4A, 0x00, 0x01, 0, 0, 0, 0, 0}), 0);
    ASSERT_EQ(err({0x92, 0x00, 0x01}), 0);
    ASSERT_EQ(err({0x59}), 0);
    ASSERT_EQ(err(withAmount({0x49, 0x00}, 100)), 0);

    std::vector<std::string> t = readTape();
    ASSERT_GE(t.size(), 8u);
    EXPECT_TRUE(startsWith(t[0], L"СМЕНА"));
    EXPECT_TRUE(startsWith(t[1], L"ЧЕК ПРОДАЖИ"));
    EXPECT_EQ(t[2], "A\xB9" "1");                                 // '$' travels as the numero sign
    auto number = std::find_if(t.begin(), t.end(), [](const std::string& s) { return s[0] == '#'; });
    ASSERT_NE(number, t.end());
    int day, month, year, hour, minute;
    std::string last = number->substr(number->size() - 14);
    EXPECT_EQ(std::sscanf(last.c_str(), "%2d-%2d-%2d %2d:%2d", &day, &month, &year, &hour, &minute), 5);
    EXPECT_EQ(number->compare(0, 5, "#0001"), 0);
    auto annulled = std::find_if(t.begin(), t.end(), [&](const std::string& s) { return startsWith(s, L"ЧЕК АННУЛИРОВАН"); });
    ASSERT_NE(annulled, t.end());
    EXPECT_TRUE(startsWith(*(annulled - 1), L"ЧЕК ПРОДАЖИ"));
    EXPECT_TRUE(startsWith(*(annulled + 1), L"ВНЕСЕНИЕ"));
    EXPECT_EQ(t.back().compare(0, 5, "#0002"), 0);
    EXPECT_EQ(regValue(7, 0, 0, 2, 2), 1);
}

TEST_F(Reg, NumberLineFitsOneLineOnEveryModel) {
    for (int model : {53, 47, 52}) {
        r = Register(model);
        std::string error;
        ASSERT_TRUE(NorvexEmu::runScript(r, "cash-in 1\n", &error)) << error;
        std::vector<std::string> t = readTape();
        ASSERT_EQ(t.size(), 4u) << model;
        EXPECT_EQ(t[3].compare(0, 5, "#0001"), 0) << model;
        EXPECT_LE(t[3].size(), static_cast<size_t>(r.lineWidth()));
        EXPECT_EQ(t[3][t[3].size() - 3], ':') << model;
    }
}

TEST_F(Reg, ReportsRunForAFewPollsAndZClosesTheShift) {
    r.setReportPolls(2);
    openSale();
    ASSERT_EQ(err(sale(1000, 1000)), 0);
    ASSERT_EQ(err({0x4A, 0x00, 0x01, 0, 0, 0, 0, 0}), 0);
    enter(2);
    EXPECT_EQ(err({0x5A}), 102);
    ASSERT_EQ(err({0x67, 0x01}), 0);
    EXPECT_EQ(err({0x4C, 'x'}), 118);                             // busy while printing
    EXPECT_EQ(poll(), (std::vector<int>{0x22, 0x02}));

    enter(3);
    ASSERT_EQ(err({0x5A}), 0);
    EXPECT_EQ(poll(), (std::vector<int>{0x23, 0x17, 0x03}));
    Bytes s = r.execute({0x3F});
    EXPECT_EQ(s[9] & 0x02, 0);
    EXPECT_EQ(NorvexEmu::fromBcd(s, 20, 2), 1);
    EXPECT_EQ(regValue(1, 1, 0, 2, 6), 0);
    EXPECT_EQ(regValue(10, 0, 0, 2, 7), 1000);                    // the drawer is not emptied
    EXPECT_EQ(r.execute({0xC3, 0x01, 0x00, 0x00}), (Bytes{0x55, 24}));
    Bytes range = r.execute({0x63});
    ASSERT_EQ(range.size(), 12u);
    EXPECT_EQ(NorvexEmu::fromBcd(range, 8, 2), 1);
    EXPECT_EQ(NorvexEmu::fromBcd(range, 10, 2), 1);

    // The fiscal-memory dump: the total counts every chunk with its trailing byte.
    Bytes head = r.execute({0x83});
    size_t total = (head[2] << 8) | head[3], got = 0;
    for (int i = 0; i < 10 && got < total; ++i) {
        Bytes chunk = r.execute({0x84});
        ASSERT_EQ(chunk[1], 0);
        got += chunk.size() - 2;
    }
    EXPECT_EQ(got, total);
}

TEST_F(Reg, PaperOutInterruptsARunningReport) {
    r.setReportPolls(5);
    enter(3);
    ASSERT_EQ(err({0x5A}), 0);
    EXPECT_EQ(r.execute({0x45})[1], 0x23);
    r.setPaperOut(true);
    EXPECT_EQ(r.execute({0x45}), (Bytes{0x55, 0x03, 0x01}));
    EXPECT_EQ(NorvexEmu::fromBcd(r.execute({0x3F}), 20, 2), 0);   // the shift was not closed
}

TEST_F(Reg, ShiftOlderThanADayRefusesReceipts) {
    std::string error;
    ASSERT_TRUE(NorvexEmu::runScript(r, "open-shift\nshift-age 23\n", &error)) << error;
    openSale();
    ASSERT_EQ(err({0x59}), 0);
    r.ageShift(1);
    EXPECT_EQ(err({0x92, 0x00, 0x01}), 136);
    EXPECT_FALSE(NorvexEmu::runScript(r, "sale 1\n", &error));
    EXPECT_NE(error.find("line 1"), std::string::npos);
    EXPECT_FALSE(NorvexEmu::runScript(r, "# comment\nbogus\n", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
}

TEST_F(Reg, StateSurvivesSaveAndLoad) {
    std::string error;
    ASSERT_TRUE(NorvexEmu::runScript(r, "sale 10.00\ncash-in 5\n", &error)) << error;
    enter(4);
    ASSERT_EQ(err({0x50, 8, 0, 1, 1, 0x18, 0x00}), 0);
    std::string path = "/tmp/norvex-emu-state-" + std::to_string(getpid());
    ASSERT_TRUE(r.save(path, &error)) << error;

    Register back(53);
    ASSERT_TRUE(back.load(path, &error)) << error;
    EXPECT_EQ(back.cashInDrawer(), 1500);
    EXPECT_EQ(back.documentNumber(), 3);
    EXPECT_TRUE(back.shiftOpen());
    EXPECT_EQ(back.controlTape(), r.controlTape());
    EXPECT_EQ(back.execute({0x46, 8, 0, 1, 1}), (Bytes{0x55, 0, 0x18, 0x00}));

    std::ofstream(path, std::ios::app) << "field 8 1 1 123456\n";   // wrong width
    Register untouched(53);
    EXPECT_FALSE(untouched.load(path, &error));
    EXPECT_EQ(untouched.cashInDrawer(), 0);
    unlink(path.c_str());
}
