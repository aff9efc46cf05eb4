#pragma once
// Visual controls: a control has an owner (lifetime, see Classes.h) and a parent (the windowed
// control it is shown in). Destroying a windowed control destroys the controls shown in it.
// Every control wraps one Qt widget; Qt is an implementation detail reachable by Widget().
#include "Classes.h"

#include <QPointer>
#include <QWidget>

class QWidget;
class QObject;
class QEvent;
class QString;
class TWinControl;
class TForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
// A form's border; an edit takes the first two.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

class TControl : public TComponent {
public:
    ~TControl() override;

    TWinControl *Parent() const { return m_parent; }
    virtual void SetParent(TWinControl *parent);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const;
    virtual int ClientHeight() const;
    virtual void SetClientWidth(int v);
    virtual void SetClientHeight(int v);

    TAlign Align() const { return m_align; }
    void SetAlign(TAlign a);

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool v);

    // The control's text: caption of labels, buttons and forms; contents of edits.
    virtual std::string Text() const;
    virtual void SetText(const std::string &text);
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string &text) { SetText(text); }

    const std::string &Hint() const { return m_hint; }
    void SetHint(const std::string &hint);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool show);

    // Colours as 0x00BBGGRR; clDefault leaves the style's colour.
    void SetColor(std::uint32_t color);
    void SetFontColor(std::uint32_t color);
    // Font size in points of the 96-dpi screen the pixel layouts were made for, and weight.
    void SetFontSize(int points);
    void SetFontBold(bool bold);

    // The form this control is shown on (walks the parents), or null.
    TForm *ParentForm() const;

    // Runs OnClick (as a click by the user would).
    virtual void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    std::function<void(TObject *Sender, unsigned Shift, int X, int Y)> OnMouseMove;

    QWidget *Widget() const { return m_widget; }
    // The control that wraps a widget (or one of its ancestors), or null.
    static TControl *FromWidget(const QWidget *w);

protected:
    TControl(TComponent *AOwner, QWidget *widget);
    // Runs a handler unless the control is being destroyed; escaping exceptions go to the
    // application's error box and the loop goes on.
    void Fire(const TNotifyEvent &ev);
    void FireGuarded(const std::function<void()> &fn);
    virtual void Resized();
    // Qt events of the widget, seen before the widget handles them; true consumes.
    virtual bool WidgetEvent(QObject *watched, QEvent *e);

private:
    friend class TWinControl;
    friend class TPageControl;
    friend class TForm;
    friend class KvControlFilter;
    QPointer<QWidget> m_widget;
    TWinControl *m_parent = nullptr;
    TAlign m_align = alNone;
    bool m_visible = true;
    bool m_enabled = true;
    std::string m_hint;
    bool m_showHint = false;
    std::unique_ptr<QObject> m_filter;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

protected:
    // Stays true while the control exists (checked after handlers that may delete it).
    std::weak_ptr<bool> AliveToken() const { return m_alive; }
    void GeometryChanged();
    // Routes the events of another widget of this control to WidgetEvent.
    void WatchWidget(QObject *w);
    // Set while code updates the widget, so the widget's own signals are not reported.
    bool m_syncing = false;
    // Records the visibility without showing or hiding the widget (a control that draws its
    // hidden state itself).
    void KeepVisible(bool v) { m_visible = v; }
};

using TColor = std::uint32_t;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clGreen = 0x008000;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clBtnFace = 0xF0F0F0;
constexpr TColor clWindow = 0xFFFFFE;

// A control with its own window: it can hold child controls and take the focus.
class TWinControl : public TControl {
public:
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    TControl *Controls(int i) const;

    bool TabStop() const;
    void SetTabStop(bool v);
    bool Focused() const;
    // Gives the control the focus. Called from the control's own OnExit handler, it refuses
    // the exit: the focus stays here and the mouse click that moved it away is cancelled.
    virtual void SetFocus();
    bool CanFocus() const;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

    // The widget that children are placed in (a scroll box's inner area, a form's client).
    virtual QWidget *ClientWidget() const;
    // Lays out the children by their Align, in the order they were made.
    void Realign();
    // A child moved or changed size or alignment.
    virtual void ChildChanged(TControl *child);
    // Typed text with a character outside Latin-1 is refused with a beep (true).
    static bool RefuseBeyondLatin1(const QString &typed);

protected:
    TWinControl(TComponent *AOwner, QWidget *widget);
    bool WidgetEvent(QObject *watched, QEvent *e) override;
    void Resized() override;
    // The widget that takes the focus and the keys (differs for composite widgets).
    virtual QWidget *FocusWidget() const { return Widget(); }
    void HookFocusWidget(QWidget *w);

    // Called when focus leaves this control; runs OnExit once (no re-entry).
    void DoExit();

private:
    friend class TControl;
    friend class KvControlFilter;
    friend class TTabSheet;
    friend class TPageControl;
    void AddChild(TControl *c);
    void RemoveChild(TControl *c);
    bool HandleKeyPress(QObject *target, QEvent *e);
    std::vector<TControl *> m_controls;
    bool m_inExit = false;
    bool m_exitRefused = false;
    bool m_realigning = false;
};

namespace kv {
// Cancels the mouse press that is being delivered now (the click that moved the focus away
// from an edit whose exit check failed). Used by the focus machinery; tests may call it.
void cancelPendingClick();
} // namespace kv
