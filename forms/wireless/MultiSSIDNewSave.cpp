// The newer Multi-SSID form's writes: Save of the row in the editors (with the switches and the
// shared security settings its security uses), Delete of a row, Apply of the switches, and
// the SSID table's set-done handler.
#include "KeyText.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "NetUtils.h"
#include "TFM_MultiSSIDNewForm.h"

#include <algorithm>

namespace {

const char *const kMsgSaveFailed = "Save Multi-SSID failed!";

void Warn(const char *text, const char *caption = "Warning")
{
    Application->MessageBox(text, caption, MB_OK);
}

bool Contains(const AnsiString &text, const char *part)
{
    return text.find(part) != AnsiString::npos;
}

void SelectText(TComboBox *combo, const AnsiString &text)
{
    combo->SetItemIndex(combo->Items()->IndexOf(text));
}

AnsiString UserCell(TListItem *item, int k)
{
    const TStrings *cells = item->SubItems();
    return k < cells->Count() ? cells->Strings(k) : AnsiString();
}

} // namespace

bool TFM_MultiSSIDNewForm::CheckVlanId()
{
    // Without dynamic VLAN every SSID has a fixed tag; with it, only the manual ones. The
    // narrow table has no tag-mode column: there every tag is fixed.
    const bool needed = VlanOn() && (!HasDynamicVlan() || CB_DyVlan->Text() == "Manual");
    if (needed && Ed_WLANID->Text().empty()) {
        Warn("Please input VLAN ID!");
        Ed_WLANID->SetFocus();
        return false;
    }
    return true;
}

TListItem *TFM_MultiSSIDNewForm::LocateEditedRow()
{
    // The row is the one in the editors, found by its adMSSIDIndex and selected in the table
    // list; the keys of the write come from it, never from what an earlier row left behind.
    TListItem *row = m_editedIndex.empty() ? nullptr : TableRow(std::atoi(m_editedIndex.c_str()));
    if (row == nullptr || MulSSIDListView->Selected() != row) {
        Warn(gMsgSSIDRowNotRead.c_str());
        return nullptr;
    }
    Lab_IfIdx->SetText(Cell(row, kColIfIndex));
    Lab_Idx->SetText(Cell(row, kColIndex));
    return row;
}

bool TFM_MultiSSIDNewForm::WriteScalar(FormBinding &binding)
{
    // A refusal does not stop Save: the row is still written and the refusal named. A device
    // that did not answer is asked nothing more. A group not read is left out and named.
    return Chain.Put(&binding, {.Failure = OnFailure::GoOnIfRefused}) == GroupResult::Written;
}

AnsiString TFM_MultiSSIDNewForm::SavedText(const AnsiString &failure) const
{
    AnsiString done = "Save Multi-SSID complete!";
    const std::vector<AnsiString> &refused = Chain.Refused();
    if (!refused.empty()) {
        done = gMsgSavedWithFailures;
        for (std::size_t i = 0; i < refused.size(); ++i)
            done += (i == 0 ? " " : ", ") + refused[i];
        done += ".";
    }
    if (Chain.Stopped())
        return Chain.Text(done, failure.empty() ? AnsiString(kMsgSaveFailed) : failure);
    return NotWrittenText(done, Chain.Skipped());
}

void TFM_MultiSSIDNewForm::WritePriority()
{
    if (Cb_Priority->ItemIndex() >= 0)
        Ed_Priority->SetText(Cb_Priority->Text());
    // A priority whose answer was lost is named as not written.
    if (FormBinding *priority = UnlessLacking(PriorityBinding, m_priorityKnown))
        WriteScalar(*priority);
}

void TFM_MultiSSIDNewForm::WriteSwitches()
{
    WriteScalar(*MSSIDStateBinding);
    WriteScalar(*VlanStateBinding);
}

void TFM_MultiSSIDNewForm::SaveButtonClick(TObject *)
{
    Chain.Begin();
    // A VLAN switch that could not be read is not written: it disables nothing.
    if (m_managerVlanKnown && CB_VID->Text() == "Enable" && !VlanOn())
        Warn("The manage vlan status will be disabled!");
    if (!CheckVlanId())
        return;
    TListItem *row = LocateEditedRow();
    if (row == nullptr)
        return;
    if (Cell(row, kColIndex) == "1")
        WritePrimaryRow(row);
    else
        WriteMultiRow(row);
}

void TFM_MultiSSIDNewForm::WritePrimaryRow(TListItem *row)
{
    WritePriority();
    WriteSwitches();
    std::vector<int> columns = {kColVlanTag};
    if (HasDynamicVlan())
        columns.push_back(kColDyVlan);
    AddPriorityColumns(columns);
    StartRowWrite(row, columns, AnsiString());
}

void TFM_MultiSSIDNewForm::WriteMultiRow(TListItem *row)
{
    SelectText(CB_Encry, CB_Sec->Text() != "None" ? "Enable" : "Disable");
    SelectText(CB_IdvState, "Enable");
    if (GP_KeySetting->Visible())
        SelectText(CB_KeyIndex, CB_IdxTmp->Text());
    if (!MultiRowChecks(row))
        return;
    std::vector<int> columns;
    if (!SelectMultiRowColumns(columns))
        return;
    // Every check passed: from here on the device is written.
    WritePriority();
    WriteSwitches();
    WarnKeySharing(row);
    WriteSharedSecurity(row);
    StartRowWrite(row, columns, "Save Multi-SSID...!");
}

bool TFM_MultiSSIDNewForm::MultiRowChecks(TListItem *row)
{
    const AnsiString ssid = Ed_SSID->Text();
    if (MultiSSIDOn()) {
        const char *problem = ssid.empty()       ? "Please input SSID!"
                              : ssid[0] == ' '   ? "The first character can't be blank!"
                              : ssid.size() > 32 ? "The Max Length of SSID is 32!"
                                                 : nullptr;
        if (problem) {
            Warn(problem);
            Ed_SSID->SetFocus();
            return false;
        }
    }
    // Shared settings that could not be read are not written, so not checked either: the
    // user typed none of them.
    if (GP_PSK->Visible()) {
        const int item = SecurityItem();
        if (GroupKeyBinding->WasRead() && Ed_GrpKey->Text().empty()) {
            Warn("Please input a number between 300 and 9999999.");
            Ed_GrpKey->SetFocus();
            return false;
        }
        const std::size_t phrase = Ed_PassPhrase->Text().size();
        if (IsPersonal(item) && (phrase < 8 || phrase > 63)) {
            Warn("The length of 802.11g PassPhrase is between 8 and 63.", "Error");
            Ed_PassPhrase->SetFocus();
            return false;
        }
        const bool radius = IsEnterprise(item) && RadiusBinding->WasRead();
        if (radius && !IsValidIPAddress(Ed_RiduisServ->Text())) {
            Warn("The Radius server's IP is illegal.", "Error");
            Ed_RiduisServ->SetFocus();
            return false;
        }
        if (radius && Ed_RadiusPort->Text().empty()) {
            Warn("Please input a number between 1 and 65535.", "Error");
            Ed_RadiusPort->SetFocus();
            return false;
        }
    }
    // Another enabled SSID of the same name.
    const AnsiString own = Cell(row, kColIndex);
    TListItems *rows = MulSSIDListView->Items();
    for (int i = 0; i < rows->Count(); ++i) {
        TListItem *other = rows->Item(i);
        const AnsiString index = Cell(other, kColIndex);
        if (Cell(other, kColSSID) != ssid || index == own || !Contains(Cell(other, kColState), "Enable"))
            continue;
        const std::string n = std::to_string(std::atoi(own.c_str()) - 1);
        const std::string m = std::to_string(std::atoi(index.c_str()) - 1);
        const std::string text = index == "1"
                                     ? "The 11g Multi-SSID " + n + "'s SSID is same as Primary SSID"
                                     : "The 11g Multi-SSID " + n + "'s SSID is same as Multi-SSID " + m;
        Warn(text.c_str());
        Ed_SSID->SetFocus();
        return false;
    }
    return true;
}

bool TFM_MultiSSIDNewForm::SelectMultiRowColumns(std::vector<int> &columns)
{
    columns.clear();
    if (HasAccounting())
        columns.insert(columns.end(), {kColAcctMode, kColAcctServer, kColAcctPort});
    if (m_suppress)
        columns.push_back(kColSuppress);
    if (m_wmm)
        columns.push_back(kColWmm);
    if (!MultiSSIDOn())
        return true;
    columns.push_back(kColState);
    const bool encrypted = CB_Encry->Text() == "Enable";
    const AnsiString security = CB_Sec->Text();
    const bool wep = GP_KeySetting->Visible() && AuthenticationKind(security) == AuthKind::WEP;
    if (encrypted && wep) {
        if (!CheckWepKeyLengths(CB_KeyType->ItemIndex(), CB_KeySize->ItemIndex(),
                                {{Ed_KeyValue, "key value"}})) {
            Ed_KeyValue->SetFocus();
            return false;
        }
        const int hex = IsHexText(Ed_KeyValue);
        if (hex == 1)
            return false;
        if (hex == 2)
            columns.insert(columns.end(), {kColKey, kColKeyType});
        // A key index the list lacks stays as the device holds it.
        if (!ShowsKeptValue(CB_IdxTmp))
            columns.push_back(kColKeyIndex);
    } else if (encrypted && GP_PSK->Visible()) {
        columns.push_back(kColCipher);
        if (IsPersonal(SecurityItem())) {
            columns.push_back(kColPassPhrase);
            // Without accounting support the mode goes back as it was read.
            if (!HasAccounting())
                columns.push_back(kColAcctMode);
        }
    }
    columns.insert(columns.end(), {kColSSID, kColVlanTag});
    // An authentication the list lacks stays as the device holds it, encrypted.
    if (!SecurityKept())
        columns.insert(columns.end(), {kColAuth, kColEncryption});
    if (HasDynamicVlan())
        columns.push_back(kColDyVlan);
    AddPriorityColumns(columns);
    return true;
}

void TFM_MultiSSIDNewForm::AddPriorityColumns(std::vector<int> &columns)
{
    if (!HasPriorityBySSID())
        return;
    columns.push_back(kColEthernetTag);
    // A priority the list lacks stays as the device holds it.
    if (!ShowsKeptValue(Cb_Priority))
        columns.push_back(kColPriority);
}

void TFM_MultiSSIDNewForm::WarnKeySharing(TListItem *row)
{
    const int mode = CB_ApMode->ItemIndex();
    if (!GP_KeySetting->Visible() || CB_Sec->Text() == "None" || mode == 1 || mode == 2)
        return;
    TListItems *items = LV_MultiSSID_User->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TListItem *other = UserRow(items->Item(i));
        if (UserCell(items->Item(i), 1) == "WEP" && other != nullptr &&
            Cell(other, kColIndex) != Cell(row, kColIndex) &&
            Cell(other, kColKeyIndex) == CB_KeyIndex->Text()) {
            Warn("Key value is used by SSID! \nTo change Key value affects other SSID settings.");
            return;
        }
    }
}

void TFM_MultiSSIDNewForm::WriteSharedSecurity(TListItem *row)
{
    if (!GP_PSK->Visible())
        return;
    const int item = SecurityItem();
    TListItems *items = LV_MultiSSID_User->Items();
    const bool written = WriteScalar(*GroupKeyBinding);
    const AnsiString interval = Ed_GrpKey->Text();
    if (written && IsPersonal(item) && interval != m_groupKeyInterval && !m_groupKeyInterval.empty()) {
        for (int i = 0; i < items->Count(); ++i) {
            const AnsiString encryption = UserCell(items->Item(i), 1);
            TListItem *other = UserRow(items->Item(i));
            if (encryption != "WEP" && encryption != "OFF" && other != nullptr &&
                Cell(other, kColIndex) != Cell(row, kColIndex)) {
                Warn("Group Key Update Interval is used by SSID!\nTo change Group Key Update Interval "
                     "affects other "
                     "SSID settings.");
                m_groupKeyInterval = interval;
                break;
            }
        }
    }
    if (IsEnterprise(item))
        WriteScalar(*RadiusBinding);
    // WPA takes the second and third key slots from the SSIDs that use them for WEP.
    for (int i = 0; i < items->Count(); ++i) {
        const AnsiString caption = items->Item(i)->Caption();
        const int number = caption == "Primary" ? 0 : caption.size() >= 11 ? caption[10] - '0' : -1;
        TListItem *other = UserRow(items->Item(i));
        const AnsiString keyIndex = Cell(other, kColKeyIndex);
        if (number != CB_Idx->ItemIndex() && UserCell(items->Item(i), 1) == "WEP" && other != nullptr &&
            keyIndex != "First" && keyIndex != "Fourth") {
            Warn("WPA-Enterprise or WPA-Personal will use second and third key slot .\nOther Multiple SSID "
                 "which "
                 "uses second and third key for WEP will be set to no security.");
            break;
        }
    }
}

void TFM_MultiSSIDNewForm::StartRowWrite(TListItem *row, const std::vector<int> &columns,
                                         const AnsiString &startText)
{
    std::vector<std::pair<int, uint32_t>> flags;
    for (int i = kColSSID; i < SSIDTableBinding->Request.VarList.Count(); ++i) {
        const bool sent = std::find(columns.begin(), columns.end(), i) != columns.end();
        flags.emplace_back(i, sent ? KvAccess::ReadWrite : KvAccess::Invalid);
    }
    const bool multiRow = Cell(row, kColIndex) != "1";
    gMultiSSIDIdle = false;
    try {
        AccessPatch patch(*SSIDTableBinding, flags);
        Chain.PutThen(SSIDTableBinding.get(), {.After = AfterSet::KeepShown},
                      [this](bool) { OnRowWritten(); });
    } catch (const std::exception &e) {
        // Nothing went out (the chain has noted it): the form must stay closable.
        gMultiSSIDIdle = true;
        StatusBar1->SetSimpleText(SavedText(e.what()));
        return;
    }
    if (Chain.Waiting()) {
        if (multiRow)
            ShowSecurityGroups();
        if (!startText.empty())
            StatusBar1->SetSimpleText(startText);
    }
}

void TFM_MultiSSIDNewForm::OnRowWritten()
{
    // Not sent (the device did not answer a write before it, refused it at once, or it had
    // nothing to send), refused or left unanswered: the form's words first, the library's after.
    if (!Chain.Wrote(SSIDTableBinding.get())) {
        gMultiSSIDIdle = true;
        const AnsiString &logged = Chain.FailureDetail();
        StatusBar1->SetSimpleText(SavedText() + (logged.empty() ? AnsiString() : " " + logged));
        return;
    }
    // The Save's outcome stands through the read back, which names what it could not read.
    Chain.Show(StatusBar1, SavedText());
    // A walk already under way brings the flag back when it ends; a read that cannot start
    // brings nothing, so the flag comes back here.
    try {
        if (SSIDTableBinding->Get())
            return;
    } catch (const std::exception &e) {
        StatusBar1->SetSimpleText(e.what());
    }
    if (!SSIDTableBinding->Walking())
        gMultiSSIDIdle = true;
}

void TFM_MultiSSIDNewForm::DelButtonClick(TObject *)
{
    TListItem *item = LV_MultiSSID_User->Selected();
    if (item == nullptr || item->Caption() == "Primary")
        return;
    TListItem *target = UserRow(item);
    if (target == nullptr)
        return;
    // The row chosen in the list is the one switched off, even if the editors moved on.
    if (Cell(target, kColIndex) != m_editedIndex)
        LV_MultiSSID_UserClick(nullptr);
    TListItem *row = LocateEditedRow();
    if (row == nullptr)
        return;
    Chain.Begin();
    SelectText(CB_IdvState, "Disable");
    StatusBar1->SetSimpleText("Deleting...");
    StartRowWrite(row, {kColState}, AnsiString());
}

void TFM_MultiSSIDNewForm::ApplyBtnClick(TObject *)
{
    if (!MSSIDStateBinding || !VlanStateBinding)
        return;
    StatusBar1->SetSimpleText("Apply the settings...");
    // The switches go back as read: one that could not be read is left out and named, never
    // written as off. The first the device refuses or leaves unanswered ends the sequence.
    Chain.Begin();
    Chain.Put(MSSIDStateBinding.get());
    Chain.Put(VlanStateBinding.get());
    Chain.Put(UnlessLacking(PriorityBinding, m_priorityKnown));
    AnsiString text = Chain.Text("Setting success!", "Set error!");
    if (text.empty())
        text = gMsgGroupNotRead;
    // Rows go out with Save alone: edits left in the editors are not lost without a word.
    if (!m_rowAsLoaded.empty() && RowEditorState() != m_rowAsLoaded)
        text += " " + CB_Idx->Text() + ": " + gMsgRowNotSaved;
    StatusBar1->SetSimpleText(text);
    if (!Chain.Stopped() && Chain.WroteAny())
        RunRestartCountdown();
}
