#pragma once
// The source rows the model tables are built from (shared by the ModelTables*.cpp files only).
#include <cstddef>
#include <cstdint>

#include "fptr/tavro20/ModelTables.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

// Kind and value list of a value on one model; kind 0 means the model lacks the value.
struct PerModel {
    int32_t kind;
    int32_t list;
};

// One value as the three models map it.
struct ValueSourceRow {
    int32_t number, table, row, field;
    PerModel model53, model47, model52;
};

// A run of captions first..last in consecutive rows of one table field. The description is a
// pattern with one %d, numbered from descriptionFrom, or a plain text for a single caption.
constexpr int32_t kModelTextKind = -1;   // the model's own text kind
struct CaptionSourceRow {
    int32_t first, last, table, firstRow, field, kind;
    const wchar_t* description;
    int32_t descriptionFrom;
};

const ValueList* valueList(int number);
const ValueSourceRow* valueSourceRows(size_t& count);
const DescriptionRow* valueDescriptions();
const CaptionSourceRow* captionSourceRows(size_t& count);
// Captions that have a description but no place in any map.
const DescriptionRow* captionDescriptionsWithoutField();

}}} // namespace Orn::Fptr::Tavro20
