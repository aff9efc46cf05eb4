#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "GuiTestSupport.h"
#include "StdCtrls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

namespace {

// One row: build a control on form, wire its handler to count, then act on it.
struct SemanticsCase {
    const char *name;
    std::function<void(TForm *form, int &fired)> run;
    int expected;
};

TEdit *newEdit(TForm *form, int &fired)
{
    auto *e = new TEdit(form);
    e->SetParent(form);
    e->SetText("abc");
    e->OnChange = [&fired](TObject *) { ++fired; };
    return e;
}

TCheckBox *newCheck(TForm *form, int &fired)
{
    auto *c = new TCheckBox(form);
    c->SetParent(form);
    c->OnClick = [&fired](TObject *) { ++fired; };
    return c;
}

TRadioGroup *newGroup(TForm *form, int &fired)
{
    auto *g = new TRadioGroup(form);
    g->SetParent(form);
    g->Items()->Add("Disable");
    g->Items()->Add("Enable");
    g->Items()->Add("Auto");
    g->OnClick = [&fired](TObject *) { ++fired; };
    return g;
}

TComboBox *newCombo(TForm *form, int &fired)
{
    auto *c = new TComboBox(form);
    c->SetParent(form);
    c->SetStyle(csDropDownList);
    c->Items()->Add("Disable");
    c->Items()->Add("Enable");
    c->OnChange = [&fired](TObject *) { ++fired; };
    return c;
}

const std::vector<SemanticsCase> kCases = {
    {"EditSetTextChanged", [](TForm *f, int &n) { newEdit(f, n)->SetText("xyz"); }, 1},
    {"EditSetTextSame", [](TForm *f, int &n) { newEdit(f, n)->SetText("abc"); }, 0},
    {"EditSetTextEmpty", [](TForm *f, int &n) { newEdit(f, n)->SetText(""); }, 1},
    {"EditUserTyping",
     [](TForm *f, int &n) {
         auto *e = newEdit(f, n);
         QTest::keyClicks(e->Widget(), "de");
     },
     2},
    {"CheckSetCheckedChanges", [](TForm *f, int &n) { newCheck(f, n)->SetChecked(true); }, 1},
    {"CheckSetCheckedSame", [](TForm *f, int &n) { newCheck(f, n)->SetChecked(false); }, 0},
    {"CheckSetCheckedTwice",
     [](TForm *f, int &n) {
         auto *c = newCheck(f, n);
         c->SetChecked(true);
         c->SetChecked(false);
     },
     2},
    {"CheckUserClick", [](TForm *f, int &n) { static_cast<QCheckBox *>(newCheck(f, n)->Widget())->click(); },
     1},
    // Neither on nor off reads as not checked; the user's click makes it on, the next off.
    {"CheckNeitherThenUserClicks",
     [](TForm *f, int &n) {
         auto *c = newCheck(f, n);
         c->SetChecked(true);
         c->SetNeither();
         EXPECT_TRUE(c->Neither());
         EXPECT_FALSE(c->Checked());
         static_cast<QCheckBox *>(c->Widget())->click();
         EXPECT_TRUE(c->Checked());
         static_cast<QCheckBox *>(c->Widget())->click();
         EXPECT_FALSE(c->Checked());
         EXPECT_FALSE(c->Neither());
     },
     4},
    {"CheckNeitherThenSetChecked",
     [](TForm *f, int &n) {
         auto *c = newCheck(f, n);
         c->SetNeither();
         c->SetChecked(true);
         EXPECT_TRUE(c->Checked());
     },
     2},
    {"RadioGroupSetIndex", [](TForm *f, int &n) { newGroup(f, n)->SetItemIndex(1); }, 1},
    {"RadioGroupSetSameIndex",
     [](TForm *f, int &n) {
         auto *g = newGroup(f, n);
         g->SetItemIndex(2);
         g->SetItemIndex(2);
     },
     1},
    {"RadioGroupSetMinusOne",
     [](TForm *f, int &n) {
         auto *g = newGroup(f, n);
         g->SetItemIndex(0);
         g->SetItemIndex(-1);
     },
     1},
    {"RadioGroupUserClick",
     [](TForm *f, int &n) { static_cast<QRadioButton *>(newGroup(f, n)->Buttons(2)->Widget())->click(); }, 1},
    {"RadioGroupItemsReplacedNoClick",
     [](TForm *f, int &n) {
         auto *g = newGroup(f, n);
         g->Items()->Clear();
         g->Items()->Add("Only");
     },
     0},
    {"ComboSetItemIndex", [](TForm *f, int &n) { newCombo(f, n)->SetItemIndex(1); }, 0},
    {"ComboSetText", [](TForm *f, int &n) { newCombo(f, n)->SetText("Enable"); }, 0},
    {"ComboItemsFilled",
     [](TForm *f, int &n) {
         auto *c = newCombo(f, n);
         c->Items()->Add("Third");
     },
     0},
    {"ComboUserChoice",
     [](TForm *f, int &n) {
         auto *c = newCombo(f, n);
         emit static_cast<QComboBox *>(c->Widget())->activated(1);
     },
     1},
};

class EventSemantics : public GuiTest, public ::testing::WithParamInterface<SemanticsCase> {};

TEST_P(EventSemantics, HandlerRunsExactlyForTheListedChanges)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->Show();
    int fired = 0;
    GetParam().run(form.get(), fired);
    EXPECT_EQ(fired, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, EventSemantics, ::testing::ValuesIn(kCases),
                         [](const auto &testInfo) { return std::string(testInfo.param.name); });

class Controls : public GuiTest {};

TEST_F(Controls, RadioGroupIndexFollowsUserAndCode)
{
    TForm form(nullptr);
    int fired = 0;
    auto *g = newGroup(&form, fired);
    int seenInHandler = -2;
    g->OnClick = [&](TObject *) { seenInHandler = g->ItemIndex(); };
    g->SetItemIndex(2);
    EXPECT_EQ(seenInHandler, 2);
    EXPECT_TRUE(g->Buttons(2)->Checked());
    static_cast<QRadioButton *>(g->Buttons(0)->Widget())->click();
    EXPECT_EQ(g->ItemIndex(), 0);
    EXPECT_EQ(seenInHandler, 0);
    EXPECT_FALSE(g->Buttons(2)->Checked());
    g->SetItemIndex(7); // cut to the last entry
    EXPECT_EQ(g->ItemIndex(), 2);
}

// With a caption the frame starts below it: the buttons stay inside the frame, also after the
// caption or the size changes.
TEST_F(Controls, RadioGroupButtonsLieInsideTheFrame)
{
    TForm form(nullptr);
    int fired = 0;
    auto *g = newGroup(&form, fired);
    g->SetColumns(3);
    g->SetBounds(8, 8, 364, 48);
    g->SetText("Ping Control Setting");
    for (int height : {48, 90}) {
        g->SetHeight(height);
        const QRect inside = g->Widget()->contentsRect();
        for (int i = 0; i < 3; ++i) {
            const QRect button = g->Buttons(i)->Widget()->geometry();
            EXPECT_TRUE(inside.contains(button)) << "button " << i << " at height " << height;
        }
    }
}

TEST_F(Controls, ComboIndexAndTextStayConsistent)
{
    TForm form(nullptr);
    int fired = 0;
    auto *c = newCombo(&form, fired);
    EXPECT_EQ(c->ItemIndex(), -1);
    c->SetItemIndex(1);
    EXPECT_EQ(c->Text(), "Enable");
    c->SetItemIndex(5);
    EXPECT_EQ(c->ItemIndex(), -1);
    EXPECT_EQ(c->Text(), "");
    c->SetItemIndex(0);
    c->Items()->Add("More"); // adding keeps the choice
    EXPECT_EQ(c->ItemIndex(), 0);
    c->Items()->Clear();
    EXPECT_EQ(c->ItemIndex(), -1);
}

TEST_F(Controls, HandlersCanBeSavedReplacedAndRestored)
{
    TForm form(nullptr);
    auto *e = new TEdit(&form);
    std::vector<std::string> log;
    e->OnChange = [&](TObject *) { log.push_back("own"); };
    TNotifyEvent saved = e->OnChange;
    e->OnChange = [&, saved](TObject *s) {
        log.push_back("hook");
        saved(s);
    };
    e->SetText("1");
    e->OnChange = saved;
    e->SetText("2");
    EXPECT_EQ(log, (std::vector<std::string>{"hook", "own", "own"}));
}

TEST_F(Controls, ChangeHandlerMayRewriteTheText)
{
    TForm form(nullptr);
    auto *e = new TEdit(&form);
    int calls = 0;
    // Like a filter that drops a refused character: the change runs again for the new text.
    e->OnChange = [&](TObject *) {
        ++calls;
        std::string t = e->Text();
        if (!t.empty() && t.back() == 'a')
            e->SetText(t.substr(0, t.size() - 1));
    };
    e->SetText("12a");
    EXPECT_EQ(e->Text(), "12");
    EXPECT_EQ(calls, 2);
}

TEST_F(Controls, MaxLengthLimitsTypingOnly)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->Show();
    auto *e = new TEdit(form.get());
    e->SetParent(form.get());
    e->SetMaxLength(3);
    e->SetText("12345");
    EXPECT_EQ(e->Text(), "12345");
    e->SetText("");
    e->SetFocus();
    QTest::keyClicks(e->Widget(), "abcdef");
    EXPECT_EQ(e->Text(), "abc");
}

TEST_F(Controls, KeyPressCanDropOrReplaceTheCharacter)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->Show();
    auto *e = new TEdit(form.get());
    e->SetParent(form.get());
    e->OnKeyPress = [](TObject *, char &key) {
        if (key == 'x')
            key = 0;
        else if (key == 'a')
            key = 'A';
    };
    QTest::keyClicks(e->Widget(), "axb");
    EXPECT_EQ(e->Text(), "Ab");
}

TEST_F(Controls, CharactersBeyondLatin1AreRefusedWithABeep)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->Show();
    auto *e = new TEdit(form.get());
    e->SetParent(form.get());
    auto *memo = new TMemo(form.get());
    memo->SetParent(form.get());
    for (TWinControl *c : {static_cast<TWinControl *>(e), static_cast<TWinControl *>(memo)}) {
        boxes().reset();
        for (const char *typed : {"a", "\u20AC", "\u00E9"}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(typed));
            QApplication::sendEvent(c->Widget(), &press);
        }
        // The euro sign is refused, e-acute is Latin-1 (a memo's text ends its last line).
        const std::string kept = c == memo ? "a\xE9\r\n" : "a\xE9";
        EXPECT_EQ(c->Text(), kept);
        EXPECT_EQ(boxes().beepCount(), 1);
        QInputMethodEvent composed;
        composed.setCommitString(QString::fromUtf8("\u4E2D"));
        QApplication::sendEvent(c->Widget(), &composed);
        EXPECT_EQ(c->Text(), kept);
        EXPECT_EQ(boxes().beepCount(), 2);
    }
    // Pasted text goes through the same check.
    static_cast<QLineEdit *>(e->Widget())->insert(QString::fromUtf8("\u0416"));
    EXPECT_EQ(e->Text(), "a\xE9");
    EXPECT_EQ(boxes().beepCount(), 3);
}

TEST_F(Controls, KeyDownSeesVirtualKeyAndCanSwallowIt)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->Show();
    auto *e = new TEdit(form.get());
    e->SetParent(form.get());
    std::vector<int> keys;
    e->OnKeyDown = [&](TObject *, std::uint16_t &key, TShiftState) {
        keys.push_back(key);
        if (key == 'Q')
            key = 0;
    };
    QTest::keyClick(e->Widget(), Qt::Key_Q);
    QTest::keyClick(e->Widget(), Qt::Key_Return);
    EXPECT_EQ(keys, (std::vector<int>{'Q', 0x0D}));
    EXPECT_EQ(e->Text(), "");
}

TEST_F(Controls, MemoLinesAndText)
{
    TForm form(nullptr);
    auto *m = new TMemo(&form);
    int changes = 0;
    m->OnChange = [&](TObject *) { ++changes; };
    m->Lines()->Add("Get: ok");
    m->Lines()->Add("Set: ok");
    EXPECT_EQ(m->Lines()->Count(), 2);
    EXPECT_EQ(m->Text(), "Get: ok\r\nSet: ok\r\n");
    EXPECT_EQ(changes, 2);
}

TEST_F(Controls, StatusBarSimpleTextAndPanels)
{
    TForm form(nullptr);
    auto *bar = new TStatusBar(&form);
    bar->SetParent(&form);
    EXPECT_EQ(bar->Align(), alBottom);
    bar->SetSimplePanel(true);
    bar->SetSimpleText("Setting Success!");
    EXPECT_EQ(bar->SimpleText(), "Setting Success!");
    TStatusPanel *p0 = bar->Panels()->Add();
    bar->Panels()->Add()->SetText("second");
    p0->SetText("first");
    EXPECT_EQ(bar->Panels()->Count(), 2);
    EXPECT_EQ(bar->Panels()->Items(1)->Text(), "second");
    EXPECT_EQ(bar->Panels()->Items(0)->Text(), "first");
    EXPECT_EQ(bar->Panels()->Items(5), nullptr);
    TObject *asObject = p0;
    EXPECT_NE(dynamic_cast<TStatusPanel *>(asObject), nullptr);
}

TEST_F(Controls, AlignLaysOutChildrenInOrder)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto *top = new TPanel(&form);
    top->SetParent(&form);
    top->SetHeight(50);
    top->SetAlign(alTop);
    auto *bar = new TStatusBar(&form);
    bar->SetParent(&form);
    bar->SetHeight(20);
    auto *right = new TPanel(&form);
    right->SetParent(&form);
    right->SetWidth(100);
    right->SetAlign(alRight);
    auto *client = new TPanel(&form);
    client->SetParent(&form);
    client->SetAlign(alClient);
    EXPECT_EQ(top->Width(), 400);
    EXPECT_EQ(bar->Top(), 280);
    EXPECT_EQ(right->Left(), 300);
    EXPECT_EQ(right->Height(), 230);
    EXPECT_EQ(client->Left(), 0);
    EXPECT_EQ(client->Top(), 50);
    EXPECT_EQ(client->Width(), 300);
    EXPECT_EQ(client->Height(), 230);
    form.SetBounds(0, 0, 500, 300);
    EXPECT_EQ(client->Width(), 400);
}

TEST_F(Controls, PageControlTabs)
{
    TForm form(nullptr);
    auto *pc = new TPageControl(&form);
    pc->SetParent(&form);
    auto *a = new TTabSheet(&form);
    a->SetPageControl(pc);
    auto *b = new TTabSheet(&form);
    b->SetPageControl(pc);
    a->SetCaption("IEEE 802.11g");
    b->SetTabVisible(false);
    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_EQ(pc->ActivePage(), a);
    EXPECT_EQ(b->PageIndex(), 1);
    EXPECT_EQ(a->ParentForm(), &form);
    auto *edit = new TEdit(&form);
    edit->SetParent(b);
    delete b;
    EXPECT_EQ(pc->PageCount(), 1);
    EXPECT_EQ(form.ComponentCount(), 2); // pc and a; the edit went with its sheet
}

TEST_F(Controls, ParentDestroysShownChildrenOwnerDestroysTheRest)
{
    auto form = std::make_unique<TForm>(nullptr);
    auto *panel = new TPanel(form.get());
    panel->SetParent(form.get());
    auto *inner = new TEdit(form.get());
    inner->SetParent(panel);
    auto *timer = new TTimer(form.get());
    (void)timer;
    EXPECT_EQ(form->ComponentCount(), 3);
    delete panel;
    EXPECT_EQ(form->ComponentCount(), 1);
    form.reset(); // the timer goes with its owner; ASan checks the rest
}

TEST_F(Controls, ImageShowsDecodedPicture)
{
    TForm form(nullptr);
    auto *img = new TImage(&form);
    img->SetAutoSize(true);
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    img->SetImage(picture);
    EXPECT_TRUE(img->HasPicture());
    EXPECT_EQ(img->Width(), 40);
    EXPECT_EQ(img->Height(), 30);
    EXPECT_FALSE(img->LoadFromFile("/nonexistent/picture.jpg"));
    EXPECT_EQ(img->PictureWidth(), 40);
}

TEST_F(Controls, PictureIsShownInPlaceOnlyWhollyOverAnUnstretchedPictureBeneath)
{
    TForm form(nullptr);
    auto picture = [&form](int left, int top, int width, int height) {
        auto *image = new TImage(&form);
        image->SetParent(&form);
        QImage pixels(width, height, QImage::Format_ARGB32);
        pixels.fill(Qt::green);
        image->SetImage(pixels);
        image->SetBounds(left, top, width, height);
        return image;
    };
    TImage *panel = picture(0, 0, 40, 30);
    TImage *inside = picture(10, 10, 5, 5);
    EXPECT_TRUE(inside->SetShownOver(*panel));
    EXPECT_FALSE(picture(38, 10, 5, 5)->SetShownOver(*panel));
    // Hidden in place, its widget stays on screen; moved off the panel, it is an ordinary
    // hidden picture again.
    inside->SetVisible(false);
    EXPECT_FALSE(inside->Visible());
    EXPECT_FALSE(inside->Widget()->isHidden());
    inside->SetLeft(37);
    EXPECT_FALSE(inside->ShownInPlace());
    EXPECT_TRUE(inside->Widget()->isHidden());
    panel->SetStretch(true);
    EXPECT_FALSE(picture(1, 1, 5, 5)->SetShownOver(*panel));
}

TEST_F(Controls, StringsCommaTextRoundTrip)
{
    TStringList list;
    list.SetCommaText("a,\"b c\",,d");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[1], "b c");
    EXPECT_EQ(list[2], "");
    EXPECT_EQ(list.CommaText(), "a,\"b c\",\"\",d");
    EXPECT_EQ(list[9], "");
    list.SetText("one\r\ntwo\nthree");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOf("three"), 2);
}

} // namespace
