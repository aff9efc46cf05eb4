#include "TFM_Group.h"

#include "FieldNumber.h"
#include "FormGlobals.h"
#include "KvSNMPReadBatch.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "Misc.h"
#include "WriteChain.h"

namespace {

const FormItemTable kAPModeItems = {
    {"2.1.1.1.1", "adAPMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdAPModeNames2},
};

const FormItemTable kGroupItems = {
    {"2.6.1", "LoadBalance", KvSyntax::Integer, KvAccess::ReadWrite, &gLoadBalanceNames},
    {"2.6.2", "UserLimit(0-64)", KvSyntax::Integer, KvAccess::ReadWrite},
    {"2.6.4", "LinkIntegrate", KvSyntax::Integer, KvAccess::ReadWrite, &gLinkIntegrateNames},
};

const FormItemTable kLinkStatusItems = {
    {"2.6.5", "EthernetLinkStatus", KvSyntax::DisplayStr, KvAccess::ReadOnly},
};

bool LinkStatusSupported()
{
    return MainForm == nullptr || CapabilityNumber(MainForm->Ed_LinkStatusNotSupport->Text()) != 1;
}

} // namespace

TFM_Group::TFM_Group(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Group", "Advanced \\ Grouping", 340, 214});
    Label5 = Make<TLabel>(this, "Label5", {12, 8, 200, 16}, "AP Grouping Settings:");
    Panel1 = Make<TPanel>(this, "Panel1", {8, 28, 324, 124});
    Label1 = Make<TLabel>(Panel1, "Label1", {12, 12, 150, 16}, "Load Balance");
    CB_LoadB = Make<TComboBox>(Panel1, "CB_LoadB", {176, 8, 132, 21});
    Label2 = Make<TLabel>(Panel1, "Label2", {12, 40, 150, 16}, "User Limit (0-64)");
    Ed_UsrL = Make<TEdit>(Panel1, "Ed_UsrL", {176, 36, 132, 21});
    Label3 = Make<TLabel>(Panel1, "Label3", {12, 68, 150, 16}, "Link Integrity");
    CB_LinkInt = Make<TComboBox>(Panel1, "CB_LinkInt", {176, 64, 132, 21});
    Label4 = Make<TLabel>(Panel1, "Label4", {12, 96, 150, 16}, "Ethernet Link Status");
    Ed_EthLS = Make<TEdit>(Panel1, "Ed_EthLS", {176, 92, 132, 21});
    Ed_EthLS->SetReadOnly(true);
    ED_APModeComboBox = Make<TComboBox>(this, "ED_APModeComboBox", {220, 4, 100, 21});
    ED_APModeComboBox->SetVisible(false);
    Bt_Apply = Make<TButton>(this, "Bt_Apply", {36, 162, 75, 25}, "Apply");
    Bt_Refresh = Make<TButton>(this, "Bt_Refresh", {132, 162, 75, 25}, "Refresh");
    Bt_Cancel = Make<TButton>(this, "Bt_Cancel", {228, 162, 75, 25}, "Cancel");
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    Bt_Refresh->OnClick = [this](TObject *s) { Bt_RefreshClick(s); };
    Bt_Cancel->OnClick = [this](TObject *s) { Bt_CancelClick(s); };
    CB_LoadB->OnChange = [this](TObject *s) { CB_LoadBChange(s); };
    ED_APModeComboBox->OnChange = [this](TObject *s) { ED_APModeComboBoxChange(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
}

void TFM_Group::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        APModeReq = MakeBinding(
            this, {.Items = kAPModeItems, .Label = "AP Mode", .Type = MVT_SV, .Mode = BindMode::Sync});
        APModeReq->AssociateCombo(0, ED_APModeComboBox);
        APModeReq->Get();
        GroupReq = MakeBinding(this, {.Items = kGroupItems,
                                      .Label = "AP Grouping Settings",
                                      .Type = SVT_SV,
                                      .Mode = BindMode::Sync,
                                      .Log = StatusBar});
        GroupReq->AssociateCombo(0, CB_LoadB);
        GroupReq->AssociateEdits(1, "%u", Ed_UsrL);
        GroupReq->AssociateCombo(2, CB_LinkInt);
        GroupReq->Get();
        Ed_UsrL->SetMaxLength(2);
        if (LinkStatusSupported()) {
            LinkStatusReq = MakeBinding(this, {.Items = kLinkStatusItems,
                                               .Label = "Ethernet Link Status",
                                               .Type = SVT_SV,
                                               .Mode = BindMode::Sync});
            LinkStatusReq->AssociateEdits(0, "%s", Ed_EthLS);
            LinkStatusReq->Get();
            LinkStatusBound = true;
        } else {
            Label4->SetVisible(false);
            Ed_EthLS->SetVisible(false);
        }
    });
    CB_LoadBChange(CB_LoadB);
    ED_APModeComboBoxChange(ED_APModeComboBox);
    ShowReadFailure(StatusBar, {APModeReq.get(), GroupReq.get(), LinkStatusReq.get()});
}

void TFM_Group::Bt_ApplyClick(TObject *)
{
    // An unread group is not checked: its limit was never the user's.
    if (!GroupReq || !GroupReq->WasRead()) {
        StatusBar->SetSimpleText(GroupReq ? NotWrittenText(AnsiString(), {GroupReq->Label()})
                                          : gMsgGroupNotRead);
        return;
    }
    const int32_t limit = FieldNumber(Ed_UsrL->Text(), -1);
    if (limit < 0 || limit > 64) {
        Application->MessageBox("Please input a number between 0 and 64.", "Error", MB_OK);
        Ed_UsrL->SetText("");
        return;
    }
    // The link status is read-only: there is nothing of it to write.
    Chain.Begin();
    const bool written = Chain.Put(GroupReq.get()) == GroupResult::Written;
    StatusBar->SetSimpleText(Chain.Text("Setting OK!", "Setting Error!"));
    if (written)
        RunRestartCountdown({.RebootDelay = 5});
}

void TFM_Group::Bt_RefreshClick(TObject *)
{
    const KvSNMPReadBatch reads;
    // The AP mode decides what may be changed; the opening may not have read it.
    ReadAgainIfUnread(APModeReq.get());
    if (GroupReq)
        GroupReq->Get();
    if (LinkStatusReq && LinkStatusSupported())
        LinkStatusReq->Get();
    CB_LoadBChange(CB_LoadB);
    ED_APModeComboBoxChange(ED_APModeComboBox);
    ShowReadFailure(StatusBar, {APModeReq.get(), GroupReq.get(), LinkStatusReq.get()});
}

void TFM_Group::Bt_CancelClick(TObject *)
{
    Close();
}

void TFM_Group::CB_LoadBChange(TObject *)
{
    Ed_UsrL->SetEnabled(CB_LoadB->ItemIndex() != 0);
}

void TFM_Group::ED_APModeComboBoxChange(TObject *)
{
    const bool accessPoint = ED_APModeComboBox->ItemIndex() == 0;
    CB_LoadB->SetEnabled(accessPoint);
    CB_LinkInt->SetEnabled(accessPoint);
}
