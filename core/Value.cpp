#include "Value.h"

#include <cstdlib>
#include <cwchar>

#include "StringUtils.h"

namespace Orn {

namespace {

// Numbers are formatted into a buffer of this size (text at most one shorter).
const size_t kNumberBuffer = 128;

// Base 0 reads like "%i": decimal, "0x" hexadecimal, leading-zero octal; blanks skipped,
// trailing text ignored. false when no digit was read.
bool parseInteger(const std::wstring& text, int base, long long& out) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    const long long v = std::wcstoll(begin, &end, base);
    if (end == begin) return false;
    out = v;
    return true;
}

} // namespace

int32_t Value::toInt(int32_t def) const {
    long long v = 0;
    if (!parseInteger(text_, 0, v)) return def;
    return static_cast<int32_t>(v);
}

int32_t Value::toUInt(int32_t def) const {
    const int32_t v = toInt(def);
    return v < 0 ? 0 : v;
}

int64_t Value::toInt64(int64_t def) const {
    long long v = 0;
    if (!parseInteger(text_, 10, v)) return def;
    return static_cast<int64_t>(v);
}

double Value::toDouble(double def) const {
    const wchar_t* begin = text_.c_str();
    wchar_t* end = nullptr;
    const double v = std::wcstod(begin, &end);
    return end == begin ? def : v;
}

bool Value::toBool(bool def) const {
    if (text_ == L"true") return true;
    if (text_ == L"false") return false;
    return def;
}

void Value::setInt(int32_t v) { setText(Utils::String::format(L"%d", static_cast<int>(v))); }

void Value::setInt64(int64_t v) { setText(Utils::String::format(L"%lld", static_cast<long long>(v))); }

void Value::setDouble(double v) {
    std::wstring t = Utils::String::format(L"%lf", v);
    // Huge magnitudes would not fit the number buffer in fixed notation; keep them readable back.
    if (t.size() >= kNumberBuffer) t = Utils::String::format(L"%.6e", v);
    setText(t);
}

void Value::setBool(bool v) { setText(v ? L"true" : L"false"); }

const Value& Value::empty() {
    static const Value value;
    return value;
}

int32_t toInt(const Value* v, int32_t def) { return v ? v->toInt(def) : def; }
int64_t toInt64(const Value* v, int64_t def) { return v ? v->toInt64(def) : def; }
double toDouble(const Value* v, double def) { return v ? v->toDouble(def) : def; }
bool toBool(const Value* v, bool def) { return v ? v->toBool(def) : def; }
const wchar_t* toText(const Value* v, const wchar_t* def) { return v ? v->toText().c_str() : def; }

const Value& Settings::find(const std::wstring& key) const {
    auto it = map_.find(key);
    return it != map_.end() ? it->second : Value::empty();
}

void Settings::set(const std::wstring& key, const std::wstring& v) { map_[key].setText(v); }
void Settings::set(const std::wstring& key, const wchar_t* v) { map_[key].setText(v); }
void Settings::set(const std::wstring& key, int32_t v) { map_[key].setInt(v); }
void Settings::set(const std::wstring& key, double v) { map_[key].setDouble(v); }
void Settings::set(const std::wstring& key, bool v) { map_[key].setBool(v); }
void Settings::set(const std::wstring& key, const Value& v) { map_[key] = v; }
void Settings::erase(const std::wstring& key) { map_.erase(key); }

} // namespace Orn
