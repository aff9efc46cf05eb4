// The performance form's Apply, Refresh and data-rate reset, and the data-rate table's rows.
#include "Exception.h"
#include "FormGlobals.h"
#include "KvSNMPReadBatch.h"
#include "ShellTexts.h"
#include "TFM_Performace.h"

#include <algorithm>
#include <optional>

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

WriteResult TFM_Performace::writeRateRows(const RateStatuses &statuses)
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
        // Each row as chosen; the list shows what was sent, not read again.
        const WriteResult result = WriteGroupAs(*DataRateTableReq, {.After = AfterSet::KeepShown});
        if (result != WriteResult::Written)
            return result;
    }
    return WriteResult::Written;
}

bool TFM_Performace::CheckRanges()
{
    for (const RangeCheck &check : kApplyChecks) {
        TEdit *edit = this->*check.Edit;
        if (!rangeOk(edit, check.Low, check.High, true)) {
            Application->MessageBox(check.Message, "Error", MB_OK);
            edit->SetText("");
            return false;
        }
    }
    return true;
}

void TFM_Performace::Bt_Apply_aClick(TObject *)
{
    if (!RadioReq || !ChannelReq)
        return;
    // A group that was not read is neither checked nor written: it is named instead.
    if (RadioReq->WasRead() && !CheckRanges())
        return;
    StripMbps(CB_DtRta, Ed_DtRta);
    StripMbps(CB_Chana, Ed_Chana);
    Chain.Begin();
    WriteGroups();
    WriteRateControl();
    // Only the lists whose groups went out stop offering a value the device no longer holds.
    ForgetKeptValues(Chain, {{CB_DtRta, RadioReq.get()}, {CB_Chana, ChannelReq.get()}});
    // Nothing written, nothing to restart for and no success to tell.
    if (!Chain.Stopped() && Chain.WroteAny())
        RunRestartCountdown();
    Chain.Show(StatusBar, Chain.Text(gMsg11gSetSuccess, gMsg11gSetError));
}

void TFM_Performace::WriteGroups()
{
    // read: the optional row's first read succeeded. A row the device answered it lacks is
    // left out unnamed; one whose answer was lost is named as not written.
    auto put = [this](const std::unique_ptr<FormBinding> &req, bool read = true) {
        Chain.Put(UnlessLacking(req, read));
    };
    // With auto channel scan no channel is written, nor one the list lacks (the device keeps it).
    const bool autoScan = CB_AuSc->Text() == "Enable";
    if (autoScan)
        CB_Chana->SetEnabled(false);
    // A refused channel stops only IGMP snooping: the radio's other groups still go out, named
    // as written after it.
    if (!autoScan && !ShowsKeptValue(CB_Chana))
        Chain.Put(ChannelReq.get(), {.Failure = OnFailure::GoOn});
    // A data rate the list lacks stays as the device holds it.
    std::optional<AccessPatch> rateKept;
    if (ShowsKeptValue(CB_DtRta))
        rateKept.emplace(*RadioReq, std::initializer_list<std::pair<int, uint32_t>>{{1, KvAccess::Invalid}});
    put(BgModeReq, BgModeRead);
    put(SuperModeReq);
    put(RadioReq);
    put(XRReq, XRRead);
    put(GonlyReq, GonlyRead);
    put(WMMReq, WMMRead);
    put(PreambleReq, PreambleRead);
    put(AntennaReq, AntennaRead);
    Chain.EndGoingOn();
    put(IgmpReq, IgmpRead);
}

void TFM_Performace::WriteRateControl()
{
    if (!Chain.GoesOn())
        return;
    if (!DataRateControl() || !DataRateStatusReq || !DataRateTableReq) {
        // Support left unanswered may well be there: its rates were neither read nor written
        // (the chain names the support, unread, as not written).
        if (DataRateSupportReq && DataRateSupportReq->FailedUnanswered())
            Chain.Put(DataRateSupportReq.get());
        return;
    }
    CB_DateStatusChange(this);
    Chain.Put(DataRateStatusReq.get());
    // One group however many rows, named once when all went out; written only as read: without
    // the table nothing of it goes back.
    Chain.PutOwn(DataRateTableReq.get(), [this] {
        if (!RateRowsRead() || DataRateTableReq->Busy)
            return WriteResult::Unread;
        RateStatuses statuses;
        for (std::size_t i = 0; i < statuses.size(); ++i)
            if (CB_DRate[i]->ItemIndex() >= 0)
                statuses[i] = CB_DRate[i]->Text();
        return writeRateRows(statuses);
    });
}

void TFM_Performace::Bt_Refresh_aClick(TObject *)
{
    if (!RadioReq)
        return;
    const KvSNMPReadBatch reads;
    if (ReopenIfIncomplete())
        return;
    setDataRateButtons(false);
    try {
        auto reread = [](const std::unique_ptr<FormBinding> &req, bool shown) {
            if (req && shown)
                req->Get();
        };
        // Every group Apply writes: one left out would keep the user's discarded choice.
        reread(GonlyReq, GonlyRead);
        reread(XRReq, XRRead);
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
        if (!DataRateTableReq || !DataRateTableReq->Busy)
            ShowUnread();
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
        ShowUnread();
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
    ShowUnread();
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
    // The reset's own failure: no earlier group to name, and no success text when it works.
    Chain.Begin();
    if (Chain.PutOwn(DataRateTableReq.get(), [&] { return writeRateRows(statuses); }) == GroupResult::Failed)
        StatusBar->SetSimpleText(Chain.Text(AnsiString(), gMsg11gSetError));
}
