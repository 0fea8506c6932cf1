#include "fptr/Reports.h"

namespace Orn { namespace Fptr { namespace Reports {

int TextReportItem::fill(ParameterSet& params) {
    params[AbstractReport::kReportLine].setText(text_);
    return 0;
}

AbstractReport::~AbstractReport() = default;

int AbstractReport::clear() {
    int n = static_cast<int>(items_.size());
    items_.clear();
    cursor_ = 0;
    return n;
}

AbstractReportItem* AbstractReport::next() {
    if (cursor_ >= items_.size()) return nullptr;
    return items_[cursor_++].get();
}

}}} // namespace Orn::Fptr::Reports
