// Pieces of the main window that need no device: the panel pictures, the poll's status
// text, the About window, the one-instance lock and the message files.
#include "About.h"
#include "FormGlobals.h"
#include "FrontPanel.h"
#include "KvCommonTexts.h"
#include "KvSNMPErrors.h"
#include "MainForm.h"
#include "StartupFlow.h"
#include "TestEnv.h"
#include "Waiting.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

std::time_t localTime(int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = 2031 - 1900;
    t.tm_mon = 4;
    t.tm_mday = 30;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

} // namespace

TEST(FrontPanel, BuiltInPicturesDecode)
{
    const QImage panel = ShellPicture("front-panel.jpg");
    ASSERT_FALSE(panel.isNull());
    EXPECT_EQ(panel.width(), 220);
    EXPECT_EQ(panel.height(), 225);
    for (const auto &[name, size] : std::vector<std::pair<std::string, int>>{{"led-lan.png", 7},
                                                                             {"led-wlan.png", 7},
                                                                             {"led-power.png", 8},
                                                                             {"alarm.png", 14},
                                                                             {"module-icon.png", 32}}) {
        const QImage image = ShellPicture(name);
        EXPECT_EQ(image.width(), size) << name;
        EXPECT_EQ(image.height(), size) << name;
    }
    EXPECT_TRUE(ShellPicture("missing.png").isNull());
}

TEST(FrontPanel, BrokenJpegGivesNoPictureInsteadOfEndingTheProgram)
{
    const ShellPictureData jpeg = ShellPictureBytes("front-panel.jpg");
    ASSERT_GT(jpeg.size, 100u);
    const std::vector<unsigned char> garbage(300, 0x5A);
    EXPECT_TRUE(DecodeJpeg(garbage.data(), garbage.size()).isNull());
    EXPECT_TRUE(DecodeJpeg(nullptr, 0).isNull());
    // Only the header: libjpeg runs out of data; the decoder must come back.
    EXPECT_TRUE(DecodeJpeg(jpeg.data, 20).isNull());
    // A cut image still decodes (libjpeg fills the rest) or is refused; never a crash.
    const QImage cut = DecodeJpeg(jpeg.data, jpeg.size / 2);
    EXPECT_TRUE(cut.isNull() || cut.width() == 220);
}

TEST(PollStatusText, FormatsTable)
{
    struct Case {
        const char *format;
        int hour;
        const char *expected;
    };
    const Case cases[] = {
        {"Get: [ERROR] Request:[VARLIST]. Receive at [TIME].", 14,
         "Get: (KvSNMP++) Ok!. Receive at 02:05:09 PM."},
        {"Get: [ERROR] Request:[VARLIST]. Receive at [TIME].", 0,
         "Get: (KvSNMP++) Ok!. Receive at 12:05:09 AM."},
        {"Get: [ERROR] Request:[VARLIST]. Receive at [TIME].", 12,
         "Get: (KvSNMP++) Ok!. Receive at 12:05:09 PM."},
        {"Get: [ERROR] Request:[VARLIST]. Receive at [TIME].", 9,
         "Get: (KvSNMP++) Ok!. Receive at 09:05:09 AM."},
        // A replaced format with the list before the error keeps it.
        {"[VARLIST] [ERROR] at [TIME]", 14, "[VARLIST] (KvSNMP++) Ok! at 02:05:09 PM"},
        {"No placeholders", 14, "No placeholders"},
        {"[ERROR]", 14, "(KvSNMP++) Ok!"},
        {"[VARLIST]", 14, "[VARLIST]"},
        {"", 14, ""},
        {"x[ERROR][VARLIST]", 14, "x(KvSNMP++) Ok!"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PollStatusText(c.format, "(KvSNMP++) Ok!", localTime(c.hour, 5, 9)), c.expected)
            << c.format;
}

TEST(About, TitleAndReleaseStampKey)
{
    TApplication app;
    auto *about = new TAboutForm(&app);
    EXPECT_EQ(about->Label1->Text(), "QRN-5290AP Management Module");
    EXPECT_EQ(about->Text(), "Help\\About");
    EXPECT_EQ(about->La_FwVer->Text(), "v1.20");
    EXPECT_FALSE(about->Label4->Visible());

    auto press = [&](Qt::KeyboardModifiers mods) {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_F3, mods);
        QCoreApplication::sendEvent(about->BT_Ok->Widget(), &e);
    };
    press(Qt::ShiftModifier);
    EXPECT_FALSE(about->Label4->Visible());
    press(Qt::AltModifier);
    EXPECT_FALSE(about->Label4->Visible());
    press(Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_TRUE(about->Label4->Visible());
    press(Qt::NoModifier);
    EXPECT_TRUE(about->Label4->Visible());
    delete about;
}

TEST(About, OkClosesTheModalBox)
{
    TApplication app;
    auto *about = new TAboutForm(&app);
    kv::postCall([about] { about->BT_Ok->Click(); });
    about->ShowModal();
    EXPECT_FALSE(about->Visible());
    delete about;
}

TEST(InstanceLock, OneHolderPerDevice)
{
    const std::string dir = kvtest::makeTempDir("kv-lock-");
    auto first = InstanceLock::Acquire(dir + "/run/qrn5290ap-10.0.0.1.lock");
    ASSERT_TRUE(first);
    EXPECT_FALSE(InstanceLock::Acquire(dir + "/run/qrn5290ap-10.0.0.1.lock"));
    EXPECT_TRUE(InstanceLock::Acquire(dir + "/run/qrn5290ap-10.0.0.2.lock"));
    first.reset();
    EXPECT_TRUE(InstanceLock::Acquire(dir + "/run/qrn5290ap-10.0.0.1.lock"));
    EXPECT_FALSE(InstanceLock::Acquire(dir + "/no-such-file-\x01/x/../"));
    std::filesystem::remove_all(dir);
}

TEST(MessageFiles, FolderFoundWhateverItsCase)
{
    const std::string dir = kvtest::makeTempDir("kv-msg-");
    std::filesystem::create_directories(dir + "/ErrMSg");
    std::ofstream(dir + "/ErrMSg/snmpclass.err") << "first\n\nsecond\n";
    std::ofstream(dir + "/ErrMSg/snmp.msg") << "Get: <[ERROR]> at [TIME]\n";
    LoadMessageFilesSecond(dir + "/");
    EXPECT_EQ(gSnmpClassTexts[0], "first");
    EXPECT_EQ(gSnmpClassTexts[1], "second");
    EXPECT_EQ(gKvSNMPLogFormats[0], "Get: <[ERROR]> at [TIME]");
    KvSNMPResetTexts();
    EXPECT_EQ(gSnmpClassTexts[4], "(SNMPClass) SNMP request timed out!");
    std::filesystem::remove_all(dir);
}

TEST(FormGlobals, NullUntilAFormIsShownAndFoundByAddress)
{
    EXPECT_EQ(FM_FirewareSSL, nullptr);
    EXPECT_EQ(FM_Waiting, nullptr);
    TApplication app;
    auto *form = new TForm(&app);
    EXPECT_EQ(FindApplicationForm(form), form);
    EXPECT_EQ(FindApplicationForm(nullptr), nullptr);
    int other = 0;
    EXPECT_EQ(FindApplicationForm(&other), nullptr);
    delete form;
}
