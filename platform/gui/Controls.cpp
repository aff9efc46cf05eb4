#include "Controls.h"

#include "EventLoop.h"
#include "Forms.h"
#include "GuiPrivate.h"
#include "MessageBoxService.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFont>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>

namespace kv::gui {

bool realDisplay()
{
    if (!qApp)
        return false;
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

} // namespace kv::gui

namespace {

const char *const kControlProperty = "kvControl";

// Swallows the mouse press that is on its way while an exit check refuses the focus change.
class ClickCanceller : public QObject {
public:
    bool armed = false;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (armed && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
            armed = false;
            return true;
        }
        return false;
    }
};

ClickCanceller *clickCanceller()
{
    static ClickCanceller *canceller = nullptr;
    if (!canceller && qApp) {
        canceller = new ClickCanceller;
        canceller->setParent(qApp);
        qApp->installEventFilter(canceller);
    }
    return canceller;
}

std::uint16_t virtualKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<std::uint16_t>('0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<std::uint16_t>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<std::uint16_t>(0x70 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Shift:
        return 0x10;
    case Qt::Key_Control:
        return 0x11;
    case Qt::Key_Alt:
        return 0x12;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return 0x21;
    case Qt::Key_PageDown:
        return 0x22;
    case Qt::Key_End:
        return 0x23;
    case Qt::Key_Home:
        return 0x24;
    case Qt::Key_Left:
        return 0x25;
    case Qt::Key_Up:
        return 0x26;
    case Qt::Key_Right:
        return 0x27;
    case Qt::Key_Down:
        return 0x28;
    case Qt::Key_Insert:
        return 0x2D;
    case Qt::Key_Delete:
        return 0x2E;
    default:
        return 0;
    }
}

} // namespace

void kv::cancelPendingClick()
{
    if (auto *c = clickCanceller()) {
        c->armed = true;
        // Only the press being delivered now is cancelled, never a later one.
        kv::postCall([] {
            if (auto *cc = clickCanceller())
                cc->armed = false;
        });
    }
}

// Routes the Qt events of a control's widgets to the control.
class KvControlFilter : public QObject {
public:
    explicit KvControlFilter(TControl *c) : control(c) {}
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (passThrough || !control || control->Destroying())
            return false;
        return control->WidgetEvent(watched, e);
    }
    // Delivers e to the widget itself, bypassing this filter.
    void deliver(QObject *target, QEvent *e)
    {
        passThrough = true;
        QCoreApplication::sendEvent(target, e);
        passThrough = false;
    }
    TControl *control;
    bool passThrough = false;
};

// ---- TControl ----

TControl::TControl(TComponent *AOwner, QWidget *widget) : TComponent(AOwner), m_widget(widget)
{
    auto filter = std::make_unique<KvControlFilter>(this);
    widget->setProperty(kControlProperty, QVariant::fromValue<void *>(this));
    widget->installEventFilter(filter.get());
    m_filter = std::move(filter);
}

TControl::~TControl()
{
    BeginDestroy();
    *m_alive = false;
    if (m_parent)
        m_parent->RemoveChild(this);
    if (m_widget) {
        QWidget *w = m_widget;
        w->setProperty(kControlProperty, QVariant());
        w->blockSignals(true);
        for (QObject *child : w->findChildren<QObject *>())
            child->blockSignals(true);
        delete w;
    }
}

TControl *TControl::FromWidget(const QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        QVariant v = w->property(kControlProperty);
        if (v.isValid())
            return static_cast<TControl *>(v.value<void *>());
    }
    return nullptr;
}

void TControl::SetParent(TWinControl *parent)
{
    if (parent == m_parent)
        return;
    if (m_parent)
        m_parent->RemoveChild(this);
    m_parent = parent;
    if (!m_widget)
        return;
    if (parent) {
        parent->AddChild(this);
        m_widget->setParent(parent->ClientWidget());
        m_widget->setVisible(m_visible);
        parent->ChildChanged(this);
        if (TForm *form = ParentForm())
            form->PlacesChanged();
    } else {
        m_widget->hide();
        m_widget->setParent(nullptr);
    }
}

int TControl::Left() const
{
    return m_widget ? m_widget->x() : 0;
}

int TControl::Top() const
{
    return m_widget ? m_widget->y() : 0;
}

int TControl::Width() const
{
    return m_widget ? m_widget->width() : 0;
}

int TControl::Height() const
{
    return m_widget ? m_widget->height() : 0;
}

void TControl::SetLeft(int v)
{
    SetBounds(v, Top(), Width(), Height());
}

void TControl::SetTop(int v)
{
    SetBounds(Left(), v, Width(), Height());
}

void TControl::SetWidth(int v)
{
    SetBounds(Left(), Top(), v, Height());
}

void TControl::SetHeight(int v)
{
    SetBounds(Left(), Top(), Width(), v);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    if (!m_widget)
        return;
    width = std::max(width, 0);
    height = std::max(height, 0);
    const bool resized = width != m_widget->width() || height != m_widget->height();
    m_widget->setGeometry(left, top, width, height);
    // A hidden widget gets its resize event only when shown; lay out now.
    if (resized && !m_widget->isVisible())
        Resized();
    GeometryChanged();
}

void TControl::GeometryChanged()
{
    if (m_parent) {
        m_parent->ChildChanged(this);
        if (TForm *form = ParentForm())
            form->PlacesChanged();
    }
}

int TControl::ClientWidth() const
{
    return Width();
}

int TControl::ClientHeight() const
{
    return Height();
}

void TControl::SetClientWidth(int v)
{
    SetWidth(v);
}

void TControl::SetClientHeight(int v)
{
    SetHeight(v);
}

void TControl::SetAlign(TAlign a)
{
    if (a == m_align)
        return;
    m_align = a;
    GeometryChanged();
}

void TControl::SetVisible(bool v)
{
    m_visible = v;
    if (m_widget && m_parent)
        m_widget->setVisible(v);
    GeometryChanged();
}

void TControl::SetEnabled(bool v)
{
    m_enabled = v;
    if (m_widget)
        m_widget->setEnabled(v);
}

std::string TControl::Text() const
{
    return {};
}

void TControl::SetText(const std::string &)
{
}

void TControl::SetHint(const std::string &hint)
{
    m_hint = hint;
    if (m_widget)
        m_widget->setToolTip(m_showHint ? kv::gui::toQ(hint) : QString());
}

void TControl::SetShowHint(bool show)
{
    m_showHint = show;
    SetHint(m_hint);
}

namespace {
QColor toColor(std::uint32_t c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}
} // namespace

void TControl::SetColor(std::uint32_t color)
{
    if (!m_widget)
        return;
    QPalette pal = m_widget->palette();
    if (color == clDefault) {
        pal = QPalette();
    } else {
        pal.setColor(QPalette::Window, toColor(color));
        pal.setColor(QPalette::Base, toColor(color));
        m_widget->setAutoFillBackground(true);
    }
    m_widget->setPalette(pal);
}

void TControl::SetFontColor(std::uint32_t color)
{
    if (!m_widget || color == clDefault)
        return;
    QPalette pal = m_widget->palette();
    pal.setColor(QPalette::WindowText, toColor(color));
    pal.setColor(QPalette::Text, toColor(color));
    pal.setColor(QPalette::ButtonText, toColor(color));
    m_widget->setPalette(pal);
}

void TControl::SetFontSize(int points)
{
    if (!m_widget)
        return;
    QFont font = m_widget->font();
    font.setPixelSize((points * 96 + 36) / 72);
    m_widget->setFont(font);
}

void TControl::SetFontBold(bool bold)
{
    if (!m_widget)
        return;
    QFont font = m_widget->font();
    font.setBold(bold);
    m_widget->setFont(font);
}

TForm *TControl::ParentForm() const
{
    const TControl *c = this;
    while (c->m_parent)
        c = c->m_parent;
    return dynamic_cast<TForm *>(const_cast<TControl *>(c));
}

void TControl::Click()
{
    Fire(OnClick);
}

void TControl::Fire(const TNotifyEvent &ev)
{
    if (!ev || Destroying())
        return;
    // A copy: the handler may replace itself (or the control) while it runs.
    TNotifyEvent handler = ev;
    kv::invokeGuarded([&] { handler(this); });
}

void TControl::FireGuarded(const std::function<void()> &fn)
{
    if (Destroying())
        return;
    kv::invokeGuarded(fn);
}

void TControl::Resized()
{
    Fire(OnResize);
}

bool TControl::WidgetEvent(QObject *watched, QEvent *e)
{
    if (watched != m_widget)
        return false;
    switch (e->type()) {
    case QEvent::Resize:
        Resized();
        break;
    case QEvent::MouseButtonDblClick:
        Fire(OnDblClick);
        break;
    case QEvent::MouseMove:
        if (OnMouseMove) {
            auto *me = static_cast<QMouseEvent *>(e);
            const QPoint p = me->position().toPoint();
            auto handler = OnMouseMove;
            FireGuarded([&] { handler(this, 0, p.x(), p.y()); });
        }
        break;
    default:
        break;
    }
    return false;
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent *AOwner, QWidget *widget) : TControl(AOwner, widget)
{
    widget->setFocusPolicy(Qt::StrongFocus);
}

TWinControl::~TWinControl()
{
    BeginDestroy();
    // The derived parts are gone: the widgets must not report anything any more.
    if (QWidget *w = Widget()) {
        w->blockSignals(true);
        for (QObject *child : w->findChildren<QObject *>())
            child->blockSignals(true);
    }
    // Controls shown in this one go with it, the last made first.
    while (!m_controls.empty()) {
        TControl *c = m_controls.back();
        m_controls.pop_back();
        c->m_parent = nullptr;
        delete c;
    }
}

TControl *TWinControl::Controls(int i) const
{
    return (i >= 0 && i < ControlCount()) ? m_controls[static_cast<std::size_t>(i)] : nullptr;
}

void TWinControl::AddChild(TControl *c)
{
    m_controls.push_back(c);
}

void TWinControl::RemoveChild(TControl *c)
{
    auto it = std::find(m_controls.begin(), m_controls.end(), c);
    if (it != m_controls.end())
        m_controls.erase(it);
    if (!Destroying() && c->Align() != alNone)
        Realign();
}

QWidget *TWinControl::ClientWidget() const
{
    return Widget();
}

bool TWinControl::TabStop() const
{
    QWidget *w = FocusWidget();
    return w && (w->focusPolicy() & Qt::TabFocus);
}

void TWinControl::SetTabStop(bool v)
{
    if (QWidget *w = FocusWidget())
        w->setFocusPolicy(v ? Qt::StrongFocus : Qt::ClickFocus);
}

bool TWinControl::Focused() const
{
    QWidget *w = FocusWidget();
    return w && w->hasFocus();
}

bool TWinControl::CanFocus() const
{
    QWidget *w = FocusWidget();
    return w && w->isVisible() && w->isEnabled();
}

void TWinControl::SetFocus()
{
    if (m_inExit) {
        // Inside our own exit handler: refuse the exit; the focus comes back afterwards.
        m_exitRefused = true;
        return;
    }
    QWidget *w = FocusWidget();
    if (!w)
        return;
    QWidget *win = w->window();
    if (win && win->isVisible() && !win->isActiveWindow())
        win->activateWindow();
    w->setFocus(Qt::OtherFocusReason);
}

void TControl::WatchWidget(QObject *w)
{
    if (w)
        w->installEventFilter(m_filter.get());
}

void TWinControl::HookFocusWidget(QWidget *w)
{
    if (w && w != Widget()) {
        w->installEventFilter(m_filter.get());
        w->setProperty("kvFocusOf", QVariant::fromValue<void *>(this));
    }
}

void TWinControl::DoExit()
{
    if (m_inExit || Destroying())
        return;
    TForm *form = ParentForm();
    if (form && form->Destroying())
        return;
    std::weak_ptr<bool> alive = AliveToken();
    m_inExit = true;
    m_exitRefused = false;
    Fire(OnExit);
    if (alive.expired())
        return;
    m_inExit = false;
    if (m_exitRefused) {
        m_exitRefused = false;
        kv::cancelPendingClick();
        if (QWidget *w = FocusWidget())
            w->setFocus(Qt::OtherFocusReason);
    }
}

namespace {

// Texts are 8-bit (Latin-1): a character beyond it would reach the program as another one.
bool beyondLatin1(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
}

} // namespace

bool TWinControl::RefuseBeyondLatin1(const QString &typed)
{
    if (!beyondLatin1(typed))
        return false;
    kv::Beep(1000, 200);
    return true;
}

bool TWinControl::HandleKeyPress(QObject *target, QEvent *e)
{
    auto *ke = static_cast<QKeyEvent *>(e);
    std::weak_ptr<bool> alive = AliveToken();
    if (OnKeyDown) {
        std::uint16_t key = virtualKey(ke->key());
        if (key != 0) {
            TShiftState shift = 0;
            if (ke->modifiers() & Qt::ShiftModifier)
                shift |= ssShift;
            if (ke->modifiers() & Qt::AltModifier)
                shift |= ssAlt;
            if (ke->modifiers() & Qt::ControlModifier)
                shift |= ssCtrl;
            auto handler = OnKeyDown;
            FireGuarded([&] { handler(this, key, shift); });
            if (alive.expired() || key == 0)
                return true;
        }
    }
    const QString text = ke->text();
    if (RefuseBeyondLatin1(text))
        return true;
    if (OnKeyPress && text.size() == 1 && text[0].unicode() < 256) {
        const char typed = static_cast<char>(text[0].unicode());
        char key = typed;
        auto handler = OnKeyPress;
        FireGuarded([&] { handler(this, key); });
        if (alive.expired() || key == 0)
            return true;
        if (key != typed) {
            QKeyEvent changed(QEvent::KeyPress, ke->key(), ke->modifiers(),
                              QString(QChar(static_cast<unsigned char>(key))));
            static_cast<KvControlFilter *>(m_filter.get())->deliver(target, &changed);
            return true;
        }
    }
    return false;
}

bool TWinControl::WidgetEvent(QObject *watched, QEvent *e)
{
    QWidget *focusWidget = FocusWidget();
    if (watched == focusWidget) {
        switch (e->type()) {
        case QEvent::FocusIn: {
            auto reason = static_cast<QFocusEvent *>(e)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                Fire(OnEnter);
            break;
        }
        case QEvent::FocusOut: {
            auto reason = static_cast<QFocusEvent *>(e)->reason();
            // Another window becoming active (a message box) is not leaving the control.
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                break;
            if (!OnExit)
                break;
            // Let the widget finish losing the focus first, then run the exit check.
            static_cast<KvControlFilter *>(m_filter.get())->deliver(watched, e);
            DoExit();
            return true;
        }
        case QEvent::KeyPress:
            return HandleKeyPress(watched, e);
        case QEvent::InputMethod:
            // Text composed by an input method is typed too.
            return RefuseBeyondLatin1(static_cast<QInputMethodEvent *>(e)->commitString());
        default:
            break;
        }
    }
    return TControl::WidgetEvent(watched, e);
}

void TWinControl::Resized()
{
    Realign();
    TControl::Resized();
}

void TWinControl::ChildChanged(TControl *child)
{
    if (child->Align() != alNone)
        Realign();
}

void TWinControl::Realign()
{
    if (m_realigning || Destroying())
        return;
    m_realigning = true;
    int left = 0;
    int top = 0;
    int right = ClientWidth();
    int bottom = ClientHeight();
    const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : order) {
        for (TControl *c : m_controls) {
            if (c->Align() != a || !c->Visible() || !c->Widget())
                continue;
            QWidget *w = c->Widget();
            const int width = std::max(0, right - left);
            const int height = std::max(0, bottom - top);
            switch (a) {
            case alTop:
                c->SetBounds(left, top, width, w->height());
                top += w->height();
                break;
            case alBottom:
                c->SetBounds(left, bottom - w->height(), width, w->height());
                bottom -= w->height();
                break;
            case alLeft:
                c->SetBounds(left, top, w->width(), height);
                left += w->width();
                break;
            case alRight:
                c->SetBounds(right - w->width(), top, w->width(), height);
                right -= w->width();
                break;
            case alClient:
                c->SetBounds(left, top, width, height);
                break;
            default:
                break;
            }
        }
    }
    m_realigning = false;
}
