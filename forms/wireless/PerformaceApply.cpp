// The performance form's Apply, Refresh and data-rate reset, and the data-rate table's rows.
#include "Exception.h"
#include "FormGlobals.h"
#include "KvSNMPReadBatch.h"
#include "ShellTexts.h"
#include "TFM_Performace.h"

#include <algorithm>

namespace {

struct RangeCheck {
    TEdit *TFM_Performace::*Edit;
    int Low;
    int High;
    const char *Message;
};

const RangeCheck kApplyChecks[] = {
    {&TFM_Performace::Ed_BeInta, 20, 1000, "Please input a number between 20 and 1000."},
    {&TFM_Performace::Ed_DTIMa, 1, 255, "Please input a number between 1 and 255."},
    {&TFM_Performace::Ed_FragLena, 256, 2346, "Please input a number between 256 and 2346."},
    {&TFM_Performace::Ed_RTSa, 256, 2346, "Please input a number between 256 and 2346."},
};

// Default rate statuses by b/g mode (11g only, 11b only, mixed), in CB_DRate1 .. CB_DRate12 order.
using RateStatuses = std::array<AnsiString, 12>;
const RateStatuses kReset11g = {"Basic", "Basic",  "Basic", "Basic",  "Basic",  "Enable",
                                "Basic", "Enable", "Basic", "Enable", "Enable", "Enable"};
const RateStatuses kReset11b = {"Basic",   "Basic",   "Enable",  "Enable",  "Disable", "Disable",
                                "Disable", "Disable", "Disable", "Disable", "Disable", "Disable"};
const RateStatuses kResetMixed = {"Basic",  "Basic",  "Basic",  "Basic",  "Enable", "Enable",
                                  "Enable", "Enable", "Enable", "Enable", "Enable", "Enable"};

AnsiString ExceptionText(const std::exception &e)
{
    const auto *framework = dynamic_cast<const Exception *>(&e);
    return framework ? framework->Message : AnsiString(e.what());
}

} // namespace

void TFM_Performace::setDataRateButtons(bool enabled)
{
    Bt_Refresh_a->SetEnabled(enabled);
    Bt_Apply_a->SetEnabled(enabled);
}

bool TFM_Performace::writeRateRows(const RateStatuses &statuses)
{
    // Only rows the device has, one write after the other, each awaited.
    TListItems *rows = ListView1->Items();
    const int count = std::min(12, rows->Count());
    AccessPatch statusWritable(*DataRateTableReq, {{1, KvAccess::ReadWrite}});
    struct SyncWrites {
        FormBinding &table;
        ~SyncWrites() { table.Mode = static_cast<uint8_t>(BindMode::Async); }
    } sync{*DataRateTableReq};
    DataRateTableReq->Mode = static_cast<uint8_t>(BindMode::Sync);
    for (int i = 0; i < count; ++i) {
        TListItem *row = rows->Item(i);
        ListView1->SetSelected(row);
        // No status chosen keeps the one the device reported.
        if (!statuses[static_cast<std::size_t>(i)].empty())
            row->SubItems()->SetString(0, statuses[static_cast<std::size_t>(i)]);
        if (DataRateTableReq->Write(false, true) != WriteResult::Written)
            return false;
    }
    return true;
}

void TFM_Performace::Bt_Apply_aClick(TObject *)
{
    if (!RadioReq || !ChannelReq)
        return;
    for (const RangeCheck &check : kApplyChecks) {
        TEdit *edit = this->*check.Edit;
        if (!rangeOk(edit, check.Low, check.High, true)) {
            Application->MessageBox(check.Message, "Error", MB_OK);
            edit->SetText("");
            return;
        }
    }
    const bool autoScan = CB_AuSc->Text() == "Enable";
    // Groups that always go back must have been read.
    if (!RadioReq->WasRead() || (SuperModeReq && !SuperModeReq->WasRead()) ||
        (!autoScan && !ChannelReq->WasRead())) {
        StatusBar->SetSimpleText(gMsgGroupNotRead);
        return;
    }
    StripMbps(CB_DtRta, Ed_DtRta);
    StripMbps(CB_Chana, Ed_Chana);

    // With auto channel scan no channel is written, which is no failure.
    bool channelOk = true;
    if (autoScan)
        CB_Chana->SetEnabled(false);
    else
        channelOk = ChannelReq->Write(true, true) == WriteResult::Written;

    // A group the device did not answer for is skipped and counts as written.
    auto optional = [](const std::unique_ptr<FormBinding> &req) {
        return !req || !req->WasRead() || req->Write(true, true) == WriteResult::Written;
    };
    auto required = [](const std::unique_ptr<FormBinding> &req) {
        return !req || req->Write(true, true) == WriteResult::Written;
    };
    bool ok = optional(BgModeReq) && required(SuperModeReq) && required(RadioReq) && optional(XRReq) &&
              optional(GonlyReq) && optional(WMMReq) && optional(PreambleReq) && optional(AntennaReq) &&
              (!channelOk || optional(IgmpReq));
    ok = ok && channelOk;

    std::vector<AnsiString> skipped;
    if (ok && DataRateControl() && DataRateStatusReq && DataRateTableReq) {
        CB_DateStatusChange(this);
        ok = optional(DataRateStatusReq);
        // Rows are written only as read: without the table nothing of it goes back.
        if (ok && RateRowsRead() && !DataRateTableReq->Busy) {
            RateStatuses statuses;
            for (std::size_t i = 0; i < statuses.size(); ++i)
                if (CB_DRate[i]->ItemIndex() >= 0)
                    statuses[i] = CB_DRate[i]->Text();
            ok = writeRateRows(statuses);
        } else if (ok) {
            skipped.push_back(DataRateTableReq->Request.VarList.GetItem(1)->Name);
        }
    }
    if (!ok) {
        StatusBar->SetSimpleText(gMsg11gSetError);
        return;
    }
    RunRestartCountdown();
    StatusBar->SetSimpleText(NotWrittenText(gMsg11gSetSuccess, skipped));
}

void TFM_Performace::Bt_Refresh_aClick(TObject *)
{
    if (!RadioReq)
        return;
    const KvSNMPReadBatch reads;
    setDataRateButtons(false);
    try {
        auto reread = [](const std::unique_ptr<FormBinding> &req, bool shown) {
            if (req && shown)
                req->Get();
        };
        reread(GonlyReq, GonlyRead);
        reread(RadioReq, true);
        reread(PreambleReq, PreambleRead);
        reread(WMMReq, WMMRead);
        reread(BgModeReq, BgModeRead);
        reread(IgmpReq, IgmpRead);
        reread(AntennaReq, AntennaRead);
        reread(SuperModeReq, true);
        reread(ChannelReq, true);
        if (DataRateControl() && DataRateStatusReq && DataRateTableReq) {
            DataRateStatusReq->Get();
            m_rateControlRead = DataRateStatusReq->WasRead() ? CB_DateStatus->ItemIndex() : -1;
            // OnDataRateTableGot gives the buttons back; a walk that never started does now.
            DataRateTableReq->Get();
            if (!DataRateTableReq->Busy)
                setDataRateButtons(true);
        } else {
            setDataRateButtons(true);
        }
        CB_BgModeChange(this);
        if (SuperModeDisabled()) {
            if (CB_DateStatus->ItemIndex() == 0)
                CB_DtRta->SetEnabled(true);
        } else {
            CB_DtRta->SetItemIndex(0);
            CB_DtRta->SetEnabled(false);
        }
        ShowDeviceRateControl();
        ShowDeviceRate();
    } catch (const std::exception &e) {
        if (!DataRateTableReq || !DataRateTableReq->Busy)
            setDataRateButtons(true);
        StatusBar->SetSimpleText(ExceptionText(e));
    }
}

void TFM_Performace::OnDataRateTableGot(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    // Refresh and Apply come back after a failed read too.
    setDataRateButtons(true);
    if (Status && Status->Code != 0) {
        StatusBar->SetSimpleText(Status->Message);
        return;
    }
    TListItems *rows = ListView1->Items();
    const int count = std::min(12, rows->Count());
    for (int i = 0; i < count; ++i) {
        const TListItem *row = rows->Item(i);
        TComboBox *combo = CB_DRate[static_cast<std::size_t>(i)];
        combo->SetItemIndex(
            row->SubItems()->Count() > 0 ? combo->Items()->IndexOf(row->SubItems()->Strings(0)) : -1);
    }
    // The rows can be edited now, as the control status and b/g mode allow.
    enableRatesByControl();
    FillDataRateControlLists();
    StatusBar->SetSimpleText("Get OK!");
}

void TFM_Performace::BT_RDateRateClick(TObject *)
{
    if (Application->MessageBox("It will Reset Data Rate Settings to Default Status! Continue?", "Warning",
                                MB_OKCANCEL) != IDOK)
        return;
    if (!DataRateTableReq || !DataRateTableReq->WasRead() || DataRateTableReq->Busy) {
        StatusBar->SetSimpleText(gMsgGroupNotRead);
        return;
    }
    const RateStatuses &statuses = bgMode(0) ? kReset11g : (bgMode(1) ? kReset11b : kResetMixed);
    for (std::size_t i = 0; i < statuses.size(); ++i)
        CB_DRate[i]->SetItemIndex(CB_DRate[i]->Items()->IndexOf(statuses[i]));
    if (!writeRateRows(statuses))
        StatusBar->SetSimpleText(gMsg11gSetError);
}
