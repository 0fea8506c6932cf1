// A journal that cannot be written (its place is taken by a directory, which even root cannot
// open as a database): every operation of the day still works, and every copy is empty.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "test_day.h"

namespace e2e_test {
namespace {

class UnwritableJournal : public DayTest {
protected:
    void SetUp() override {
        DayTest::SetUp();
        ASSERT_EQ(mkdir(journal_.c_str(), 0755), 0);
    }
    void TearDown() override {
        DayTest::TearDown();
        rmdir(journal_.c_str());
    }
};

TEST_F(UnwritableJournal, DayRunsAndCopiesAreEmpty) {
    const std::string bread = cp1251(L"ХЛЕБ");
    ASSERT_EQ(open(), 0);
    sale(L"ХЛЕБ", 4550);
    cashIn(10000);
    EXPECT_EQ(call<int32_t>("XReport"), 0);

    EXPECT_EQ((call<int32_t, int32_t>("EJNoDoc", 1)), 0);
    kill(emu_->pid(), SIGUSR1);   // the emulator writes its paper so far
    std::vector<std::string> copy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        copy = paperFromLast(utf8(L"ОНТРОЛЬНАЯ ЛЕНТА"));
        if (holds(copy, utf8(L"Документ №1"))) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(holds(copy, utf8(L"Документ №1")));
    EXPECT_FALSE(holds(copy, utf8(L"ХЛЕБ"))) << "nothing could be filed, so the copy holds no document";

    EXPECT_EQ(call<int32_t>("ShiftClose"), 0);
    const NorvexEmu::Register reg = stopAndLoad();
    EXPECT_FALSE(reg.shiftOpen());
    EXPECT_EQ(reg.lastShift(), 1);
}

} // namespace
} // namespace e2e_test
