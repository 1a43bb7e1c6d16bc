#pragma once
// A value the whole process shares, such as the instruments' timings, which any thread may
// read while a test or a training set-up replaces it; the replacement hands back the value
// it replaced so the caller can put it back.
#include <mutex>
#include <utility>

template <class T>
class ProcessSetting {
public:
    T Get() const
    {
        std::lock_guard lock(fMutex);
        return fValue;
    }
    T Set(T value)
    {
        std::lock_guard lock(fMutex);
        return std::exchange(fValue, std::move(value));
    }

private:
    mutable std::mutex fMutex;
    T fValue{};
};
