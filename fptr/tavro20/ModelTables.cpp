// The model descriptors, built once from the source rows, and the look-ups over their tables.
#include <algorithm>
#include <string>
#include <vector>

#include "fptr/tavro20/ModelTablesData.h"

namespace Orn { namespace Fptr { namespace Tavro20 {

namespace {

struct ModelSpec {
    int code;
    int textKind;                       // kind of the text captions on this model
    PerModel ValueSourceRow::*column;   // this model's column of the value rows
    const wchar_t* displayName;
};

const ModelSpec kModels[] = {
    {kModel10, CaptionKind::Text48, &ValueSourceRow::model52, kDisplayName10},
    {kModel20, CaptionKind::Text36, &ValueSourceRow::model47, kDisplayName20},
    {kModel30, CaptionKind::Text57, &ValueSourceRow::model53, kDisplayName30},
};
constexpr size_t kModelCount = sizeof(kModels) / sizeof(kModels[0]);

// The pattern with its "%d" replaced by the number; a plain text when number is 0.
std::wstring numbered(const wchar_t* pattern, int number) {
    std::wstring text(pattern);
    size_t at = text.find(L"%d");
    if (number && at != std::wstring::npos) text.replace(at, 2, std::to_wstring(number));
    return text;
}

const MapRow kEndOfMap = {-1, 0, 0, 0, 0, nullptr};

struct Built {
    std::vector<MapRow> values[kModelCount];
    std::vector<MapRow> captions[kModelCount];
    std::vector<std::wstring> captionTexts;
    std::vector<DescriptionRow> captionDescriptions;
    ModelDescriptor descriptors[kModelCount];

    Built() {
        size_t nValues = 0, nCaptions = 0;
        const ValueSourceRow* valueRows = valueSourceRows(nValues);
        const CaptionSourceRow* captionRows = captionSourceRows(nCaptions);

        for (size_t m = 0; m < kModelCount; ++m) {
            for (size_t i = 0; i < nValues; ++i) {
                const PerModel& pm = valueRows[i].*(kModels[m].column);
                if (pm.kind == 0) continue;
                values[m].push_back({valueRows[i].number, valueRows[i].table, valueRows[i].row,
                                     valueRows[i].field, pm.kind, valueList(pm.list)});
            }
            values[m].push_back(kEndOfMap);

            for (size_t i = 0; i < nCaptions; ++i) {
                const CaptionSourceRow& r = captionRows[i];
                int kind = r.kind == kModelTextKind ? kModels[m].textKind : r.kind;
                for (int32_t n = r.first; n <= r.last; ++n)
                    captions[m].push_back({n, r.table, r.firstRow + (n - r.first), r.field, kind, nullptr});
            }
            std::sort(captions[m].begin(), captions[m].end(),
                      [](const MapRow& a, const MapRow& b) { return a.number < b.number; });
            captions[m].push_back(kEndOfMap);
        }

        // Caption descriptions: every caption of the runs, then those without a field.
        std::vector<std::pair<int32_t, std::wstring>> texts;
        for (size_t i = 0; i < nCaptions; ++i) {
            const CaptionSourceRow& r = captionRows[i];
            for (int32_t n = r.first; n <= r.last; ++n)
                texts.emplace_back(n, numbered(r.description, r.descriptionFrom ? r.descriptionFrom + (n - r.first) : 0));
        }
        for (const DescriptionRow* d = captionDescriptionsWithoutField(); d->number >= 0; ++d)
            texts.emplace_back(d->number, d->text);
        std::sort(texts.begin(), texts.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        captionTexts.reserve(texts.size());
        for (auto& t : texts) captionTexts.push_back(std::move(t.second));
        for (size_t i = 0; i < texts.size(); ++i)
            captionDescriptions.push_back({texts[i].first, captionTexts[i].c_str()});
        captionDescriptions.push_back({-1, nullptr});

        for (size_t m = 0; m < kModelCount; ++m)
            descriptors[m] = ModelDescriptor{captionDescriptions.data(), captions[m].data(),
                                             valueDescriptions(), values[m].data(), kModels[m].displayName};
    }
};

const Built& built() {
    static const Built instance;
    return instance;
}

} // namespace

const ModelDescriptor* modelDescriptor(int modelCode) {
    for (size_t m = 0; m < kModelCount; ++m)
        if (kModels[m].code == modelCode) return &built().descriptors[m];
    return nullptr;
}

const MapRow* findMapRow(const MapRow* map, int number) {
    if (!map || number < 0) return nullptr;
    for (; map->number >= 0; ++map)
        if (map->number == number) return map;
    return nullptr;
}

size_t mapSize(const MapRow* map) {
    size_t n = 0;
    if (map)
        while (map[n].number >= 0) ++n;
    return n;
}

std::wstring describe(const DescriptionRow* table, int number) {
    if (!table || number < 0) return std::wstring();
    for (; table->number >= 0; ++table)
        if (table->number == number) return table->text ? table->text : L"";
    return std::wstring();
}

std::wstring ValueList::mappingText() const {
    std::wstring out;
    if (count) {
        for (size_t i = 0; i < count; ++i)
            out += std::to_wstring(entries[i].value) + L":" + entries[i].text + L";";
    } else {
        for (int32_t v = rangeFrom; v <= rangeTo; ++v)
            out += std::to_wstring(v) + L":" + std::to_wstring(v) + L";";
    }
    return out;
}

namespace CaptionKind {
int textWidth(int kind) {
    // Widths of kinds 3, 4, 5 and 8 to 16.
    switch (kind) {
    case Text3: return 3;
    case Text10: return 10;
    case Text20: return 20;
    case Text48: return 48;
    case Text38: return 38;
    case Text39: return 39;
    case Text36: return 36;
    case Text32: return 32;
    case Text56: return 56;
    case Text57: return 57;
    case Text72: return 72;
    case Text1: return 1;
    default: return 0;
    }
}
} // namespace CaptionKind

}}} // namespace Orn::Fptr::Tavro20
