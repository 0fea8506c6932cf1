// Caption vocabulary shared by the three models: where each caption lives and its description.
// The text captions take the model's own text kind.
#include "fptr/tavro20/ModelTablesData.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

namespace {

constexpr int32_t TEXT = kModelTextKind;

//  captions, table, first row, field, kind, description, numbered from
const CaptionSourceRow kCaptionRows[] = {
    {  0,   5,  6,  1,  1, TEXT, L"%d строка клише", 1},
    {  6,  33,  3,  1,  1,    1, L"Пароль кассира %d", 1},
    { 34,  34,  3, 29,  1,    1, L"Пароль администратора", 0},
    { 35,  35,  3, 30,  1,    1, L"Пароль системного администратора", 0},
    { 36,  51,  7,  1,  1, TEXT, L"Наименование %d секции", 1},
    { 66,  68, 12,  1,  1, TEXT, L"Наименование типа оплаты %d", 1},
    { 69,  88,  6,  1,  1, TEXT, L"%d строка текста после документа", 1},
    { 89, 116,  3,  1,  2, TEXT, L"Имя кассира %d", 1},
    {117, 117,  3, 29,  2, TEXT, L"Имя администратора", 0},
    {118, 118,  3, 30,  2, TEXT, L"Имя системного администратора", 0},
    {119, 119,  2,  1, 53,    7, L"Дата перехода на летнее время", 0},
    {120, 120,  2,  1, 54,    7, L"Дата перехода на зимнее время", 0},
    {121, 121,  2,  1, 23,    2, L"Пароль доступа", 0},
    {202, 206, 13,  1,  1, TEXT, L"Наименование налога %d", 1},
    {207, 222, 14,  1,  1, TEXT, L"Наименование скидки/надбавки %d", 1},
    {223, 228, 12,  4,  1, TEXT, L"Наименование типа оплаты %d", 5},
};

const DescriptionRow kWithoutField[] = {
    {201, L"Символ разделителя в документах"},
    {-1, nullptr},
};

} // namespace

const CaptionSourceRow* captionSourceRows(size_t& count) {
    count = sizeof(kCaptionRows) / sizeof(kCaptionRows[0]);
    return kCaptionRows;
}

const DescriptionRow* captionDescriptionsWithoutField() { return kWithoutField; }

}}} // namespace Orn::Fptr::Tavro20
