// Message-sequence tests, as Wine writes them: record the messages windows receive, then compare
// them with an expected list; on a mismatch both lists are printed with the messages' names.
#pragma once
#include <string>
#include <vector>
#include "platform/windows.h"

// What an expected message compares besides its number. SEQ_ANY stands for any run of
// messages, none included: { ..., {0, SEQ_ANY} } accepts whatever follows.
enum : unsigned { SEQ_WPARAM = 1, SEQ_LPARAM = 2, SEQ_HWND = 4, SEQ_ANY = 8 };

struct SeqMessage {
    UINT msg;
    unsigned flags = 0;  // expected messages only
    WPARAM wParam = 0;
    LPARAM lParam = 0;   // for WM_DRAWITEM the item state: the structure is gone once recorded
    HWND hwnd = nullptr;
};

// An owner-drawn key's drawing request with its state (0 or ODS_SELECTED), its click, and a
// window's WM_PAINT.
SeqMessage DrawItemMessage(int id, UINT itemState);
SeqMessage ClickMessage(int id);
SeqMessage PaintMessage(HWND hwnd);

class MessageRecorder {
public:
    // Records the messages of the listed kinds; every message when the list is empty. A test's
    // own window procedure hands them over with Record.
    explicit MessageRecorder(std::vector<UINT> kinds = {});
    // Records what `hwnd` receives, then hands it on to the window's procedure, until the
    // recorder goes.
    MessageRecorder(HWND hwnd, std::vector<UINT> kinds);
    // Records what is sent to any window of the thread, windows not yet created included (a
    // WH_CALLWNDPROC hook), until the recorder goes: how a start-up is heard.
    struct WholeThread {};
    MessageRecorder(WholeThread, std::vector<UINT> kinds);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    const std::vector<SeqMessage>& Messages() const { return m_messages; }
    std::vector<SeqMessage> Take();
    void Clear() { m_messages.clear(); }
    // Keeps only the messages that `keep` accepts.
    template <typename Keep>
    void KeepOnly(Keep keep)
    {
        std::erase_if(m_messages, [&](const SeqMessage& m) { return !keep(m); });
    }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

    std::vector<UINT> m_kinds;
    std::vector<SeqMessage> m_messages;
    HWND m_hwnd = nullptr;
    WNDPROC m_original = nullptr;
    HHOOK m_hook = nullptr;
};

// "WM_COMMAND(1007, BN_CLICKED), WM_CLOSE(*, *)": an expected list shows what it ignores as *.
std::string DescribeMessages(const std::vector<SeqMessage>& list, bool expected = false);

// ok_sequence(recorder, expected, context): compares what `recorder` holds with `expected`,
// fails the test with both lists when they differ, and empties the recorder for the next step.
// True when they agree. (A macro for the caller's line, and variadic so that a braced list passes.)
bool OkSequence(const char* file, int line, MessageRecorder& recorder, const std::vector<SeqMessage>& expected,
                const std::string& context);
#define ok_sequence(recorder, ...) OkSequence(__FILE__, __LINE__, (recorder), __VA_ARGS__)
