#pragma once
// Growable byte array with one counter: the type of every register command and answer.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace Orn {

class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(size_t n) : bytes_(n, 0) {}
    ByteBuffer(std::initializer_list<uint8_t> init) : bytes_(init) {}
    ByteBuffer(const uint8_t* data, size_t n) : bytes_(data, data + n) {}

    size_t size() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }
    uint8_t* data() { return bytes_.empty() ? nullptr : bytes_.data(); }
    const uint8_t* data() const { return bytes_.empty() ? nullptr : bytes_.data(); }
    uint8_t& operator[](size_t i) { return bytes_[i]; }
    const uint8_t& operator[](size_t i) const { return bytes_[i]; }
    // Bounds-checked read: bytes past the end read as zero.
    uint8_t at(size_t i) const { return i < bytes_.size() ? bytes_[i] : 0; }

    void append(uint8_t b) { bytes_.push_back(b); }
    void append(const uint8_t* p, size_t n) { if (n) bytes_.insert(bytes_.end(), p, p + n); }
    void append(const ByteBuffer& o) { bytes_.insert(bytes_.end(), o.bytes_.begin(), o.bytes_.end()); counter_ += o.counter_; }
    void resize(size_t n) { bytes_.resize(n, 0); }
    void erase(size_t from, size_t count) {
        if (from >= bytes_.size()) return;
        size_t end = from + count > bytes_.size() ? bytes_.size() : from + count;
        bytes_.erase(bytes_.begin() + static_cast<std::ptrdiff_t>(from), bytes_.begin() + static_cast<std::ptrdiff_t>(end));
    }
    void clear() { bytes_.clear(); counter_ = 0; }
    void swap(ByteBuffer& o) { bytes_.swap(o.bytes_); std::swap(counter_, o.counter_); }

    int32_t counter() const { return counter_; }
    void setCounter(int32_t c) { counter_ = c; }
    void addCounter(int32_t d) { counter_ += d; }

    const std::vector<uint8_t>& vector() const { return bytes_; }
    bool operator==(const ByteBuffer& o) const { return bytes_ == o.bytes_; }
    bool operator!=(const ByteBuffer& o) const { return !(*this == o); }

private:
    std::vector<uint8_t> bytes_;
    int32_t counter_ = 0;
};

} // namespace Orn
