#pragma once
// Line parameters and timeouts shared by the per-platform serial ports.
#include <string>

#include "transport/AbstractIODevice.h"

class SerialPort : public AbstractIODevice {
public:
    int type() const override { return 1; }
    int configure(const Orn::Settings& settings) override;   // setSettings, re-opens an open port
    int setTimeouts(int timeout, int intervalTimeout, int multiplier) override;
    virtual int applyTimeouts() = 0;
    virtual int setSettings(const Orn::Settings& settings);
    // The device the next open will use.
    virtual std::wstring devicePath() const = 0;

    int baudRate() const { return baudRate_; }
    int dataBits() const { return dataBits_; }
    int stopBits() const { return stopBits_; }
    int parity() const { return parity_; }
    int flowControl() const { return flowControl_; }
    int timeout() const { return timeout_; }
    int intervalTimeout() const { return intervalTimeout_; }
    int timeoutMultiplier() const { return timeoutMultiplier_; }
    int portNumber() const { return portNumber_; }
    const std::wstring& ttySuffix() const { return ttySuffix_; }

    static int snapBaudRate(int rate);

    // Reads with a negative total timeout return as soon as anything arrived, waiting at most this.
    static constexpr int kAnyDataWaitMs = 120000;
    static constexpr int kQueueSize = 16384;

protected:
    int baudRate_ = 115200;
    int dataBits_ = 8;
    int stopBits_ = 0;
    int parity_ = 0;
    int flowControl_ = 0;
    int timeout_ = 20;
    int intervalTimeout_ = 0;
    int timeoutMultiplier_ = 0;
    int portNumber_ = 1;
    std::wstring ttySuffix_ = L"ttyACM0";
};
