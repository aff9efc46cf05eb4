#include "MessageBoxService.h"

#include "Forms.h"
#include "GuiPrivate.h"

#include <QApplication>
#include <QMessageBox>

namespace kv {

MessageBoxService &MessageBoxService::instance()
{
    static MessageBoxService service;
    return service;
}

int MessageBoxService::defaultAnswer(unsigned flags)
{
    const unsigned buttons = flags & 0x0F;
    const unsigned def = (flags >> 8) & 0x0F; // 0: first button, 1: second, 2: third
    switch (buttons) {
    case MB_OKCANCEL:
        return def == 1 ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE:
        return def == 1 ? IDRETRY : (def == 2 ? IDIGNORE : IDABORT);
    case MB_YESNOCANCEL:
        return def == 1 ? IDNO : (def == 2 ? IDCANCEL : IDYES);
    case MB_YESNO:
        return def == 1 ? IDNO : IDYES;
    case MB_RETRYCANCEL:
        return def == 1 ? IDCANCEL : IDRETRY;
    default:
        return IDOK;
    }
}

int MessageBoxService::refusingAnswer(unsigned flags)
{
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
        return IDCANCEL;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDOK;
    }
}

bool MessageBoxService::interactive() const
{
    if (m_interactive >= 0)
        return m_interactive > 0;
    return kv::gui::realDisplay();
}

namespace {

int showReal(const MessageBoxCall &call, QWidget *parent)
{
    QMessageBox box(parent);
    box.setText(kv::gui::toQ(call.text));
    box.setWindowTitle(kv::gui::toQ(call.caption));
    switch (call.flags & 0xF0) {
    case MB_ICONSTOP:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Button {
        QMessageBox::StandardButton qt;
        int id;
    };
    std::vector<Button> buttons;
    switch (call.flags & 0x0F) {
    case MB_OKCANCEL:
        buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_ABORTRETRYIGNORE:
        buttons = {
            {QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    case MB_RETRYCANCEL:
        buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    default:
        buttons = {{QMessageBox::Ok, IDOK}};
        break;
    }
    QMessageBox::StandardButtons set;
    for (const auto &b : buttons)
        set |= b.qt;
    box.setStandardButtons(set);
    const std::size_t def = (call.flags >> 8) & 0x0F;
    if (def < buttons.size())
        box.setDefaultButton(buttons[def].qt);
    const int chosen = box.exec();
    for (const auto &b : buttons)
        if (b.qt == chosen)
            return b.id;
    // Closed without a button: Cancel where there is one, else the default.
    for (const auto &b : buttons)
        if (b.id == IDCANCEL)
            return IDCANCEL;
    return MessageBoxService::defaultAnswer(call.flags);
}

} // namespace

int MessageBoxService::show(const std::string &text, const std::string &caption, unsigned flags,
                            QWidget *parent)
{
    MessageBoxCall call{text, caption, flags, 0};
    if (hook) {
        auto h = hook;
        call.answer = h(call);
    } else if (!m_answers.empty()) {
        call.answer = m_answers.front();
        m_answers.pop_front();
    } else if (interactive()) {
        auto ending = [] { return Application != nullptr && Application->Terminated(); };
        if (!ending())
            call.answer = showReal(call, parent);
        // Not shown once the application ends, or closed by its end: refused.
        if (ending())
            call.answer = refusingAnswer(flags);
    } else {
        call.answer = defaultAnswer(flags);
    }
    m_calls.push_back(call);
    return call.answer;
}

void MessageBoxService::beep(unsigned, unsigned)
{
    ++m_beeps;
    if (interactive())
        QApplication::beep();
}

void MessageBoxService::reset()
{
    m_answers.clear();
    m_calls.clear();
    hook = nullptr;
    m_beeps = 0;
    m_focusNext = 0;
}

void Beep(unsigned frequencyHz, unsigned durationMs)
{
    MessageBoxService::instance().beep(frequencyHz, durationMs);
}

} // namespace kv
