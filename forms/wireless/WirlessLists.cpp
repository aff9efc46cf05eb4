// Home \ Wireless: the lists that follow the device's capabilities, the AP mode and the
// authentication; which partner, key and server controls are editable; the change handlers.
#include "TFM_Wirless.h"

#include "KeyText.h"
#include "MainForm.h"
#include "Misc.h"
#include "WirlessItems.h"

#include <initializer_list>

using namespace wirless;

namespace {

const AnsiString kEmptyMAC = "000000000000";

bool contains(const AnsiString &text, const char *part)
{
    return text.find(part) != AnsiString::npos;
}

void fill(TComboBox *combo, std::initializer_list<const char *> items)
{
    combo->Items()->Clear();
    for (const char *item : items)
        combo->Items()->Add(item);
}

// Chooses the entry of that text; false (nothing chosen) when there is none.
bool choose(TComboBox *combo, const AnsiString &text)
{
    const int index = combo->Items()->IndexOf(text);
    combo->SetItemIndex(index);
    return index >= 0;
}

void chooseOrFirst(TComboBox *combo, const AnsiString &text)
{
    if (!choose(combo, text))
        combo->SetItemIndex(combo->Items()->Count() > 0 ? 0 : -1);
}

} // namespace

AnsiString gWirelessChannelText;

// ---- what the choices stand for ----------------------------------------------------------

int TFM_Wirless::ModeItem() const
{
    const AnsiString text = ED_APModeTempComboBox->Text();
    if (text == "Access Point")
        return 0;
    if (text == "WDS with AP" || text == "PtP Bridge" || text == "PtP Without")
        return 1;
    if (text == "WDS" || text == "PtMP Bridge" || text == "P2MP Without")
        return 2;
    if (contains(text, "Repeater"))
        return 3;
    if (contains(text, "Client"))
        return 4;
    return -1;
}

int TFM_Wirless::AuthIndex() const
{
    const AnsiString text = Ed_SecAuthaTemp->Text();
    return text.empty() ? -1 : gAdSecAuthenticationNames.IndexOfName(text);
}

int TFM_Wirless::ValidKeySlot() const
{
    static const char *const names[] = {"First", "Second", "Third", "Fourth"};
    const AnsiString text = Ed_SecValKeya->Text();
    for (int i = 0; i < 4; ++i)
        if (text == names[i])
            return i + 1;
    return 0;
}

TEdit *TFM_Wirless::ValidKeyEdit() const
{
    const int slot = ValidKeySlot();
    return slot > 0 ? KeyEdits()[static_cast<std::size_t>(slot - 1)] : nullptr;
}

// ---- AP mode and authentication lists ----------------------------------------------------

void TFM_Wirless::FillModeLists()
{
    const uint32_t v = m_caps.APModes;
    const bool wdsNames = v > 31;
    const bool newNames = m_caps.StringChange == 1;
    TStrings *items = ED_APModeTempComboBox->Items();
    items->Clear();
    if (v & 16)
        items->Add("Access Point");
    if (v & (8 | 4))
        items->Add(wdsNames ? "WDS with AP" : "PtP Bridge");
    if (v & (64 | 32))
        items->Add(wdsNames ? "WDS" : "PtMP Bridge");
    if (v & 2)
        items->Add(newNames ? "Universal Repeater" : "AP Repeater");
    if (v & 1)
        items->Add(newNames ? "Wireless Client" : "AP Client");

    // The device's mode, by value: the repeater and client are listed under either name.
    // The WDS names stand for the multipoint modes only; a point-to-point device's mode is
    // kept under its own name, since choosing a WDS entry would turn it into a multipoint one.
    const AnsiString device = ED_APModeComboBox->Text();
    int chosen = items->IndexOf(device);
    for (int i = 0; chosen < 0 && i < items->Count(); ++i) {
        const AnsiString entry = items->Strings(i);
        if ((contains(device, "Repeater") && contains(entry, "Repeater")) ||
            (contains(device, "Client") && contains(entry, "Client")) ||
            (device == "PtMP Bridge" && entry == "WDS with AP") ||
            (device == "P2MP Without" && entry == "WDS"))
            chosen = i;
    }
    if (chosen >= 0)
        ED_APModeTempComboBox->SetItemIndex(chosen);
    else
        ShowDeviceValue(ED_APModeTempComboBox, device);
    FillAuthenticationList(false);
}

void TFM_Wirless::FillAuthenticationList(bool userChange)
{
    const int item = ModeItem();
    const int rogue = m_caps.Rogue;
    const AnsiString device = Ed_SecAutha->Text();
    const int deviceIndex = Ed_SecAutha->ItemIndex();
    TStrings *items = Ed_SecAuthaTemp->Items();
    items->Clear();
    bool keep = true;   // the device's authentication is shown when listed
    bool exact = false; // and nothing else when it is not
    if (rogue == 1) {
        if (item == 0 || item < 0) {
            for (int i = 0; i < gAdSecAuthenticationNames.Count(); ++i)
                items->Add(gAdSecAuthenticationNames.GetPair(i)->Name);
        } else if (item == 1 || item == 2) {
            fill(Ed_SecAuthaTemp, {"Open System", "Shared Key", "Open System / Shared Key", "WPA-Personal",
                                   "WPA2-Personal", "WPA-Auto-Personal"});
        } else if (item == 3) {
            fill(Ed_SecAuthaTemp, {"Open System", "Shared Key", "WPA-Personal", "WPA2-Personal"});
        } else {
            fill(Ed_SecAuthaTemp, {"Open System", "Shared Key", "WPA-Personal"});
        }
    } else if (rogue == 0) {
        if (item == 0 || item < 0) {
            fill(Ed_SecAuthaTemp,
                 {"Open System", "Shared Key", "Open System / Shared Key", "WPA-Personal", "WPA-Enterprise"});
            if (kv::subString(m_caps.FwVer, 2, 4) == "2.00")
                for (const char *name :
                     {"WPA2-Personal", "WPA2-Enterprise", "WPA-Auto-Personal", "WPA-Auto-Enterprise"})
                    items->Add(name);
            // An authentication this list lacks shows nothing, never "Open System" in its
            // place: Apply would open the network.
            exact = true;
        } else if (item <= 3) {
            fill(Ed_SecAuthaTemp, {"Open System", "Shared Key", "Open System / Shared Key"});
            keep = deviceIndex >= 0 && deviceIndex <= 2;
        } else {
            fill(Ed_SecAuthaTemp, {"Open System", "Shared Key", "WPA-Personal"});
            keep = deviceIndex == 0 || deviceIndex == 1 || deviceIndex == 3;
        }
    }
    // What the device holds and this list lacks is shown as it is and stays as read (Apply
    // leaves it out); only a mode the user chose falls back to the list's first entry.
    if (exact || !userChange)
        ShowDeviceValue(Ed_SecAuthaTemp, device);
    else
        chooseOrFirst(Ed_SecAuthaTemp, keep ? device : AnsiString());

    CB_SSIDBcasta->SetEnabled((rogue == 0 && item >= 0 && item <= 3) ||
                              (rogue == 1 && item >= 0 && item <= 2));
    // The channel: chosen by the device while it scans, never by a client.
    if (item <= 0) {
        CB_AuSc->SetEnabled(true);
        if (userChange && AutoScanRead && AutoScanBinding)
            AutoScanBinding->Get();
        CB_Chana->SetEnabled(!CB_AuSc->Checked());
    } else {
        CB_AuSc->SetChecked(false);
        CB_AuSc->SetEnabled(false);
        CB_Chana->SetEnabled(item != 4);
    }
    FillCipherList(item, userChange);
    if (m_caps.Turbomode == 0)
        FollowSuperMode();
    // A repeater takes its channel and broadcast from the access point it joins.
    if (contains(ED_APModeTempComboBox->Text(), "Repeater")) {
        CB_SSIDBcasta->SetEnabled(false);
        CB_Chana->SetEnabled(false);
    }
    LayOutGroups(item);
}

void TFM_Wirless::FillCipherList(int item, bool userChange)
{
    if (item == 1)
        fill(CipherforPSKBox, {"Auto", "AES"});
    else if (item == 2)
        fill(CipherforPSKBox, {"AES"});
    else
        fill(CipherforPSKBox, {"Auto", "AES", "TKIP"});
    if (userChange)
        chooseOrFirst(CipherforPSKBox, CipherText);
    else
        ShowDeviceValue(CipherforPSKBox,
                        PassPhraseBinding ? ReadValueName(*PassPhraseBinding, kPassCipher) : AnsiString());
}

void TFM_Wirless::FollowSuperMode()
{
    // A turbo mode reads as "Enable"; a super mode not read, as nothing.
    if (!choose(CB_SuperMode_jp, AD_SuperMode->Text()) && AD_SuperMode->ItemIndex() >= 0)
        CB_SuperMode_jp->SetItemIndex(1);
}

void TFM_Wirless::ED_APModeTempComboBoxtestChange(TObject *Sender)
{
    if (!m_multiSSID)
        return;
    // The display names map to the device's values both ways. A device mode the list does
    // not offer shows nothing and stays as read (Apply then leaves it alone).
    const AnsiString shown = ED_APModeTempComboBox->Text();
    AnsiString device = shown;
    if (shown == "WDS with AP")
        device = "PtMP Bridge";
    else if (shown == "WDS")
        device = "P2MP Without";
    else if (shown == "AP Repeater")
        device = "Universal Repeater";
    else if (shown == "Wireless Client")
        device = "AP Client";
    if (!shown.empty())
        choose(ED_APModeComboBox, device);
    FillAuthenticationList(Sender != nullptr && !m_loading);
    NormalizeRemoteMACs();
    ShowSecurityGroups();
    ShowMultiSSIDWarnings();
}

void TFM_Wirless::ShowMultiSSIDWarnings()
{
    const int item = ModeItem();
    const bool enabled = CB_MultEnable->ItemIndex() == 1;
    const char *const notAP =
        "If AP Mode is not \"Access Point\",\nThe Multi-SSID should be set to \"Disabled\".";
    if (m_caps.NewMulti == 1 && enabled) {
        if (m_caps.MSSIDAndWDS != 1 && item > 0) {
            Application->MessageBox(notAP, "Warning", MB_OK);
        } else if (m_caps.MSSIDAndWDS == 1 && item > 1) {
            Application->MessageBox("If AP Mode is not \"Access Point,WDS with AP\",\nThe Multi-SSID should "
                                    "be set to \"Disabled\".",
                                    "Warning", MB_OK);
            MultiSSIDWasEnabled = false;
        }
    } else if (m_caps.NewMulti == 0 && item > 0 && enabled) {
        Application->MessageBox(notAP, "Warning", MB_OK);
    }
}

void TFM_Wirless::ED_APModeComboBoxChange(TObject *)
{
}

void TFM_Wirless::Ed_SecAuthaTempChange(TObject *)
{
    choose(Ed_SecAutha, Ed_SecAuthaTemp->Text());
    FillAuthenticationList(false);
    ShowSecurityGroups();
}

void TFM_Wirless::Ed_SecAuthaChange(TObject *)
{
    ShowSecurityGroups();
}

void TFM_Wirless::Ed_SecEncypaChange(TObject *)
{
    ShowSecurityGroups();
}

void TFM_Wirless::Ed_SecValKeyaChange(TObject *)
{
    EnableChosenKey();
    if (m_caps.NewMulti == 0)
        CheckKeyIndexClash();
}

void TFM_Wirless::Ed_KeyTypeChange(TObject *)
{
    SetKeyLengths();
}

void TFM_Wirless::Ed_KeySizeChange(TObject *)
{
    SetKeyLengths();
}

// ---- partner edits -------------------------------------------------------------------------

void TFM_Wirless::ClearEmptyRemoteMACs()
{
    for (TEdit *e : RemoteMACEdits())
        if (e->Text() == kEmptyMAC)
            e->SetText("");
    for (TEdit *e : {Ed_RoMAddra0, Ed_CRoMAddra0})
        if (e->Text() == kEmptyMAC)
            e->SetText("");
}

void TFM_Wirless::NormalizeRemoteMACs()
{
    ClearEmptyRemoteMACs();
    const std::array<TEdit *, 8> remote = RemoteMACEdits();
    // The partners of a mode the list lacks stay as the device holds them, with the mode.
    if (ShowsKeptValue(ED_APModeTempComboBox)) {
        for (TEdit *e : remote)
            SetEditable(e, false);
        return;
    }
    switch (ED_APModeComboBox->ItemIndex()) {
    case 0:
        SetEditable(Ed_ReMAddra0, false);
        break;
    case 1:
    case 5:
        // Point to point: one partner.
        for (std::size_t i = 0; i < remote.size(); ++i)
            SetEditable(remote[i], i == 0);
        break;
    case 2:
    case 6:
        for (TEdit *e : remote)
            SetEditable(e, true);
        for (TEdit *e : {Ed_RoMAddra0, Ed_CRoMAddra0, Ed_SSID})
            SetEditable(e, false);
        break;
    case 3:
        for (TEdit *e : remote)
            SetEditable(e, false);
        SetEditable(Ed_RoMAddra0, true);
        SetEditable(Ed_CRoMAddra0, false);
        break;
    default:
        break;
    }
}

// ---- security groups and keys ----------------------------------------------------------

void TFM_Wirless::ShowSecurityGroups()
{
    if (!m_multiSSID)
        return;
    const int auth = AuthIndex();
    if (auth >= 0 && auth <= 2) {
        // Shared keys need WEP.
        if (auth != 0) {
            Ed_SecEncypa->SetItemIndex(1);
            Ed_SecEncypa->SetEnabled(false);
        } else {
            Ed_SecEncypa->SetEnabled(true);
        }
    }
    ArrangeSecurityGroups(auth);
    EnableChosenKey();
}

void TFM_Wirless::EnableChosenKey()
{
    const bool wep = Ed_SecEncypa->ItemIndex() > 0;
    for (TControl *c : std::initializer_list<TControl *>{Ed_KeySize, Ed_KeyType, Ed_SecValKeya})
        c->SetEnabled(wep);
    TEdit *chosen = ValidKeyEdit();
    for (TEdit *key : KeyEdits())
        SetEditable(key, wep && key == chosen);
    if (!chosen)
        return;
    const auto length = static_cast<int>(chosen->Text().size());
    for (int size = 0; size < 3; ++size)
        if (length > 0 && length == WepKeyLength(KeyTypeItem(), size))
            Ed_KeySize->SetItemIndex(size);
    SetKeyLengths();
}

void TFM_Wirless::FillKeyLists()
{
    fill(Ed_KeySize, {"64 Bits", "128 Bits", "152 Bits"});
    if (m_caps.KeyTypeSup == 0) {
        fill(Ed_KeyType, {"HEX", "ASCII"});
        Ed_KeyType->SetItemIndex(0);
    }
}

void TFM_Wirless::SetKeyLengths()
{
    const int length = WepKeyLength(KeyTypeItem(), Ed_KeySize->ItemIndex());
    for (TEdit *key : KeyEdits())
        key->SetMaxLength(length > 0 ? length : 32);
}

void TFM_Wirless::FillKeyIndexList()
{
    bool wpaGuest = false;
    if (m_caps.NewMulti == 1 && CB_MultEnable->ItemIndex() == 1) {
        TListItems *rows = LV_Multi2->Items();
        for (int r = 1; r < rows->Count() && !wpaGuest; ++r) {
            const TStrings *cells = rows->Item(r)->SubItems();
            wpaGuest = contains(cells->Strings(2), "Enable") && contains(cells->Strings(4), "Enable") &&
                       AuthenticationKind(cells->Strings(3)) != AuthKind::WEP;
        }
    }
    // WPA takes the second and third key slots.
    if (wpaGuest)
        fill(Ed_SecValKeya, {"First", "Fourth"});
    else
        fill(Ed_SecValKeya, {"First", "Second", "Third", "Fourth"});
    // A key in use that the list lacks stays in use; none read, none chosen.
    ShowDeviceValue(Ed_SecValKeya, ValidKeyText);
}

void TFM_Wirless::ShowKeysAsText()
{
    if (m_caps.KeyTypeSup != 1 || Ed_KeyType->Text() != "ASCII")
        return;
    // A key that is not printable text is shown masked, and so not sent unless typed again.
    for (TEdit *key : KeyEdits()) {
        const AnsiString hex = key->Text();
        const std::optional<AnsiString> text = PrintableKeyText(hex);
        key->SetText(text ? *text : AnsiString(hex.size() / 2, '*'));
    }
}

// ---- channel, super mode, servers ----------------------------------------------------------

void TFM_Wirless::ShowChannelList(TEdit *listEdit, TEdit *channelEdit, TComboBox *combo)
{
    ChooseChannel(listEdit->Text(), combo, channelEdit->Text());
}

void TFM_Wirless::AD_SuperModeChange(TObject *)
{
    const int item = AD_SuperMode->ItemIndex();
    TEdit *listEdit = Ed_ChanLista;
    if (m_caps.Rogue == 0 && item == 1)
        listEdit = Ed_StatChLista;
    else if (m_caps.Rogue == 0 && item == 2)
        listEdit = Ed_DynChLista;
    else if (m_caps.Rogue == 1 && item == 1)
        listEdit = Ed_DynChLista;
    if (listEdit == Ed_ChanLista)
        Ed_Chana->SetText(gWirelessChannelText);
    ShowChannelList(listEdit, Ed_Chana, CB_Chana);
}

void TFM_Wirless::CB_SuperMode_jpChange(TObject *)
{
    chooseOrFirst(AD_SuperMode, CB_SuperMode_jp->Text());
    AD_SuperModeChange(nullptr);
}

void TFM_Wirless::CB_AuScChange(TObject *)
{
    CB_Chana->SetEnabled(!CB_AuSc->Checked());
}

void TFM_Wirless::CB_ChanaChange(TObject *)
{
    gWirelessChannelText = CB_Chana->Text();
}

void TFM_Wirless::CB_AcntEnableChange(TObject *)
{
    if (CB_AcntEnable->ItemIndex() > 0) {
        Ed_AcntServer->SetEnabled(true);
        Ed_AcntPort->SetEnabled(true);
        CB_AccountingMode->SetEnabled(BackupAccountingBinding != nullptr);
        CB_AccountingModeChange(nullptr);
        return;
    }
    for (TControl *c : std::initializer_list<TControl *>{Ed_AcntServer, Ed_AcntPort, Ed_SecAccountServer,
                                                         Ed_SecAccountPort, CB_AccountingMode})
        c->SetEnabled(false);
}

// The backup servers are edited only where the device has them: their controls are bound then
// alone, and anything typed elsewhere would be dropped.
void TFM_Wirless::CB_AccountingModeChange(TObject *)
{
    const bool on = BackupAccountingBinding && CB_AccountingMode->ItemIndex() > 0;
    Ed_SecAccountServer->SetEnabled(on);
    Ed_SecAccountPort->SetEnabled(on);
}

void TFM_Wirless::CB_RadiusModeChange(TObject *)
{
    CB_RadiusMode->SetEnabled(BackupRadiusBinding != nullptr);
    const bool on = BackupRadiusBinding && CB_RadiusMode->ItemIndex() > 0;
    for (TControl *c :
         std::initializer_list<TControl *>{Ed_SecRadiusServer, Ed_SecRadiusport, Ed_SecRadiusSecret})
        c->SetEnabled(on);
}
