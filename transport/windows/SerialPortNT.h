#pragma once
// Serial port on the Windows communications API.
#include <string>

#include <windows.h>

#include "transport/SerialPort.h"

class SerialPortNT : public SerialPort {
public:
    SerialPortNT();
    ~SerialPortNT() override;
    SerialPortNT(const SerialPortNT&) = delete;
    SerialPortNT& operator=(const SerialPortNT&) = delete;

    int read(uint8_t* buffer, int count) override;
    int write(const uint8_t* bytes, int count) override;
    int open() override;
    int close() override;
    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    int purgeInput(bool abort) override;
    int purgeOutput(bool abort) override;
    int setParity(int parity) override;
    int applyTimeouts() override;
    int setSettings(const Orn::Settings& settings) override;

    // "\\.\COM" and the port number.
    std::wstring devicePath() const override { return devicePath_; }

private:
    int applyLineParameters();
    void buildDevicePath();

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::wstring devicePath_;
};
