#pragma once
// The message tables behind the error classes and the API result codes, as plain rows.
#include <cstddef>
#include <cstdint>

namespace Orn { namespace Catalogue {

struct CodeText {
    int32_t code;
    const wchar_t* text;
};

// text set: the whole text; otherwise "Ошибка в " followed by name.
struct ParameterRow {
    int32_t code;
    const wchar_t* name;
    const wchar_t* text;
};

constexpr int kNoByte = -1;

// registerByte: the register's error byte that stands for this code, or kNoByte.
// text null: the code has no text of its own.
struct FptrRow {
    int32_t code;
    int registerByte;
    const wchar_t* text;
};

enum class RcpprnText {
    Full,              // text as it stands
    Feature,           // "<text> не поддерживается в данной модели оборудования"
    InvalidField,      // "Неверное значение в поле <text>"
    UnsupportedField,  // "Значение в поле <text> не поддерживается в данной модели оборудования"
};

struct RcpprnRow {
    int32_t code;
    RcpprnText kind;
    const wchar_t* text;
};

// Register bytes that stand for common driver codes rather than fiscal-register rows.
struct ByteCode {
    int registerByte;
    int32_t code;
};

extern const CodeText kDriverTable[];
extern const size_t kDriverTableSize;
extern const ParameterRow kParameterTable[];
extern const size_t kParameterTableSize;
extern const FptrRow kFptrTable[];
extern const size_t kFptrTableSize;
extern const ByteCode kRegisterBytesToDriverCodes[];
extern const size_t kRegisterBytesToDriverCodesSize;
extern const CodeText kScaleLPTable[];
extern const size_t kScaleLPTableSize;
extern const CodeText kScaleTable[];
extern const size_t kScaleTableSize;
extern const RcpprnRow kRcpprnTable[];
extern const size_t kRcpprnTableSize;
extern const CodeText kApiResultTable[];
extern const size_t kApiResultTableSize;

}} // namespace Orn::Catalogue
