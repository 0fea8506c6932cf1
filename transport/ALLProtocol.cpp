#include "transport/ALLProtocol.h"

#include <cwctype>

#include "core/Error.h"
#include "core/Logger.h"
#include "core/Platform.h"
#include "core/StringUtils.h"

namespace Orn { namespace Fptr {

namespace {

enum : uint8_t {
    STX = 0x02,
    ETX = 0x03,
    EOT = 0x04,
    ENQ = 0x05,
    ACK = 0x06,
    DLE = 0x10,
    NAK = 0x15,
};

const uint8_t kCommandNoAnswer = 0x47;      // the register sends nothing back
const uint8_t kCommandUnchecked = 0x45;     // its answer is never taken for an error
const uint8_t kErrorAnswer = 0x55;

const int kDefaultTimeouts[8] = {500, 2000, 500, 500, 10000, 500, 500, 1000};

const int kEnqTries = 5;
const int kLineCycles = 101;
const int kBlockSends = 10;
const int kIgnoredBytes = 100;
const int kReceiveRetries = 10;

void appendEscaped(ByteBuffer& out, uint8_t b)
{
    if (b == ETX || b == DLE)
        out.append(DLE);
    out.append(b);
}

// The access password as typed: decimal digits only (a leading zero is a digit, not an octal
// prefix). Only the four lowest digits fit the two password bytes. false when nothing parses.
bool parseDecimalPassword(const std::wstring& text, int32_t& bcd)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    int32_t lowDigits = 0;
    bool anyDigit = false;
    bool nonZero = false;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        const int d = text[i] - L'0';
        lowDigits = (lowDigits * 10 + d) % 10000;
        anyDigit = true;
        nonZero = nonZero || d != 0;
    }
    if (!anyDigit)
        return false;
    if (negative && nonZero) {
        bcd = -1;   // no password bytes at all
        return true;
    }
    bcd = static_cast<int32_t>(Utils::String::toBcd(lowDigits));
    return true;
}

} // namespace

// ---- ProtocolBase ----

void ProtocolBase::setDevice(std::unique_ptr<AbstractIODevice> device)
{
    if (device.get() == device_.get())
        (void)device.release();   // already owned: keep it, and do not let the argument delete it
    else
        device_ = std::move(device);
}

bool ProtocolBase::open()
{
    if (!device_)
        raiseError(-22);
    raiseError(device_->open());
    return true;
}

bool ProtocolBase::close()
{
    if (!device_)
        raiseError(-22);
    raiseError(device_->close());
    return true;
}

bool ProtocolBase::isOpen() const
{
    return device_ && device_->isOpen();
}

int ProtocolBase::writeBytes(const uint8_t* bytes, int count, int timeout, int interval)
{
    if (!device_)
        raiseError(-22);
    if (timeout >= 0)
        device_->setTimeouts(timeout, interval, 0);
    return device_->write(bytes, count);
}

int ProtocolBase::writeByte(uint8_t byte, int timeout, int interval)
{
    if (!device_)
        raiseError(-22);
    device_->setTimeouts(timeout, interval, 0);
    return device_->write(&byte, 1);
}

int ProtocolBase::readByte(uint8_t* buffer, int timeout, int interval)
{
    if (!device_)
        raiseError(-22);
    if (timeout >= 0)
        device_->setTimeouts(timeout, interval, 0);
    return device_->read(buffer, 1);
}

int ProtocolBase::readBytes(uint8_t* buffer, int count, int timeout, int interval)
{
    if (!device_)
        raiseError(-22);
    if (timeout >= 0)
        device_->setTimeouts(timeout, interval, 0);
    return device_->read(buffer, count);
}

// ---- ALLProtocol ----

ALLProtocol::ALLProtocol()
    : lock_(createCriticalSection()),
      password_(static_cast<int32_t>(Utils::String::toBcd(kFactoryAccessPassword)))
{
    device_ = createIODevice(1);
    resetTimeouts();
}

ALLProtocol::~ALLProtocol()
{
    lock_.reset();
    device_.reset();
}

int ALLProtocol::configure(const Settings& settings)
{
    int32_t bcd = 0;
    if (!parseDecimalPassword(settings.find(L"AccessPassword").toText(), bcd))
        bcd = static_cast<int32_t>(Utils::String::toBcd(kFactoryAccessPassword));
    password_ = bcd;
    if (!device_)
        raiseError(-23);
    raiseError(device_->configure(settings));
    return 0;
}

void ALLProtocol::setTimeout(int index, int ms)
{
    if (index >= 1 && index <= 8)
        t_[index - 1] = ms;
}

void ALLProtocol::resetTimeouts()
{
    for (int i = 0; i < 8; ++i)
        t_[i] = kDefaultTimeouts[i];
}

int ALLProtocol::timeoutValue(int index) const
{
    return (index >= 1 && index <= 8) ? t_[index - 1] : 0;
}

ByteBuffer ALLProtocol::buildBlock(const ByteBuffer& command) const
{
    ByteBuffer block;
    block.append(STX);
    if (password_ >= 0) {
        appendEscaped(block, static_cast<uint8_t>((password_ >> 8) & 0xFF));
        appendEscaped(block, static_cast<uint8_t>(password_ & 0xFF));
    }
    for (size_t i = 0; i < command.size(); ++i)
        appendEscaped(block, command[i]);
    block.append(ETX);
    uint8_t check = 0;
    for (size_t i = 1; i < block.size(); ++i)
        check ^= block[i];
    block.append(check);
    return block;
}

namespace {

// One exchange on a held line; reports where it failed instead of raising, so the caller can
// leave the lock first.
class Exchange {
public:
    Exchange(ProtocolBase& link, const int* t) : link_(link), t_(t) {}

    struct Outcome {
        int failure = 0;        // failure number for the log, 0 when the exchange completed
        int code = 0;           // error to raise with it
        bool answered = false;  // false: the command has no answer
        ByteBuffer received;    // register block between STX and ETX, escapes included
    };

    Outcome run(const ByteBuffer& block, uint8_t commandCode, int answerTimeout)
    {
        Outcome out;
        if (!requestLine())
            return fail(out, 355, -1);

        bool announced = false;
        for (int attempt = 1; ; ++attempt) {
            if (attempt > kBlockSends) {
                send(EOT);
                return fail(out, 355, -1);
            }
            link_.writeBytes(block.data(), static_cast<int>(block.size()), T(6), -1);
            int b = wait(T(3));
            if (b == ACK)
                break;
            if (b == ENQ && attempt >= 2) {
                // The block got through and its ACK was lost: the register already announces the answer.
                announced = true;
                break;
            }
        }

        if (!announced) {
            send(EOT);
            if (commandCode == kCommandNoAnswer)
                return out;
            for (int ignored = 0; !announced; ) {
                int b = wait(answerTimeout);
                if (b < 0)
                    return fail(out, 247, -20);
                if (b == ENQ)
                    announced = true;
                else if (++ignored >= kIgnoredBytes)
                    return fail(out, 244, -20);
            }
        }
        return receive(out);
    }

private:
    int T(int n) const { return t_[n - 1]; }

    void send(uint8_t b) { link_.writeByte(b, T(6), -1); }

    int wait(int timeout)
    {
        uint8_t b = 0;
        return link_.readByte(&b, timeout, -1) == 1 ? b : -1;
    }

    static Outcome& fail(Outcome& out, int failure, int code)
    {
        out.failure = failure;
        out.code = code;
        return out;
    }

    bool requestLine()
    {
        for (int cycle = 0; cycle < kLineCycles; ++cycle) {
            int b = -1;
            int tries = 0;
            for (; tries < kEnqTries; ++tries) {
                send(ENQ);
                b = wait(T(1));
                if (b < 0)
                    continue;
                if (b == NAK) {
                    Platform::sleepMs(static_cast<uint32_t>(T(1)));
                    continue;
                }
                break;
            }
            if (tries == kEnqTries)
                break;
            if (b == ACK)
                return true;
            if (b == ENQ)
                Platform::sleepMs(static_cast<uint32_t>(T(7)));
        }
        send(EOT);
        return false;
    }

    enum class Block { Good, Bad };

    // Reads after STX up to ETX and the check byte; acknowledges a good block, NAKs a corrupt one.
    Block readBlock(ByteBuffer& stored)
    {
        stored.clear();
        bool escaped = false;
        for (;;) {
            int b = wait(T(6));
            if (b < 0)
                return Block::Bad;
            if (!escaped && b == ETX)
                break;
            if (static_cast<int>(stored.size()) >= ALLProtocol::kMaxBlock)
                return Block::Bad;
            stored.append(static_cast<uint8_t>(b));
            escaped = !escaped && b == DLE;
        }
        int check = wait(T(6));
        if (check < 0)
            return Block::Bad;
        uint8_t expected = ETX;
        for (size_t i = 0; i < stored.size(); ++i)
            expected ^= stored[i];
        if (check != expected) {
            send(NAK);
            return Block::Bad;
        }
        send(ACK);
        return Block::Good;
    }

    Outcome& receive(Outcome& out)
    {
        int retries = 0;
        bool ack = true;
        for (;;) {
            if (ack)
                send(ACK);
            ack = false;

            // Wait for the start of the register's block.
            bool start = false;
            for (int ignored = 0; !start; ) {
                int b = wait(T(2));
                if (b < 0)
                    return fail(out, 265, -20);
                if (b == ENQ) {
                    if (++retries > kReceiveRetries)
                        return fail(out, 338, -20);
                    ack = true;
                    break;
                }
                if (b == STX)
                    start = true;
                else if (++ignored >= kIgnoredBytes)
                    return fail(out, 262, -20);
            }
            if (!start)
                continue;

            for (;;) {
                if (readBlock(out.received) == Block::Good) {
                    int b = wait(T(4));
                    if (b < 0 || b == EOT) {
                        out.answered = true;
                        return out;
                    }
                    if (b == STX) {
                        // The register did not hear our ACK and repeats the block.
                        if (++retries > kReceiveRetries)
                            return fail(out, 350, -20);
                        continue;
                    }
                    if (wait(T(6)) < 0) {
                        out.answered = true;
                        return out;
                    }
                }
                if (++retries > kReceiveRetries)
                    return fail(out, 344, -20);
                break;   // wait for the repeated block without a new ACK
            }
        }
    }

    ProtocolBase& link_;
    const int* t_;
};

ByteBuffer unescape(const ByteBuffer& received)
{
    ByteBuffer answer;
    for (size_t i = 0; i < received.size(); ++i) {
        if (received[i] == DLE && i + 1 < received.size())
            ++i;
        answer.append(received[i]);
    }
    return answer;
}

} // namespace

ByteBuffer ALLProtocol::transact(const ByteBuffer& command, bool checkError, int answerTimeout)
{
    Logger& log = Logger::instance();
    if (log.level() >= 3)
        log.debugDump(L"send", command.data(), static_cast<int>(command.size()), -1);
    if (!isOpen())
        raiseError(-11);
    if (command.empty())
        raiseError(-6, 0, L"Пустая команда");
    const ByteBuffer block = buildBlock(command);
    if (block.size() > static_cast<size_t>(kMaxBlock))
        raiseError(-6, 0, Utils::String::format(L"Кадр команды длиннее %d байт", kMaxBlock));
    if (answerTimeout < 0)
        answerTimeout = t_[4];
    const uint8_t commandCode = command[0];

    Exchange::Outcome outcome;
    {
        CriticalSectionGuard guard(*lock_);
        outcome = Exchange(*this, t_).run(block, commandCode, answerTimeout);
    }
    if (outcome.failure != 0) {
        log.debug(L"failed for some reason @ %d", outcome.failure);
        raiseError(outcome.code);
    }
    if (!outcome.answered)
        return ByteBuffer();

    ByteBuffer answer = unescape(outcome.received);
    if (checkError && commandCode != kCommandUnchecked && !answer.empty() && answer[0] == kErrorAnswer) {
        // An error answer without its code byte is malformed, not a success.
        if (answer.size() < 2)
            raiseError(-15);
        raiseError(errorFromRegisterCode(answer[1]));
    }
    if (log.level() >= 3)
        log.debugDump(L"reply", answer.data(), static_cast<int>(answer.size()), -1);
    return answer;
}

}} // namespace Orn::Fptr
