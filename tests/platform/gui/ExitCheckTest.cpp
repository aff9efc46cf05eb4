#include "GuiTestSupport.h"
#include "StdCtrls.h"

#include <QApplication>
#include <QTest>

#include <string>

namespace {

// The exit check of a constrained edit: a modal box, the old text back, the focus back, and
// the click that moved the focus away cancelled.
class ExitCheck : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        edit = new TEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 10, 100, 21);
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(10, 40, 100, 21);
        apply = new TButton(form.get());
        apply->SetParent(form.get());
        apply->SetBounds(10, 80, 75, 25);
        apply->OnClick = [this](TObject *) { ++applied; };
        edit->OnExit = [this](TObject *) {
            ++exits;
            if (edit->Text() != "ok") {
                Application->MessageBox("(KvCommon) Please enter a number between 1 and 65535!", "test",
                                        MB_OK);
                edit->SetText("ok");
                edit->SetFocus();
            }
        };
        form->Show();
        QApplication::setActiveWindow(form->Widget());
        edit->SetFocus();
        ASSERT_TRUE(edit->Focused());
    }
    void click(TControl *c) { QTest::mouseClick(c->Widget(), Qt::LeftButton, {}, QPoint(5, 5)); }

    std::unique_ptr<TForm> form;
    TEdit *edit = nullptr;
    TEdit *other = nullptr;
    TButton *apply = nullptr;
    int applied = 0;
    int exits = 0;
};

TEST_F(ExitCheck, RefusedExitCancelsTheButtonClick)
{
    edit->SetText("0");
    click(apply);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(applied, 0);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->Text(), "ok");
    ASSERT_EQ(boxes().calls().size(), 1u);
    // The next click is a fresh one and goes through.
    kv::processMessages();
    click(apply);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(exits, 2);
}

TEST_F(ExitCheck, AcceptedExitLetsTheClickThrough)
{
    edit->SetText("ok");
    click(apply);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(applied, 1);
    EXPECT_TRUE(apply->Focused());
}

TEST_F(ExitCheck, RefusedExitByTabKeepsFocusAndCancelsNothingLater)
{
    edit->SetText("bad");
    form->SelectNext(true);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(edit->Focused());
    kv::processMessages();
    apply->Click(); // a click from code is not cancelled
    EXPECT_EQ(applied, 1);
}

TEST_F(ExitCheck, CheckDoesNotReenterWhileItsBoxIsOpen)
{
    edit->SetText("bad");
    // While the box is "open", the focus moves around again.
    boxes().hook = [this](const kv::MessageBoxCall &) {
        other->SetFocus();
        edit->SetFocus();
        other->SetFocus();
        return IDOK;
    };
    other->SetFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(boxes().calls().size(), 1u);
    EXPECT_TRUE(edit->Focused());
}

TEST_F(ExitCheck, ActivatingAnotherWindowIsNotAnExit)
{
    edit->SetText("bad");
    TForm popup(nullptr);
    popup.Show();
    QApplication::setActiveWindow(popup.Widget());
    EXPECT_EQ(exits, 0);
}

TEST_F(ExitCheck, FocusNextRunsTheCheck)
{
    edit->SetText("bad");
    form->PostFocusNext();
    kv::processMessages();
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(edit->Focused());
    edit->OnExit = nullptr;
    form->PostFocusNext();
    kv::processMessages();
    EXPECT_TRUE(other->Focused());
}

} // namespace
