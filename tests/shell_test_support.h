// Helpers for the shell's tests: running the thread's messages, and scripts whose steps also run
// inside modal loops (each step is a posted thread message). Messages are recorded with
// message_sequence.h.
#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include "platform/user/input.h"
#include "platform/windows.h"
#include "tests/message_sequence.h"

inline void PumpMessages()
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

inline POINT CentreOf(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Runs its steps one after another from the thread's message loop, whichever loop that is. A
// step must not run a modal loop itself: it posts what opens one.
// If the script is not done after a while, a quit message ends every loop, so a broken modal
// box fails the test instead of hanging it.
class ModalScript {
public:
    static constexpr UINT kStep = WM_APP + 0x51;
    static constexpr UINT kTimeout = WM_APP + 0x52;

    explicit ModalScript(std::vector<std::function<void()>> steps, int seconds = 20) : m_steps(std::move(steps))
    {
        Current() = this;
        SetThreadMessageHook(&ModalScript::Hook);
        m_watchdog = std::thread([this, seconds] {
            std::unique_lock<std::mutex> lock(m_lock);
            if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_cancelled; })) {
                PostMessage(nullptr, kTimeout, 0, 0);
            }
        });
        PostMessage(nullptr, kStep, 0, 0);
    }
    ~ModalScript()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_cancelled = true;
        }
        m_done.notify_all();
        m_watchdog.join();
        SetThreadMessageHook(nullptr);
        Current() = nullptr;
    }
    bool Finished() const { return m_next == m_steps.size(); }
    bool TimedOut() const { return m_timedOut; }

private:
    static ModalScript*& Current()
    {
        static ModalScript* current = nullptr;
        return current;
    }
    static void Hook(const MSG& msg)
    {
        ModalScript* s = Current();
        if (!s) return;
        if (msg.message == kTimeout) {
            s->m_timedOut = true;
            PostQuitMessage(99);
        } else if (msg.message == kStep && s->m_next < s->m_steps.size()) {
            // The next step is posted after what this one posted: a command that opens a modal
            // box is served first, and the next step then runs inside the box's loop.
            s->m_steps[s->m_next++]();
            if (s->m_next < s->m_steps.size()) PostMessage(nullptr, kStep, 0, 0);
        }
    }

    std::vector<std::function<void()>> m_steps;
    std::size_t m_next = 0;
    bool m_timedOut = false;
    std::mutex m_lock;
    std::condition_variable m_done;
    bool m_cancelled = false;
    std::thread m_watchdog;
};
