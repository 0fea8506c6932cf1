#include "transport/SerialPort.h"

namespace {

// Upper bounds (exclusive) of each standard rate's catchment, lowest first.
struct RateBand {
    int below;
    int rate;
};
const RateBand kRateBands[] = {
    {1800, 1200},   {3600, 2400},   {7200, 4800},   {14400, 9600}, {19200, 14400},
    {28800, 19200}, {48000, 38400}, {86400, 57600},
};

int readRanged(const Orn::Settings& settings, const wchar_t* key, int def, int low, int high)
{
    int v = settings.find(key).toInt(def);
    return (v < low || v > high) ? def : v;
}

} // namespace

int SerialPort::snapBaudRate(int rate)
{
    for (const RateBand& band : kRateBands)
        if (rate < band.below)
            return band.rate;
    return 115200;
}

int SerialPort::setSettings(const Orn::Settings& settings)
{
    baudRate_ = snapBaudRate(settings.find(L"BaudRate").toInt(115200));
    dataBits_ = readRanged(settings, L"Bits", 8, 4, 8);
    parity_ = readRanged(settings, L"Parity", 0, 0, 4);
    stopBits_ = readRanged(settings, L"StopBits", 0, 0, 2);
    flowControl_ = readRanged(settings, L"FlowControl", 0, 0, 2);
    portNumber_ = settings.find(L"Port").toInt(1);
    const Orn::Value& suffix = settings.find(L"TTYSuffix");
    ttySuffix_ = suffix.toText().empty() ? std::wstring(L"ttyACM0") : suffix.toText();
    return 0;
}

int SerialPort::configure(const Orn::Settings& settings)
{
    const bool wasOpen = isOpen();
    if (wasOpen)
        close();
    const int rc = setSettings(settings);
    if (rc == 0 && wasOpen)
        open();   // a port that fails to re-open simply stays closed
    return rc;
}

int SerialPort::setTimeouts(int timeout, int intervalTimeout, int multiplier)
{
    if (timeout == timeout_ && intervalTimeout == intervalTimeout_ && multiplier == timeoutMultiplier_)
        return 0;
    timeout_ = timeout;
    intervalTimeout_ = intervalTimeout;
    timeoutMultiplier_ = multiplier;
    // On a closed port the values wait for the next open.
    return isOpen() ? applyTimeouts() : -1;
}
