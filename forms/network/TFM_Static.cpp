#include "TFM_Static.h"

#include "FormGlobals.h"
#include "ShellTexts.h"

namespace {

using KvAccess::ReadOnly;
using KvSyntax::Counter;
using KvSyntax::Integer;

// The rates are percentages; every count carries the counter syntax, so a count above 2^31
// shows as the unsigned number it is.
const FormItemTable kRadioCounters = {
    {"4.3.1.1.1.1", "TrSuccessRate", Integer, ReadOnly},
    {"4.3.1.1.2.1", "TrRetryRate", Integer, ReadOnly},
    {"4.3.1.1.3.1", "RxSuccessRate", Integer, ReadOnly},
    {"4.3.1.1.4.1", "RxDuplicateRate", Integer, ReadOnly},
    {"4.3.1.1.5.1", "RTSSuccessCount", Counter, ReadOnly},
    {"4.3.1.1.6.1", "RTSFailureCount", Counter, ReadOnly},
    {"4.3.1.1.7.1", "TrFrameCount", Counter, ReadOnly},
    {"4.3.1.1.8.1", "MuticastTrFrameCount", Counter, ReadOnly},
    {"4.3.1.1.9.1", "TrErrorCount", Counter, ReadOnly},
    {"4.3.1.1.10.1", "TrTotalRetryCount", Counter, ReadOnly},
    {"4.3.1.1.11.1", "TrMutiRetryCount", Counter, ReadOnly},
    {"4.3.1.1.12.1", "RxFrameCount", Counter, ReadOnly},
    {"4.3.1.1.13.1", "MuticastRxFrameCount", Counter, ReadOnly},
    {"4.3.1.1.14.1", "RxFrameFCSErrorCount", Counter, ReadOnly},
    {"4.3.1.1.15.1", "RxFrameDulicateCount", Counter, ReadOnly},
    {"4.3.1.1.16.1", "AckRxFailureCount", Counter, ReadOnly},
    {"4.3.1.1.17.1", "WEPExcludedFrameCount", Counter, ReadOnly},
    {"4.3.1.1.18.1", "WEPICVErrorCount", Counter, ReadOnly},
    {"4.3.1.1.19.1", "stTransmitedByteCount", Counter, ReadOnly},
    {"4.3.1.1.20.1", "stReceivedByteCount", Counter, ReadOnly},
};

struct CounterRow {
    TEdit *TFM_Static::*Edit;
    const char *EditName;
    const char *Label;
    int Group; // 0 to 4
    bool Percent;
};

// In item order.
const CounterRow kRows[] = {
    {&TFM_Static::Ed_TranSuRata, "Ed_TranSuRata", "Transmit Success Rate", 0, true},
    {&TFM_Static::Ed_TranReRata, "Ed_TranReRata", "Transmit Retry Rate", 0, true},
    {&TFM_Static::Ed_RcvSuRata, "Ed_RcvSuRata", "Receive Success Rate", 0, true},
    {&TFM_Static::Ed_RcvDuRata, "Ed_RcvDuRata", "Receive Duplicate Rate", 0, true},
    {&TFM_Static::Ed_RTSSuCnta, "Ed_RTSSuCnta", "RTS Success Count", 0, false},
    {&TFM_Static::Ed_RTSFaCnta, "Ed_RTSFaCnta", "RTS Failure Count", 0, false},
    {&TFM_Static::Ed_TranFrCnta, "Ed_TranFrCnta", "Transmitted Frame Count", 1, false},
    {&TFM_Static::Ed_McastTranFrCnta, "Ed_McastTranFrCnta", "Multicast Transmitted Frame Count", 1, false},
    {&TFM_Static::Ed_TranErrCnta, "Ed_TranErrCnta", "Transmitted Error Count", 1, false},
    {&TFM_Static::Ed_TranTtlRtyCnta, "Ed_TranTtlRtyCnta", "Transmitted Total Retry Count ", 1, false},
    {&TFM_Static::Ed_TranMulRtyCnta, "Ed_TranMulRtyCnta", "Transmitted Multiple Retry Count ", 1, false},
    {&TFM_Static::Ed_RcvFrmCnta, "Ed_RcvFrmCnta", "Received Frame Count", 2, false},
    {&TFM_Static::Ed_MRcvFrmCnta, "Ed_MRcvFrmCnta", "Multicast Received Frame Count", 2, false},
    {&TFM_Static::Ed_RcvFrmErrCnta, "Ed_RcvFrmErrCnta", "Received Frame FCS Error Count ", 2, false},
    {&TFM_Static::Ed_RcvFrmDupCnta, "Ed_RcvFrmDupCnta", "Received Frame Duplicate Count ", 2, false},
    {&TFM_Static::Ed_AckRcvfCnta, "Ed_AckRcvfCnta", "Ack Rcv failure Count ", 2, false},
    {&TFM_Static::Ed_WEPEFrmCnta, "Ed_WEPEFrmCnta", "WEP Excluded Frame Count", 3, false},
    {&TFM_Static::Ed_WEPIErrCnta, "Ed_WEPIErrCnta", "WEP ICV Error Count", 3, false},
    {&TFM_Static::Ed_TranBytesCnta, "Ed_TranBytesCnta", "Transmitted Bytes Count", 4, false},
    {&TFM_Static::Ed_RecBytesCnta, "Ed_RecBytesCnta", "Received Bytes Count ", 4, false},
};

constexpr int kRowHeight = 22;

} // namespace

TFM_Static::TFM_Static(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Static", "Status \\ Stats", 728, 462});
    PC_Static = Make<TPageControl>(this, "PC_Static", {8, 8, 712, 424});
    TabSheetA = new TTabSheet(this); // owned by the form, shown by the page control
    TabSheetA->SetName("TabSheetA");
    TabSheetA->SetPageControl(PC_Static);

    // Left: throughput and bytes; right: transmitted, received and WEP frames.
    const auto height = [](int rows) { return 28 + rows * kRowHeight; };
    const Bounds groups[] = {{8, 8, 340, height(6)},
                             {356, 8, 340, height(5)},
                             {356, 14 + height(5), 340, height(5)},
                             {356, 20 + 2 * height(5), 340, height(2)},
                             {8, 14 + height(6), 340, height(2)}};
    const char *const names[] = {"GroupBox1", "GroupBox2", "GroupBox3", "GroupBox4", "GroupBox5"};
    const char *const captions[] = {"ThroughPut ", "Transmitted Frame Count ", "Received Frame Count",
                                    "Wep Frame Error Count", "ThroughPut "};
    TGroupBox **boxes[] = {&GroupBox1, &GroupBox2, &GroupBox3, &GroupBox4, &GroupBox5};
    for (int g = 0; g < 5; ++g)
        *boxes[g] = Make<TGroupBox>(TabSheetA, names[g], groups[g], captions[g]);

    int rowInGroup[5] = {};
    int n = 0;
    for (const CounterRow &row : kRows) {
        TGroupBox *box = *boxes[row.Group];
        const int top = 20 + kRowHeight * rowInGroup[row.Group]++;
        const std::string labelName = "Label" + std::to_string(++n);
        Make<TLabel>(box, labelName.c_str(), {10, top + 2, 216, 16}, row.Label);
        TEdit *edit = Make<TEdit>(box, row.EditName, {228, top, 84, 21});
        edit->SetReadOnly(true);
        edit->SetBorderStyle(bsNone);
        this->*row.Edit = edit;
        if (row.Percent)
            Make<TLabel>(box, ("Label" + std::to_string(n) + "p").c_str(), {316, top + 2, 16, 16}, "%");
    }
    Bt_RfrshA = Make<TButton>(TabSheetA, "Bt_RfrshA", {140, 276, 75, 25}, "Refresh");
    // What each read came to: counters that could not be read say so.
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    Bt_RfrshA->OnClick = [this](TObject *s) { Bt_RfrshAClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    m_guard.Watch(Req);
    m_guard.Install(this);
}

void TFM_Static::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        TabSheetA->SetText(gBand11gName);
        Req = MakeBinding(
            this, {.Items = kRadioCounters, .Type = MVT_SV, .Mode = BindMode::Async, .Log = StatusBar});
        for (int i = 0; i < kRadioCounters.Count(); ++i)
            Req->AssociateEdits(i, "%s", this->*kRows[i].Edit);
        Req->Get();
    });
}

void TFM_Static::Bt_RfrshAClick(TObject *)
{
    if (Req && !Req->Busy)
        Req->Get();
}
