#include "transport/windows/SerialPortNT.h"

#include "core/Logger.h"

SerialPortNT::SerialPortNT()
{
    buildDevicePath();
}

SerialPortNT::~SerialPortNT()
{
    close();
}

void SerialPortNT::buildDevicePath()
{
    devicePath_ = L"\\\\.\\COM" + std::to_wstring(portNumber_);
}

int SerialPortNT::setSettings(const Orn::Settings& settings)
{
    SerialPort::setSettings(settings);
    buildDevicePath();
    return 0;
}

int SerialPortNT::open()
{
    close();
    HANDLE h = CreateFileW(devicePath_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        Logger::instance().write(2, L"serial: cannot open %ls: %lu", devicePath_.c_str(),
                                 static_cast<unsigned long>(err));
        return err == ERROR_ACCESS_DENIED ? -14 : -3;
    }
    handle_ = h;
    // The outcome of these steps does not decide the open.
    SetupComm(handle_, kQueueSize, kQueueSize);
    applyLineParameters();
    applyTimeouts();
    purgeInput(false);
    purgeOutput(false);
    return 0;
}

int SerialPortNT::close()
{
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    return 0;
}

int SerialPortNT::applyLineParameters()
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return -1;
    DCB dcb;
    ZeroMemory(&dcb, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = static_cast<DWORD>(baudRate_);
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.ByteSize = static_cast<BYTE>(dataBits_);
    dcb.Parity = static_cast<BYTE>(parity_);       // NOPARITY..SPACEPARITY share the field's codes
    dcb.StopBits = static_cast<BYTE>(stopBits_);   // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
    switch (flowControl_) {
    case 1:
        dcb.fOutxCtsFlow = TRUE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        break;
    case 2:
        dcb.fOutxDsrFlow = TRUE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        break;
    default:
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        break;
    }
    if (!SetCommState(handle_, &dcb)) {
        Logger::instance().write(2, L"serial: line parameters refused: %lu",
                                 static_cast<unsigned long>(GetLastError()));
        return -1;
    }
    return 0;
}

int SerialPortNT::setParity(int parity)
{
    parity_ = parity;
    if (handle_ == INVALID_HANDLE_VALUE)
        return -1;
    return applyLineParameters();
}

int SerialPortNT::applyTimeouts()
{
    COMMTIMEOUTS t;
    ZeroMemory(&t, sizeof t);
    if (timeout_ < 0) {
        // Any-data mode: return with the first bytes, wait for them at most two minutes.
        t.ReadIntervalTimeout = MAXDWORD;
        t.ReadTotalTimeoutMultiplier = MAXDWORD;
        t.ReadTotalTimeoutConstant = kAnyDataWaitMs;
        t.WriteTotalTimeoutMultiplier = 0;
        t.WriteTotalTimeoutConstant = kAnyDataWaitMs;
    } else {
        t.ReadIntervalTimeout = intervalTimeout_ == 0 ? MAXDWORD : static_cast<DWORD>(intervalTimeout_);
        t.ReadTotalTimeoutMultiplier = static_cast<DWORD>(timeoutMultiplier_);
        t.ReadTotalTimeoutConstant = static_cast<DWORD>(timeout_);
        t.WriteTotalTimeoutMultiplier = static_cast<DWORD>(timeoutMultiplier_);
        t.WriteTotalTimeoutConstant = static_cast<DWORD>(timeout_);
    }
    return SetCommTimeouts(handle_, &t) ? 0 : -1;
}

int SerialPortNT::purgeInput(bool abort)
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return -1;
    return PurgeComm(handle_, PURGE_RXCLEAR | (abort ? PURGE_RXABORT : 0)) ? 0 : -1;
}

int SerialPortNT::purgeOutput(bool abort)
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return -1;
    return PurgeComm(handle_, PURGE_TXCLEAR | (abort ? PURGE_TXABORT : 0)) ? 0 : -1;
}

int SerialPortNT::read(uint8_t* buffer, int count)
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return -1;
    DWORD got = 0;
    // A device error reads as a short transfer: the count says what arrived.
    if (count > 0 && buffer)
        (void)ReadFile(handle_, buffer, static_cast<DWORD>(count), &got, nullptr);
    Logger::instance().dump(4, L"serial read:", buffer, static_cast<int>(got), count);
    return static_cast<int>(got);
}

int SerialPortNT::write(const uint8_t* bytes, int count)
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return -1;
    DWORD done = 0;
    if (count > 0 && bytes)
        (void)WriteFile(handle_, bytes, static_cast<DWORD>(count), &done, nullptr);
    Logger::instance().dump(4, L"serial write:", bytes, static_cast<int>(done), count);
    return static_cast<int>(done);
}

std::unique_ptr<AbstractIODevice> createIODevice(int kind)
{
    if (kind == 1)
        return std::unique_ptr<AbstractIODevice>(new SerialPortNT());
    return nullptr;
}
