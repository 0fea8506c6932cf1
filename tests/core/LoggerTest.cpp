#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "core/Error.h"
#include "core/Logger.h"
#include "core/Platform.h"

namespace {

// '9' stands for a decimal digit, 'H' for an upper-case hexadecimal digit, others for themselves.
bool matchesShape(const std::string& text, const std::string& shape) {
    if (text.size() < shape.size()) return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        const char c = text[i];
        const bool digit = c >= '0' && c <= '9';
        if (shape[i] == '9' ? !digit : shape[i] == 'H' ? !(digit || (c >= 'A' && c <= 'F')) : c != shape[i])
            return false;
    }
    return true;
}

// Each test sets the level, reloads the logger and starts from no log file.
// The file is shared by every process of this program, and the test runner starts each test
// case as its own process, possibly in parallel: a lock file keeps the cases one at a time.
class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string lockPath = Platform::toUtf8(Platform::executableDirectory()) + "norvex_log_test.lock";
        lockFd_ = ::open(lockPath.c_str(), O_CREAT | O_RDWR, 0644);
        ASSERT_GE(lockFd_, 0);
        ASSERT_EQ(::flock(lockFd_, LOCK_EX), 0);
    }

    void TearDown() override {
        unsetenv("QLM9_LOG_LVL");
        Logger::instance().reloadForTests();
        removeFile();
        if (lockFd_ >= 0) ::close(lockFd_);  // releases the lock
    }

    void useLevel(const char* value) {
        if (value) setenv("QLM9_LOG_LVL", value, 1);
        else unsetenv("QLM9_LOG_LVL");
        Logger::instance().reloadForTests();
        removeFile();
    }

    std::string filePath() const { return Platform::toUtf8(Logger::instance().path()); }
    void removeFile() const { std::remove(filePath().c_str()); }
    bool fileExists() const { return std::ifstream(filePath()).good(); }

    std::string bytes() const {
        std::ifstream in(filePath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::wstring text() const { return Platform::fromUtf8(bytes()); }

    // Every kind of record once, at every level.
    void writeEverything() {
        Logger& log = Logger::instance();
        const uint8_t frame[] = {0x02, 0x41, 0x03};
        for (int lvl = 1; lvl <= 4; ++lvl) log.write(lvl, L"record %d", lvl);
        log.logCall(3, L"OpenDLL");
        log.logCall(4, L"getStatus", L"%d", 7);
        log.debug(L"link %ls", L"up");
        log.debugDump(L"send", frame, 3, -1);
        log.dump(4, L"serial write:", frame, 3, 3);
        try {
            Orn::raiseError(-20);
        } catch (const Orn::Exception&) {
        }
    }

    int lockFd_ = -1;
};

TEST_F(LoggerTest, LevelsThatMeanOffWriteNothingAndCreateNoFile) {
    const char* values[] = {nullptr, "", "abc", "5", "-1", "0"};
    for (const char* v : values) {
        useLevel(v);
        EXPECT_EQ(Logger::instance().level(), 0) << (v ? v : "(unset)");
        writeEverything();
        EXPECT_FALSE(fileExists()) << (v ? v : "(unset)");
    }
}

TEST_F(LoggerTest, LevelTextIsReadAsLeadingDecimal) {
    const struct {
        const char* value;
        int level;
    } cases[] = {{"2", 2}, {" 3", 3}, {"4x", 4}, {"1", 1}, {"0x3", 0}};
    for (const auto& c : cases) {
        useLevel(c.value);
        EXPECT_EQ(Logger::instance().level(), c.level) << c.value;
    }
}

TEST_F(LoggerTest, EachLevelWritesItsRecordsOnly) {
    const struct {
        const char* level;
        const wchar_t* present[4];
        const wchar_t* absent[3];
    } cases[] = {
        {"2",
         {L" U T:", L"Ошибка -20.0 ()\r\n", L"record 2\r\n", nullptr},
         {L">> OpenDLL()", L"send", L"record 3"}},
        {"3",
         {L"D T:", L">> OpenDLL()\r\n", L"] send 02 41 03 (3 bytes total)\r\n", L"link up\r\n"},
         {L"serial write:", L">> getStatus()", L"record 4"}},
        {"4",
         {L"I T:", L"] serial write: 02 41 03 (3/3 bytes)\r\n", L">> getStatus() 7\r\n", L"record 4\r\n"},
         {nullptr, nullptr, nullptr}},
    };
    for (const auto& c : cases) {
        useLevel(c.level);
        writeEverything();
        const std::wstring t = text();
        for (const wchar_t* p : c.present) {
            if (!p) continue;
            EXPECT_NE(t.find(p), std::wstring::npos) << c.level << ": " << Platform::toUtf8(p);
        }
        for (const wchar_t* a : c.absent) {
            if (!a) continue;
            EXPECT_EQ(t.find(a), std::wstring::npos) << c.level << ": " << Platform::toUtf8(a);
        }
    }
}

TEST_F(LoggerTest, LinesHaveTheHeadAndUtf8Text) {
    useLevel("4");
    Logger::instance().write(2, L"Проверка %ls", L"связи");
    const std::string raw = bytes();
    EXPECT_NE(raw.find("\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB5\xD1\x80\xD0\xBA\xD0\xB0"), std::string::npos);
    EXPECT_TRUE(matchesShape(raw, "[9999.99.99 99:99:99+999 U T:HHHHHHHH] ")) << raw;
    EXPECT_EQ(raw.find("\r\n"), raw.size() - 2) << raw;
}

TEST_F(LoggerTest, LineEndAddedOnlyWhenTheFormatHasNone) {
    useLevel("3");
    Logger::instance().write(3, L"one\n");
    Logger::instance().write(3, L"two");
    Logger::instance().write(3, L"%ls", L"three\n");  // the format decides, not the text
    const std::wstring t = text();
    EXPECT_NE(t.find(L"one\n["), std::wstring::npos);
    EXPECT_EQ(t.find(L"one\n\r\n"), std::wstring::npos);
    EXPECT_NE(t.find(L"two\r\n["), std::wstring::npos);
    EXPECT_NE(t.find(L"three\n\r\n"), std::wstring::npos);
}

TEST_F(LoggerTest, CallTextIsCutAt2047Characters) {
    useLevel("3");
    const std::wstring longText(3000, L'x');
    Logger::instance().logCall(3, L"printString", L"%ls", longText.c_str());
    const std::wstring t = text();
    const size_t from = t.find(L">> printString() ");
    ASSERT_NE(from, std::wstring::npos);
    const size_t start = from + 17;
    EXPECT_EQ(t.substr(start), std::wstring(2047, L'x') + L"\r\n");
}

TEST_F(LoggerTest, FileRemovedWhileRunningIsCreatedAgain) {
    useLevel("2");
    Logger::instance().write(2, L"first");
    ASSERT_TRUE(fileExists());
    removeFile();
    Logger::instance().write(2, L"second");
    const std::wstring t = text();
    EXPECT_EQ(t.find(L"first"), std::wstring::npos);
    EXPECT_NE(t.find(L"second"), std::wstring::npos);
}

} // namespace
