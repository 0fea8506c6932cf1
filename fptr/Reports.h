#pragma once
// Report objects handed out by a driver: an ordered list of items walked once by a cursor.
// The caller of beginReport owns the report; the report owns its items.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Value.h"

namespace Orn { namespace Fptr { namespace Reports {

class AbstractReportItem {
public:
    // Writes the item into the parameter set (the report line, parameter 32).
    virtual int fill(ParameterSet& params) = 0;
    virtual ~AbstractReportItem() = default;
};

// One line of text.
class TextReportItem : public AbstractReportItem {
public:
    explicit TextReportItem(std::wstring text) : text_(std::move(text)) {}
    int fill(ParameterSet& params) override;
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

class AbstractReport {
public:
    static constexpr int kReportLine = 32;   // parameter the items fill

    AbstractReport() = default;
    AbstractReport(const AbstractReport&) = delete;
    AbstractReport& operator=(const AbstractReport&) = delete;
    virtual ~AbstractReport();

    // Reads the whole report into items.
    virtual int start(ParameterSet& params) = 0;
    // Destroys every item and resets the cursor; returns how many there were.
    virtual int clear();
    // The item at the cursor, advancing it; null at the end. The report keeps ownership.
    virtual AbstractReportItem* next();

    int type() const { return type_; }
    size_t count() const { return items_.size(); }

protected:
    void setType(int type) { type_ = type; }
    void append(std::unique_ptr<AbstractReportItem> item) { items_.push_back(std::move(item)); }
    void rewind() { cursor_ = 0; }

private:
    std::vector<std::unique_ptr<AbstractReportItem>> items_;
    size_t cursor_ = 0;
    int type_ = 0;
};

}}} // namespace Orn::Fptr::Reports
