#pragma once
// Forms and the application object.
//
// A form's OnCreate runs once: from TApplication::CreateForm, from TForm::Create<T>, or at
// the latest when the form is first shown. ShowModal runs a nested event loop until
// ModalResult becomes non-zero and the close passes OnCloseQuery/OnClose (modal forms nest).
// Close on a modeless form runs OnCloseQuery, then OnClose, then hides (or frees) it; closing
// the main form ends the application.
#include "Controls.h"
#include "EventLoop.h"
#include "MessageBoxService.h"

class TMainMenu;
class QEventLoop;
class QKeyEvent;
class QScrollArea;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPosition { poDesigned, poScreenCenter, poMainFormCenter, poOwnerFormCenter };

using TCloseQueryEvent = std::function<void(TObject *Sender, bool &CanClose)>;
using TCloseEvent = std::function<void(TObject *Sender, TCloseAction &Action)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent *AOwner);
    ~TForm() override;

    // new T(owner...) followed by the creation event.
    template <class T, class... Args> static T *Create(Args &&...args)
    {
        T *form = new T(std::forward<Args>(args)...);
        form->DoCreate();
        return form;
    }

    std::string Text() const override;
    void SetText(const std::string &text) override;
    void SetVisible(bool v) override;

    void Show();
    TModalResult ShowModal();
    // Asks the form to close (see the class comment).
    void Close();
    // Frees the form from the event loop, after the running handler has returned.
    void Release();
    bool Modal() const { return m_modal; }
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult r);

    // A single or dialog border: the window keeps the size code gives it, and the user cannot
    // resize it.
    void SetBorderStyle(TFormBorderStyle s);
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderIcons(bool minimize, bool maximize);
    void SetPosition(TPosition p);
    // Centres the form over another (or the screen when null), inside the screen's available
    // area.
    void CenterOn(const TForm *other);
    TWinControl *ActiveControl() const;
    void SetActiveControl(TWinControl *c);
    TMainMenu *Menu() const { return m_menu; }
    void SetMenu(TMainMenu *menu);

    // Posts the "focus next control" move (the dialog's next-control message): it runs from
    // the event loop, after the current handler, and goes through the message-box service's
    // counter so tests can see it.
    void PostFocusNext();
    // Moves the focus to the next (or previous) control of the tab order now.
    void SelectNext(bool forward = true);
    // Puts the tab order in the controls' reading order (done on every showing and
    // activation; a form that moves its controls while shown may call it).
    void OrderTabs();
    // A control of the form moved, came or went: the tab order is put right from the event
    // loop, once for a burst of changes.
    void PlacesChanged();
    // The window's area that scrolls the client when the form is larger than the screen's free
    // area (null while the form fits).
    QScrollArea *ScrollArea() const { return m_scroll; }
    // Queues fn to run from the event loop while this form exists (posted window message).
    void Post(std::function<void()> fn);

    // Runs OnCreate once.
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDestroy;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    QWidget *ClientWidget() const override { return m_client; }
    void SetBounds(int left, int top, int width, int height) override;
    // The client size stays when the menu bar changes its number of rows.
    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int v) override;
    void SetClientHeight(int v) override;

protected:
    bool WidgetEvent(QObject *watched, QEvent *e) override;
    void Resized() override;
    int MenuHeight() const;
    // True when the form may close (runs OnCloseQuery).
    virtual bool CloseQuery();
    virtual void DoClose(TCloseAction &action);

private:
    friend class TMainMenu;
    void CloseModal();
    bool FixedBorder() const;
    // Places the menu bar's rows and the client area in the window.
    void LayOutFrame();
    // The menu's entries or rows changed: the window grows or shrinks, the client stays.
    void MenuChanged();
    void SetClientSize(int width, int height);
    // The window's size for a form of the given size: no larger than the screen's free area.
    QSize ShownSize(QSize full) const;
    // After showing: a window that does not fit with its frame is made to.
    void FitShownFrame();
    // Escape closes the form as its Cancel button does; Enter presses its default button.
    bool FormKey(QKeyEvent *e);
    QWidget *m_client = nullptr;
    // The size code gave the window; the window itself may be smaller (ShownSize).
    QSize m_fullSize;
    QScrollArea *m_scroll = nullptr;
    bool m_tabsPosted = false;
    bool m_settingBounds = false;
    int m_menuHeight = 0;
    TMainMenu *m_menu = nullptr;
    bool m_created = false;
    bool m_modal = false;
    TModalResult m_modalResult = mrNone;
    QEventLoop *m_loop = nullptr;
    TFormBorderStyle m_borderStyle = bsSizeable;
    TPosition m_position = poDesigned;
    bool m_shownOnce = false;
    kv::PostGuard m_postGuard;
    std::shared_ptr<bool> m_alive;
};

class TApplication : public TComponent {
public:
    // Installs itself as the global Application and the handler of uncaught exceptions.
    TApplication();
    ~TApplication() override;

    // The title, or the program file's name without extension when none was set.
    std::string Title() const;
    void SetTitle(const std::string &t) { m_title = t; }
    std::string ExeName() const;
    TForm *MainForm() const { return m_mainForm; }

    // Creates a form owned by the application; the first one becomes the main form.
    template <class T> void CreateForm(T *&ref)
    {
        T *form = new T(this);
        ref = form;
        if (!m_mainForm)
            m_mainForm = form;
        form->DoCreate();
    }
    // Shows the main form and runs the message loop until Terminate (closing the main
    // form terminates). Returns at once when Terminate was already requested.
    void Run();
    void ProcessMessages();
    // Waits for the next event and handles it.
    void HandleMessage();
    // Ends every message loop: the main one, the modal forms' and the boxes' and file dialogs'
    // (which answer as their Cancel would, see MessageBoxService). Nothing asks afterwards.
    void Terminate();
    bool Terminated() const { return m_terminated; }

    int MessageBox(const std::string &text, const std::string &caption, unsigned flags = MB_OK);
    // The standard error box for an exception that escaped a handler.
    void ShowException(const std::exception &e);
    void ShowException(std::exception_ptr e);

private:
    friend class TForm;
    void FormDestroyed(TForm *f);
    std::string m_title;
    TForm *m_mainForm = nullptr;
    bool m_terminated = false;
    std::vector<QEventLoop *> m_loops;
};

// The application object (null until one is created).
extern TApplication *Application;

// A plain OK box captioned with the application title.
void ShowMessage(const std::string &text);
