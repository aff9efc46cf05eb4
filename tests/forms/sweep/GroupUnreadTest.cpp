// One group of a form whose read fails (the device answers that object with an error at once,
// as a lost answer fails its own group), early, in the middle or last in the form's read order:
// that group shows nothing and is not written back, every other group shows what a normal
// opening shows and is written as an unchanged Apply writes it, and Apply refuses nothing for
// the group the user never typed in. One device a case, opened normally, then with the fault.
#include "FormFixture.h"
#include "FormSnapshot.h"
#include "NetworkFormSupport.h"
#include "TFM_DHCP.h"
#include "TFM_Encrypt.h"
#include "TFM_Group.h"
#include "TFM_LanCfg.h"
#include "TFM_LogSet.h"
#include "TFM_Performace.h"
#include "TFM_Wirless.h"
#include "TSNTPForm.h"
#include "TestEnv.h"
#include "TransferRoad.h"

#include <set>

using namespace formtest;

namespace {

class GroupUnread;

struct GroupUnreadRow {
    const char *what;
    std::vector<std::string> profile;
    const char *object;                 // every read of it is answered with genErr
    std::vector<std::string> unwritten; // objects whose sets the Apply then leaves out
    const char *status;                 // Apply's status text; null: the normal one, then named
    const char *named;                  // the groups named as not written ("" none)
    std::set<std::string> empty;        // the group's controls, which show nothing
    std::set<std::string> derived;      // controls that follow the group's values
    std::function<void(GroupUnread &)> run;
};

void PrintTo(const GroupUnreadRow &row, std::ostream *out)
{
    *out << row.what;
}

AnsiString StatusText(TForm &form)
{
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto *bar = dynamic_cast<TStatusBar *>(form.Components(i)))
            return bar->SimpleText();
    return AnsiString();
}

class GroupUnread : public FormTest, public ::testing::WithParamInterface<GroupUnreadRow> {
public:
    template <class T> void Check(T *&global, const std::function<void(T &)> &apply)
    {
        const GroupUnreadRow &row = GetParam();
        std::vector<std::string> normalArgs = row.profile;
        normalArgs.insert(normalArgs.end(), extraArgs.begin(), extraArgs.end());
        startDevice(normalArgs);
        sweep::Snapshot normal;
        std::string normalStatus;
        {
            auto f = openForm(global);
            ASSERT_TRUE(WaitUntilClosable(*f));
            normal = sweep::TakeSnapshot(*f);
            apply(*f);
            ASSERT_TRUE(WaitUntilClosable(*f));
            normalStatus = StatusText(*f);
        }
        std::vector<std::string> expected;
        for (const std::string &set : sets())
            if (std::none_of(row.unwritten.begin(), row.unwritten.end(), [&](const std::string &object) {
                    return set.find(object + "=") != std::string::npos;
                }))
                expected.push_back(set);

        sim.reset();
        std::vector<std::string> args = normalArgs;
        args.insert(args.end(), {"--fault", std::string(row.object) + "=error:genErr@get"});
        startDevice(args);
        auto f = openForm(global);
        ASSERT_TRUE(WaitUntilClosable(*f));
        for (const std::string &name : row.empty) {
            TControl *c = sweep::NamedControl(*f, name);
            ASSERT_NE(c, nullptr) << name;
            EXPECT_TRUE(sweep::ShowsNothing(c)) << name << " shows " << sweep::ControlValue(c);
        }
        const sweep::Snapshot shown = sweep::TakeSnapshot(*f);
        for (const auto &[name, state] : normal) {
            if (row.empty.count(name) || row.derived.count(name) ||
                dynamic_cast<TStatusBar *>(sweep::NamedControl(*f, name)))
                continue;
            EXPECT_EQ(shown.at(name), state) << name << " differs from a normal opening";
        }
        apply(*f);
        ASSERT_TRUE(WaitUntilClosable(*f));
        expectSets(expected);
        const std::string named =
            *row.named ? std::string(" Not read, so not written: ") + row.named + "." : "";
        EXPECT_EQ(StatusText(*f), row.status ? std::string(row.status) : normalStatus + named);
    }

    // Given to devsim after the row's profile, both times.
    std::vector<std::string> extraArgs;
};

void ApplyWireless(TFM_Wirless &f)
{
    f.Bt_Apply->Click();
    EXPECT_TRUE(pumpUntil([&] { return !f.Applying(); }, 5000));
}

void ApplyPerformance(TFM_Performace &f)
{
    f.Bt_Apply_a->Click();
}

void ApplyEncryption(TFM_Encrypt &f)
{
    f.Bt_Apply->Click();
}

void Wireless(GroupUnread &t)
{
    t.Check<TFM_Wirless>(FM_Wirless, ApplyWireless);
}

void Performance(GroupUnread &t)
{
    t.Check<TFM_Performace>(FM_Performace, ApplyPerformance);
}

void Encryption(GroupUnread &t)
{
    t.Check<TFM_Encrypt>(FM_Encrypt, ApplyEncryption);
}

void DHCP(GroupUnread &t)
{
    t.Check<TFM_DHCP>(FM_DHCP, [](TFM_DHCP &f) { f.Bt_Apply->Click(); });
}

void LAN(GroupUnread &t)
{
    t.Check<TFM_LanCfg>(FM_LanCfg, [](TFM_LanCfg &f) { f.BT_LanCfgOk->Click(); });
}

void Grouping(GroupUnread &t)
{
    t.Check<TFM_Group>(FM_Group, [](TFM_Group &f) { f.Bt_Apply->Click(); });
}

void LogSetting(GroupUnread &t)
{
    t.Check<TFM_LogSet>(FM_LogSet, [](TFM_LogSet &f) { f.Bt_Apply->Click(); });
}

// The form's server and the device's client meet on a port of this case; the PC's clock, which
// the form writes as it opens, stands still.
void DateAndTime(GroupUnread &t)
{
    const std::string port = std::to_string(kvtest::freeUdpPort());
    setenv(kTftpPortVariable, port.c_str(), 1);
    t.extraArgs = {"--tftp-port", port};
    auto clock = std::make_shared<kvtest::FastClock>(50);
    clock->setWallTime(std::time(nullptr));
    const kv::ScopedClock still(clock);
    t.Check<TSNTPForm>(SNTPForm, [](TSNTPForm &f) {
        f.Bt_Apply->Click();
        EXPECT_TRUE(pumpUntil([&] { return f.Idle && !f.SntpReq->Busy; }, 10000));
    });
    unsetenv(kTftpPortVariable);
}

const std::vector<GroupUnreadRow> &Rows()
{
    static const std::vector<GroupUnreadRow> rows = {
        {"Wireless AP mode early",
         {},
         "adAPMode",
         {"adAPMode"},
         nullptr,
         "adAPMode",
         {"ED_APModeTempComboBox", "ED_APModeComboBox", "Ed_SSID"},
         {"CB_SSIDBcasta"},
         Wireless},
        {"Wireless SSID",
         {},
         "hSSID",
         {"hSSID", "adAPMode"},
         nullptr,
         "hSSID adAPMode",
         {"Ed_SSIDa", "CB_SSIDBcasta", "CB_Chana", "Ed_Chana", "Ed_ChanLista", "Ed_RaFreqa",
          "ED_APModeTempComboBox", "ED_APModeComboBox", "Ed_SSID"},
         {},
         Wireless},
        {"Wireless RADIUS in the middle",
         {},
         "SecRADIUSPort",
         {},
         nullptr,
         "",
         {"RadiusportEdit", "RadiusServerEdit", "RadiusSecretEdit", "GroupKeyEdit", "CiphertypeComboBox"},
         {},
         Wireless},
        {"Wireless super mode last",
         {},
         "adSuperMode",
         {"adSuperMode"},
         nullptr,
         "adSuperMode",
         {"AD_SuperMode", "CB_SuperMode_jp"},
         {},
         Wireless},
        {"Performance AP mode early", {}, "adAPMode", {}, nullptr, "", {"CB_APModea"}, {}, Performance},
        {"Performance radio in the middle",
         {},
         "adDTIM",
         {"adDTIM"},
         nullptr,
         "adFrequency",
         {"Ed_Freqa", "Ed_DtRta", "Ed_DtLista", "CB_DtRta", "Ed_BeInta", "Ed_DTIMa", "Ed_FragLena", "Ed_RTSa",
          "CB_TranPa", "CB_RadWava"},
         {},
         Performance},
        {"Performance channel late",
         {},
         "hChannel",
         {"hChannel"},
         nullptr,
         "hChannel",
         {"Ed_Chana", "CB_Chana"},
         {},
         Performance},
        {"Encryption security early",
         {"--profile", "enterprise"},
         "adSecAuthentication-a",
         {"adSecCipherType", "SecRADIUSServer"},
         "Not read, so not written: adSecAuthentication-a",
         "",
         {"CB_SecAutha", "CB_SecEncypa", "CB_SecValKeya", "CB_KeyTypeA", "CB_KeySizeA", "Ed_Key1a",
          "Ed_Key2a", "Ed_Key3a", "Ed_Key4a"},
         {"Ed_Key1t", "Ed_Key2t", "Ed_Key3t", "Ed_Key4t"},
         Encryption},
        {"Encryption servers in the middle",
         {"--profile", "enterprise"},
         "SecRADIUSServer",
         {"SecRADIUSServer"},
         nullptr,
         "Sec DNS IP Address",
         {"Ed_DNSIP", "Ed_DNS", "Ed_RadiusSrv", "Ed_RadiusSrv2", "Ed_RadiusPort", "Ed_RadiusSec"},
         {},
         Encryption},
        {"Encryption pass phrase last",
         {"--profile", "enterprise"},
         "adSecPassPhrase",
         {"adSecCipherType"},
         nullptr,
         "adSecPassPhrase",
         {"Ed_PassPha", "CB_CipherTypea", "Ed_GKUIa"},
         {},
         Encryption},
        {"DHCP dynamic pool",
         {},
         "dynamicLease",
         {"dynamicIPStart"},
         nullptr,
         "Dynamic Pool Settings",
         {"Ed_IPAF", "Ed_PoolRan", "Ed_SubMask", "Ed_Gateway", "Ed_Wins", "Ed_DNS", "Ed_DomNa", "Ed_Lease",
          "CB_Status"},
         {},
         DHCP},
        {"LAN",
         {"--profile", "configured"},
         "hSubnetMask",
         {"hGetIPFrom"},
         "Not read, so not written: LAN.",
         "",
         {"CB_IPFrom", "ED_IpAddr", "ED_SubMask", "ED_DefGw", "ED_Restart"},
         {},
         LAN},
        {"Grouping",
         {"--profile", "grouping"},
         "UserLimit",
         {"LoadBalance"},
         "Not read, so not written: AP Grouping Settings.",
         "",
         {"CB_LoadB", "Ed_UsrL", "CB_LinkInt"},
         {},
         Grouping},
        {"Log Setting SMTP",
         {},
         "smtpRecipient",
         {"smtpState"},
         nullptr,
         "SMTP Setting",
         {"CB_SMTPStatus", "EDT_Server", "EDT_Sender", "EDT_Recipient"},
         {},
         LogSetting},
        {"Date and Time method",
         {},
         "sntptimesetmethod",
         {"sntptimesetmethod"},
         nullptr,
         "SNTP/NTP or Manual Setting",
         {"RB_Sntp", "RB_Manual", "Ed_sntpmethod"},
         {"Ed_WSNTPServ", "CB_WSNTPTimeZone", "CHB_DayLight", "CB_Year", "CB_Month", "CB_Day", "CB_Hour",
          "CB_Minute", "CB_Second", "Btn_Copy"},
         DateAndTime},
    };
    return rows;
}

TEST_P(GroupUnread, ShowsNothingOfItAndTheRestAsUsual)
{
    GetParam().run(*this);
}

INSTANTIATE_TEST_SUITE_P(Forms, GroupUnread, ::testing::ValuesIn(Rows()), CaseName());

} // namespace
