#pragma once
// Message boxes, the beep and the "focus next control" move, as services that tests script.
// Under tests (offscreen or minimal platform) nothing blocks: a box takes the next scripted
// answer, or its default button when none is queued, and every call is recorded.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class QWidget;

// Win32 box types and results (same values).
enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_ABORTRETRYIGNORE = 0x02,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_RETRYCANCEL = 0x05,
    MB_ICONHAND = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

namespace kv {

struct MessageBoxCall {
    std::string text;
    std::string caption;
    unsigned flags = 0;
    int answer = 0;
};

class MessageBoxService {
public:
    static MessageBoxService &instance();

    // Shows a modal box and returns the button chosen (IDOK ...).
    int show(const std::string &text, const std::string &caption, unsigned flags, QWidget *parent = nullptr);

    // Queues the answer of the next box (answers are used first in, first out).
    void setNextAnswer(int answer) { m_answers.push_back(answer); }
    // Runs instead of a real box (for example to close a form while the box is "open");
    // returns the answer. Cleared by reset().
    std::function<int(const MessageBoxCall &)> hook;
    const std::vector<MessageBoxCall> &calls() const { return m_calls; }
    const MessageBoxCall *lastCall() const { return m_calls.empty() ? nullptr : &m_calls.back(); }

    void beep(unsigned frequencyHz = 1000, unsigned durationMs = 200);
    int beepCount() const { return m_beeps; }

    // Every posted "focus next control" move is counted here.
    void noteFocusNext() { ++m_focusNext; }
    int focusNextCount() const { return m_focusNext; }

    // Clears recorded calls, queued answers, hook and counters.
    void reset();
    // Real boxes are shown only on a real display; tests may force either way.
    bool interactive() const;
    void setInteractive(int mode) { m_interactive = mode; }

    // The answer a box gives when unscripted and not interactive: its default button.
    static int defaultAnswer(unsigned flags);
    // The answer of a box nobody may answer, as when the application ends while it is open or
    // before it shows: Cancel, No or Abort where the box has one, else OK. An ending module
    // agrees to nothing.
    static int refusingAnswer(unsigned flags);

private:
    std::deque<int> m_answers;
    std::vector<MessageBoxCall> m_calls;
    int m_beeps = 0;
    int m_focusNext = 0;
    int m_interactive = -1; // -1: decide by the platform
};

// The Win32 Beep (1000 Hz, 200 ms in the edit constraints): counted, sounds on a display.
void Beep(unsigned frequencyHz, unsigned durationMs);

} // namespace kv
