#pragma once
// The link's recursive lock behind a small interface; one implementation per platform.
#include <memory>

class AbstractCriticalSection {
public:
    virtual ~AbstractCriticalSection() = default;
    virtual void enter() = 0;
    virtual void leave() = 0;
    virtual bool tryEnter() = 0;
};

std::unique_ptr<AbstractCriticalSection> createCriticalSection();

// Holds the lock for a scope and releases it on every exit.
class CriticalSectionGuard {
public:
    explicit CriticalSectionGuard(AbstractCriticalSection& cs) : cs_(cs) { cs_.enter(); }
    ~CriticalSectionGuard() { cs_.leave(); }
    CriticalSectionGuard(const CriticalSectionGuard&) = delete;
    CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;
private:
    AbstractCriticalSection& cs_;
};
