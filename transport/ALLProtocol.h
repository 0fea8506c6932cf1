#pragma once
// The register family's link protocol: ENQ/ACK handshake, DLE-escaped STX..ETX blocks with a
// check byte and the access password, per-step timeouts and bounded retries.
#include <cstdint>
#include <memory>

#include "core/ByteBuffer.h"
#include "core/CriticalSection.h"
#include "core/Value.h"
#include "transport/AbstractIODevice.h"

namespace Orn { namespace Fptr {

class ProtocolBase {
public:
    ProtocolBase() = default;
    virtual ~ProtocolBase() = default;
    virtual void setDevice(std::unique_ptr<AbstractIODevice> device);
    virtual bool open();
    virtual bool close();
    virtual bool isOpen() const;
    virtual int configure(const Settings& settings) = 0;
    virtual void setTimeout(int index, int ms) = 0;
    virtual void resetTimeouts() = 0;
    virtual ByteBuffer transact(const ByteBuffer& command, bool checkError, int answerTimeout) = 0;
    virtual int writeBytes(const uint8_t* bytes, int count, int timeout, int interval);
    virtual int writeByte(uint8_t byte, int timeout, int interval);
    virtual int readByte(uint8_t* buffer, int timeout, int interval);
    virtual int readBytes(uint8_t* buffer, int count, int timeout, int interval);

    AbstractIODevice* device() const { return device_.get(); }

protected:
    std::unique_ptr<AbstractIODevice> device_;
};

class ALLProtocol : public ProtocolBase {
public:
    static constexpr int kFactoryAccessPassword = 0;   // factory default access password
    static constexpr int kMaxBlock = 128;

    ALLProtocol();
    ~ALLProtocol() override;
    int configure(const Settings& settings) override;
    void setTimeout(int index, int ms) override;
    void resetTimeouts() override;
    ByteBuffer transact(const ByteBuffer& command, bool checkError, int answerTimeout) override;

    int32_t password() const { return password_; }
    void setPassword(int32_t bcd) { password_ = bcd; }
    int timeoutValue(int index) const;                   // T1..T8
    AbstractCriticalSection& lock() { return *lock_; }

    // The host block for a command: STX, escaped password and command, ETX, check byte.
    ByteBuffer buildBlock(const ByteBuffer& command) const;

private:
    std::unique_ptr<AbstractCriticalSection> lock_;
    int32_t password_;
    int t_[8];
};

}} // namespace Orn::Fptr
