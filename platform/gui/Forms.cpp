#include "Forms.h"

#include "Exception.h"
#include "GuiPrivate.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TabOrder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWidget>

#include <algorithm>

TApplication *Application = nullptr;

namespace {

QWidget *makeFormWidget()
{
    auto *w = new QWidget(nullptr, Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->resize(320, 240);
    return w;
}

// The forms' pixel layouts were made for an 8-point sans-serif dialog font on a 96-dpi screen
// (11 pixels); Liberation Sans at that size keeps their texts inside their controls.
QFont dialogFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

} // namespace

// ---- TForm ----

TForm::TForm(TComponent *AOwner)
    : TWinControl(AOwner, makeFormWidget()), m_alive(std::make_shared<bool>(true))
{
    m_client = new QWidget(Widget());
    m_client->setGeometry(Widget()->rect());
    m_fullSize = Widget()->size();
    Widget()->setFocusPolicy(Qt::NoFocus);
    m_visible = false;
}

TForm::~TForm()
{
    BeginDestroy();
    *m_alive = false;
    if (m_loop)
        m_loop->quit();
    if (OnDestroy) {
        // OnDestroy runs while the form still exists.
        TNotifyEvent handler = OnDestroy;
        kv::invokeGuarded([&] { handler(this); });
    }
    if (Application)
        Application->FormDestroyed(this);
    if (Widget())
        Widget()->hide();
}

std::string TForm::Text() const
{
    return kv::gui::fromQ(Widget()->windowTitle());
}

void TForm::SetText(const std::string &text)
{
    Widget()->setWindowTitle(kv::gui::toQ(text));
}

int TForm::ClientWidth() const
{
    return m_fullSize.width();
}

int TForm::ClientHeight() const
{
    return m_fullSize.height() - m_menuHeight;
}

void TForm::SetClientWidth(int v)
{
    SetClientSize(v, ClientHeight());
}

void TForm::SetClientHeight(int v)
{
    SetClientSize(m_fullSize.width(), v);
}

void TForm::SetClientSize(int width, int height)
{
    if (Destroying() || !Widget())
        return;
    // The menu bar may need another number of rows at the new width.
    width = std::max(width, 0);
    const int menu = m_menu ? m_menu->Arrange(width) : 0;
    SetBounds(Left(), Top(), width, height + menu);
}

int TForm::MenuHeight() const
{
    return m_menuHeight;
}

bool TForm::FixedBorder() const
{
    return m_borderStyle == bsSingle || m_borderStyle == bsDialog || m_borderStyle == bsToolWindow;
}

QSize TForm::ShownSize(QSize full) const
{
    const QWidget *w = Widget();
    const QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return full;
    // Before it is shown a window has no frame yet; the main window's frame stands in.
    const QWidget *framed = w;
    if (!w->isVisible() && Application && Application->MainForm() && Application->MainForm()->Widget())
        framed = Application->MainForm()->Widget();
    const QRect inner = framed->geometry();
    const QRect outer = framed->isVisible() ? framed->frameGeometry() : inner;
    const QSize room =
        (screen->availableGeometry().size() - (outer.size() - inner.size())).expandedTo(QSize(1, 1));
    QSize shown = full.boundedTo(room);
    // The scroll bar of one side takes room from the other side, which grows by it if it can.
    const int bar = w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
    if (shown.height() < full.height())
        shown.setWidth(std::min(full.width() + bar, room.width()));
    if (shown.width() < full.width())
        shown.setHeight(std::min(full.height() + bar, room.height()));
    return shown;
}

void TForm::FitShownFrame()
{
    QWidget *w = Widget();
    const QSize shown = ShownSize(m_fullSize);
    if (shown == w->size() || !w->screen())
        return;
    // The frame is known now: the window shrinks by it and stays inside the free area.
    SetBounds(Left(), Top(), m_fullSize.width(), m_fullSize.height());
    const QRect avail = w->screen()->availableGeometry();
    const QRect inner = w->geometry();
    const QRect outer = w->frameGeometry();
    const int left =
        std::max(std::min(inner.left(), avail.right() - (outer.right() - inner.right()) - inner.width() + 1),
                 avail.left() + inner.left() - outer.left());
    const int top = std::max(
        std::min(inner.top(), avail.bottom() - (outer.bottom() - inner.bottom()) - inner.height() + 1),
        avail.top() + inner.top() - outer.top());
    SetBounds(left, top, m_fullSize.width(), m_fullSize.height());
}

void TForm::SetBounds(int left, int top, int width, int height)
{
    QWidget *w = Widget();
    // SetWidth and SetHeight pass the other side as the window has it: a scrolled form keeps
    // that side's full size.
    if (m_scroll && width == w->width())
        width = m_fullSize.width();
    if (m_scroll && height == w->height())
        height = m_fullSize.height();
    m_fullSize = QSize(std::max(width, 0), std::max(height, 0));
    const QSize shown = ShownSize(m_fullSize);
    const bool fixed = FixedBorder() && w;
    if (fixed) {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    m_settingBounds = true;
    TControl::SetBounds(left, top, shown.width(), shown.height());
    m_settingBounds = false;
    if (fixed)
        w->setFixedSize(w->size());
    LayOutFrame();
}

void TForm::LayOutFrame()
{
    QWidget *w = Widget();
    if (!w || !m_client)
        return;
    m_menuHeight = m_menu ? m_menu->Arrange(w->width()) : 0;
    if (m_menu && m_menu->MenuArea())
        m_menu->MenuArea()->setGeometry(0, 0, w->width(), m_menuHeight);
    const QRect room(0, m_menuHeight, w->width(), std::max(0, w->height() - m_menuHeight));
    const QSize client(m_fullSize.width(), std::max(0, m_fullSize.height() - m_menuHeight));
    if (client.width() <= room.width() && client.height() <= room.height()) {
        if (m_scroll) {
            m_scroll->takeWidget();
            m_client->setParent(w);
            m_client->show();
            delete m_scroll;
            m_scroll = nullptr;
        }
        m_client->setGeometry(room);
        return;
    }
    // Larger than the screen's free area: the client scrolls, the window stays on the screen.
    if (!m_scroll) {
        m_scroll = new QScrollArea(w);
        m_scroll->setFrameShape(QFrame::NoFrame);
        m_scroll->setFocusPolicy(Qt::NoFocus);
        m_scroll->setWidgetResizable(false);
        m_scroll->setWidget(m_client);
        m_scroll->show();
        m_client->show();
    }
    m_scroll->setGeometry(room);
    m_client->resize(client);
}

void TForm::MenuChanged()
{
    SetClientSize(m_fullSize.width(), ClientHeight());
}

void TForm::Resized()
{
    // A size that code did not give (the user resizing a sizeable window) is the form's size.
    QWidget *w = Widget();
    if (w && !m_settingBounds && !m_scroll && w->size() != m_fullSize)
        m_fullSize = w->size();
    LayOutFrame();
    TWinControl::Resized();
}

void TForm::SetMenu(TMainMenu *menu)
{
    const int client = ClientHeight();
    m_menu = menu;
    if (menu && menu->MenuArea()) {
        menu->MenuArea()->setParent(Widget());
        menu->MenuArea()->show();
    }
    SetClientSize(Width(), client);
}

void TForm::DoCreate()
{
    if (m_created)
        return;
    m_created = true;
    Fire(OnCreate);
}

void TForm::SetVisible(bool v)
{
    QWidget *w = Widget();
    if (v == m_visible && v == w->isVisible())
        return;
    if (v) {
        DoCreate();
        m_visible = true;
        Fire(OnShow);
        if (!m_shownOnce) {
            m_shownOnce = true;
            if (m_position == poScreenCenter)
                CenterOn(nullptr);
            else if (m_position == poMainFormCenter || m_position == poOwnerFormCenter)
                CenterOn(Application ? Application->MainForm() : nullptr);
        }
        OrderTabs();
        w->show();
        w->raise();
        w->activateWindow();
        if (QApplication::activeWindow() != w && !kv::gui::realDisplay())
            QApplication::setActiveWindow(w);
        FitShownFrame();
        // A form opens with the focus on its first control.
        if (!w->focusWidget())
            if (QWidget *first = kv::gui::firstTabStop(w))
                first->setFocus(Qt::ActiveWindowFocusReason);
    } else {
        m_visible = false;
        w->hide();
        Fire(OnHide);
    }
}

void TForm::Show()
{
    SetVisible(true);
}

TModalResult TForm::ShowModal()
{
    if (m_modal || (Widget()->isVisible()))
        throw Exception("Cannot make a visible window modal");
    DoCreate();
    std::shared_ptr<bool> alive = m_alive;
    m_modal = true;
    m_modalResult = mrNone;
    Widget()->setWindowModality(Qt::ApplicationModal);
    Show();
    for (;;) {
        if (m_modalResult == mrNone && !(Application && Application->Terminated())) {
            QEventLoop loop;
            m_loop = &loop;
            if (Application)
                Application->m_loops.push_back(&loop);
            loop.exec();
            if (Application) {
                auto &loops = Application->m_loops;
                loops.erase(std::remove(loops.begin(), loops.end(), &loop), loops.end());
            }
            if (!*alive)
                return mrCancel; // deleted while shown
            m_loop = nullptr;
        }
        if (Application && Application->Terminated()) {
            m_modalResult = mrCancel;
            break;
        }
        if (m_modalResult != mrNone) {
            CloseModal();
            if (!*alive)
                return mrCancel;
            if (m_modalResult != mrNone)
                break;
        }
    }
    const TModalResult result = m_modalResult;
    m_modal = false;
    SetVisible(false);
    Widget()->setWindowModality(Qt::NonModal);
    return result;
}

void TForm::SetModalResult(TModalResult r)
{
    m_modalResult = r;
    if (r != mrNone && m_loop)
        m_loop->quit();
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery && !Destroying()) {
        auto handler = OnCloseQuery;
        kv::invokeGuarded([&] { handler(this, canClose); });
    }
    return canClose;
}

void TForm::DoClose(TCloseAction &action)
{
    if (OnClose && !Destroying()) {
        auto handler = OnClose;
        kv::invokeGuarded([&] { handler(this, action); });
    }
}

void TForm::CloseModal()
{
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone)
        m_modalResult = mrNone;
    else if (action == caFree)
        Release();
}

void TForm::Close()
{
    if (Destroying())
        return;
    if (m_modal) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide:
        SetVisible(false);
        break;
    case caMinimize:
        Widget()->showMinimized();
        break;
    default:
        Release();
        break;
    }
}

void TForm::Release()
{
    std::weak_ptr<bool> alive = m_alive;
    kv::postCall([this, alive] {
        if (auto a = alive.lock(); a && *a)
            delete this;
    });
}

void TForm::SetBorderStyle(TFormBorderStyle s)
{
    m_borderStyle = s;
    QWidget *w = Widget();
    Qt::WindowFlags flags = Qt::Window;
    switch (s) {
    case bsNone:
        flags |= Qt::FramelessWindowHint;
        break;
    case bsDialog:
        flags = Qt::Dialog;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        flags = Qt::Tool;
        break;
    default:
        break;
    }
    const bool visible = w->isVisible();
    w->setWindowFlags(flags);
    // Later sizes set by code move the fixed size along (SetBounds).
    if (FixedBorder())
        w->setFixedSize(w->size());
    else
        w->setMinimumSize(0, 0), w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (visible)
        w->show();
}

void TForm::SetBorderIcons(bool minimize, bool maximize)
{
    QWidget *w = Widget();
    Qt::WindowFlags flags = w->windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    flags.setFlag(Qt::WindowMinimizeButtonHint, minimize);
    flags.setFlag(Qt::WindowMaximizeButtonHint, maximize);
    const bool visible = w->isVisible();
    w->setWindowFlags(flags);
    if (visible)
        w->show();
}

void TForm::SetPosition(TPosition p)
{
    m_position = p;
}

void TForm::CenterOn(const TForm *other)
{
    QRect area;
    QScreen *screen = nullptr;
    // Before it is shown a window has no frame yet; the other window's frame stands in.
    QMargins frame;
    if (other && other != this) {
        const QWidget *o = other->Widget();
        area = o->geometry();
        screen = o->screen();
        const QRect outer = o->frameGeometry();
        frame = QMargins(area.left() - outer.left(), area.top() - outer.top(), outer.right() - area.right(),
                         outer.bottom() - area.bottom());
    }
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (area.isEmpty() && screen)
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    int left = area.x() + (area.width() - Width()) / 2;
    int top = area.y() + (area.height() - Height()) / 2;
    if (screen) {
        const QRect avail = screen->availableGeometry();
        // The right and bottom edges first, so that a window larger than the screen shows its
        // title bar and left edge.
        left = std::min(left, avail.right() + 1 - frame.right() - Width());
        top = std::min(top, avail.bottom() + 1 - frame.bottom() - Height());
        left = std::max(left, avail.left() + frame.left());
        top = std::max(top, avail.top() + frame.top());
    }
    SetBounds(left, top, Width(), Height());
}

TWinControl *TForm::ActiveControl() const
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != Widget())
        focus = Widget()->focusWidget();
    return dynamic_cast<TWinControl *>(TControl::FromWidget(focus));
}

void TForm::SetActiveControl(TWinControl *c)
{
    if (c)
        c->SetFocus();
}

void TForm::Post(std::function<void()> fn)
{
    kv::postCall(m_postGuard, std::move(fn));
}

void TForm::PostFocusNext()
{
    kv::MessageBoxService::instance().noteFocusNext();
    Post([this] { SelectNext(true); });
}

void TForm::SelectNext(bool forward)
{
    QWidget *window = Widget();
    QWidget *current = QApplication::focusWidget();
    if (!current || current->window() != window)
        current = window;
    QWidget *w = current;
    for (;;) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == current)
            return;
        if (w->window() != window || w == window)
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() && !w->focusProxy()) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void TForm::OrderTabs()
{
    kv::gui::orderFocusChain(Widget());
}

void TForm::PlacesChanged()
{
    if (m_tabsPosted || !m_visible || Destroying())
        return;
    m_tabsPosted = true;
    Post([this] {
        m_tabsPosted = false;
        OrderTabs();
    });
}

bool TForm::FormKey(QKeyEvent *e)
{
    // Only keys no control took reach the window.
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier)
        return false;
    if (e->key() == Qt::Key_Escape) {
        // The main window is not closed by a stray Escape.
        if (Application && Application->MainForm() == this)
            return false;
        Close();
        return true;
    }
    if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter)
        return false;
    for (QPushButton *b : Widget()->findChildren<QPushButton *>()) {
        if (b->isDefault() && b->isVisible() && b->isEnabled()) {
            if (TControl *button = TControl::FromWidget(b))
                button->Click();
            return true;
        }
    }
    return false;
}

bool TForm::WidgetEvent(QObject *watched, QEvent *e)
{
    if (watched == Widget()) {
        if (e->type() == QEvent::KeyPress && FormKey(static_cast<QKeyEvent *>(e)))
            return true;
        if (e->type() == QEvent::Close) {
            // The close box asks the form; the form decides (OnCloseQuery, OnClose).
            e->ignore();
            Close();
            return true;
        }
        if (e->type() == QEvent::WindowActivate) {
            OrderTabs();
            Fire(OnActivate);
        }
    }
    return TWinControl::WidgetEvent(watched, e);
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr)
{
    Application = this;
    QApplication::setFont(dialogFont());
    kv::setUncaughtExceptionHandler([this](std::exception_ptr e) { ShowException(e); });
}

TApplication::~TApplication()
{
    BeginDestroy();
    DestroyComponents();
    kv::setUncaughtExceptionHandler(nullptr);
    if (Application == this)
        Application = nullptr;
}

std::string TApplication::ExeName() const
{
    return kv::gui::fromQ(QCoreApplication::applicationFilePath());
}

void TApplication::FormDestroyed(TForm *f)
{
    if (m_mainForm == f)
        m_mainForm = nullptr;
}

void TApplication::Run()
{
    if (m_terminated)
        return;
    if (m_mainForm && !m_mainForm->Visible())
        m_mainForm->Show();
    while (!m_terminated) {
        QEventLoop loop;
        m_loops.push_back(&loop);
        loop.exec();
        m_loops.erase(std::remove(m_loops.begin(), m_loops.end(), &loop), m_loops.end());
    }
    if (m_mainForm)
        m_mainForm->SetVisible(false);
}

void TApplication::ProcessMessages()
{
    kv::processMessages();
}

void TApplication::HandleMessage()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

void TApplication::Terminate()
{
    m_terminated = true;
    for (QEventLoop *loop : m_loops)
        loop->quit();
    // Message boxes and file dialogs run loops of their own: they end too, as if cancelled.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible() && dialog->isModal())
            dialog->reject();
}

int TApplication::MessageBox(const std::string &text, const std::string &caption, unsigned flags)
{
    return kv::MessageBoxService::instance().show(text, caption, flags, QApplication::activeWindow());
}

std::string TApplication::Title() const
{
    if (!m_title.empty())
        return m_title;
    return kv::gui::fromQ(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}

void TApplication::ShowException(const std::exception &e)
{
    MessageBox(e.what(), Title(), MB_OK | MB_ICONSTOP);
}

void TApplication::ShowException(std::exception_ptr e)
{
    try {
        if (e)
            std::rethrow_exception(e);
    } catch (const std::exception &ex) {
        ShowException(ex);
    } catch (...) {
        MessageBox("Unknown exception", Title(), MB_OK | MB_ICONSTOP);
    }
}

void ShowMessage(const std::string &text)
{
    const std::string caption = Application ? Application->Title() : std::string();
    kv::MessageBoxService::instance().show(text, caption, MB_OK, QApplication::activeWindow());
}
