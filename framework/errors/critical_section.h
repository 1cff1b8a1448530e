// CriticalSection: a re-entrant lock. The error manager's operations that
// hold their lock call accessors that take it again, so a plain mutex would
// deadlock. CriticalSection::Hold takes it for one scope.
#pragma once
#include <mutex>

namespace varnok::framework {

class CriticalSection {
public:
    void enter() { mutex_.lock(); }
    void leave() { mutex_.unlock(); }

    class Hold {
    public:
        explicit Hold(CriticalSection& section) : section_(section) { section_.enter(); }
        ~Hold() { section_.leave(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        CriticalSection& section_;
    };

private:
    std::recursive_mutex mutex_;
};

}  // namespace varnok::framework
