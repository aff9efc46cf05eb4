#include "TFM_WPart.h"

#include "FormGlobals.h"
#include "Misc.h"

namespace {

const FormItemTable kPartitionItems = {
    {"2.4.3.1.1.1", "adInternalStationConnection", KvSyntax::Integer, KvAccess::ReadWrite,
     &gAdInternalStationConnectionNames2},
    {"2.4.3.1.2.1", "adEthernet2WLANAccess", KvSyntax::Integer, KvAccess::ReadWrite,
     &gAdEthernet2WLANAccessNames2},
};

} // namespace

TFM_WPart::TFM_WPart(TComponent *AOwner) : TForm(AOwner)
{
    // Wide enough for the status of a write the device left unanswered.
    SetupFormWindow(this, {"FM_WPart", "Advanced \\ WLAN Partition", 350, 176});
    Panel1 = Make<TPanel>(this, "Panel1", {8, 8, 334, 100});
    Label1 = Make<TLabel>(Panel1, "Label1", {12, 14, 150, 16}, "Wireless Band");
    CB_Wband = Make<TComboBox>(Panel1, "CB_Wband", {170, 10, 132, 21}, {"IEEE 802.11g", "IEEE 802.11g"});
    CB_Wband->SetStyle(csDropDownList);
    CB_Wband->SetItemIndex(0);
    CB_Wband->SetEnabled(false);
    Label2 = Make<TLabel>(Panel1, "Label2", {12, 44, 150, 16}, "Internal Station Connection");
    CB_statconneta = Make<TCheckBox>(Panel1, "CB_statconneta", {170, 42, 100, 17}, "Enable");
    Label3 = Make<TLabel>(Panel1, "Label3", {12, 72, 150, 16}, "Ethernet to WLAN Access");
    CB_WLANAccessa = Make<TCheckBox>(Panel1, "CB_WLANAccessa", {170, 70, 100, 17}, "Enable");
    BT_Apply = Make<TButton>(this, "BT_Apply", {96, 118, 75, 25}, "Apply");
    BT_Cancel = Make<TButton>(this, "BT_Cancel", {180, 118, 75, 25}, "Cancel");
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");

    BT_Apply->OnClick = [this](TObject *s) { BT_ApplyClick(s); };
    BT_Cancel->OnClick = [this](TObject *s) { BT_CancelClick(s); };
    CB_WLANAccessa->OnClick = [this](TObject *s) { CB_WLANAccessaClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
}

void TFM_WPart::FormCreate(TObject *)
{
    GuardCreate(StatusBar1, [this] {
        Req = MakeBinding(
            this,
            {.Items = kPartitionItems, .Label = "WLAN Partition", .Type = MVT_SV, .Mode = BindMode::Sync});
        Req->Associate(0, CB_statconneta);
        Req->Associate(1, CB_WLANAccessa);
        Req->Get();
    });
    ShowReadFailure(StatusBar1, {Req.get()});
}

void TFM_WPart::BT_ApplyClick(TObject *)
{
    if (!Req) {
        StatusBar1->SetSimpleText(gMsgGroupNotRead);
        return;
    }
    // Unread flags would go out as 0/0, which isolates every station: the chain leaves them out
    // and names them.
    Chain.Begin();
    if (Chain.Put(Req.get()) == GroupResult::Written)
        RunRestartCountdown();
    Chain.Show(StatusBar1, Chain.Text("Setting OK!", "Setting Error!"));
}

void TFM_WPart::BT_CancelClick(TObject *)
{
    Close();
}

void TFM_WPart::CB_WLANAccessaClick(TObject *)
{
    // A value shown by the read is the device's, not the user's choice: nothing to confirm.
    if (Req && Req->Busy)
        return;
    if (CB_WLANAccessa->Checked())
        return;
    if (Application->MessageBox(
            "AP will block all multicast/broadcast packets from Ethernet to Wireless, except DHCP's",
            "Warning", MB_OKCANCEL) != IDOK)
        CB_WLANAccessa->SetChecked(true);
}
