#pragma once
// A value kept as wide text and converted on demand; the keyed settings store; the value vector.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Orn {

class Value {
public:
    Value() = default;
    explicit Value(const std::wstring& t) { setText(t); }

    // Readers: the text parsed as C's "%i", "%lld", "%lf"; unparsable text gives the default.
    int32_t toInt(int32_t def = 0) const;
    int32_t toUInt(int32_t def = 0) const;   // negative results become 0
    int64_t toInt64(int64_t def = 0) const;
    double toDouble(double def = 0.0) const;
    bool toBool(bool def = false) const;     // exactly "true" / "false"
    const std::wstring& toText() const { return text_; }

    // Writers: store the text and mark the value set.
    void setInt(int32_t v);
    void setInt64(int64_t v);
    void setDouble(double v);                // "%lf": six decimals
    void setBool(bool v);
    void setText(const std::wstring& t) { text_ = t; isSet_ = 1; }
    void setText(const wchar_t* t) { text_ = t ? t : L""; isSet_ = 1; }
    void markSet() { isSet_ = 1; }

    bool isSet() const { return isSet_ != 0; }
    const std::wstring& text() const { return text_; }

    static const Value& empty();             // shared, never modified

private:
    std::wstring text_;
    int32_t isSet_ = 0;
};

// Readers that accept an absent value (null) and give the default.
int32_t toInt(const Value* v, int32_t def = 0);
int64_t toInt64(const Value* v, int64_t def = 0);
double toDouble(const Value* v, double def = 0.0);
bool toBool(const Value* v, bool def = false);
const wchar_t* toText(const Value* v, const wchar_t* def = L"");

class Settings {
public:
    const Value& find(const std::wstring& key) const;   // never inserts
    void set(const std::wstring& key, const std::wstring& v);
    void set(const std::wstring& key, const wchar_t* v);
    void set(const std::wstring& key, int32_t v);
    void set(const std::wstring& key, double v);
    void set(const std::wstring& key, bool v);
    void set(const std::wstring& key, const Value& v);
    void erase(const std::wstring& key);
    bool contains(const std::wstring& key) const { return map_.count(key) != 0; }
    size_t size() const { return map_.size(); }
    const std::map<std::wstring, Value>& map() const { return map_; }

private:
    std::map<std::wstring, Value> map_;
};

// Indexed by parameter number; reading or writing past the end grows it with empty values.
class ValueVector {
public:
    ValueVector() = default;
    explicit ValueVector(size_t n) : values_(n) {}
    void resize(size_t n) { values_.resize(n); }
    size_t size() const { return values_.size(); }
    Value& at(size_t index) {
        if (index >= values_.size()) values_.resize(index + 1);
        return values_[index];
    }
    Value& operator[](size_t index) { return at(index); }
    void clear() { values_.clear(); }

private:
    std::vector<Value> values_;
};

using ParameterSet = ValueVector;

} // namespace Orn
