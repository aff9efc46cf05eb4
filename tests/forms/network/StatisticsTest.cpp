// The wireless and Ethernet statistics forms against the simulated device.
#include "CloseQuery.h"
#include "FormFixture.h"
#include "TFM_Ethernet.h"
#include "TFM_Static.h"

using namespace formtest;

namespace {

// Long enough for a loaded machine; a passing wait ends as soon as its condition holds.
constexpr int kWait = 10000;

class Statistics : public FormTest {};

template <class T> bool readEnded(T &f)
{
    return pumpUntil([&] { return f.Req && !f.Req->Busy; }, kWait);
}

} // namespace

TEST_F(Statistics, RadioCountersShowUnsignedInTheirFullRange)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.status2->Click();
    EXPECT_TRUE(openFromMenu<TFM_Static>(menu.WLAN80211G1, [&](TFM_Static &f) {
        ASSERT_TRUE(readEnded(f));
        EXPECT_EQ(f.Text(), "Status \\ Stats");
        EXPECT_EQ(f.TabSheetA->Text(), "IEEE 802.11g");
        EXPECT_EQ(f.Ed_TranSuRata->Text(), "97");
        EXPECT_EQ(f.Ed_TranFrCnta->Text(), "2200000000");
        EXPECT_EQ(f.Ed_RcvFrmCnta->Text(), "2500000001");
        EXPECT_EQ(f.Ed_TranBytesCnta->Text(), "3000000000");
        EXPECT_EQ(f.Ed_RecBytesCnta->Text(), "4294967295");
        EXPECT_EQ(f.Ed_WEPIErrCnta->Text(), "2");
        click(f.Bt_RfrshA);
        ASSERT_TRUE(readEnded(f));
    }));
    EXPECT_EQ(requestsNaming("stReceivedByteCount", "get"), 2);
    expectNoSet();
}

TEST_F(Statistics, EthernetCountersShowUnsignedInTheirFullRange)
{
    startDevice();
    MainMenuItems &menu = mainWindow().MenuItems;
    menu.status2->Click();
    EXPECT_TRUE(openFromMenu<TFM_Ethernet>(menu.Ethernet1, [&](TFM_Ethernet &f) {
        ASSERT_TRUE(readEnded(f));
        EXPECT_EQ(f.Text(), "Status \\ Stats \\ Ethernet");
        EXPECT_EQ(f.Ed_TxTfc->Text(), "123456");
        EXPECT_EQ(f.Ed_RxRfc->Text(), "2147483648");
        EXPECT_EQ(f.Ed_TxTbc->Text(), "3000000000");
        EXPECT_EQ(f.Ed_RxRbc->Text(), "4000000000");
    }));
    expectNoSet();
}

// No message of its own: the edits stay as they were; the form closes once the read ended.
TEST_F(Statistics, AFailedReadLeavesTheEditsAndClosesAfterwards)
{
    startDevice({"--fault", "dot3ReceivedByteCount=drop@get"});
    auto f = openForm(FM_Ethernet);
    EXPECT_FALSE(canClose(*f));
    ASSERT_TRUE(readEnded(*f));
    EXPECT_EQ(f->Ed_RxRbc->Text(), "");
    EXPECT_EQ(f->Ed_TxTfc->Text(), "");
    EXPECT_TRUE(canClose(*f));
}

TEST_F(Statistics, RadioLayout)
{
    startDevice();
    auto f = openForm(FM_Static);
    ASSERT_TRUE(readEnded(*f));
    checkLayout(f.get(), "TFM_Static");
}

TEST_F(Statistics, EthernetLayout)
{
    startDevice();
    auto f = openForm(FM_Ethernet);
    ASSERT_TRUE(readEnded(*f));
    checkLayout(f.get(), "TFM_Ethernet");
}
