// Every writing form shows the longest outcome a write of the program can have whole, at the
// application's font, without hovering: its status bars take as many lines as the text needs,
// the window grows to hold them, and nothing else of the form is covered. A text that fits one
// line again gives the room back.
#include "FormFixture.h"
#include "TFM_Admin.h"
#include "TFM_Admin2.h"
#include "TFM_Admin3.h"
#include "TFM_DHCP.h"
#include "TFM_Encrypt.h"
#include "TFM_FirewareSSL.h"
#include "TFM_Group.h"
#include "TFM_LanCfg.h"
#include "TFM_LogSet.h"
#include "TFM_Misc.h"
#include "TFM_ModeCFG.h"
#include "TFM_MultiSSIDForm.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_Performace.h"
#include "TFM_RogueForm.h"
#include "TFM_Sytem.h"
#include "TFM_WMACACL.h"
#include "TFM_WPart.h"
#include "TFM_Wirless.h"
#include "TSNTPForm.h"

#include <QLabel>
#include <QWidget>

using namespace formtest;

namespace {

// Home \ Wireless stopped at its last group with every other written before it and none read
// back: the longest outcome of any form.
const std::string kLongest =
    "Setting error! The device did not answer; it may still take the setting. Not answered: Guest SSID "
    "Authentication. Written before it: VLAN and Guest SSIDs, SSID, Super G Mode, AP Mode, Auto Channel "
    "Scan, Radio Wave, Authentication, PassPhrase, Key Type, Accounting, Secondary RADIUS Server, "
    "Secondary Accounting Server, Guest SSID Encryption. Not read back: VLAN and Guest SSIDs, SSID, Super "
    "G Mode, AP Mode, Auto Channel Scan, Radio Wave, Authentication, PassPhrase, Key Type, Accounting, "
    "Secondary RADIUS Server, Secondary Accounting Server, Guest SSID Encryption, Guest SSID "
    "Authentication. Not read: 802.11b/g Mode, Dynamic Turbo Channels, Static Turbo Channels.";

struct FitRow {
    std::string what;
    std::vector<std::string> profile;
    std::function<void(FormTest &, const std::function<void(TForm &)> &)> open;
};

void PrintTo(const FitRow &row, std::ostream *out)
{
    *out << row.what;
}

class OutcomeFit : public FormTest, public ::testing::WithParamInterface<FitRow> {
public:
    template <class T> static FitRow Row(std::string what, std::vector<std::string> profile, T *&global)
    {
        return {std::move(what), std::move(profile),
                [&global](FormTest &t, const std::function<void(TForm &)> &check) {
                    auto form = static_cast<OutcomeFit &>(t).openForm(global);
                    check(*form);
                }};
    }
};

// The shown lines of a status bar, joined again.
std::string ShownWhole(const TStatusBar *bar)
{
    const auto *label = bar->Widget()->findChild<QLabel *>();
    return label ? label->text().replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString() : std::string();
}

// The bar lies inside the window and covers no other control of its parent.
void ExpectUncovered(TForm &form, TStatusBar *bar)
{
    // A form larger than the screen scrolls: the bar must lie within what scrolls into view.
    QWidget *area = form.ScrollArea() ? form.ClientWidget() : form.Widget();
    const QRect window = area->rect();
    const QRect shown(bar->Widget()->mapTo(area, QPoint(0, 0)), bar->Widget()->size());
    EXPECT_TRUE(window.contains(shown)) << bar->Name() << " lies outside the window";
    TWinControl *parent = bar->Parent();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl *other = parent->Controls(i);
        if (other != bar && other->Visible() && other->Widget()->isVisibleTo(form.Widget()) &&
            other->Align() == alNone) {
            EXPECT_FALSE(other->Widget()->geometry().intersects(bar->Widget()->geometry()))
                << bar->Name() << " covers " << other->Name();
        }
    }
}

TEST_P(OutcomeFit, TheLongestOutcomeIsShownWholeInEveryStatusBar)
{
    startDevice(GetParam().profile);
    GetParam().open(*this, [this](TForm &form) {
        form.Show();
        // Once the opening's reads have logged what they logged.
        pump(2500);
        std::vector<TStatusBar *> bars;
        for (int i = 0; i < form.ComponentCount(); ++i)
            if (auto *bar = dynamic_cast<TStatusBar *>(form.Components(i));
                bar && bar->SimplePanel() && bar->Widget()->isVisibleTo(form.Widget()))
                bars.push_back(bar);
        ASSERT_FALSE(bars.empty());
        for (TStatusBar *bar : bars) {
            bar->SetSimpleText("Setting Success!");
            pump(50);
            const int height = form.ClientHeight();
            bar->SetSimpleText(kLongest);
            pump(50);
            EXPECT_EQ(ShownWhole(bar), kLongest) << bar->Name();
            // Under Xvfb with KV_SCREENSHOT_DIR set, its picture too.
            checkLayout(&form, "outcome-" + GetParam().what + "-" + bar->Name());
            ExpectUncovered(form, bar);
            EXPECT_GT(form.ClientHeight(), height) << bar->Name();
            bar->SetSimpleText("Setting Success!");
            pump(50);
            EXPECT_EQ(form.ClientHeight(), height) << bar->Name();
        }
    });
}

INSTANTIATE_TEST_SUITE_P(
    Forms, OutcomeFit,
    ::testing::Values(OutcomeFit::Row("Misc", {}, FM_Misc),
                      OutcomeFit::Row("LAN", {"--profile", "configured"}, FM_LanCfg),
                      OutcomeFit::Row("DHCP", {"--profile", "configured"}, FM_DHCP),
                      OutcomeFit::Row("Grouping", {"--profile", "grouping"}, FM_Group),
                      OutcomeFit::Row("Admin", {}, FM_Admin),
                      OutcomeFit::Row("Admin2", {"--profile", "admin2"}, FM_Admin2),
                      OutcomeFit::Row("Admin3", {"--profile", "admin3"}, FM_Admin3),
                      OutcomeFit::Row("DateAndTime", {"--profile", "configured"}, SNTPForm),
                      OutcomeFit::Row("LogSetting", {"--profile", "configured"}, FM_LogSet),
                      OutcomeFit::Row("System", {}, FM_Sytem),
                      OutcomeFit::Row("FirmwareAndSSL", {"--profile", "ssl"}, FM_FirewareSSL),
                      OutcomeFit::Row("MultiSSIDOlder", {"--profile", "mssidguests"}, FM_MultiSSIDForm),
                      OutcomeFit::Row("MultiSSIDNewer", {"--profile", "newmssid", "--profile", "mssidguests"},
                                      FM_MultiSSIDNewForm),
                      OutcomeFit::Row("Wireless", {"--profile", "configured"}, FM_Wirless),
                      OutcomeFit::Row("Performance", {"--profile", "datarate"}, FM_Performace),
                      OutcomeFit::Row("Encryption", {"--profile", "configured"}, FM_Encrypt),
                      OutcomeFit::Row("Mode", {"--profile", "ptmpbridge"}, FM_ModeCFG),
                      OutcomeFit::Row("RogueAP", {}, FM_RogueForm),
                      OutcomeFit::Row("MACACL", {"--profile", "configured"}, FM_WMACACL),
                      OutcomeFit::Row("WLANPartition", {}, FM_WPart)),
    [](const ::testing::TestParamInfo<FitRow> &row) { return row.param.what; });

} // namespace
