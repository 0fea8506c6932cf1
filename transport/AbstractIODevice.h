#pragma once
// The byte pipe under the link protocol. Results are plain codes: 0, -1, -3, -14; counts otherwise.
#include <cstdint>
#include <memory>

#include "core/Value.h"

class AbstractDataSource {
public:
    virtual ~AbstractDataSource() = default;
    virtual int read(uint8_t* buffer, int count) = 0;
};

class AbstractDataDest {
public:
    virtual ~AbstractDataDest() = default;
    virtual int write(const uint8_t* bytes, int count) = 0;
};

class AbstractIODevice : public AbstractDataSource, public AbstractDataDest {
public:
    ~AbstractIODevice() override = default;
    virtual int type() const = 0;
    virtual int configure(const Orn::Settings& settings) = 0;
    virtual int open() = 0;
    virtual int close() = 0;
    virtual bool isOpen() const = 0;
    virtual int setTimeouts(int timeout, int intervalTimeout, int multiplier) { (void)timeout; (void)intervalTimeout; (void)multiplier; return 0; }
    virtual int purgeInput(bool abort) { (void)abort; return 0; }
    virtual int purgeOutput(bool abort) { (void)abort; return 0; }
    virtual int setParity(int parity) { (void)parity; return 0; }
};

// Kind 1 gives the platform's serial port; any other kind gives none.
std::unique_ptr<AbstractIODevice> createIODevice(int kind);
