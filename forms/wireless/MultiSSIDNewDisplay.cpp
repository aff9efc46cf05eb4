// The newer Multi-SSID form: loading a row of the SSID table into the editors, the security
// choice and its groups, the list of SSIDs in use, the keys and what is enabled when.
#include "KeyText.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "TFM_MultiSSIDNewForm.h"

namespace {

bool Contains(const AnsiString &text, const char *part)
{
    return text.find(part) != AnsiString::npos;
}

bool IsWepAuthText(const AnsiString &auth)
{
    return auth == "Open System" || auth == "Shared Key" || auth == "Open System / Shared Key";
}

// Selects the item of that text, or fallback (an index) when there is none.
void SelectText(TComboBox *combo, const AnsiString &text, int fallback)
{
    const int i = combo->Items()->IndexOf(text);
    combo->SetItemIndex(i >= 0 ? i : fallback);
}

void EnableAll(std::initializer_list<TControl *> controls, bool enabled)
{
    for (TControl *c : controls)
        c->SetEnabled(enabled);
}

void ShowAll(std::initializer_list<TControl *> controls, bool visible)
{
    for (TControl *c : controls)
        c->SetVisible(visible);
}

} // namespace

AnsiString TFM_MultiSSIDNewForm::Cell(const TListItem *row, int column)
{
    if (row == nullptr || column < 0)
        return AnsiString();
    if (column == 0)
        return row->Caption();
    const TStrings *cells = row->SubItems();
    return column - 1 < cells->Count() ? cells->Strings(column - 1) : AnsiString();
}

TListItem *TFM_MultiSSIDNewForm::TableRow(int ssidIndex) const
{
    const AnsiString wanted = std::to_string(ssidIndex);
    TListItems *rows = MulSSIDListView->Items();
    for (int i = 0; i < rows->Count(); ++i)
        if (Cell(rows->Item(i), kColIndex) == wanted)
            return rows->Item(i);
    return nullptr;
}

TListItem *TFM_MultiSSIDNewForm::UserRow(TListItem *item) const
{
    // "Primary", or "Multi-SSID" and the SSID's number (adMSSIDIndex less one).
    if (item == nullptr)
        return nullptr;
    const AnsiString caption = item->Caption();
    if (caption == "Primary")
        return TableRow(1);
    if (caption.size() < 11 || caption[10] < '1' || caption[10] > '7')
        return nullptr;
    return TableRow(caption[10] - '0' + 1);
}

void TFM_MultiSSIDNewForm::CB_IdxChange(TObject *)
{
    m_wpaUsesKeySlots = false;
    // The row of this SSID, found by its adMSSIDIndex; selecting it shows it in the editors.
    TListItem *row = CB_Idx->ItemIndex() >= 0 ? TableRow(CB_Idx->ItemIndex() + 1) : nullptr;
    m_editedIndex = row ? Cell(row, kColIndex) : AnsiString();
    MulSSIDListView->SetSelected(nullptr);
    // The editors hold the row's own WMM now, whatever priority made of the last one.
    m_wmmBeforePriority.reset();
    if (row == nullptr) {
        ShowNoRow();
        return;
    }
    MulSSIDListView->SetSelected(row);
    // The lists show the row's values as the device names them, those they lack added.
    ShowDeviceValue(Cb_Priority, Cell(row, kColPriority));
    CB_VLanStateClick(nullptr);
    SecurityChoice(row);
    CB_SecChange(nullptr);
    ShowSecurityGroups();
    CB_KeySize->SetItemIndex(0);
    KeySizeFromLength();
    KeyEditLength();
    Ed_WLANID->SetMaxLength(4);
    Ed_SSID->SetMaxLength(32);
    Ed_GrpKey->SetMaxLength(7);
    Ed_PassPhrase->SetMaxLength(63);
    Ed_RadiusSec->SetMaxLength(32);
    Ed_RadiusPort->SetMaxLength(5);
    Ed_RiduisServ->SetMaxLength(15);
    Ed_AcntPort->SetMaxLength(5);
    Ed_AcntServ->SetMaxLength(15);
    UpdateEnabling();
    // WPA of another enabled SSID takes the second and third key slots.
    TListItems *rows = MulSSIDListView->Items();
    for (int i = 0; i < rows->Count() && !m_wpaUsesKeySlots; ++i) {
        TListItem *other = rows->Item(i);
        if (Cell(other, kColIndex) != m_editedIndex && Contains(Cell(other, kColState), "Enable") &&
            Contains(Cell(other, kColEncryption), "Enable") && !IsWepAuthText(Cell(other, kColAuth)))
            m_wpaUsesKeySlots = true;
    }
    FillKeyIndexList();
    ShowDeviceValue(CB_IdxTmp, Cell(row, kColKeyIndex));
    const int apMode = CB_ApMode->ItemIndex();
    if (apMode != 1 && apMode != 2 && CB_KeyType->Text() == "ASCII") {
        // Shown as its characters; a key that has none printable stays masked and is not sent
        // unless typed again.
        const AnsiString hex = Ed_KeyValue->Text();
        const std::optional<AnsiString> text = PrintableKeyText(hex);
        Ed_KeyValue->SetText(text ? *text : AnsiString(hex.size() / 2, '*'));
    }
    CheckBox_PriorityClick(nullptr);
    m_rowAsLoaded = RowEditorState();
}

void TFM_MultiSSIDNewForm::ShowNoRow()
{
    // The table has no such SSID: the editors show nothing of another row, and Save refuses.
    ClearBoundControls(*SSIDTableBinding);
    for (TComboBox *derived : {CB_Sec, CB_SecShow, CB_IdxTmp, Cb_Priority})
        ShowDeviceValue(derived, AnsiString());
    CB_KeySize->SetItemIndex(-1);
    m_rowAsLoaded.clear();
    UpdateEnabling();
}

AnsiString TFM_MultiSSIDNewForm::RowEditorState() const
{
    // Values only: what is enabled follows the switches, which Apply writes itself; so does
    // the WMM that priority shows.
    AnsiString state;
    for (const TControl *c : std::initializer_list<const TControl *>{
             Ed_SSID, CB_SecShow, CB_Sec, CB_Broadcast, CB_DyVlan, Ed_WLANID, Cb_Priority, CB_KeyType,
             CB_KeySize, Ed_KeyValue, CB_IdxTmp, CB_CipherType, Ed_PassPhrase, CB_AcnttingMode})
        state += c->Text() + '\n';
    state += std::to_string(m_wmmBeforePriority.value_or(CB_WMM->ItemIndex())) + '\n';
    state += CheckBox_EthernetTag->Checked() ? "checked" : "unchecked";
    return state;
}

bool TFM_MultiSSIDNewForm::MultiSSIDOn() const
{
    return IfEnabMuSSID->Checked() || !MSSIDStateBinding || !MSSIDStateBinding->WasRead();
}

bool TFM_MultiSSIDNewForm::VlanOn() const
{
    return CB_VLanState->Checked() || !VlanStateBinding || !VlanStateBinding->WasRead();
}

void TFM_MultiSSIDNewForm::SecurityChoice(TListItem *row)
{
    // The row's authentication, "None" unencrypted; one a list lacks (both WEP kinds at once,
    // an Enterprise kind in the short list) is added and kept until the user picks another.
    const AnsiString security =
        Contains(Cell(row, kColEncryption), "Enable") ? Cell(row, kColAuth) : AnsiString("None");
    ShowDeviceValue(CB_Sec, security);
    ShowDeviceValue(CB_SecShow, security);
    // The Enterprise kinds can be chosen for a Multi-SSID only while the primary SSID uses one.
    CB_Sec->SetVisible(FullSecurityList());
    CB_SecShow->SetVisible(!FullSecurityList());
}

bool TFM_MultiSSIDNewForm::FullSecurityList() const
{
    return Contains(Cell(TableRow(1), kColAuth), "Enterprise");
}

bool TFM_MultiSSIDNewForm::SecurityKept() const
{
    return ShowsKeptValue(FullSecurityList() ? CB_Sec : CB_SecShow);
}

void TFM_MultiSSIDNewForm::CB_SecShowChange(TObject *)
{
    SelectText(CB_Sec, CB_SecShow->Text(), 0);
    CB_SecChange(nullptr);
}

void TFM_MultiSSIDNewForm::CB_SecChange(TObject *)
{
    const int item = SecurityItem();
    if (item >= 0 && item <= 2) {
        GP_PSK->Hide();
        GP_KeySetting->Show();
    }
    // "None" reaches the device as open system without encryption.
    SelectText(CB_Security, CB_Sec->Text(), 0);
    ShowSecurityGroups();
    UpdateEnabling();
}

void TFM_MultiSSIDNewForm::ShowSecurityGroups()
{
    const int item = SecurityItem();
    const bool personal = IsPersonal(item);
    const bool enterprise = IsEnterprise(item);
    if (personal || enterprise) {
        GP_PSK->Show();
        GP_PSK->SetText(personal ? "PassPhrase Settings" : "Radius Server Settings");
        GP_KeySetting->Hide();
        ShowAll({Lab_PassPhrase, Ed_PassPhrase}, personal);
        ShowAll({Lab_RadiusServ, Ed_RiduisServ, Lab_RadiusPort, Ed_RadiusPort, Lab_RadiusSec, Ed_RadiusSec,
                 Lab_AcntMode, CB_AcnttingMode, Lab_AcntPort, Ed_AcntPort, Lab_AcntServ, Ed_AcntServ},
                enterprise);
    } else {
        GP_PSK->Hide();
        GP_KeySetting->Show();
    }
    if (VlanOn()) {
        CB_DyVlan->SetEnabled(enterprise);
        CB_DyVlanChange(nullptr);
    } else {
        CB_DyVlan->SetEnabled(false);
    }
}

void TFM_MultiSSIDNewForm::RebuildUserList()
{
    TListItems *items = LV_MultiSSID_User->Items();
    // The SSID chosen in the list stays chosen (Delete acts on it).
    const AnsiString chosen = LV_MultiSSID_User->Selected() ? LV_MultiSSID_User->Selected()->Caption() : "";
    items->Clear();
    TListItems *rows = MulSSIDListView->Items();
    const bool dynamicColumn = HasDynamicVlan();
    for (int r = 0; r < rows->Count(); ++r) {
        TListItem *row = rows->Item(r);
        if (!Contains(Cell(row, kColState), "Enable"))
            continue;
        const AnsiString index = Cell(row, kColIndex);
        const int number = std::atoi(index.c_str()) - 1;
        const AnsiString auth = Cell(row, kColAuth);
        TListItem *item = items->Add();
        item->SetCaption(number <= 0 ? AnsiString("Primary") : "Multi-SSID" + std::to_string(number));
        TStrings *cells = item->SubItems();
        cells->Add(Cell(row, kColSSID));
        if (Contains(Cell(row, kColEncryption), "Disable"))
            cells->Add("OFF");
        else
            cells->Add(IsWepAuthText(auth) ? AnsiString("WEP") : auth);
        if (!VlanOn())
            cells->Add("OFF");
        else if (dynamicColumn && Cell(row, kColDyVlan) == "Dynamic" && Contains(auth, "Enterprise"))
            cells->Add("Dynamic");
        else
            cells->Add(Cell(row, kColVlanTag));
        cells->Add("11g");
        if (!chosen.empty() && item->Caption() == chosen)
            LV_MultiSSID_User->SetSelected(item);
    }
}

void TFM_MultiSSIDNewForm::LV_MultiSSID_UserClick(TObject *)
{
    m_userListClick = true;
    struct Clear {
        bool &flag;
        ~Clear() { flag = false; }
    } clear{m_userListClick};
    TListItem *item = LV_MultiSSID_User->Selected();
    if (item == nullptr) {
        DelButton->SetEnabled(false);
        return;
    }
    const AnsiString caption = item->Caption();
    if (caption == "Primary") {
        CB_Idx->SetItemIndex(0);
        DelButton->SetEnabled(false);
    } else {
        const int number = caption.size() >= 11 ? caption[10] - '0' : -1;
        if (number < 1 || number > 7)
            return;
        CB_Idx->SetItemIndex(number);
        DelButton->SetEnabled(true);
    }
    CB_IdxChange(nullptr);
}

void TFM_MultiSSIDNewForm::KeySizeFromLength()
{
    const std::size_t length = Ed_KeyValue->Text().size();
    CB_KeySize->SetItemIndex(length == 26 ? 1 : length == 32 ? 2 : 0);
}

void TFM_MultiSSIDNewForm::KeyEditLength()
{
    if (CB_KeySize->ItemIndex() < 0) {
        ShowMessage("Please select key size!");
        return;
    }
    if (CB_KeyType->ItemIndex() < 0) {
        ShowMessage("Key type is NULL!");
        return;
    }
    Ed_KeyValue->SetMaxLength(WepKeyLength(CB_KeyType->ItemIndex(), CB_KeySize->ItemIndex()));
}

void TFM_MultiSSIDNewForm::CB_KeySizeChange(TObject *)
{
    Ed_KeyValue->SetText("");
    KeyEditLength();
}

void TFM_MultiSSIDNewForm::FillKeyIndexList()
{
    TStrings *items = CB_IdxTmp->Items();
    items->Clear();
    if (m_wpaUsesKeySlots) {
        items->Add("First");
        items->Add("Fourth");
    } else {
        for (const char *name : {"First", "Second", "Third", "Fourth"})
            items->Add(name);
    }
}

void TFM_MultiSSIDNewForm::CB_IdxTmpChange(TObject *)
{
    SelectText(CB_KeyIndex, CB_IdxTmp->Text(), -1);
}

void TFM_MultiSSIDNewForm::CB_VLanStateClick(TObject *Sender)
{
    if (CB_VLanState->Checked()) {
        // VLANs need Multi-SSID: the user's VLAN switches it on. A Multi-SSID switch whose
        // read failed is not shown on for what the device holds of VLAN.
        if (Sender != nullptr || (MSSIDStateBinding && MSSIDStateBinding->WasRead())) {
            Quiet quiet(m_quiet);
            IfEnabMuSSID->SetChecked(true);
        }
        IfEnabMuSSID->SetEnabled(false);
    } else {
        IfEnabMuSSID->SetEnabled(true);
    }
    IfEnabMuSSIDClick(nullptr);
}

void TFM_MultiSSIDNewForm::IfEnabMuSSIDClick(TObject *)
{
    if (!MultiSSIDOn()) {
        LV_MultiSSID_User->Items()->Clear();
        gMultiSSIDWarnArmed = true;
    } else {
        if (!m_userListClick)
            RebuildUserList();
        if (gMultiSSIDWarnArmed)
            ShowMultiSSIDWarning();
        gMultiSSIDWarnArmed = false;
    }
    UpdateEnabling();
}

void TFM_MultiSSIDNewForm::ShowMultiSSIDWarning()
{
    // What the device's mode would become says nothing without the mode.
    if (!APModeBinding || !APModeBinding->WasRead())
        return;
    const int mode = CB_ApMode->ItemIndex();
    const bool wdsToo = CapabilityNumber(MainForm->mssidAndWdssupport->Text()) == 1;
    const bool modeAllowed = wdsToo ? mode >= 0 && mode <= 2 : mode == 0;
    const bool superG = CB_SuperMode->Text() != "Disable";
    const char *text = nullptr;
    if (!modeAllowed && superG)
        text = "If you enable Multi-SSID,\nAP Mode will be Access Point and Super G will be Disabled!";
    else if (superG)
        text = "If you enable Multi-SSID,Super G will be Disabled!";
    else if (!modeAllowed)
        text = "If you enable Multi-SSID,AP Mode will be Access Point!";
    if (text != nullptr)
        Application->MessageBox(text, "Warning", MB_OK);
}

void TFM_MultiSSIDNewForm::CheckBox_PriorityClick(TObject *)
{
    // Priority needs WMM: while priority is on a row's WMM shows "Enable"; off again, WMM
    // shows what it showed before (the device's value or the user's choice).
    if (CheckBox_Priority->Checked()) {
        if (!m_wmmBeforePriority && !m_editedIndex.empty()) {
            m_wmmBeforePriority = CB_WMM->ItemIndex();
            CB_WMM->SetItemIndex(CB_WMM->Items()->IndexOf("Enable"));
        }
        CB_WMM->SetEnabled(false);
        Cb_Priority->SetEnabled(true);
    } else {
        if (m_wmmBeforePriority)
            CB_WMM->SetItemIndex(*m_wmmBeforePriority);
        m_wmmBeforePriority.reset();
        Cb_Priority->SetEnabled(false);
        CB_WMM->SetEnabled(IsMultiRow());
    }
}

void TFM_MultiSSIDNewForm::CB_DyVlanChange(TObject *)
{
    if (CB_DyVlan->Text() == "Dynamic")
        Ed_WLANID->SetEnabled(false);
    else if (CB_DyVlan->Text() == "Manual")
        Ed_WLANID->SetEnabled(true);
}

void TFM_MultiSSIDNewForm::UpdateEnabling()
{
    if (!MultiSSIDOn()) {
        EnableAll({CheckBox_Priority, GroupBox2,     MultiGroupBox, CB_Idx,        SaveButton,
                   Ed_SSID,           CB_Broadcast,  CB_WMM,        CB_Sec,        CB_SecShow,
                   Ed_WLANID,         CB_CipherType, Ed_GrpKey,     Ed_PassPhrase, CB_KeyType,
                   CB_KeySize,        CB_KeyIndex,   CB_IdxTmp,     Ed_KeyValue,   CB_AcnttingMode},
                  false);
    } else {
        EnableAll({CheckBox_Priority, GroupBox2, MultiGroupBox, CB_Idx, SaveButton}, true);
        const bool enterprise = IsEnterprise(SecurityItem());
        if (!VlanOn()) {
            EnableAll({Ed_WLANID, CB_DyVlan, CheckBox_EthernetTag}, false);
        } else {
            CB_DyVlan->SetEnabled(enterprise);
            CB_DyVlanChange(nullptr);
            CheckBox_EthernetTag->SetEnabled(true);
        }
        if (IsMultiRow()) {
            EnableAll({CB_KeyType, CB_KeySize, CB_IdxTmp, Ed_KeyValue, Ed_PassPhrase, CB_CipherType,
                       CB_SecShow, CB_Sec, Ed_SSID, CB_Broadcast, CB_WMM},
                      true);
            if (CB_Sec->Text() != "None") {
                const bool ptmp = CapabilityNumber(MainForm->mssidAndWdssupport->Text()) == 1 &&
                                  CB_ApMode->ItemIndex() == 2;
                Ed_GrpKey->SetEnabled(!enterprise && !ptmp);
                CB_AcnttingMode->SetEnabled(!Ed_AcntServ->Text().empty());
                CheckBox_PriorityClick(nullptr);
            } else {
                EnableAll({CB_CipherType, Ed_GrpKey, Ed_PassPhrase, CB_KeyType, CB_KeySize, CB_KeyIndex,
                           CB_IdxTmp, Ed_KeyValue, CB_AcnttingMode},
                          false);
            }
        } else {
            // Of the primary SSID only the VLAN settings and the priority are edited here.
            EnableAll({Ed_SSID, CB_Sec, CB_SecShow, CB_WMM, CB_Broadcast, CB_CipherType, Ed_GrpKey,
                       Ed_PassPhrase, CB_KeyType, CB_KeySize, CB_KeyIndex, CB_IdxTmp, Ed_KeyValue,
                       CB_AcnttingMode},
                      false);
        }
    }
    EnableAll({Ed_AcntPort, Ed_AcntServ}, false);
    // A switch that could not be read is not written: it takes no clicks either.
    CB_VLanState->SetEnabled(VlanStateBinding && VlanStateBinding->WasRead());
    if (!MSSIDStateBinding || !MSSIDStateBinding->WasRead())
        IfEnabMuSSID->SetEnabled(false);
}
