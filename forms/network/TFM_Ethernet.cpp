#include "TFM_Ethernet.h"

#include "FormGlobals.h"

namespace {

// Counter syntax: a count above 2^31 shows as the unsigned number it is.
const FormItemTable kEthernetCounters = {
    {"4.3.2.1.1", "dot3TransmittedFrameCount", KvSyntax::Counter, KvAccess::ReadOnly},
    {"4.3.2.1.2", "dot3ReceivedFrameCount", KvSyntax::Counter, KvAccess::ReadOnly},
    {"4.3.2.1.3", "dot3TransmittedByteCount", KvSyntax::Counter, KvAccess::ReadOnly},
    {"4.3.2.1.4", "dot3ReceivedByteCount", KvSyntax::Counter, KvAccess::ReadOnly},
};

} // namespace

TFM_Ethernet::TFM_Ethernet(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Ethernet", "Status \\ Stats \\ Ethernet", 360, 236});
    GroupBox1 = Make<TGroupBox>(this, "GroupBox1", {8, 8, 344, 80}, "Transmitted Count ");
    Label1 = Make<TLabel>(GroupBox1, "Label1", {12, 24, 180, 16}, "Transmitted Frame Count :");
    Ed_TxTfc = Make<TEdit>(GroupBox1, "Ed_TxTfc", {200, 22, 130, 21});
    Label2 = Make<TLabel>(GroupBox1, "Label2", {12, 52, 180, 16}, "Transmitted Bytes Count :");
    Ed_TxTbc = Make<TEdit>(GroupBox1, "Ed_TxTbc", {200, 50, 130, 21});
    GroupBox2 = Make<TGroupBox>(this, "GroupBox2", {8, 94, 344, 80}, "Received Count ");
    Label3 = Make<TLabel>(GroupBox2, "Label3", {12, 24, 180, 16}, "Received Frame Count :");
    Ed_RxRfc = Make<TEdit>(GroupBox2, "Ed_RxRfc", {200, 22, 130, 21});
    Label4 = Make<TLabel>(GroupBox2, "Label4", {12, 52, 180, 16}, "Received Bytes Count :");
    Ed_RxRbc = Make<TEdit>(GroupBox2, "Ed_RxRbc", {200, 50, 130, 21});
    for (TEdit *e : {Ed_TxTfc, Ed_TxTbc, Ed_RxRfc, Ed_RxRbc}) {
        e->SetReadOnly(true);
        e->SetBorderStyle(bsNone);
    }
    Bt_RfrshE = Make<TButton>(this, "Bt_RfrshE", {142, 182, 75, 25}, "Refresh");
    // What each read came to: counters that could not be read say so.
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    Bt_RfrshE->OnClick = [this](TObject *s) { Bt_RfrshEClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    m_guard.Watch(Req);
    m_guard.Install(this);
}

void TFM_Ethernet::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        Req = MakeBinding(
            this, {.Items = kEthernetCounters, .Type = SVT_SV, .Mode = BindMode::Async, .Log = StatusBar});
        Req->AssociateEdits(0, "%s", Ed_TxTfc);
        Req->AssociateEdits(1, "%s", Ed_RxRfc);
        Req->AssociateEdits(2, "%s", Ed_TxTbc);
        Req->AssociateEdits(3, "%s", Ed_RxRbc);
        Req->Get();
    });
}

void TFM_Ethernet::Bt_RfrshEClick(TObject *)
{
    if (Req && !Req->Busy)
        Req->Get();
}
