// A form driven by the keyboard alone: Escape and Enter, the Tab order, the menu bar's keys,
// and a form larger than the screen.
#include "GuiTestSupport.h"
#include "Menus.h"
#include "StdCtrls.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <string>
#include <vector>

namespace {

class Keyboard : public GuiTest {
protected:
    template <class T>
    T *make(TWinControl *parent, const char *name, int left, int top, int width, int height)
    {
        auto *c = new T(parent->ParentForm() ? parent->ParentForm() : parent);
        c->SetName(name);
        c->SetParent(parent);
        c->SetBounds(left, top, width, height);
        return c;
    }
    static std::string focusedName()
    {
        const TControl *c = TControl::FromWidget(QApplication::focusWidget());
        return c ? c->Name() : std::string("(none)");
    }
};

struct EscapeCase {
    const char *name;
    bool modal;
    bool allowClose;
    bool focusOnButton;
    bool closed;
};

TEST_F(Keyboard, EscapeClosesAFormThroughItsCloseQuery)
{
    const EscapeCase cases[] = {
        {"in an edit", false, true, false, true},
        {"on a button", false, true, true, true},
        {"refused while at work", false, false, false, false},
        {"modal", true, true, false, true},
        {"modal, refused", true, false, false, false},
    };
    for (const EscapeCase &c : cases) {
        SCOPED_TRACE(c.name);
        auto *form = new TForm(app.get());
        form->SetClientWidth(300);
        form->SetClientHeight(100);
        auto *edit = make<TEdit>(form, "Ed_Name", 10, 10, 120, 21);
        auto *apply = make<TButton>(form, "Bt_Apply", 10, 60, 75, 25);
        int applied = 0;
        apply->OnClick = [&](TObject *) { ++applied; };
        int queries = 0;
        form->OnCloseQuery = [&](TObject *, bool &can) {
            ++queries;
            can = c.allowClose;
        };
        auto press = [&] {
            if (c.focusOnButton)
                apply->SetFocus();
            else
                edit->SetFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        };
        if (c.modal) {
            bool shownAfter = false;
            form->Post([&] {
                press();
                // The refused close runs after this handler; the next one sees its outcome.
                form->Post([&] {
                    shownAfter = form->Visible();
                    form->OnCloseQuery = nullptr;
                    form->Close();
                });
            });
            EXPECT_EQ(form->ShowModal(), mrCancel);
            EXPECT_EQ(shownAfter, !c.closed);
        } else {
            form->Show();
            press();
            EXPECT_EQ(form->Visible(), !c.closed);
        }
        EXPECT_EQ(queries, 1);
        EXPECT_EQ(applied, 0);
        delete form;
    }
}

TEST_F(Keyboard, EscapeLeavesTheMainWindowOpen)
{
    TForm *main = nullptr;
    app->CreateForm(main);
    int queries = 0;
    main->OnCloseQuery = [&](TObject *, bool &) { ++queries; };
    auto *edit = make<TEdit>(main, "Ed_IP", 10, 10, 120, 21);
    main->Show();
    edit->SetFocus();
    QTest::keyClick(edit->Widget(), Qt::Key_Escape);
    EXPECT_TRUE(main->Visible());
    EXPECT_EQ(queries, 0);
    EXPECT_FALSE(app->Terminated());
}

TEST_F(Keyboard, EnterPressesOnlyADefaultButton)
{
    for (const bool withDefault : {true, false}) {
        SCOPED_TRACE(withDefault ? "default button" : "no default button");
        auto form = std::make_unique<TForm>(nullptr);
        auto *edit = make<TEdit>(form.get(), "Ed_Name", 10, 10, 120, 21);
        auto *ok = make<TButton>(form.get(), "BT_Ok", 10, 60, 75, 25);
        ok->SetDefault(withDefault);
        int clicks = 0;
        ok->OnClick = [&](TObject *) { ++clicks; };
        form->Show();
        edit->SetFocus();
        QTest::keyClick(edit->Widget(), Qt::Key_Return);
        EXPECT_EQ(clicks, withDefault ? 1 : 0);
        EXPECT_TRUE(form->Visible());
    }
}

TEST_F(Keyboard, TabFollowsThePlacesAndTheFocusStartsOnTheFirst)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetClientWidth(400);
    form->SetClientHeight(300);
    // Made in another order than they stand, as forms that add groups later do.
    auto *cancel = make<TButton>(form.get(), "Bt_Cancel", 200, 260, 75, 25);
    make<TButton>(form.get(), "Bt_Apply", 100, 260, 75, 25);
    auto *group = make<TGroupBox>(form.get(), "GB_Ping", 10, 120, 380, 100);
    make<TEdit>(group, "Ed_PingB", 200, 30, 100, 21);
    make<TEdit>(group, "Ed_PingA", 20, 32, 100, 21);
    auto *ping = make<TCheckBox>(group, "CB_Ping", 20, 60, 100, 17);
    make<TEdit>(form.get(), "Ed_Right", 200, 10, 100, 21);
    make<TEdit>(form.get(), "Ed_Left", 20, 12, 100, 21);
    auto *combo = make<TComboBox>(form.get(), "CB_Mode", 20, 50, 100, 21);
    combo->Items()->Add("Enable");
    form->Show();
    EXPECT_EQ(focusedName(), "Ed_Left");
    std::vector<std::string> walk = {focusedName()};
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walk.push_back(focusedName());
    }
    EXPECT_EQ(walk, (std::vector<std::string>{"Ed_Left", "Ed_Right", "CB_Mode", "Ed_PingA", "Ed_PingB",
                                              "CB_Ping", "Bt_Apply", "Bt_Cancel", "Ed_Left"}));

    // A control moved while the form is shown takes its new place in the order.
    cancel->SetLeft(10);
    kv::processMessages();
    ping->SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focusedName(), "Bt_Cancel");
}

TEST_F(Keyboard, AFormLargerThanTheScreenScrolls)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsSingle);
    form->SetClientWidth(400);
    form->SetClientHeight(avail.height() + 200);
    make<TEdit>(form.get(), "Ed_Top", 10, 10, 100, 21);
    auto *apply = make<TButton>(form.get(), "Bt_Apply", 10, avail.height() + 160, 75, 25);
    form->Show();

    QWidget *w = form->Widget();
    const QRect frame = w->frameGeometry();
    EXPECT_TRUE(avail.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                       << frame.height() << " in " << avail.width() << "x" << avail.height();
    EXPECT_EQ(form->ClientHeight(), avail.height() + 200);
    ASSERT_NE(form->ScrollArea(), nullptr);
    QScrollBar *bar = form->ScrollArea()->verticalScrollBar();
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(form->ScrollArea()->horizontalScrollBar()->isVisible()) << "the width fits beside the bar";
    // Tab to the button at the bottom brings it into sight.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(apply->Focused());
    EXPECT_GT(bar->value(), 0);
    const QRect shown(apply->Widget()->mapTo(form->ScrollArea()->viewport(), QPoint(0, 0)),
                      apply->Widget()->size());
    EXPECT_TRUE(form->ScrollArea()->viewport()->rect().contains(shown));

    // Made small enough, it is a plain window again, as large as its client.
    form->SetClientHeight(300);
    EXPECT_EQ(form->ScrollArea(), nullptr);
    EXPECT_EQ(w->size(), QSize(400, 300));
    EXPECT_EQ(apply->Widget()->window(), w);
}

TEST_F(Keyboard, TopMenusOpenWithTheirLettersAndF10)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetClientWidth(400);
    form->SetClientHeight(200);
    auto *menu = new TMainMenu(form.get());
    std::vector<TMenuItem *> tops;
    for (const char *caption : {"Home", "Advanced", "Tools", "Status", "Help"}) {
        auto *top = new TMenuItem(form.get());
        top->SetCaption(caption);
        menu->Items()->Add(top);
        auto *entry = new TMenuItem(form.get());
        entry->SetCaption("Entry");
        top->Add(entry);
        tops.push_back(top);
    }
    form->Show();
    QMenuBar *bar = menu->RowOf(tops[0]);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(tops[4]->Caption(), "Help");

    struct Key {
        int key;
        Qt::KeyboardModifiers mods;
        int opens;
    };
    const Key keys[] = {{Qt::Key_A, Qt::AltModifier, 1}, {Qt::Key_S, Qt::AltModifier, 3},
                        {Qt::Key_H, Qt::AltModifier, 0}, {Qt::Key_E, Qt::AltModifier, 4},
                        {Qt::Key_T, Qt::AltModifier, 2}, {Qt::Key_F10, Qt::NoModifier, 0}};
    for (const Key &k : keys) {
        SCOPED_TRACE(k.opens);
        QTest::keyClick(form->Widget(), static_cast<Qt::Key>(k.key), k.mods);
        QMenuBar *row = menu->RowOf(tops[k.opens]);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->activeAction(), tops[k.opens]->Action());
        QMenu *opened = tops[k.opens]->Action()->menu();
        EXPECT_TRUE(opened->isVisible());
        opened->hide();
        kv::processMessages();
        QApplication::setActiveWindow(form->Widget()); // the offscreen platform does not give it back
    }
}

} // namespace
