// Every form opened against a plain SNMP agent (Debian's snmpd, none of the device's objects):
// the failed read stays in the status bar, no success text stands over it, no field shows
// "(NULL)" for a value that never came, and an Apply sends nothing and says why.
#include "CloseQuery.h"
#include "FormFixture.h"
#include "FormOpeners.h"
#include "NetworkFormSupport.h"
#include "ShellTexts.h"
#include "TFM_FirewareSSL.h"
#include "TFM_LogSet.h"
#include "TestEnv.h"
#include "TransferRoad.h"

#include <cstdlib>

using namespace formtest;

namespace {

struct PlainCase {
    const char *what;  // the form's class, as the menu opens it
    const char *name;  // its form variable
    bool reads = true; // it reads the device at opening (the transfer forms wait for the user)
    std::vector<std::pair<std::string, std::string>> boxes = {}; // boxes the opening shows
    const char *apply = nullptr; // its write button, pressed once the reads have ended
    // The form's own refusal of an input it never read (else Apply names the unread groups).
    std::pair<std::string, std::string> applyBox = {};
};

// What the form shows once its reads at opening have ended.
struct Shown {
    bool opened = false;
    std::vector<std::string> statusTexts;
    std::vector<std::string> nullFields;
    std::vector<std::string> afterApply; // the status texts after its write button
};

Shown Look(TForm &form)
{
    Shown s;
    s.opened = true;
    for (int i = 0; i < form.ComponentCount(); ++i) {
        TComponent *c = form.Components(i);
        if (auto *bar = dynamic_cast<TStatusBar *>(c)) {
            s.statusTexts.push_back(bar->SimpleText());
            for (int p = 0; p < bar->Panels()->Count(); ++p)
                s.statusTexts.push_back(bar->Panels()->Items(p)->Text());
        } else if (auto *edit = dynamic_cast<TEdit *>(c); edit && edit->Text() == "(NULL)") {
            s.nullFields.push_back(edit->Name());
        }
    }
    return s;
}

bool IsSuccessText(const std::string &t)
{
    for (const char *marker : {"Ok!", "OK!", "OK.", "Success", "success", "Complete"})
        if (t.find(marker) != std::string::npos)
            return true;
    return false;
}

// The agent's answer to an object it does not have, or the library's text for a failed read.
bool IsFailureText(const std::string &t)
{
    for (const char *marker : {"(SNMP)", "(SNMPClass)", "(KvSNMP++)", "could not be read"})
        if (t.find(marker) != std::string::npos && !IsSuccessText(t))
            return true;
    return false;
}

class PlainAgent : public FormTest, public ::testing::WithParamInterface<PlainCase> {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        // The transfer forms' servers on a port of this test.
        setenv(kTftpPortVariable, std::to_string(kvtest::freeUdpPort()).c_str(), 1);
    }
    void TearDown() override
    {
        FormTest::TearDown();
        unsetenv(kTftpPortVariable);
    }
};

} // namespace

TEST_P(PlainAgent, ShowsTheFailedReadAndNoSuccess)
{
    startPlainAgent();
    const PlainCase &c = GetParam();
    for (const auto &[text, caption] : c.boxes)
        expectBox(text, caption);
    Shown shown;
    kv::Timer poll;
    poll.onTimeout = [&] {
        for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
            auto *form = dynamic_cast<TForm *>(Application->Components(i));
            if (form == nullptr || !form->Modal() || form->Name() != c.name || shown.opened)
                continue;
            poll.stop();
            // This form's refusal to close comes with a box: its reads are awaited instead.
            if (auto *ssl = dynamic_cast<TFM_FirewareSSL *>(form)) {
                EXPECT_TRUE(pumpUntil([ssl] { return !ssl->FtpReq->Busy && !ssl->InfoReq->Busy; }, kWaitMs));
            } else {
                EXPECT_TRUE(WaitUntilClosable(*form));
            }
            pump(500);
            shown = Look(*form);
            if (c.apply != nullptr) {
                if (!c.applyBox.first.empty())
                    expectBox(c.applyBox.first, c.applyBox.second);
                for (int k = 0; k < form->ComponentCount(); ++k)
                    if (auto *button = dynamic_cast<TButton *>(form->Components(k));
                        button && button->Name() == c.apply)
                        click(button);
                pump(300);
                shown.afterApply = Look(*form).statusTexts;
            }
            form->Close();
            return;
        }
    };
    poll.start(1);
    ASSERT_TRUE(OpenRegisteredForm(c.what));
    ASSERT_TRUE(shown.opened) << c.what;
    bool failureShown = false;
    for (const std::string &t : shown.statusTexts) {
        EXPECT_FALSE(IsSuccessText(t)) << c.what << ": " << t;
        failureShown = failureShown || IsFailureText(t);
    }
    EXPECT_EQ(failureShown, c.reads) << c.what << (c.reads ? " shows no failed read" : " read at opening");
    EXPECT_EQ(shown.nullFields, std::vector<std::string>{}) << c.what;
    // Nothing can be written: Apply says so, and claims nothing.
    if (c.apply == nullptr)
        return;
    bool toldWhy = !c.applyBox.first.empty();
    for (const std::string &t : shown.afterApply) {
        EXPECT_FALSE(IsSuccessText(t)) << c.what << " after Apply: " << t;
        // A failed write may come first: the date and time form writes the time it never reads.
        toldWhy = toldWhy || t == "Nothing was set: the values could not be read from the device." ||
                  t.find("Not read, so not written:") != std::string::npos;
    }
    EXPECT_TRUE(toldWhy) << c.what << " after Apply: " << ::testing::PrintToString(shown.afterApply);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PlainAgent,
    ::testing::Values(PlainCase{.what = "TFM_LanCfg", .name = "FM_LanCfg", .apply = "BT_LanCfgOk"},
                      PlainCase{.what = "TFM_DHCP", .name = "FM_DHCP", .apply = "Bt_Apply"},
                      PlainCase{.what = "TFM_Group", .name = "FM_Group", .apply = "Bt_Apply"},
                      PlainCase{.what = "TFM_Misc", .name = "FM_Misc", .apply = "Bt_Apply"},
                      PlainCase{.what = "TFM_Admin", .name = "FM_Admin", .apply = "OK"},
                      PlainCase{.what = "TFM_Admin2", .name = "FM_Admin2", .apply = "OK"},
                      PlainCase{.what = "TFM_Admin3", .name = "FM_Admin3", .apply = "OK"},
                      PlainCase{.what = "TFM_Sytem", .name = "FM_Sytem"},
                      PlainCase{.what = "TFM_LogSet", .name = "FM_LogSet", .apply = "Bt_Apply"},
                      // No address of the PC on the device's network: the device never answered.
                      PlainCase{.what = "TSNTPForm",
                                .name = "SNTPForm",
                                .boxes = {{"Invalid Server IP Address or SNMP timed out!", gModelName},
                                          {"Get IP Error!", "Warning"}},
                                .apply = "Bt_Apply"},
                      PlainCase{.what = "TFM_DevInfo", .name = "FM_DevInfo"},
                      PlainCase{.what = "TClientInformation", .name = "ClientInformation"},
                      PlainCase{.what = "TFM_Static", .name = "FM_Static"},
                      PlainCase{.what = "TFM_Ethernet", .name = "FM_Ethernet"},
                      PlainCase{.what = "TLogForm", .name = "LogForm", .reads = false},
                      PlainCase{.what = "TFM_FirewareSSL", .name = "FM_FirewareSSL"},
                      PlainCase{.what = "TFM_CfgFile", .name = "FM_CfgFile", .reads = false},
                      PlainCase{.what = "TFM_Firmware", .name = "FM_Firmware", .reads = false},
                      PlainCase{.what = "TFM_WPart", .name = "FM_WPart", .apply = "BT_Apply"},
                      PlainCase{.what = "TFM_Encrypt", .name = "FM_Encrypt", .apply = "Bt_Apply"},
                      PlainCase{.what = "TFM_ModeCFG", .name = "FM_ModeCFG", .apply = "Bt_Apply"},
                      PlainCase{.what = "TFM_Performace", .name = "FM_Performace", .apply = "Bt_Apply_a"},
                      PlainCase{.what = "TFM_WMACACL", .name = "FM_WMACACL", .apply = "Bt_Apply"},
                      PlainCase{.what = "TFM_MultiSSIDForm", .name = "FM_MultiSSIDForm", .apply = "Bt_Apply"},
                      PlainCase{
                          .what = "TFM_MultiSSIDNewForm", .name = "FM_MultiSSIDNewForm", .apply = "ApplyBtn"},
                      PlainCase{.what = "TFM_RogueForm", .name = "FM_RogueForm", .apply = "Apply_Btn"},
                      PlainCase{.what = "TFM_Wirless", .name = "FM_Wirless", .apply = "Bt_Apply"}),
    CaseName());

// Another SNMP stack holds the form's objects but answers their set with noSuchInstance (error
// status 0): the Apply failed, and the form says so.
TEST_F(FormTest, ApplyAnsweredWithNoSuchInstanceIsAFailure)
{
    const std::string log = "1.3.6.1.4.1.32473.11.37.4.2.11.";
    startSnmpsimAgent("1.3.6.1.2.1.1.1.0|4|simulated\n" + log + "1.0|2|1\n" + log + "2.0|2|1\n" + log +
                      "3.0|2|0\n" + log + "8.0|2|1\n" + log + "9.0|64|10.0.0.5\n");
    auto f = openForm(FM_LogSet);
    EXPECT_EQ(f->LogServerEdit->Text(), "10.0.0.5");
    for (int i = 0; i < 2; ++i) {
        click(f->Bt_Apply);
        EXPECT_EQ(f->StatusBar1->SimpleText(), "Set Error! Not written: Log Settings.");
        EXPECT_EQ(f->LogServerEdit->Text(), "10.0.0.5");
    }
}
