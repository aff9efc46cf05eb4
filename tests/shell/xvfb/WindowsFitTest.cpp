// Under a real X server: the small windows open at the client sizes of their layouts, inside
// the screen, with every text readable, and every top-level menu of the main window opens
// from a click on its title.
#include "About.h"
#include "FormKitSupport.h"
#include "MainForm.h"
#include "Waiting.h"
#include "WindowFit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <set>

using namespace formkittest;

namespace {

// The module's main window stands at the screen's top left corner.
class WindowsFit : public KitTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run this test with an X server";
        kv::MessageBoxService::instance().setInteractive(0);
        app = std::make_unique<TApplication>();
        app->CreateForm(host);
        host->SetBounds(0, 0, 236, 260);
        host->Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host->Widget()));
    }

    // Runs open, which shows a modal form, and checks that form on the screen.
    void expectFits(const std::function<void()> &open, const std::function<QSize(TForm *)> &clientSize)
    {
        bool checked = false;
        onNextModal([&](TForm *shown) {
            QWidget *w = shown->Widget();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
            const QSize size = clientSize(shown);
            EXPECT_EQ(w->size(), size)
                << w->width() << "x" << w->height() << " for " << size.width() << "x" << size.height();
            EXPECT_EQ(w->minimumSize(), w->maximumSize()) << "resizable";
            EXPECT_TRUE(w->screen()->availableGeometry().contains(w->frameGeometry()))
                << w->x() << "," << w->y();
            kvtest::expectTextsFit(shown);
            checked = true;
        });
        open();
        EXPECT_TRUE(checked);
    }
};

} // namespace

TEST_F(WindowsFit, AboutAndCountdownOpenAtTheirSizes)
{
    auto *about = new TAboutForm(app.get());
    about->Label4->SetVisible(true);
    expectFits([about] { about->ShowModal(); }, [](TForm *) { return QSize(350, 98); });

    gSaveActivateSupported = true; // nothing is sent
    auto *waiting = new TFM_Waiting(app.get());
    waiting->Timer1Timer(nullptr); // "25 seconds", as the first tick shows it
    waiting->Countdown = 0;
    expectFits([waiting] { waiting->ShowModal(); }, [](TForm *) { return QSize(249, 70); });
    gSaveActivateSupported = false;
}

TEST_F(WindowsFit, KitDialogGrowsToItsRows)
{
    const std::string t = "1.3.6.1.4.1.32473.11.37.4.250.1.1";
    std::vector<Item> columns = {{t + ".1", "Index", KvSyntax::Integer, KvAccess::NotAccess}};
    for (int i = 2; i <= 12; ++i)
        columns.push_back({t + "." + std::to_string(i), "Column " + std::to_string(i), KvSyntax::DisplayStr,
                           KvAccess::ReadWrite});
    auto *form = new TConfigForm(app.get());
    auto binding = makeBinding(form, makeList(columns, MVT_FMV, 1));
    binding->Mode = 2; // no device: nothing is read or sent
    TSNMPListViewPanel *panel = form->AddListViewPanel(binding.release(), -1, "", -1, "");
    expectFits([panel] { panel->AddClick(panel->BtnPanel->AddBtn); },
               [](TForm *dialog) {
                   const TSNMPPanel *framed = findControl<TSNMPPanel>(dialog);
                   EXPECT_GT(framed->WantedHeight(), 240) << "more rows than the first size holds";
                   return QSize(std::min(std::max(320, framed->WantedWidth()), 800),
                                std::min(std::max(240, framed->WantedHeight()), 550));
               });
}

TEST_F(WindowsFit, MainWindowShowsEveryMenuTitleAndTheWholeStatusText)
{
    delete host;
    gCommandLine.clear(); // no device: the window only takes its shape
    app->CreateForm(MainForm);
    TMainForm *main = MainForm;
    main->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main->Widget()));
    const int clientHeight = main->Image1->Height() + main->MainStatusBar->Height();
    // At its own width, and wrapped into rows at a narrower one.
    for (int width : {main->Image1->Width() + 16, 90}) {
        SCOPED_TRACE(width);
        main->SetClientWidth(width);
        EXPECT_EQ(main->Widget()->width(), width);
        EXPECT_EQ(main->ClientHeight(), clientHeight);
        std::set<QMenuBar *> rows;
        int titles = 0;
        for (int i = 0; i < main->MainMenu1->Items()->Count(); ++i) {
            TMenuItem *item = main->MainMenu1->Items()->Items(i);
            if (!item->Visible())
                continue;
            QMenuBar *row = main->MainMenu1->RowOf(item);
            ASSERT_NE(row, nullptr);
            rows.insert(row);
            ++titles;
            const QRect title = row->actionGeometry(item->Action());
            EXPECT_TRUE(row->rect().contains(title)) << item->Caption();
            EXPECT_TRUE(
                main->Widget()->rect().contains(row->geometry().translated(0, row->parentWidget()->y())));
            QTest::mouseClick(row, Qt::LeftButton, {}, title.center());
            QMenu *menu = item->Action()->menu();
            EXPECT_TRUE(pumpUntil([menu] { return menu->isVisible(); }, 3000)) << item->Caption();
            menu->close();
        }
        EXPECT_EQ(titles, 5);
        EXPECT_EQ(rows.size() > 1, width < 100);
    }
    const std::string status = "Get: (KvSNMP++) Ok!. Receive at 11:23:50 PM.";
    main->MainStatusBar->SetSimpleText(status);
    const auto *panel = main->MainStatusBar->Widget()->findChild<QLabel *>();
    EXPECT_EQ(panel->toolTip().toStdString(), status);
    EXPECT_TRUE(panel->text().endsWith("...") && status.starts_with(panel->text().chopped(3).toStdString()));
    kvtest::expectTextsFit(main);
}

TEST_F(WindowsFit, WaitNoteShowsItsWholeTextOverTheWindowInFront)
{
    delete host;
    gCommandLine.clear();
    app->CreateForm(MainForm);
    TMainForm *main = MainForm;
    main->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main->Widget()));
    // What the main window shows while a request waits long for its device.
    const std::string text = WaitingForDeviceText("ap-lobby-east.example.net") + "\n" + kWaitGiveUpText;
    main->WaitNote.show(text);
    QWidget *note = main->WaitNote.widget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(note));
    const QRect need =
        note->fontMetrics().boundingRect(QRect(), Qt::AlignCenter, QString::fromStdString(text));
    EXPECT_GE(note->contentsRect().width(), need.width());
    EXPECT_GE(note->contentsRect().height(), need.height());
    EXPECT_TRUE(note->screen()->availableGeometry().contains(note->frameGeometry()));
    EXPECT_TRUE(note->frameGeometry().intersects(main->Widget()->frameGeometry()));
    if (const char *dir = std::getenv("KV_SCREENSHOT_DIR")) {
        EXPECT_TRUE(note->screen()->grabWindow(0, 0, 0, 480, 300).save(QString(dir) + "/wait-note.png"));
    }
    main->WaitNote.hide();
    EXPECT_FALSE(note->isVisible());
}
