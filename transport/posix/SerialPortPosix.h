#pragma once
// Serial port on a POSIX terminal device: raw termios, exclusive open, poll-driven timeouts.
#include <string>

#include "transport/SerialPort.h"

class SerialPortPosix : public SerialPort {
public:
    SerialPortPosix() = default;
    ~SerialPortPosix() override;
    SerialPortPosix(const SerialPortPosix&) = delete;
    SerialPortPosix& operator=(const SerialPortPosix&) = delete;

    int read(uint8_t* buffer, int count) override;
    int write(const uint8_t* bytes, int count) override;
    int open() override;
    int close() override;
    bool isOpen() const override { return fd_ >= 0; }
    int purgeInput(bool abort) override;
    int purgeOutput(bool abort) override;
    int setParity(int parity) override;
    int applyTimeouts() override;

    // NORVEX_TTY when set and not empty; else /dev/ttyS(n-1) for port n >= 1; else /dev/<TTYSuffix>.
    std::wstring devicePath() const override;

private:
    int applyLineParameters();
    void setModemLine(int line, bool on);

    int fd_ = -1;
};
