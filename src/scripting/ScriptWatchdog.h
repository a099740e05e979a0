#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace sorvane {

// Stops a script that runs longer than its budget without returning to the
// host: time spent in host calls (a box waiting for the user, a nested
// load) is not counted. The expiry callback runs on the watchdog's thread.
class ScriptWatchdog {
public:
    ScriptWatchdog(std::chrono::milliseconds budget, std::function<void()> onExpired);
    ~ScriptWatchdog();
    ScriptWatchdog(const ScriptWatchdog &) = delete;
    ScriptWatchdog &operator=(const ScriptWatchdog &) = delete;

    // A host call starts (pause) or ends (resume); calls may nest.
    void pause();
    void resume();
    bool expired() const;

private:
    using Clock = std::chrono::steady_clock;
    void watch();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_onExpired;
    Clock::duration m_remaining;
    Clock::time_point m_runningSince;
    int m_pauseDepth = 0;
    bool m_stop = false;
    bool m_expired = false;
    std::thread m_thread;
};

} // namespace sorvane
