#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace sorvane {

// Stops a script that runs longer than its budget. Everything the script
// does counts, host calls included; only the time it waits for the user (a
// box open) is left out. A thread of its own stops a script that never
// returns to the host; at each host call the script's own thread looks too,
// so time spent inside the host is stopped as soon as the call returns.
class ScriptWatchdog {
public:
    // A steady time; it may be read from both threads.
    using Now = std::function<std::chrono::milliseconds()>;
    using ThreadStarter = std::function<std::thread(std::function<void()>)>;

    ScriptWatchdog(std::chrono::milliseconds budget, Now now, std::function<void()> onExpired);
    ~ScriptWatchdog();
    ScriptWatchdog(const ScriptWatchdog &) = delete;
    ScriptWatchdog &operator=(const ScriptWatchdog &) = delete;

    static std::chrono::milliseconds steadyNow();
    static std::thread startThread(std::function<void()> body);

    // Starts the watching thread; false when the system cannot start one.
    bool start(const ThreadStarter &starter = startThread);

    // The script waits for the user (pause) or goes on (resume); waits may nest.
    void pause();
    void resume();
    // Whether the budget is used up, and if it is, stops the script.
    bool check();
    bool expired() const;

private:
    std::chrono::milliseconds runningFor() const;
    void watch();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Now m_now;
    std::function<void()> m_onExpired;
    std::chrono::milliseconds m_remaining;
    std::chrono::milliseconds m_runningSince;
    int m_pauseDepth = 0;
    bool m_stop = false;
    bool m_expired = false;
    std::thread m_thread;
};

} // namespace sorvane
