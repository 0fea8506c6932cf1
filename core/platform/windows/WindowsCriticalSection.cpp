// The link lock on Windows: a critical section, recursive by nature.
#include "core/CriticalSection.h"

#include <windows.h>

class WindowsCriticalSection : public AbstractCriticalSection {
public:
    WindowsCriticalSection() { InitializeCriticalSectionAndSpinCount(&cs_, 1024); }
    ~WindowsCriticalSection() override { DeleteCriticalSection(&cs_); }
    WindowsCriticalSection(const WindowsCriticalSection&) = delete;
    WindowsCriticalSection& operator=(const WindowsCriticalSection&) = delete;

    void enter() override { EnterCriticalSection(&cs_); }
    void leave() override { LeaveCriticalSection(&cs_); }
    bool tryEnter() override { return TryEnterCriticalSection(&cs_) != 0; }

private:
    CRITICAL_SECTION cs_;
};

std::unique_ptr<AbstractCriticalSection> createCriticalSection() {
    return std::unique_ptr<AbstractCriticalSection>(new WindowsCriticalSection());
}
