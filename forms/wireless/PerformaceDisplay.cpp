// The performance form's display: the rules that the super mode, the b/g mode, the AP mode and
// the data-rate control lay on the other controls, and the lists they fill.
#include "FormGlobals.h"
#include "MainForm.h"
#include "Misc.h"
#include "TFM_Performace.h"

namespace {

// The rates of CB_DRate1 .. CB_DRate12 by group (CCK pair, basic OFDM, other OFDM).
const int kCckPair[] = {2, 3};
const int kBasicOfdm[] = {4, 6, 8};
const int kOtherOfdm[] = {5, 7, 9, 10, 11};

void SelectText(TComboBox *combo, const AnsiString &text)
{
    combo->SetItemIndex(combo->Items()->IndexOf(text));
}

int32_t CapabilityOf(TEdit *TMainForm::*control)
{
    return MainForm ? CapabilityNumber((MainForm->*control)->Text()) : 0;
}

} // namespace

TFM_Performace::Capabilities TFM_Performace::CurrentCapabilities()
{
    return {CapabilityOf(&TMainForm::Ed_Rogue), CapabilityOf(&TMainForm::ED_Turbomode)};
}

void TFM_Performace::ShowDeviceRateControl()
{
    if (m_rateControlRead < 0 || CB_DateStatus->ItemIndex() == m_rateControlRead)
        return;
    CB_DateStatus->SetItemIndex(m_rateControlRead);
    enableRatesByControl();
}

void TFM_Performace::ShowDeviceRate()
{
    const AnsiString rate = Ed_DtRta->Text();
    ShowDeviceValue(CB_DtRta, rate.empty() || rate == "Auto" ? rate : rate + " Mbps");
}

int TFM_Performace::superModeValue() const
{
    const int chosen = CB_SupModea->ItemIndex();
    if (!m_superModeNames || chosen < 0 || chosen >= CB_SupModea->Items()->Count())
        return 0;
    return CapabilityNumber(m_superModeNames->NameToValue(CB_SupModea->Items()->Strings(chosen)));
}

bool TFM_Performace::SuperModeDisabled() const
{
    return superModeValue() == 4;
}

void TFM_Performace::selectSuperModeDisable()
{
    if (m_superModeNames)
        SelectText(CB_SupModea, m_superModeNames->ValueToName("4"));
}

void TFM_Performace::StripMbps(TComboBox *combo, TEdit *edit)
{
    const AnsiString text = combo->Text();
    const bool mbps = text.size() > 3 && text.compare(text.size() - 4, 4, "Mbps") == 0;
    edit->SetText(mbps && text.size() >= 5 ? text.substr(0, text.size() - 5) : text);
}

void TFM_Performace::CB_DtRtaChange(TObject *)
{
    StripMbps(CB_DtRta, Ed_DtRta);
}

void TFM_Performace::FillDataRateList()
{
    static const char *const kAll[] = {"Auto",    "1 Mbps",  "2 Mbps",  "5.5 Mbps", "6 Mbps",
                                       "9 Mbps",  "11 Mbps", "12 Mbps", "18 Mbps",  "24 Mbps",
                                       "36 Mbps", "48 Mbps", "54 Mbps"};
    static const char *const kCck[] = {"Auto", "1 Mbps", "2 Mbps", "5.5 Mbps", "11 Mbps"};
    TStrings *items = CB_DtRta->Items();
    items->Clear();
    if (BgModeRead && bgMode(1))
        for (const char *rate : kCck)
            items->Add(rate);
    else
        for (const char *rate : kAll)
            items->Add(rate);
    ShowDeviceRate();
}

void TFM_Performace::CB_PriorityChange(TObject *)
{
    CB_WMM->SetEnabled(CB_Priority->ItemIndex() != 1);
}

void TFM_Performace::CB_BgModeChange(TObject *)
{
    const bool only11b = bgMode(1);
    // 1. The channels of the super mode chosen.
    if (m_superModeNames) {
        const int super = superModeValue();
        const bool four = m_superModeNames == &gAdSuperModeNames;
        TEdit *list = Ed_ChLista;
        if (four && super == 2)
            list = Ed_StatChLista;
        else if (super == 3)
            list = Ed_DynChLista;
        ChooseChannel(list->Text(), CB_Chana, Ed_Chana->Text());
    }
    // 2. The AP mode's rule.
    const AnsiString mode = CB_APModea->Text();
    const bool bridge = mode == "PtP Bridge" || mode == "PtMP Bridge" || mode == "PtP Without" ||
                        mode == "P2MP Without" || mode.find("Repeater") != AnsiString::npos;
    if (mode == "Access Point") {
        const bool free = SuperModeDisabled() || only11b;
        if (!free) {
            CB_DtRta->SetItemIndex(0);
            CB_DateStatus->SetItemIndex(0);
        }
        CB_DtRta->SetEnabled(free);
        CB_DateStatus->SetEnabled(free);
    } else if (bridge) {
        const bool free = SuperModeDisabled() || only11b;
        if (!free)
            CB_DtRta->SetItemIndex(0);
        CB_DtRta->SetEnabled(free);
        CB_DateStatus->SetEnabled(false);
        CB_DateStatus->SetItemIndex(0);
    }
    // 3.
    Ed_BeInta->SetMaxLength(4);
    Ed_DTIMa->SetMaxLength(3);
    Ed_FragLena->SetMaxLength(4);
    Ed_RTSa->SetMaxLength(4);
    // 4.
    enableDataRateCombos();
    if (DataRateControl())
        CB_DateStatusChange(this);
    // 5. The b/g mode.
    if (!only11b) {
        CB_SupModea->SetEnabled(true);
        for (int i = 4; i < 12; ++i) {
            CB_DRate[static_cast<std::size_t>(i)]->SetVisible(true);
            La_DRate[static_cast<std::size_t>(i)]->SetVisible(true);
        }
        CB_Preamble->SetEnabled(true);
        const int32_t turbo = CapabilityOf(&TMainForm::ED_Turbomode);
        if (turbo != 0 && CapabilityOf(&TMainForm::Ed_Rogue) == 0) {
            if (!SuperModeDisabled()) {
                CB_DtRta->SetItemIndex(0);
                CB_DtRta->SetEnabled(false);
                CB_DateStatus->SetItemIndex(0);
                CB_DateStatus->SetEnabled(false);
                CB_DateStatusChange(this);
            } else {
                CB_DtRta->SetEnabled(CB_DateStatus->ItemIndex() == 0);
            }
        } else if (turbo == 0) {
            if (CB_SuperMode_jp->Text() == "Enable") {
                CB_DtRta->SetItemIndex(0);
                CB_DtRta->SetEnabled(false);
            } else if (CB_SuperMode_jp->Text() == "Disable") {
                CB_DtRta->SetEnabled(true);
            }
        }
    } else {
        SelectText(CB_Preamble, "Long Only");
        CB_Preamble->SetEnabled(false);
        // 11b only leaves no turbo mode: "Disable" by its value, whatever its place in the list.
        selectSuperModeDisable();
        CB_SupModea->SetEnabled(false);
        for (int i = 4; i < 12; ++i) {
            CB_DRate[static_cast<std::size_t>(i)]->SetVisible(false);
            La_DRate[static_cast<std::size_t>(i)]->SetVisible(false);
        }
    }
    // 6.
    if (!SuperModeDisabled()) {
        CB_DtRta->SetItemIndex(0);
        CB_DtRta->SetEnabled(false);
    } else {
        CB_DtRta->SetEnabled(CB_DateStatus->ItemIndex() == 0);
    }
    // 7.
    CB_BgModeClick(this);
    FillDataRateList();
}

void TFM_Performace::CB_SupModeaChange(TObject *)
{
    CB_BgModeChange(this);
    if (!SuperModeDisabled()) {
        CB_DtRta->SetItemIndex(0);
        CB_DtRta->SetEnabled(false);
    } else if (CB_DateStatus->ItemIndex() == 0) {
        CB_DtRta->SetEnabled(true);
    }
    if (CapabilityOf(&TMainForm::NewMultiSupport) == 1 && CB_Multenable->ItemIndex() == 1 &&
        m_superModeNames && CB_SupModea->ItemIndex() >= 0 && !SuperModeDisabled())
        Application->MessageBox(
            "If Super G is not \"Disable\",\nThe Multi-SSID should be set to \"Disable\".", "Warning", MB_OK);
}

void TFM_Performace::setRateEntries(int rate, bool withBasic)
{
    TComboBox *combo = CB_DRate[static_cast<std::size_t>(rate)];
    const AnsiString chosen = combo->Text();
    TStrings *items = combo->Items();
    if (items->Count() == (withBasic ? 3 : 2))
        return;
    items->Clear();
    items->Add("Disable");
    items->Add("Enable");
    if (withBasic)
        items->Add("Basic");
    SelectText(combo, chosen);
}

void TFM_Performace::selectRate(int rate, const char *text, bool onlyWhenNone)
{
    TComboBox *combo = CB_DRate[static_cast<std::size_t>(rate)];
    if (onlyWhenNone && combo->ItemIndex() >= 0)
        return;
    SelectText(combo, text);
}

void TFM_Performace::FillDataRateControlLists()
{
    if (!SuperModeDisabled())
        return;
    // A group held at "Basic" offers it and cannot be changed; the others follow the control.
    const bool control = CB_DateStatus->ItemIndex() == 1;
    auto lists = [&](const auto &rates, bool basic) {
        for (int r : rates) {
            setRateEntries(r, basic);
            CB_DRate[static_cast<std::size_t>(r)]->SetEnabled(!basic && control && RateRowsRead());
        }
    };
    if (bgMode(0)) {
        lists(kBasicOfdm, true);
        lists(kCckPair, true);
    } else if (bgMode(1)) {
        lists(kBasicOfdm, false);
        lists(kCckPair, false);
    } else if (bgMode(2)) {
        lists(kBasicOfdm, false);
        lists(kCckPair, true);
    }
}

void TFM_Performace::CB_BgModeClick(TObject *)
{
    if (!SuperModeDisabled())
        return;
    FillDataRateControlLists();
    if (bgMode(0)) {
        for (int r : kBasicOfdm)
            selectRate(r, "Basic");
        for (int r : kCckPair)
            selectRate(r, "Basic");
        for (int r : kOtherOfdm)
            selectRate(r, "Enable");
    } else if (bgMode(1)) {
        for (int r : kBasicOfdm)
            selectRate(r, "Disable");
        for (int r : kCckPair)
            selectRate(r, "Enable", true);
        for (int r : kOtherOfdm)
            selectRate(r, "Disable");
    } else if (bgMode(2)) {
        for (int r : kBasicOfdm)
            selectRate(r, "Enable", true);
        for (int r : kCckPair)
            selectRate(r, "Basic");
        for (int r : kOtherOfdm)
            selectRate(r, "Enable");
    }
}

bool TFM_Performace::RateRowsRead() const
{
    return DataRateTableReq && DataRateTableReq->WasRead();
}

void TFM_Performace::enableDataRateCombos()
{
    const bool on = CB_DateStatus->Enabled() && RateRowsRead();
    for (int i = 0; i < 12; ++i)
        CB_DRate[static_cast<std::size_t>(i)]->SetEnabled(on);
    BT_RDateRate->SetEnabled(on);
}

void TFM_Performace::enableRatesByControl()
{
    // Rows not read are not written: nothing of them is editable.
    const bool control = CB_DateStatus->ItemIndex() != 0 && RateRowsRead();
    CB_DRate[0]->SetEnabled(false);
    CB_DRate[1]->SetEnabled(false);
    for (int r : kCckPair)
        CB_DRate[static_cast<std::size_t>(r)]->SetEnabled(control && bgMode(1));
    for (int r : kBasicOfdm)
        CB_DRate[static_cast<std::size_t>(r)]->SetEnabled(control && !bgMode(0));
    for (int r : kOtherOfdm)
        CB_DRate[static_cast<std::size_t>(r)]->SetEnabled(control);
    BT_RDateRate->SetEnabled(control);
}

void TFM_Performace::CB_DateStatusChange(TObject *)
{
    enableRatesByControl();
    if (CB_DateStatus->ItemIndex() == 0) {
        if (CB_APModea->ItemIndex() == 0 && CB_SupModea->Text().find("Disable") != AnsiString::npos)
            CB_DtRta->SetEnabled(true);
        return;
    }
    CB_DtRta->SetItemIndex(0);
    CB_DtRta->SetEnabled(false);
}
