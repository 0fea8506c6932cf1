#pragma once
// Process-wide diagnostic log: "norvex_log.txt" beside the host executable, level from
// QLM9_LOG_LVL, the file opened and closed around every record.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class Logger {
public:
    static Logger& instance();

    int level() const { return level_; }
    bool enabled(int lvl) const { return lvl <= level_ && lvl > 0; }

    void write(int lvl, const wchar_t* fmt, ...);
    void vwrite(int lvl, const wchar_t* fmt, va_list ap);
    void dump(int lvl, const wchar_t* label, const uint8_t* bytes, int count, int total);
    void debug(const wchar_t* fmt, ...);
    void debugDump(const wchar_t* label, const uint8_t* bytes, int count, int total);
    // Entry record: ">> name()" or ">> name() text", text cut at 2047 characters.
    void logCall(int lvl, const wchar_t* method, const wchar_t* fmt = nullptr, ...);
    void close();

    static const size_t kCallTextLimit = 2047;   // longest argument text of an entry record

    const std::wstring& path() const { return path_; }

    // Tests only: re-read the level and path (the level is otherwise fixed at first use).
    void reloadForTests();

private:
    Logger();
    bool open();
    void head(int lvl);
    void put(const std::wstring& text);
    void record(int lvl, const std::wstring& body);

    FILE* file_ = nullptr;
    int level_ = 0;
    std::wstring path_;
};
