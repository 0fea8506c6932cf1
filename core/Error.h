#pragma once
// The failure vocabulary: error objects with their texts, the exceptions that carry codes,
// the one raising routine and the register-byte mapping.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace Orn {

class Exception;

class Error {
public:
    Error() = default;
    virtual ~Error() = default;
    virtual int32_t code() const { return code_; }
    virtual int32_t parameterCode() const { return parameterCode_; }
    virtual std::wstring description() const;           // stored text, else the family table
    virtual std::wstring parameterDescription() const;  // "Описание ошибки недоступно"
    virtual void clear();
    virtual void assign(const Exception& e);
    virtual void set(int32_t code, int32_t parameterCode, const std::wstring& description);
    virtual void assign(const Error& other);

protected:
    const std::wstring& storedDescription() const { return description_; }

private:
    int32_t code_ = 0;
    int32_t parameterCode_ = 0;
    std::wstring description_;
};

class FptrError : public Error {
public:
    std::wstring description() const override;
    std::wstring parameterDescription() const override;
};

class ScaleLPError : public Error {
public:
    std::wstring description() const override;
};

class ScaleError : public Error {
public:
    std::wstring description() const override;
};

class RcpprnError : public Error {
public:
    std::wstring description() const override;
};

class PayCardError : public Error {
public:
    std::wstring description() const override;
};

class Exception : public std::exception {
public:
    Exception(int32_t code, int32_t parameterCode);
    virtual int32_t code() const { return code_; }
    virtual int32_t parameterCode() const { return parameterCode_; }
    virtual std::wstring description() const { return std::wstring(); }
    virtual std::wstring parameterDescription() const { return std::wstring(); }
    virtual std::string message() const;   // "QLM Error (<code>)"

private:
    int32_t code_;
    int32_t parameterCode_;
};

class CustomDescriptionException : public Exception {
public:
    CustomDescriptionException(int32_t code, const std::wstring& description, int32_t parameterCode);
    std::wstring description() const override { return description_; }
    std::string message() const override;  // "QLM Error (<code> - <text in ANSI>)"

private:
    std::wstring description_;
};

// Returns only when code is 0; otherwise logs and throws.
void raiseError(int32_t code, int32_t parameterCode = 0, const std::wstring& description = std::wstring());

// Register error byte -> error code (negative input passes through, 0 gives 0, unknown gives -199).
int32_t errorFromRegisterCode(int32_t registerCode);

// Catalogue lookups (fallback text for unknown codes).
extern const wchar_t* const kNoDescription;  // "Описание ошибки недоступно"
std::wstring driverErrorText(int32_t code);
std::wstring parameterErrorText(int32_t parameterCode);
std::wstring fptrErrorText(int32_t code);
std::wstring scaleLPErrorText(int32_t code);
std::wstring scaleErrorText(int32_t code);
std::wstring rcpprnErrorText(int32_t code);

// The API's own result table (98 rows), looked up by exact code; found=false when absent.
std::wstring apiResultText(int32_t code, bool* found = nullptr);

// Message texts of the pay-card family (it has no code table).
extern const wchar_t* const kPayCardTexts[];
extern const size_t kPayCardTextCount;

namespace Fptr { namespace Norvex {
class NorvexError : public FptrError {};
}} // namespace Fptr::Norvex

} // namespace Orn
