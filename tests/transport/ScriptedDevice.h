#pragma once
// An in-memory register line: every host write is recorded and answered from a script; reads
// take what the script has queued and return 0 at once when nothing is there (silence).
#include <cstdint>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

#include "core/CriticalSection.h"
#include "transport/AbstractIODevice.h"

using Bytes = std::vector<uint8_t>;

class ScriptedDevice : public AbstractIODevice {
public:
    struct Step {
        Bytes expect;   // the host write this step answers; empty accepts any write
        Bytes reply;    // bytes the register sends in return
    };

    std::deque<Step> script;
    std::deque<uint8_t> input;
    std::vector<Bytes> writes;
    std::vector<int> timeouts;   // total timeout of every setTimeouts call
    int mismatches = 0;
    bool opened = true;
    std::function<void()> onWrite;

    int read(uint8_t* buffer, int count) override
    {
        int n = 0;
        while (n < count && !input.empty()) {
            buffer[n++] = input.front();
            input.pop_front();
        }
        return n;
    }

    int write(const uint8_t* bytes, int count) override
    {
        Bytes w(bytes, bytes + count);
        writes.push_back(w);
        if (onWrite)
            onWrite();
        if (!script.empty()) {
            Step s = script.front();
            script.pop_front();
            if (!s.expect.empty() && s.expect != w)
                ++mismatches;
            input.insert(input.end(), s.reply.begin(), s.reply.end());
        }
        return count;
    }

    int type() const override { return 1; }
    int configure(const Orn::Settings&) override { return 0; }
    int open() override { opened = true; return 0; }
    int close() override { opened = false; return 0; }
    bool isOpen() const override { return opened; }
    int setTimeouts(int timeout, int, int) override { timeouts.push_back(timeout); return 0; }
};

// True when a thread other than the caller can take the lock right now.
inline bool lockFreeForOtherThread(AbstractCriticalSection& cs)
{
    bool taken = false;
    std::thread t([&] {
        taken = cs.tryEnter();
        if (taken)
            cs.leave();
    });
    t.join();
    return taken;
}
