// The basic administrator form against the simulated device, opened as the menu opens it.
#include "FormFixture.h"
#include "NetworkFormSupport.h"
#include "TFM_Admin.h"
#include "Waiting.h"

using namespace formtest;

namespace {

// Long enough for a loaded machine; a passing wait ends as soon as its condition holds.
constexpr int kWait = 10000;

class Admin : public FormTest {};

void typeLogin(TFM_Admin &f, const std::string &user, const std::string &old, const std::string &pwd,
               const std::string &confirm)
{
    f.Ed_Usr->SetText(user);
    f.Ed_OPwd->SetText(old);
    f.Ed_NPwd->SetText(pwd);
    f.Ed_CNP->SetText(confirm);
}

} // namespace

TEST_F(Admin, OpensFromTheMenuWithTheUserNameAndEmptyPasswords)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.tools2->Click();
    std::string caption, user, pwd, old;
    EXPECT_TRUE(openFromMenu<TFM_Admin>(menu.tAdmin2, [&](TFM_Admin &f) {
        caption = f.Text();
        user = f.Ed_Usr->Text();
        pwd = f.Ed_Pwd->Text();
        old = f.Ed_OPwd->Text();
    }));
    EXPECT_EQ(caption, "Tools \\ Admin");
    EXPECT_EQ(user, "admin");
    EXPECT_EQ(pwd, "password");
    EXPECT_EQ(old, "");
    expectNoSet();
}

namespace {

struct RefusedLogin {
    std::string user, old, pwd, confirm, message;
    bool userEmptied;
};

class AdminRefused : public FormTest, public ::testing::WithParamInterface<RefusedLogin> {};

} // namespace

TEST_P(AdminRefused, ShowsItsMessageAndWritesNothing)
{
    const RefusedLogin &c = GetParam();
    startDevice();
    auto f = openForm(FM_Admin);
    typeLogin(*f, c.user, c.old, c.pwd, c.confirm);
    expectBox(c.message, "Warning");
    click(f->OK);
    EXPECT_EQ(f->Ed_Usr->Text().empty(), c.userEmptied);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Checks, AdminRefused,
    ::testing::Values(
        RefusedLogin{"admin", "wrong", "x", "x", "Please input the current password correctly!", false},
        RefusedLogin{"admin", "", "x", "x", "Please input the current password correctly!", false},
        RefusedLogin{std::string(65, 'a'), "password", "x", "x", "Please limit user name to 64 characters!",
                     true},
        RefusedLogin{"ad min", "password", "x", "x", "Invaild UserName!", true},
        RefusedLogin{"admin", "password", "0123456789abc", "0123456789abc",
                     "Please limit password to 12 characters!", false},
        RefusedLogin{"admin", "password", "secret", "secreT",
                     "Please input the confirm new password correctly!", false}));

TEST_F(Admin, ApplyWritesNameAndPasswordThenRestarts)
{
    startDevice({"--profile", "nodeferred", "--reboot-silence", "0.1"});
    auto f = openForm(FM_Admin);
    typeLogin(*f, "root_1@a.b-c", "password", "s3cret", "s3cret");
    click(f->OK); // returns when the countdown has closed
    EXPECT_EQ(FM_Waiting, nullptr);
    EXPECT_TRUE(pumpUntil([&] { return sets().size() == 2; }, kWait));
    expectSets({R"(UserName="root_1@a.b-c" Password="s3cret")", "upgradesettingcommand=4"});
}

TEST_F(Admin, WithDeferredSavingTheCountdownRunsWithoutRestart)
{
    startDevice();
    auto f = openForm(FM_Admin);
    typeLogin(*f, "", "password", "", "");
    click(f->OK);
    pump(100);
    expectSets({R"(UserName="" Password="")"});
}

// A failed read leaves the hidden password empty, so empty edits pass the old password
// check: the name and the password must not be blanked on the device.
TEST_F(Admin, LoginNeverWrittenUnread)
{
    startDevice({"--fault", "UserName=drop@get"});
    auto f = openForm(FM_Admin);
    click(f->OK);
    EXPECT_EQ(f->StatusBar->SimpleText(), "Not read, so not written: Login.");
    EXPECT_EQ(requestsNaming("UserName", "set"), 0);
    expectNoSet();
}

namespace {

class AdminFailedWrite : public FormTest, public ::testing::WithParamInterface<FaultRow> {};

} // namespace

TEST_P(AdminFailedWrite, ShowsSettingErrorAndNoCountdown)
{
    startDevice({"--fault", GetParam().fault});
    auto f = openForm(FM_Admin);
    typeLogin(*f, "admin", "password", "new", "new");
    click(f->OK);
    EXPECT_EQ(f->StatusBar->SimpleText(), GetParam().status);
    EXPECT_EQ(f->Ed_Pwd->Text(), "password"); // the device kept it, or is not known to have taken it
    expectSets(GetParam().sets);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, AdminFailedWrite,
    ::testing::Values(FaultRow{"refused",
                               "Password=error:wrongLength@set",
                               {R"(UserName="admin" Password="new" (wrongLength))"},
                               "Setting Error! Not written: Login."},
                      // Sent again once (the library's retry); devsim logs a request it drops so.
                      FaultRow{"unanswered",
                               "Password=drop@set",
                               {R"(UserName="admin" Password="new" (genErr))",
                                R"(UserName="admin" Password="new" (genErr))"},
                               "Setting Error! The device did not answer; it may still take the setting. "
                               "Not answered: Login."}),
    CaseName());

TEST_F(Admin, Layout)
{
    startDevice();
    auto f = openForm(FM_Admin);
    checkLayout(f.get(), "TFM_Admin");
}
