#include <gtest/gtest.h>

#include <set>

#include "core/Error.h"
#include "core/ErrorCatalogue.h"
#include "core/Platform.h"

using namespace Orn;
using Orn::Fptr::Norvex::NorvexError;

namespace {

struct TextCase {
    int32_t code;
    const wchar_t* text;
};

} // namespace

TEST(ErrorCatalogue, TablesHaveTheirRowsAndNoDuplicateKeys) {
    using namespace Catalogue;
    EXPECT_EQ(kDriverTableSize, 24u);
    EXPECT_EQ(kScaleLPTableSize, 21u);
    EXPECT_EQ(kScaleTableSize, 6u);
    EXPECT_EQ(kApiResultTableSize, 98u);
    EXPECT_EQ(kPayCardTextCount, 18u);

    std::set<int32_t> api;
    for (size_t i = 0; i < kApiResultTableSize; ++i) api.insert(kApiResultTable[i].code);
    EXPECT_EQ(api.size(), kApiResultTableSize);

    // One register byte must name one error, or the mapping depends on table order.
    std::set<int> bytes;
    std::set<int32_t> codes;
    size_t withByte = 0;
    for (size_t i = 0; i < kFptrTableSize; ++i) {
        codes.insert(kFptrTable[i].code);
        EXPECT_TRUE(kFptrTable[i].code >= -3971 && kFptrTable[i].code <= -3800) << kFptrTable[i].code;
        if (kFptrTable[i].registerByte == kNoByte) continue;
        ++withByte;
        bytes.insert(kFptrTable[i].registerByte);
    }
    for (size_t i = 0; i < kRegisterBytesToDriverCodesSize; ++i) {
        ++withByte;
        bytes.insert(kRegisterBytesToDriverCodes[i].registerByte);
    }
    EXPECT_EQ(codes.size(), kFptrTableSize);
    EXPECT_EQ(bytes.size(), withByte);
}

TEST(ErrorCatalogue, FamilyTextsSpotChecks) {
    const TextCase fptr[] = {
        {0, L"Ошибок нет"},
        {-6, L"Недопустимое значение"},
        {-199, L"Неопознанная ошибка"},
        {-2, L"Описание ошибки недоступно"},
        {-3800, L"В ККМ нет денег для выплаты"},
        {-3807, L"Нет бумаги"},
        {-3806, L"Описание ошибки недоступно"},
        {-3946, L"Описание ошибки недоступно"},
        {-3947, L"Описание ошибки недоступно"},
        {-3948, L"Описание ошибки недоступно"},
        {-3971, L"Операция невозможна, недостаточно питания"},
        {-3972, L"Описание ошибки недоступно"},
        {-2001, L"Описание ошибки недоступно"},  // another family's code
        {-30001, L"Описание ошибки недоступно"},
        {-30005, L"Описание ошибки недоступно"},
    };
    for (const auto& c : fptr) EXPECT_EQ(fptrErrorText(c.code), c.text) << c.code;

    EXPECT_EQ(scaleLPErrorText(-2001), L"Неверный PLU");
    EXPECT_EQ(scaleLPErrorText(-2099), L"Неизвестная ошибка оборудования");
    EXPECT_EQ(scaleLPErrorText(-20), L"Нет ответа от устройства");
    EXPECT_EQ(scaleLPErrorText(-3807), L"Описание ошибки недоступно");
    EXPECT_EQ(scaleErrorText(-2705), L"Неверное значение массы тары");
    EXPECT_EQ(scaleErrorText(-2706), L"Описание ошибки недоступно");

    const TextCase rcpprn[] = {
        {-6001, L"Нет бумаги"},
        {-6021, L"Нет данных для печати задания"},
        {-6040, L"Печать текста не поддерживается в данной модели оборудования"},
        {-6050, L"Неверное значение в поле StatusErrorIndex"},
        {-6053, L"Значение в поле CodePage не поддерживается в данной модели оборудования"},
        {-6071, L"Значение в поле FontItalic не поддерживается в данной модели оборудования"},
        {-6093, L"Некорректный размер рисунка"},
        {-6107, L"Неверное значение в поле FlowControl"},
        {-6103, L"Описание ошибки недоступно"},
    };
    for (const auto& c : rcpprn) EXPECT_EQ(rcpprnErrorText(c.code), c.text) << c.code;
}

TEST(ErrorCatalogue, ParameterTexts) {
    const TextCase cases[] = {
        {0, L"Ошибок в параметрах нет"},
        {-1, L"Ошибка в Value"},
        {-18, L"Ошибка в произведении Price*Quantity"},
        {-60, L"Ошибка в AccessPassword"},
        {-117, L"Ошибка в CaptionTable"},
        {-200, L"Ошибка в строке настроек"},
        {-35, L"Описание ошибки недоступно"},
        {-201, L"Описание ошибки недоступно"},
        {5, L"Описание ошибки недоступно"},
    };
    for (const auto& c : cases) EXPECT_EQ(parameterErrorText(c.code), c.text) << c.code;
}

TEST(ErrorCatalogue, ApiResultLookupByExactCode) {
    bool found = false;
    EXPECT_EQ(apiResultText(0, &found), L"Ошибок нет. Счетчики обновлены");
    EXPECT_TRUE(found);
    EXPECT_EQ(apiResultText(177), L"DLL не подключена");
    EXPECT_EQ(apiResultText(0xFA10), L"Переполнение денежного счетчика (вычисленный процент скидки/наценки превышает 999.99%)");
    EXPECT_EQ(apiResultText(0xF461), L"Таймаут передачи");
    EXPECT_EQ(apiResultText(16, &found), L"Описание ошибки недоступно");
    EXPECT_FALSE(found);
}

TEST(ErrorClasses, DescriptionPrefersStoredTextThenFamilyTable) {
    NorvexError e;
    e.set(-3807, 0, L"");
    EXPECT_EQ(e.description(), L"Нет бумаги");
    e.set(-3807, 0, L"Своя причина");
    EXPECT_EQ(e.description(), L"Своя причина");

    e.set(-6, -60, L"");
    EXPECT_EQ(e.description(), L"Недопустимое значение");
    EXPECT_EQ(e.parameterDescription(), L"Ошибка в AccessPassword");

    Error plain;
    plain.set(-6, -60, L"");
    EXPECT_EQ(plain.parameterDescription(), L"Описание ошибки недоступно");
    plain.set(-3807, 0, L"");
    EXPECT_EQ(plain.description(), L"Описание ошибки недоступно");  // the driver table only

    PayCardError card;
    card.set(-3807, 0, L"");
    EXPECT_EQ(card.description(), L"");

    e.clear();
    EXPECT_EQ(e.code(), 0);
    EXPECT_EQ(e.parameterCode(), 0);
    EXPECT_EQ(e.description(), L"Ошибок нет");
}

TEST(ErrorClasses, AssignCarriesTheResolvedText) {
    NorvexError fromPlain;
    fromPlain.assign(Exception(-3807, 0));
    EXPECT_EQ(fromPlain.code(), -3807);
    EXPECT_EQ(fromPlain.description(), L"Нет бумаги");

    NorvexError fromCustom;
    fromCustom.assign(CustomDescriptionException(-20, L"нет ответа на ENQ", 0));
    EXPECT_EQ(fromCustom.description(), L"нет ответа на ENQ");

    // Copying from another error stores what the source resolved, even across families.
    Error copy;
    copy.assign(fromPlain);
    EXPECT_EQ(copy.code(), -3807);
    EXPECT_EQ(copy.description(), L"Нет бумаги");
}

TEST(Exceptions, ParameterCodeForcesInvalidValue) {
    Exception e(-27, -41);
    EXPECT_EQ(e.code(), -6);
    EXPECT_EQ(e.parameterCode(), -41);
    EXPECT_EQ(e.description(), L"");
    EXPECT_EQ(Exception(-20, 0).code(), -20);
}

TEST(Exceptions, Messages) {
    EXPECT_EQ(Exception(-20, 0).message(), "QLM Error (-20)");
    const CustomDescriptionException c(-6, L"Нет бумаги", 0);
    EXPECT_EQ(c.message(), "QLM Error (-6 - " + Platform::toAnsi(L"Нет бумаги") + ")");
    // Windows-1251 bytes of "Нет бумаги".
    EXPECT_EQ(c.message(), "QLM Error (-6 - \xCD\xE5\xF2 \xE1\xF3\xEC\xE0\xE3\xE8)");
}

TEST(RaiseError, ThrowsTheRightKind) {
    EXPECT_NO_THROW(raiseError(0, -41, L"ignored"));

    try {
        raiseError(-20);
        FAIL() << "no throw";
    } catch (const CustomDescriptionException&) {
        FAIL() << "plain error raised with a text";
    } catch (const Exception& e) {
        EXPECT_EQ(e.code(), -20);
        EXPECT_EQ(e.parameterCode(), 0);
    }

    try {
        raiseError(-27, -41);
        FAIL() << "no throw";
    } catch (const Exception& e) {
        EXPECT_EQ(e.code(), -6);
        EXPECT_EQ(e.parameterCode(), -41);
    }

    try {
        raiseError(-3807, 0, L"бумага");
        FAIL() << "no throw";
    } catch (const Exception& e) {
        EXPECT_NE(dynamic_cast<const CustomDescriptionException*>(&e), nullptr);
        EXPECT_EQ(e.description(), L"бумага");
    }
}

TEST(RegisterCodes, MapOntoErrorCodes) {
    const struct {
        int32_t in;
        int32_t out;
    } cases[] = {
        {0, 0},      {-15, -15},   {1, -3833},   {8, -3803},   {103, -3807}, {152, -3800},
        {230, -3971}, {187, -3946}, {24, -17},    {107, -17},   {173, -17},   {70, -10},
        {102, -16},  {122, -12},   {163, -12},   {2, -199},    {231, -199},  {100000, -199},
    };
    for (const auto& c : cases) EXPECT_EQ(errorFromRegisterCode(c.in), c.out) << c.in;
}
