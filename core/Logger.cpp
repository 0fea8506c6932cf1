#include "Logger.h"

#include <cwchar>
#include <string>

#include "Platform.h"
#include "StringUtils.h"

namespace {

const wchar_t* const kLevelVariable = L"QLM9_LOG_LVL";
const wchar_t* const kFileName = L"norvex_log.txt";

wchar_t levelLetter(int lvl) {
    switch (lvl) {
    case 1: return L'N';
    case 2: return L'U';
    case 3: return L'D';
    case 4: return L'I';
    default: return L'?';
    }
}

int levelFromEnvironment() {
    const std::wstring text = Platform::getEnv(kLevelVariable);
    if (text.empty()) return 0;
    const int v = Orn::Utils::String::parseInt(text);
    return v >= 0 && v <= 4 ? v : 0;
}

} // namespace

Logger& Logger::instance() {
    static Logger logger;
    return logger;
}

Logger::Logger() { reloadForTests(); }

void Logger::reloadForTests() {
    close();
    level_ = levelFromEnvironment();
    path_ = Platform::executableDirectory() + kFileName;
}

bool Logger::open() {
    if (!file_) file_ = Platform::openFile(path_, "a+b");
    return file_ != nullptr;
}

void Logger::close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void Logger::head(int lvl) {
    const Platform::LocalTime t = Platform::localTime();
    const std::wstring stamp = Orn::Utils::String::format(L"%d.%02d.%02d %02d:%02d:%02d+%03d", t.year, t.month,
                                                          t.day, t.hour, t.minute, t.second, t.millisecond);
    put(Orn::Utils::String::format(L"[%ls %lc T:%08X] ", stamp.c_str(), static_cast<wint_t>(levelLetter(lvl)),
                                   static_cast<unsigned>(Platform::threadId())));
}

void Logger::put(const std::wstring& text) {
    if (!file_ || text.empty()) return;
    const std::string bytes = Platform::toUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

// Opens, writes the head and the body, then flushes and closes: no handle stays open between records.
void Logger::record(int lvl, const std::wstring& body) {
    if (!open()) return;
    head(lvl);
    put(body);
    std::fflush(file_);
    close();
}

void Logger::write(int lvl, const wchar_t* fmt, ...) {
    if (!enabled(lvl)) return;
    va_list ap;
    va_start(ap, fmt);
    vwrite(lvl, fmt, ap);
    va_end(ap);
}

void Logger::vwrite(int lvl, const wchar_t* fmt, va_list ap) {
    if (!enabled(lvl) || !fmt) return;
    std::wstring body = Orn::Utils::String::vformat(fmt, ap);
    if (!std::wcschr(fmt, L'\n')) body += L"\r\n";
    record(lvl, body);
}

void Logger::dump(int lvl, const wchar_t* label, const uint8_t* bytes, int count, int total) {
    if (!enabled(lvl)) return;
    std::wstring body = label ? label : L"";
    body += L' ';
    if (bytes && count > 0) {
        static const wchar_t digits[] = L"0123456789ABCDEF";
        body.reserve(body.size() + static_cast<size_t>(count) * 3 + 32);
        for (int i = 0; i < count; ++i) {
            body += digits[bytes[i] >> 4];
            body += digits[bytes[i] & 0x0F];
            body += L' ';
        }
    }
    body += total >= 0 ? Orn::Utils::String::format(L"(%d/%d bytes)\r\n", count, total)
                       : Orn::Utils::String::format(L"(%d bytes total)\r\n", count);
    record(lvl, body);
}

void Logger::debug(const wchar_t* fmt, ...) {
    if (!enabled(3)) return;
    va_list ap;
    va_start(ap, fmt);
    vwrite(3, fmt, ap);
    va_end(ap);
}

void Logger::debugDump(const wchar_t* label, const uint8_t* bytes, int count, int total) {
    dump(3, label, bytes, count, total);
}

void Logger::logCall(int lvl, const wchar_t* method, const wchar_t* fmt, ...) {
    if (!enabled(lvl)) return;
    const wchar_t* name = method ? method : L"";
    if (fmt) {
        va_list ap;
        va_start(ap, fmt);
        std::wstring text = Orn::Utils::String::vformat(fmt, ap);
        va_end(ap);
        if (text.size() > kCallTextLimit) text.resize(kCallTextLimit);
        write(lvl, L">> %ls() %ls", name, text.c_str());
    } else {
        write(lvl, L">> %ls()", name);
    }
}
