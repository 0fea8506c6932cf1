// The link lock on POSIX: a recursive mutex gives the same re-entry as a Windows critical section.
#include "core/CriticalSection.h"

#include <mutex>

namespace {

class PosixCriticalSection : public AbstractCriticalSection {
public:
    void enter() override { mutex_.lock(); }
    void leave() override { mutex_.unlock(); }
    bool tryEnter() override { return mutex_.try_lock(); }

private:
    std::recursive_mutex mutex_;
};

} // namespace

std::unique_ptr<AbstractCriticalSection> createCriticalSection() {
    return std::unique_ptr<AbstractCriticalSection>(new PosixCriticalSection());
}
