// The configuration file form against the simulated device and its TFTP client.
#include "CloseQuery.h"
#include "Dialogs.h"
#include "FormBinding.h"
#include "NetworkFormSupport.h"
#include "ProfileText.h"
#include "ShellTexts.h"
#include "TFM_CfgFile.h"
#include "TestEnv.h"
#include "TransferFixture.h"
#include "Waiting.h"

#include <QThread>
#include <filesystem>
#include <optional>
#include <sys/stat.h>

using namespace formtest;
namespace fs = std::filesystem;

namespace {

class CfgFile : public TransferTest {
protected:
    std::string folder = kvtest::makeTempDir("kv-cfg-");
    void TearDown() override
    {
        TransferTest::TearDown();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    // Runs fn once, from the loop of the transfer's wait once it runs (a timer: a posted call
    // would run inside the wait of the form's first synchronous write, before the wait shows;
    // and not before the wait's own loop runs, lest fn's waits hold a request's wait).
    void duringTheWait(std::function<void()> fn)
    {
        const int outerLoop = QThread::currentThread()->loopLevel();
        m_watch.onTimeout = [this, fn, outerLoop] {
            if (FM_Waiting == nullptr || !FM_Waiting->Modal() ||
                QThread::currentThread()->loopLevel() <= outerLoop)
                return;
            m_watch.stop();
            fn();
        };
        m_watch.start(20);
    }
    // Notes the restart wait's count once the wait shows it (the click returns after the wait).
    void watchRestartCountdown(int &countdown)
    {
        duringTheWait([&countdown] {
            pumpUntil(
                [] { return FM_Waiting && FM_Waiting->Label3->Text() == "The device is restarting..."; },
                8000);
            countdown = FM_Waiting ? std::stoi(FM_Waiting->La_Time->Text()) : 0;
        });
    }
    std::string loadable(const std::string &name, const std::string &content = "cfg 1\n")
    {
        kvtest::writeText(folder + "/" + name, content);
        return folder + "/" + name;
    }
    // Loads a file into the device and returns the restart wait's count.
    int restartWaitOfALoad(FormHandle<TFM_CfgFile> &form)
    {
        type(form->Ed_UpgFile, loadable("site.dcf"));
        int countdown = 0;
        watchRestartCountdown(countdown);
        click(form->Bt_OK);
        return countdown;
    }

private:
    kv::Timer m_watch;
};

} // namespace

TEST_F(CfgFile, SaveWritesTargetThenCommandAndKeepsTheDevicesBytes)
{
    // The saved file holds the device's keys: its owner's only, whatever the umask.
    const mode_t umaskBefore = ::umask(022);
    startTransferDevice();
    auto form = openForm(FM_CfgFile);
    kv::FileDialogService::instance().setNextAnswer(folder + "/backup");
    click(form->Bt_SavBrw);
    click(form->Bt_Upload); // returns when the wait has ended
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"backup.dcf\"", "tftpcommand=3"});
    EXPECT_EQ(form->StatusBar->SimpleText(), "The configuration file saved successfully!");
    ASSERT_TRUE(fs::exists(folder + "/backup.dcf"));
    EXPECT_EQ(fileText(folder + "/backup.dcf"), fileText(deviceFile("backup.dcf")));
    EXPECT_FALSE(fileText(folder + "/backup.dcf").empty());
    EXPECT_EQ(form->Ed_SaveFile->Text(), "");
    ::umask(umaskBefore);
    EXPECT_EQ(fs::status(folder + "/backup.dcf").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

// The server follows no link a request names; the file the user picked is served.
TEST_F(CfgFile, LoadThroughALinkServesTheFileItNames)
{
    startTransferDevice({"--profile", "nodeferred"});
    auto form = openForm(FM_CfgFile);
    fs::create_directory(folder + "/store");
    kvtest::writeText(folder + "/store/real.dcf", "linked config\n");
    fs::create_symlink("store/real.dcf", folder + "/site.dcf");
    type(form->Ed_UpgFile, folder + "/site.dcf");
    click(form->Bt_OK);
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"real.dcf\"", "tftpcommand=2",
                "upgradesettingcommand=3", "upgradesettingcommand=4"});
    EXPECT_EQ(fileText(deviceFile("real.dcf")), "linked config\n");
    EXPECT_EQ(form->StatusBar->SimpleText(), "Update configuration success!");
}

TEST_F(CfgFile, LoadRunsTransferSaveRebootAndCountsThirty)
{
    startTransferDevice({"--profile", "nodeferred"});
    auto form = openForm(FM_CfgFile);
    const std::string path = loadable("site.DCF", "config bytes\n");
    type(form->Ed_UpgFile, path);
    int countdown = 0;
    watchRestartCountdown(countdown);
    click(form->Bt_OK);
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"site.DCF\"", "tftpcommand=2",
                "upgradesettingcommand=3", "upgradesettingcommand=4"});
    EXPECT_EQ(fileText(deviceFile("site.DCF")), "config bytes\n");
    EXPECT_GE(countdown, 28);
    EXPECT_LE(countdown, 30);
    EXPECT_EQ(form->Ed_UpgFile->Text(), path);
}

// Once restarting the device answers nothing for seconds: its AP mode is read before.
TEST_F(CfgFile, LoadReadsTheApModeBeforeTheDeviceRestarts)
{
    startTransferDevice({"--profile", "nodeferred"}, false);
    auto form = openForm(FM_CfgFile);
    const int countdown = restartWaitOfALoad(form);
    EXPECT_GE(countdown, 28);
    EXPECT_LE(countdown, 30);
}

TEST_F(CfgFile, OnABridgeTheRestartWaitIsFifty)
{
    startTransferDevice({"--profile", "nodeferred", "--profile", "bridge"});
    auto form = openForm(FM_CfgFile);
    const int countdown = restartWaitOfALoad(form);
    EXPECT_GE(countdown, 48);
    EXPECT_LE(countdown, 50);
}

struct Refusal {
    const char *name;    // file made in the folder ("" none)
    const char *typed;   // what the edit holds (relative names are made absolute)
    const char *message; // the box
};

class CfgFileRefusal : public CfgFile, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CfgFileRefusal, LoadSendsNothing)
{
    startTransferDevice();
    auto form = openForm(FM_CfgFile);
    const Refusal r = GetParam();
    if (*r.name)
        loadable(r.name);
    type(form->Ed_UpgFile, *r.typed ? folder + "/" + r.typed : std::string());
    expectBox(r.message, "Warning");
    click(form->Bt_OK);
    expectNoSet();
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CfgFileRefusal,
    ::testing::Values(Refusal{"", "", "Empty file is not accepted."},
                      Refusal{"config.txt", "config.txt", "File format error! Please try again!"},
                      Refusal{"", "missing.dcf", "File format error! Please try again!"}));

TEST_F(CfgFile, EmptySavePathSendsNothing)
{
    startTransferDevice();
    auto form = openForm(FM_CfgFile);
    expectBox("Empty file is not accepted.", "Warning");
    click(form->Bt_Upload);
    expectNoSet();
}

TEST_F(CfgFile, TransferFaultShowsFailureAndSendsNoUpgradeCommand)
{
    startTransferDevice({"--fault", "tftpcommand=error:genErr@set"});
    auto form = openForm(FM_CfgFile);
    type(form->Ed_UpgFile, loadable("a.dcf"));
    expectBox("The configuration file updated fail!", "Warning");
    click(form->Bt_OK);
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"a.dcf\"", "tftpcommand=2 (genErr)"});
    EXPECT_EQ(requestsNaming("upgradesettingcommand", "set"), 0);
}

// Without the new name the device would fetch the previous file and report success.
TEST_F(CfgFile, RefusedTargetSendsNoTransferCommand)
{
    startTransferDevice({"--fault", "remotefilename=error:genErr@set"});
    auto form = openForm(FM_CfgFile);
    type(form->Ed_UpgFile, loadable("a.dcf"));
    expectBox("The configuration file updated fail!", "Warning");
    click(form->Bt_OK);
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"a.dcf\" (genErr)"});
    EXPECT_EQ(requestsNaming("tftpcommand", "set"), 0);
}

// A restart that goes unanswered is the device restarting; the command went out once.
TEST_F(CfgFile, UnansweredRebootKeepsTheCountdownAndIsSentOnce)
{
    startTransferDevice({"--profile", "nodeferred", "--fault", "upgradesettingcommand=delay:2600@set"});
    auto form = openForm(FM_CfgFile);
    type(form->Ed_UpgFile, loadable("a.dcf"));
    click(form->Bt_OK);
    EXPECT_EQ(form->StatusBar->SimpleText(), "Update configuration success!");
    pump(800);
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"a.dcf\"", "tftpcommand=2", "upgradesettingcommand=3",
                "upgradesettingcommand=4"});
}

// A device that refuses the restart: the wait ends with the failure.
TEST_F(CfgFile, RefusedRebootEndsTheWaitWithTheFailure)
{
    const std::string noReboot = "remove upgradesettingcommand\n"
                                 "E.3.3.5.0 upgradesettingcommand integer readwrite enum:1|2|3|5|6 6\n";
    startTransferDevice({"--profile", "nodeferred", "--profile", writeProfile(noReboot)});
    auto form = openForm(FM_CfgFile);
    type(form->Ed_UpgFile, loadable("a.dcf"));
    expectBox("Update file fail!Please try again!", "Warning");
    click(form->Bt_OK);
    expectSets({"remotesrvip=127.0.0.1 remotefilename=\"a.dcf\"", "tftpcommand=2", "upgradesettingcommand=3",
                "upgradesettingcommand=4 (wrongValue)"});
    EXPECT_NE(form->StatusBar->SimpleText(), "Update configuration success!");
    EXPECT_TRUE(canClose(*form));
}

// A restart that cannot be sent (nothing writable when the save was answered) ends the wait too.
TEST_F(CfgFile, RebootThatCannotBeSentEndsTheWaitWithTheFailure)
{
    startTransferDevice({"--profile", "nodeferred", "--fault", "upgradesettingcommand=delay:400@set"});
    auto form = openForm(FM_CfgFile);
    type(form->Ed_UpgFile, loadable("a.dcf"));
    std::optional<AccessPatch> readOnly;
    duringTheWait([&] {
        pumpUntil([&] { return requestsNaming("upgradesettingcommand", "set") == 1; }, 8000);
        readOnly.emplace(*form->UpgReq,
                         std::initializer_list<std::pair<int, uint32_t>>{{0, KvAccess::ReadOnly}});
    });
    expectBox("Update file fail!Please try again!", "Warning");
    click(form->Bt_OK);
    readOnly.reset();
    pump(500);
    EXPECT_EQ(requestsNaming("upgradesettingcommand", "set"), 1);
    EXPECT_TRUE(canClose(*form));
}

// The device's word is not enough: a save counts only when the file came in.
TEST_F(CfgFile, SaveWithoutArrivalIsAFailure)
{
    startTransferDevice({"--tftp-client", "/bin/true"});
    auto form = openForm(FM_CfgFile);
    kv::FileDialogService::instance().setNextAnswer(folder + "/none.dcf");
    click(form->Bt_SavBrw);
    expectBox("Fail to save the configuration file!", "Warning");
    click(form->Bt_Upload);
    EXPECT_EQ(form->StatusBar->SimpleText(), "The configuration file did not arrive.");
    EXPECT_FALSE(fs::exists(folder + "/none.dcf"));
}

// While the device moves the file, another host asks for it or sends one under its name: it
// is refused and logged, and the device's transfer goes on.
struct Interloper {
    const char *what;
    bool load; // the device reads the file (else it writes it)
};

class CfgFileInterloper : public CfgFile, public ::testing::WithParamInterface<Interloper> {};

TEST_P(CfgFileInterloper, IsRefusedAndTheDevicesTransferGoesOn)
{
    startTransferDevice({"--profile", "nodeferred"});
    auto form = openForm(FM_CfgFile);
    const std::string name = GetParam().load ? "site.dcf" : "backup.dcf";
    // The device answers the command a while after its transfer, well after the requests below
    // (timed now, with nothing announced, so refused too): the transfer stays announced while
    // they are made.
    delaySetsBeyond("tftpcommand", 1500, [&] {
        for (int opcode : {1, 2})
            ASSERT_EQ(tftpRequest(opcode, name, "127.0.0.2"), (std::pair<int, int>{5, 2}));
    });
    ASSERT_FALSE(HasFatalFailure());
    if (GetParam().load) {
        type(form->Ed_UpgFile, loadable(name, "the site's own settings\n"));
    } else {
        kv::FileDialogService::instance().setNextAnswer(folder + "/" + name);
        click(form->Bt_SavBrw);
    }
    std::vector<std::pair<int, int>> answers;
    std::vector<std::string> logged;
    duringTheWait([&] {
        pumpUntil([&] { return FM_Waiting != nullptr && form->Server->Pending(); }, 8000);
        for (int opcode : {1, 2}) {
            answers.push_back(tftpRequest(opcode, name, "127.0.0.2"));
            logged.push_back(form->StatusBar->SimpleText());
        }
        EXPECT_TRUE(form->Server->Pending()); // still during the transfer
    });
    click(GetParam().load ? form->Bt_OK : form->Bt_Upload);
    const std::pair<int, int> accessViolation{5, 2};
    EXPECT_EQ(answers, (std::vector<std::pair<int, int>>{accessViolation, accessViolation}));
    ASSERT_EQ(logged.size(), 2u);
    for (const std::string &line : logged) {
        EXPECT_NE(line.find("(KvTFTP) Access violation!"), std::string::npos) << line;
        EXPECT_NE(line.find("\"" + name + "\" from 127.0.0.2"), std::string::npos) << line;
    }
    if (GetParam().load) {
        EXPECT_EQ(form->StatusBar->SimpleText(), "Update configuration success!");
        EXPECT_EQ(fileText(deviceFile(name)), "the site's own settings\n");
    } else {
        EXPECT_EQ(form->StatusBar->SimpleText(), "The configuration file saved successfully!");
        EXPECT_EQ(fileText(folder + "/" + name), fileText(deviceFile(name)));
    }
}

INSTANTIATE_TEST_SUITE_P(Transfers, CfgFileInterloper,
                         ::testing::Values(Interloper{"load", true}, Interloper{"save", false}), CaseName());

TEST_F(CfgFile, PortTakenClosesTheFormAndTheModuleGoesOn)
{
    const int port = kvtest::freeUdpPort();
    PortHolder taken(port);
    startTransferDevice();
    setenv(kTftpPortVariable, std::to_string(port).c_str(), 1);
    const int polls = requestsNaming("sysDescr", "get");
    expectBox("TFTP Service Init Error:" + KvTFTPStatusText(TFTP_ERR_SOCKET_OPEN) + " (UDP port " +
                  std::to_string(port) + ": already in use by another program)",
              gModelName);
    auto form = openForm(FM_CfgFile);
    EXPECT_TRUE(pumpUntil([&] { return !form->Visible(); }, 2000));
    EXPECT_TRUE(pumpUntil([&] { return requestsNaming("sysDescr", "get") > polls; }, 6000));
}

TEST_F(CfgFile, Layout)
{
    startTransferDevice();
    auto form = openForm(FM_CfgFile);
    checkLayout(form.get(), "TFM_CfgFile");
}
