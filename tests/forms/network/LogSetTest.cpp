// The log settings form against the simulated device.
#include "FormFixture.h"
#include "TFM_LogSet.h"

using namespace formtest;

namespace {

class LogSet : public FormTest {};

const char *const kLogOff =
    "adSystemLevel=1 adWirelessLevel=1 adNoticeLevel=0 adRemoteLogState=0 adLogServerIP=0.0.0.0";
const char *const kSmtpAsRead =
    R"(smtpState=2 smtpServerIP="192.168.1.6" smtpSender="ap@example.com" smtpRecipient="admin@example.com")";

} // namespace

TEST_F(LogSet, OpensFromTheMenuAndShowsWhatItRead)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.status2->Click();
    EXPECT_TRUE(openFromMenu<TFM_LogSet>(menu.stLogSetting1, [&](TFM_LogSet &f) {
        EXPECT_EQ(f.Text(), "Status \\  Log Setting");
        EXPECT_EQ(f.LogServerEdit->Text(), "192.168.1.5");
        EXPECT_TRUE(f.SysLevCeBox->Checked());
        EXPECT_FALSE(f.NoticeLevCeBox->Checked());
        EXPECT_TRUE(f.GroupBox3->Visible());
        EXPECT_TRUE(f.CB_SMTPStatus->Checked());
        EXPECT_TRUE(f.EDT_Sender->Enabled());
        EXPECT_EQ(f.EDT_Recipient->Text(), "admin@example.com");
    }));
    expectNoSet();
}

TEST_F(LogSet, EmptyServerSwitchesRemoteLoggingOff)
{
    startDevice();
    auto f = openForm(FM_LogSet);
    type(f->LogServerEdit, "");
    click(f->Bt_Apply);
    expectSets({kLogOff, kSmtpAsRead});
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Set Success!");
    EXPECT_EQ(f->LogServerEdit->Text(), ""); // read back as 0.0.0.0
}

TEST_F(LogSet, SmtpOffWritesOnlyItsState)
{
    startDevice();
    auto f = openForm(FM_LogSet);
    type(f->LogServerEdit, "192.168.1.9");
    click(f->CB_SMTPStatus);
    EXPECT_FALSE(f->EDT_Server->Enabled());
    click(f->Bt_Apply);
    expectSets(
        {"adSystemLevel=1 adWirelessLevel=1 adNoticeLevel=0 adRemoteLogState=1 adLogServerIP=192.168.1.9",
         "smtpState=1"});
    EXPECT_EQ(f->EDT_Sender->Text(), "ap@example.com"); // kept on the device
}

namespace {

struct LogRefusal {
    TEdit *TFM_LogSet::*edit;
    std::string text, message;
};

class LogSetRefused : public LogSet, public ::testing::WithParamInterface<LogRefusal> {};

} // namespace

TEST_P(LogSetRefused, NothingIsWritten)
{
    startDevice();
    auto f = openForm(FM_LogSet);
    type((*f).*GetParam().edit, GetParam().text);
    expectBox(GetParam().message, "Warning");
    click(f->Bt_Apply);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(Checks, LogSetRefused,
                         ::testing::Values(LogRefusal{&TFM_LogSet::LogServerEdit, "192.168.1.255",
                                                      "Please input valid IP Address."},
                                           LogRefusal{&TFM_LogSet::LogServerEdit, "192.168.1.0",
                                                      "Please input valid IP Address."}));

namespace {

const std::vector<LogRefusal> kSmtpRefusals = {
    {&TFM_LogSet::EDT_Server, "", "Please input valid IP Address."},
    {&TFM_LogSet::EDT_Sender, "", "You must input SMTP Sender!"},
    {&TFM_LogSet::EDT_Recipient, "", "You must input SMTP Recipient!"},
};

class LogSetSmtpRefused : public LogSetRefused {};

} // namespace

INSTANTIATE_TEST_SUITE_P(SmtpChecks, LogSetRefused, ::testing::ValuesIn(kSmtpRefusals));
INSTANTIATE_TEST_SUITE_P(SmtpChecks, LogSetSmtpRefused, ::testing::ValuesIn(kSmtpRefusals));

// A refused SMTP check leaves an emptied log server empty: once the SMTP edit is put right,
// the next Apply switches remote logging off, with no address the user never typed refused.
TEST_P(LogSetSmtpRefused, EmptiedLogServerStaysEmpty)
{
    startDevice();
    auto f = openForm(FM_LogSet);
    TEdit *edit = (*f).*GetParam().edit;
    const std::string asRead = edit->Text();
    const int remoteAsRead = f->RemoteStateComBox->ItemIndex();
    type(f->LogServerEdit, "");
    type(edit, GetParam().text);
    expectBox(GetParam().message, "Warning");
    click(f->Bt_Apply);
    EXPECT_EQ(f->LogServerEdit->Text(), "");
    EXPECT_EQ(f->RemoteStateComBox->ItemIndex(), remoteAsRead);
    type(edit, asRead);
    click(f->Bt_Apply);
    expectSets({kLogOff, kSmtpAsRead});
}

TEST_F(LogSet, WithoutSmtpTheGroupIsGoneAndOnlyTheLogGroupWritten)
{
    startDevice({"--profile", "nosmtp"});
    auto f = openForm(FM_LogSet);
    EXPECT_FALSE(f->GroupBox3->Visible());
    EXPECT_LT(f->Bt_Apply->Top(), f->GroupBox3->Height() + 100);
    mainWindow().Ed_SpSmtp->SetText("1"); // the form was made without it
    type(f->LogServerEdit, "");
    click(f->Bt_Apply);
    expectSets({kLogOff});
}

// The capability may read empty while a re-read fails: the form keeps what it found.
TEST_F(LogSet, CapabilityIsReadOnceWhenTheFormOpens)
{
    startDevice();
    auto f = openForm(FM_LogSet);
    mainWindow().Ed_SpSmtp->SetText("");
    type(f->LogServerEdit, "");
    click(f->Bt_Apply);
    expectSets({kLogOff, kSmtpAsRead});
}

// The group not read is neither checked nor written, and named; the other one is written.
TEST_F(LogSet, UnreadGroupsAreNotWritten)
{
    startDevice({"--fault", "smtpSender=drop@get"});
    auto f = openForm(FM_LogSet);
    type(f->EDT_Sender, "me@example.com");
    click(f->Bt_Apply);
    EXPECT_EQ(f->StatusBar1->SimpleText(), "Set Success! Not read, so not written: SMTP Setting.");
    expectSets(
        {"adSystemLevel=1 adWirelessLevel=1 adNoticeLevel=0 adRemoteLogState=1 adLogServerIP=192.168.1.5"});
}

TEST_F(LogSet, RefusedSmtpWriteShowsSetErrorAfterTheLogGroup)
{
    startDevice({"--profile", "nodeferred", "--fault", "smtpRecipient=error:genErr@set"});
    auto f = openForm(FM_LogSet);
    click(f->Bt_Apply); // no countdown after a failure
    EXPECT_EQ(f->StatusBar1->SimpleText(),
              "Set Error! Not written: SMTP Setting. Written before it: Log Settings.");
    expectSets(
        {"adSystemLevel=1 adWirelessLevel=1 adNoticeLevel=0 adRemoteLogState=1 adLogServerIP=192.168.1.5",
         std::string(kSmtpAsRead) + " (genErr)"});
}

TEST_F(LogSet, Layout)
{
    startDevice();
    auto f = openForm(FM_LogSet);
    checkLayout(f.get(), "TFM_LogSet");
}
