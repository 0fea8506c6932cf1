// Entry lines of the exports in the log beside the host program, by QLM9_LOG_LVL.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ApiHost.h"

using namespace api_test;

namespace {

std::string logPath() {
    char buf[PATH_MAX + 1] = {0};
    const ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
    std::string exe(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return exe.substr(0, exe.find_last_of('/') + 1) + "norvex_log.txt";
}

bool exists(const std::string& path) { return std::ifstream(path).good(); }

// The lines that the given process wrote (its thread id heads each of them), so the
// children of earlier tests, logging into the same file, do not matter.
std::vector<std::string> linesOf(pid_t pid) {
    char tag[32];
    std::snprintf(tag, sizeof tag, " T:%08X] ", static_cast<unsigned>(pid));
    std::vector<std::string> out;
    std::ifstream in(logPath(), std::ios::binary);
    std::string line;
    while (std::getline(in, line))
        if (line.find(tag) != std::string::npos) out.push_back(line);
    return out;
}

bool has(const std::vector<std::string>& lines, const std::string& letterAndText) {
    for (const auto& l : lines) {
        const size_t head = l.find(" T:");
        if (head == std::string::npos || head < 2) continue;
        // "[<time> <letter> T:<id>] <text>"
        const std::string letter = l.substr(head - 1, 1);
        const std::string text = l.substr(l.find("] ") + 2);
        if ((letter + " " + text).rfind(letterAndText, 0) == 0) return true;
    }
    return false;
}

void exercise(Library& lib) {
    lib.call<int32_t>("XReport");
    lib.call<int32_t>("AddArt", int32_t{0}, int32_t{0}, int32_t{0});
    lib.call<int32_t>("EJNoReport", int32_t{15}, int32_t{20});
    lib.call<int32_t>("GetEReport", uint8_t{0x40}, uint8_t{7});
    // A port that cannot exist: the open fails and raises an error on the way.
    lib.call<int32_t>("OpenDLL", "", "", "COM999", int32_t{0});
}

} // namespace

TEST(Logging, NothingIsWrittenWithoutTheVariable) {
    for (const char* level : {static_cast<const char*>(nullptr), "", "abc", "5", "0"}) {
        // This program's own log: each test program runs alone in its folder.
        std::remove(logPath().c_str());
        inFreshLibrary(exercise, ChildEnv{level});
        EXPECT_FALSE(exists(logPath())) << (level ? level : "(unset)");
    }
}

TEST(Logging, LevelThreeWritesEntryLinesWithLetterD) {
    const pid_t pid = inFreshLibrary(exercise, ChildEnv{"3"});
    const auto lines = linesOf(pid);
    EXPECT_TRUE(has(lines, "D >> XReport()\r")) << lines.size();
    EXPECT_TRUE(has(lines, u8"D >> AddArt() Метод не реализован\r"));
    EXPECT_TRUE(has(lines, "D >> EJNoReport() 15 - 20\r"));
    EXPECT_TRUE(has(lines, "D >> GetEReport() cmd 40(7)\r"));
    EXPECT_TRUE(has(lines, "D >> OpenDLL()\r"));
}

TEST(Logging, LevelTwoWritesErrorsOnly) {
    const pid_t pid = inFreshLibrary(exercise, ChildEnv{"2"});
    const auto lines = linesOf(pid);
    EXPECT_FALSE(has(lines, "D ")) << "no entry lines at level 2";
    EXPECT_TRUE(has(lines, "U ")) << "the failed open is logged as an error";
}

#ifdef NORVEX_EMU_PATH
// The code page each export decodes its text with shows in the adapter's "decode" line
// that follows the export's entry line.
namespace {
std::string decodingAfter(const std::vector<std::string>& lines, const std::string& entry) {
    bool seen = false;
    for (const auto& l : lines) {
        if (l.find(entry) != std::string::npos) seen = true;
        else if (seen && l.find(">> decode() from ") != std::string::npos) return l.substr(l.find(" from ") + 6);
    }
    return "(none)";
}
} // namespace

TEST(Logging, OemPrintExportsAlwaysReadCodePage1251) {
    const pid_t pid = inFreshLibrary(
        [](Library& lib) {
            Opened open(lib, 5);
            ASSERT_EQ(open.result(), 0);
            lib.call<int32_t>("PrintFDoc", "text", int32_t{4});
            lib.call<int32_t>("PrintOEMDoc", "text", int32_t{4});
            lib.call<int32_t>("PrintOEMCRLFDoc", "text", int32_t{4});
        },
        ChildEnv{"3"});
    const auto lines = linesOf(pid);
    EXPECT_EQ(decodingAfter(lines, ">> PrintFDoc() 4"), "OEM\r");
    EXPECT_EQ(decodingAfter(lines, ">> PrintOEMDoc() 4"), "CP1251\r");
    EXPECT_EQ(decodingAfter(lines, ">> PrintOEMCRLFDoc() 4"), "CP1251\r");
}
#endif
