#pragma once
// Static tables of the three register models: value and caption maps, the value lists and the
// descriptions of value and caption numbers. The data lives in ModelTables*.cpp, once per table.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Orn { namespace Fptr { namespace Tavro20 {

// One allowed value of a setting and its text.
struct ValueListEntry {
    int32_t value;
    const wchar_t* text;
};

// Allowed values of a setting: explicit entries, or (when count is 0) every number from
// rangeFrom to rangeTo with the number itself as its text.
struct ValueList {
    int32_t number;
    const ValueListEntry* entries;
    size_t count;
    int32_t rangeFrom;
    int32_t rangeTo;
    // "value:text;" for each entry in order.
    std::wstring mappingText() const;
};

// Where a value or caption number lives in the register's tables and how its field is encoded.
// Maps are in ascending number order and end with a row whose number is negative.
struct MapRow {
    int32_t number;
    int32_t table;
    int32_t row;
    int32_t field;
    int32_t kind;
    const ValueList* list;   // allowed values (value maps only), or null
};

// Number -> Russian description; ends with a row whose number is negative.
struct DescriptionRow {
    int32_t number;
    const wchar_t* text;
};

struct ModelDescriptor {
    const DescriptionRow* captionDescriptions;
    const MapRow* captionMap;
    const DescriptionRow* valueDescriptions;
    const MapRow* valueMap;
    const wchar_t* displayName;
};

// Register models known to the driver.
constexpr int kModel10 = 52;
constexpr int kModel20 = 47;
constexpr int kModel30 = 53;
constexpr unsigned kModelCapabilities = 477;
inline constexpr const wchar_t* kDisplayName10 = L"TAVRO: Lumo-10ПТК / K / ЕНВД";
inline constexpr const wchar_t* kDisplayName20 = L"TAVRO: Lumo-20ПТК / K / ЕНВД";
inline constexpr const wchar_t* kDisplayName30 = L"TAVRO: Lumo-30ПТК";

// The descriptor of a model code, or null for a code the driver does not know.
const ModelDescriptor* modelDescriptor(int modelCode);

// The row of a number in a map (terminated as above), or null.
const MapRow* findMapRow(const MapRow* map, int number);
// Number of rows of a map before its terminator.
size_t mapSize(const MapRow* map);
// The description of a number; empty when the table holds none for it.
std::wstring describe(const DescriptionRow* table, int number);

// Value kinds (how a value sits in its field) and caption kinds (how a caption is written).
namespace ValueKind {
constexpr int Bcd2 = 1, Bcd1 = 2, Percent2 = 3, Percent3 = 4, Money5 = 5;
constexpr int Bits01 = 6, Bits23 = 7, Bits45 = 8, Bits67 = 9;
constexpr int Bit0 = 10, Bit1 = 11, Bit2 = 12, Bit3 = 13, Bit4 = 14, Bit5 = 15, Bit6 = 16, Bit7 = 17;
constexpr int Plain = 19, LowNibble = 20, HighNibble = 21, Bcd4 = 22;
} // namespace ValueKind

namespace CaptionKind {
constexpr int Hex4 = 1, Hex2 = 2, Text3 = 3, Text10 = 4, Text20 = 5, LineWidth = 6, Date3 = 7;
constexpr int Text48 = 8, Text38 = 9, Text39 = 10, Text36 = 11, Text32 = 12, Text56 = 13,
              Text57 = 14, Text72 = 15, Text1 = 16;
// Width in characters of a text kind (3 to 5, 8 to 16); 0 for the others. Kind 6 is the
// driver's line width and is not answered here.
int textWidth(int kind);
} // namespace CaptionKind

}}} // namespace Orn::Fptr::Tavro20
