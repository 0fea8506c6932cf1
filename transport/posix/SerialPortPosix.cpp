#include "transport/posix/SerialPortPosix.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "core/Logger.h"
#include "core/Platform.h"

namespace {

using Clock = std::chrono::steady_clock;

struct SpeedCode {
    int rate;
    speed_t code;
};
// 14400 has no termios constant; such a rate is refused like a device would refuse it.
const SpeedCode kSpeeds[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

const tcflag_t kCharSize[] = {CS5, CS6, CS7, CS8};   // 5..8 data bits

int64_t msLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? left : 0;
}

// Milliseconds for one poll: bounded so the int argument never overflows.
int pollSlice(int64_t ms)
{
    return static_cast<int>(std::min<int64_t>(ms, 60000));
}

std::string narrowPath(const std::wstring& path)
{
    return Platform::toUtf8(path);
}

} // namespace

SerialPortPosix::~SerialPortPosix()
{
    close();
}

std::wstring SerialPortPosix::devicePath() const
{
    std::wstring fromEnv = Platform::getEnv(L"NORVEX_TTY");
    if (!fromEnv.empty())
        return fromEnv;
    if (portNumber_ >= 1)
        return L"/dev/ttyS" + std::to_wstring(portNumber_ - 1);
    return L"/dev/" + ttySuffix_;
}

int SerialPortPosix::open()
{
    close();
    const std::wstring path = devicePath();
    const std::string narrow = narrowPath(path);
    int fd = ::open(narrow.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        Logger::instance().write(2, L"serial: cannot open %ls: %d", path.c_str(), err);
        return err == EBUSY ? -14 : -3;
    }
    if (!isatty(fd)) {
        Logger::instance().write(2, L"serial: %ls is not a terminal device", path.c_str());
        ::close(fd);
        return -3;
    }
    // TIOCEXCL keeps other programs out; flock also stops a second opener with privileges.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        Logger::instance().write(2, L"serial: %ls is held by another program", path.c_str());
        return err == EWOULDBLOCK ? -14 : -3;
    }
    if (ioctl(fd, TIOCEXCL) != 0)
        Logger::instance().write(2, L"serial: exclusive mode not available on %ls: %d", path.c_str(), errno);
    fd_ = fd;

    // As on the other platform, the outcome of these steps does not decide the open.
    applyLineParameters();
    applyTimeouts();
    purgeInput(false);
    purgeOutput(false);
    return 0;
}

int SerialPortPosix::close()
{
    if (fd_ >= 0) {
        flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
    return 0;
}

void SerialPortPosix::setModemLine(int line, bool on)
{
    if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) != 0)
        Logger::instance().write(2, L"serial: modem line 0x%X cannot be %ls: %d", line,
                                 on ? L"raised" : L"dropped", errno);
}

int SerialPortPosix::applyLineParameters()
{
    if (fd_ < 0)
        return -1;
    const SpeedCode* speed = nullptr;
    for (const SpeedCode& s : kSpeeds)
        if (s.rate == baudRate_)
            speed = &s;
    if (!speed) {
        Logger::instance().write(2, L"serial: baud rate %d is not available here", baudRate_);
        return -1;
    }
    if (dataBits_ < 5 || dataBits_ > 8) {
        Logger::instance().write(2, L"serial: %d data bits are not available here", dataBits_);
        return -1;
    }

    termios tio;
    if (tcgetattr(fd_, &tio) != 0) {
        Logger::instance().write(2, L"serial: tcgetattr failed: %d", errno);
        return -1;
    }
    cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
#ifdef CMSPAR
    tio.c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
#endif
#ifdef CRTSCTS
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
#endif
    tio.c_cflag |= kCharSize[dataBits_ - 5];

    switch (parity_) {
    case 1: tio.c_cflag |= PARENB | PARODD; break;
    case 2: tio.c_cflag |= PARENB; break;
    case 3:
    case 4:
#ifdef CMSPAR
        tio.c_cflag |= PARENB | CMSPAR | (parity_ == 3 ? PARODD : 0);
        break;
#else
        Logger::instance().write(2, L"serial: mark and space parity are not available here");
        return -1;
#endif
    default: break;
    }
    // One and a half stop bits do not exist here; two is the nearest.
    if (stopBits_ != 0)
        tio.c_cflag |= CSTOPB;

    if (flowControl_ == 1) {
#ifdef CRTSCTS
        tio.c_cflag |= CRTSCTS;
#else
        Logger::instance().write(2, L"serial: RTS/CTS flow control is not available here");
#endif
    } else if (flowControl_ == 2) {
        Logger::instance().write(2, L"serial: DTR/DSR flow control is not available here, line runs without it");
    }
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed->code);
    cfsetospeed(&tio, speed->code);
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) {
        Logger::instance().write(2, L"serial: line parameters refused: %d", errno);
        return -1;
    }

    // The control lines follow the flow mode: held on for the mode that uses them, off otherwise.
    setModemLine(TIOCM_RTS, flowControl_ == 1);
    setModemLine(TIOCM_DTR, flowControl_ == 2);
    return 0;
}

int SerialPortPosix::setParity(int parity)
{
    parity_ = parity;
    if (fd_ < 0)
        return -1;
    return applyLineParameters();
}

int SerialPortPosix::applyTimeouts()
{
    // Timeouts are applied by every read and write with poll; the device itself runs non-blocking.
    return fd_ >= 0 ? 0 : -1;
}

int SerialPortPosix::purgeInput(bool /*abort*/)
{
    // Transfers are synchronous, so there is never a pending read to abort.
    if (fd_ < 0)
        return -1;
    return tcflush(fd_, TCIFLUSH) == 0 ? 0 : -1;
}

int SerialPortPosix::purgeOutput(bool /*abort*/)
{
    if (fd_ < 0)
        return -1;
    return tcflush(fd_, TCOFLUSH) == 0 ? 0 : -1;
}

int SerialPortPosix::read(uint8_t* buffer, int count)
{
    if (fd_ < 0)
        return -1;
    int got = 0;
    if (count > 0 && buffer) {
        const bool anyData = timeout_ < 0;
        const int64_t total = anyData ? kAnyDataWaitMs
                                      : int64_t(timeout_) + int64_t(std::max(timeoutMultiplier_, 0)) * count;
        const int interval = anyData ? 0 : intervalTimeout_;   // 0 or less: no gap limit
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(total);
        Clock::time_point lastByte = Clock::now();
        bool hungUp = false;
        for (;;) {
            ssize_t n = ::read(fd_, buffer + got, static_cast<size_t>(count - got));
            if (n > 0) {
                got += static_cast<int>(n);
                lastByte = Clock::now();
                if (got >= count || anyData)
                    break;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                break;   // device error: reported as a short read
            if (hungUp)
                break;   // the line is gone; waiting on would only spin until the deadline
            int64_t wait = msLeft(deadline);
            if (interval > 0 && got > 0)
                wait = std::min<int64_t>(wait, msLeft(lastByte + std::chrono::milliseconds(interval)));
            if (wait <= 0)
                break;
            pollfd p{fd_, POLLIN, 0};
            int pr = ::poll(&p, 1, pollSlice(wait));
            if (pr < 0 && errno != EINTR)
                break;
            if (pr > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
                hungUp = true;   // drain what is left, then stop
        }
    }
    Logger::instance().dump(4, L"serial read:", buffer, got, count);
    return got;
}

int SerialPortPosix::write(const uint8_t* bytes, int count)
{
    if (fd_ < 0)
        return -1;
    int done = 0;
    if (count > 0 && bytes) {
        const int64_t total = timeout_ < 0 ? kAnyDataWaitMs
                                           : int64_t(timeout_) + int64_t(std::max(timeoutMultiplier_, 0)) * count;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(total);
        while (done < count) {
            ssize_t n = ::write(fd_, bytes + done, static_cast<size_t>(count - done));
            if (n > 0) {
                done += static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                break;
            int64_t wait = msLeft(deadline);
            if (wait <= 0)
                break;
            pollfd p{fd_, POLLOUT, 0};
            int pr = ::poll(&p, 1, pollSlice(wait));
            if (pr < 0 && errno != EINTR)
                break;
            if (pr > 0 && !(p.revents & POLLOUT) && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
                break;
        }
    }
    Logger::instance().dump(4, L"serial write:", bytes, done, count);
    return done;
}

std::unique_ptr<AbstractIODevice> createIODevice(int kind)
{
    if (kind == 1)
        return std::unique_ptr<AbstractIODevice>(new SerialPortPosix());
    return nullptr;
}
