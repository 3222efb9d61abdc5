// A second process for the cross-process tests: this test program started again as a child that
// publishes one top-level window and reports, one line each, the requests it is handed
// ("command <wParam>", "raise"). It ends when the test closes its input, or is killed.
#pragma once
#include <string>
#include <sys/types.h>

// The window handle the child publishes (a local HWND value of its own).
constexpr unsigned long long kChildWindow = 0x40;

struct PublishChildOptions {
    std::string className = "MYQUORIX";
    std::string title = "Quorix V3.12";
    bool refuseOurUser = false;  // accept only peers of another user (stands in for one)
};

class PublishChild {
public:
    explicit PublishChild(const PublishChildOptions& options = {});
    ~PublishChild();
    PublishChild(const PublishChild&) = delete;
    PublishChild& operator=(const PublishChild&) = delete;

    bool Ready() const { return m_ready; }
    pid_t Pid() const { return m_pid; }
    // The next reported line, or "" when none comes within timeoutMs.
    std::string NextLine(int timeoutMs = 2000);
    void Kill();  // ends it the way a crash would: nothing cleaned up

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    bool m_ready = false;
    std::string m_pending;
};
