#include "Exception.h"
#include "ExtCtrls.h"
#include "GuiTestSupport.h"
#include "Menus.h"
#include "StdCtrls.h"

#include <QAction>
#include <QMenu>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class Forms : public GuiTest {};

TEST_F(Forms, ShowModalReturnsTheModalResult)
{
    auto *form = new TForm(app.get());
    auto *ok = new TButton(form);
    ok->SetParent(form);
    ok->SetModalResult(mrOk);
    form->Post([ok] { ok->Click(); });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->Modal());
    delete form;
    EXPECT_EQ(app->ComponentCount(), 0);
}

TEST_F(Forms, ModalFormsNest)
{
    std::vector<std::string> log;
    auto *outer = new TForm(app.get());
    auto *inner = new TForm(app.get());
    inner->OnShow = [&](TObject *) {
        log.push_back("inner shown");
        inner->Post([&] { inner->Close(); });
    };
    outer->OnShow = [&](TObject *) {
        outer->Post([&] {
            log.push_back("inner returns " + std::to_string(inner->ShowModal()));
            EXPECT_TRUE(outer->Modal());
            outer->SetModalResult(mrOk);
        });
    };
    EXPECT_EQ(outer->ShowModal(), mrOk);
    EXPECT_EQ(log, (std::vector<std::string>{"inner shown", "inner returns 2"}));
}

TEST_F(Forms, CloseQueryRefusesAndOnCloseRuns)
{
    auto *form = new TForm(app.get());
    int queries = 0;
    int closes = 0;
    bool allow = false;
    form->OnCloseQuery = [&](TObject *, bool &canClose) {
        ++queries;
        canClose = allow;
    };
    form->OnClose = [&](TObject *, TCloseAction &) { ++closes; };
    form->Post([&] {
        form->Close(); // refused: the loop goes on
        form->Post([&] {
            allow = true;
            form->Close();
        });
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(closes, 1);
}

TEST_F(Forms, ModelessCloseHidesAndKeepsTimerRunning)
{
    auto form = std::make_unique<TForm>(nullptr);
    int closes = 0;
    form->OnClose = [&](TObject *, TCloseAction &) { ++closes; };
    form->Show();
    EXPECT_TRUE(form->Visible());
    form->Close();
    EXPECT_FALSE(form->Visible());
    form->Close(); // closing a hidden form runs the close handler again
    EXPECT_EQ(closes, 2);
}

TEST_F(Forms, CloseActionFreeReleasesTheForm)
{
    auto *form = new TForm(app.get());
    bool destroyed = false;
    form->OnDestroy = [&](TObject *) { destroyed = true; };
    form->OnClose = [](TObject *, TCloseAction &action) { action = caFree; };
    form->Show();
    form->Close();
    EXPECT_FALSE(destroyed); // freed from the loop, after the handler
    kv::processMessages();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(app->ComponentCount(), 0);
}

TEST_F(Forms, CreateRunsOnCreateOnce)
{
    struct MyForm : TForm {
        explicit MyForm(TComponent *owner) : TForm(owner)
        {
            OnCreate = [this](TObject *) { ++created; };
        }
        int created = 0;
    };
    MyForm *f = TForm::Create<MyForm>(app.get());
    EXPECT_EQ(f->created, 1);
    f->Show();
    EXPECT_EQ(f->created, 1);
    MyForm *main = nullptr;
    app->Terminate();
    app->CreateForm(main);
    EXPECT_EQ(main->created, 1);
}

TEST_F(Forms, ExceptionInHandlerIsShownAndLoopGoesOn)
{
    auto *form = new TForm(app.get());
    auto *button = new TButton(form);
    button->SetParent(form);
    button->OnClick = [](TObject *) {
        throw Exception("(KvSNMP++) Bad type of the associated visual control!", -521);
    };
    bool after = false;
    form->Post([&] {
        button->Click();
        form->Post([&] {
            after = true;
            form->Close();
        });
    });
    form->ShowModal();
    EXPECT_TRUE(after);
    ASSERT_EQ(boxes().calls().size(), 1u);
    EXPECT_EQ(boxes().calls()[0].text, "(KvSNMP++) Bad type of the associated visual control!");
    EXPECT_EQ(boxes().calls()[0].caption, "QRN-5290AP");
    EXPECT_EQ(boxes().calls()[0].flags, MB_OK | MB_ICONSTOP);
}

TEST_F(Forms, ExceptionInTimerIsShown)
{
    TTimer timer(nullptr);
    timer.SetInterval(1);
    int ticks = 0;
    timer.OnTimer = [&](TObject *) {
        ++ticks;
        throw std::runtime_error("tick failed");
    };
    for (int i = 0; i < 200 && ticks < 2; ++i)
        kv::waitForEvents(20);
    timer.SetEnabled(false);
    EXPECT_GE(ticks, 2);
    ASSERT_GE(boxes().calls().size(), 2u);
    EXPECT_EQ(boxes().calls()[0].text, "tick failed");
}

TEST_F(Forms, ExceptionInMenuHandlerIsShown)
{
    auto form = std::make_unique<TForm>(nullptr);
    auto *menu = new TMainMenu(form.get());
    auto *item = new TMenuItem(form.get());
    item->SetCaption("Save");
    menu->Items()->Add(item);
    int clicks = 0;
    item->OnClick = [&](TObject *) {
        ++clicks;
        throw Exception("(KvSNMP++) Bad SNMP syntax!", -511);
    };
    item->Action()->trigger();
    item->Action()->trigger();
    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(boxes().calls().size(), 2u);
    EXPECT_EQ(boxes().calls()[1].text, "(KvSNMP++) Bad SNMP syntax!");
    EXPECT_EQ(boxes().calls()[1].flags, MB_OK | MB_ICONSTOP);
}

TEST_F(Forms, TerminateEndsModalLoopsAndRun)
{
    auto *main = new TForm(app.get());
    TForm *ptr = nullptr;
    app->CreateForm(ptr);
    auto *dialog = new TForm(app.get());
    TModalResult result = -1;
    ptr->Post([&] {
        dialog->Post([&] { app->Terminate(); });
        result = dialog->ShowModal();
    });
    app->Run();
    EXPECT_EQ(result, mrCancel);
    EXPECT_TRUE(app->Terminated());
    (void)main;
}

TEST_F(Forms, ClosingMainFormEndsRun)
{
    TForm *main = nullptr;
    app->CreateForm(main);
    main->Post([&] { main->Close(); });
    app->Run();
    EXPECT_TRUE(app->Terminated());
}

TEST_F(Forms, RunReturnsAtOnceWhenTerminatedDuringCreate)
{
    struct Refusing : TForm {
        explicit Refusing(TComponent *owner) : TForm(owner)
        {
            OnCreate = [](TObject *) {
                ShowMessage("This module is only used in the Morvix or HP-Openview.");
                Application->Terminate();
            };
        }
    };
    Refusing *main = nullptr;
    app->CreateForm(main);
    app->Run();
    ASSERT_EQ(boxes().calls().size(), 1u);
    EXPECT_EQ(boxes().calls()[0].caption, "QRN-5290AP");
    EXPECT_FALSE(main->Visible());
}

TEST_F(Forms, ScriptedMessageBoxAnswers)
{
    boxes().setNextAnswer(IDNO);
    EXPECT_EQ(app->MessageBox("Are you sure to delete ?", "Delete", MB_YESNO), IDNO);
    EXPECT_EQ(app->MessageBox("Are you sure to delete ?", "Delete", MB_YESNO), IDYES); // default button
    EXPECT_EQ(app->MessageBox("Go on?", "Q", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    boxes().hook = [](const kv::MessageBoxCall &call) { return call.caption == "Warning" ? IDOK : IDCANCEL; };
    EXPECT_EQ(app->MessageBox("Some items are empty!", "Warning", MB_OK), IDOK);
    ASSERT_EQ(boxes().calls().size(), 4u);
    EXPECT_EQ(boxes().lastCall()->text, "Some items are empty!");
    EXPECT_EQ(boxes().calls()[0].answer, IDNO);
}

TEST_F(Forms, BeepAndFocusNextAreCounted)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->Show();
    auto *a = new TEdit(form.get());
    a->SetParent(form.get());
    auto *b = new TEdit(form.get());
    b->SetParent(form.get());
    a->SetFocus();
    kv::Beep(1000, 200);
    form->PostFocusNext();
    EXPECT_EQ(boxes().beepCount(), 1);
    EXPECT_EQ(boxes().focusNextCount(), 1);
    EXPECT_TRUE(a->Focused()); // the move is posted
    kv::processMessages();
    EXPECT_TRUE(b->Focused());
}

TEST_F(Forms, MenuItemsClickAndAboutToOpen)
{
    auto form = std::make_unique<TForm>(nullptr);
    auto *menu = new TMainMenu(form.get());
    auto *tools = new TMenuItem(form.get());
    tools->SetCaption("Tools");
    menu->Items()->Add(tools);
    auto *sntp = new TMenuItem(form.get());
    sntp->SetCaption("Date and Time");
    tools->Add(sntp);
    std::vector<std::string> log;
    tools->OnClick = [&](TObject *) {
        log.push_back("tools opening");
        sntp->SetVisible(false);
    };
    sntp->OnClick = [&](TObject *) { log.push_back("sntp"); };
    emit tools->Action()->menu()->aboutToShow();
    EXPECT_FALSE(sntp->Visible());
    EXPECT_FALSE(sntp->Action()->isVisible());
    sntp->Action()->trigger();
    EXPECT_EQ(log, (std::vector<std::string>{"tools opening", "sntp"}));
    EXPECT_EQ(tools->Count(), 1);
    delete tools; // its entries stay valid
    EXPECT_EQ(sntp->Parent(), nullptr);
}

} // namespace
