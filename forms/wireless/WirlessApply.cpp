// Home \ Wireless, Apply: the checks in their order, and the steps that bring the guest SSIDs
// in line with the primary's mode and security before the writes (WirlessWrites.cpp).
#include "TFM_Wirless.h"

#include "Exception.h"
#include "KeyText.h"
#include "MainForm.h"
#include "Misc.h"
#include "WirlessItems.h"

using namespace wirless;

namespace {

constexpr uint32_t kRW = KvAccess::ReadWrite;
constexpr uint32_t kRO = KvAccess::ReadOnly;
constexpr uint32_t kOff = KvAccess::Invalid;
const AnsiString kEmptyMAC = "000000000000";
const AnsiString kSetError = "Setting error!";

bool contains(const AnsiString &text, const char *part)
{
    return text.find(part) != AnsiString::npos;
}

void warn(const char *text, const char *caption)
{
    Application->MessageBox(text, caption, MB_OK);
}

void focus(TWinControl *control)
{
    if (control->CanFocus())
        control->SetFocus();
}

// The kind of the authentication at that place of the device's nine.
bool isWEP(int auth)
{
    return AuthenticationKindAt(auth) == AuthKind::WEP;
}
bool isPersonal(int auth)
{
    return AuthenticationKindAt(auth) == AuthKind::Personal;
}
bool isEnterprise(int auth)
{
    return AuthenticationKindAt(auth) == AuthKind::Enterprise;
}

// The group was made and its last read succeeded: only then are its controls checked.
bool wasRead(const std::unique_ptr<FormBinding> &binding)
{
    return binding && binding->WasRead();
}

bool inRange(const AnsiString &text, int32_t low, int32_t high)
{
    if (text.empty())
        return false;
    const int32_t n = CapabilityNumber(text);
    return n >= low && n <= high;
}

bool validAddress(const TEdit *edit)
{
    return MainForm && MainForm->IsValidIPAddress(edit->Text());
}

// A server's address and port, each with its message.
bool checkServer(const TEdit *server, const char *serverMessage, const TEdit *port, const char *portMessage,
                 const char *caption)
{
    if (!validAddress(server)) {
        warn(serverMessage, caption);
        return false;
    }
    if (!inRange(port->Text(), 1, 65535)) {
        warn(portMessage, caption);
        return false;
    }
    return true;
}

// The cells of a guest row of the SSID table: 1 SSID, 2 state, 3 authentication,
// 4 encryption, 5 key index.
struct GuestRow {
    int SSIDIndex; // 2 to 8
    AnsiString SSID, State, Auth, Encryption, KeyIndex;
    bool On() const { return contains(State, "Enable") && contains(Encryption, "Enable"); }
    bool WEP() const { return AuthenticationKind(Auth) == AuthKind::WEP; }
};

std::vector<GuestRow> guestRows(TListView *table)
{
    std::vector<GuestRow> rows;
    TListItems *items = table->Items();
    for (int r = 1; r < items->Count(); ++r) {
        const TStrings *c = items->Item(r)->SubItems();
        rows.push_back({CapabilityNumber(c->Strings(0)), c->Strings(1), c->Strings(2), c->Strings(3),
                        c->Strings(4), c->Strings(5)});
    }
    return rows;
}

} // namespace

// ---- Apply -----------------------------------------------------------------------------------

void TFM_Wirless::Bt_ApplyClick(TObject *)
{
    if (m_applying)
        return;
    Guarded([this] {
        m_applying = true;
        m_plan = WritePlan{};
        m_outcome.clear();
        Chain.Begin();
        if (!CheckInput()) {
            m_applying = false;
            return;
        }
        CopyControlText(CB_Chana, Ed_Chana);
        CopyControlText(CB_Chang, Ed_Chang);
        // A channel the list lacks stays as the device holds it.
        if (ShowsKeptValue(CB_Chana))
            m_plan.SSID.emplace_back(kChannel, kOff);
        if (!m_multiSSID) {
            ApplyShortPath();
            return;
        }
        ApplyNewGuestScheme();
    });
}

bool TFM_Wirless::CheckInput()
{
    // The authentication shown is the one written; a bridge carries no Enterprise one. With
    // none shown the device's stays in the covered list, and one kept as the device holds it
    // stays whatever the mode.
    if (!Ed_SecAuthaTemp->Text().empty())
        Ed_SecAutha->SetItemIndex(Ed_SecAutha->Items()->IndexOf(Ed_SecAuthaTemp->Text()));
    // A mode the list does not offer is not written, and the authentication goes with it.
    const int mode = ModeItem() >= 0 ? ED_APModeComboBox->ItemIndex() : -1;
    const int auth = AuthIndex();
    if (m_multiSSID && !ShowsKeptValue(Ed_SecAuthaTemp) &&
        (mode == 1 || mode == 2 || mode == 5 || mode == 6) &&
        ((m_caps.Rogue == 1 && isEnterprise(auth)) || (m_caps.Rogue == 0 && auth > 2))) {
        Ed_SecAutha->SetItemIndex(0);
        Ed_SecAuthaTemp->SetItemIndex(Ed_SecAuthaTemp->Items()->IndexOf(Ed_SecAutha->Text()));
    }
    // A group that was not read is not written: nothing the user never typed in it is checked.
    if (wasRead(SSIDBinding) && !CheckSSID())
        return false;
    if (wasRead(APModeBinding) && contains(ED_APModeTempComboBox->Text(), "Repeater") &&
        Ed_SSID->Text().empty()) {
        warn("Please Input SSID.", "Warning");
        SetEditable(Ed_SSID, true);
        focus(Ed_SSID);
        return false;
    }
    if (!m_multiSSID)
        return true;
    if (!CheckPrimarySSIDClash()) {
        focus(Ed_SSIDa);
        NormalizeRemoteMACs();
        return false;
    }
    if (!CheckDuplicateRemoteMACs() || !ValidateMACsAndSSID() || !ValidateSecurity()) {
        NormalizeRemoteMACs();
        return false;
    }
    if (m_caps.NewMulti == 0) {
        if (!CheckKeyIndexClash()) {
            NormalizeRemoteMACs();
            return false;
        }
        if (!ApplyGuestState())
            return false;
    }
    return true;
}

bool TFM_Wirless::CheckSSID()
{
    if (Ed_SSIDa->Text().size() > 32 || Ed_SSIDg->Text().size() > 32) {
        warn("The Max Length of SSID is 32.!", "Warning");
        NormalizeRemoteMACs();
        return false;
    }
    if (Ed_SSIDa->Text().empty()) {
        warn("Please Input SSID.", "Warning");
        NormalizeRemoteMACs();
        return false;
    }
    if (Ed_SSIDa->Text()[0] == ' ') {
        warn("The first character can't be blank.", "Error");
        focus(Ed_SSIDa);
        NormalizeRemoteMACs();
        return false;
    }
    return true;
}

bool TFM_Wirless::CheckPrimarySSIDClash()
{
    if (CB_MultEnable->ItemIndex() != 1)
        return true;
    const std::vector<GuestRow> rows = guestRows(LV_Multi2);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (contains(rows[r].State, "Enable") && rows[r].SSID == Ed_SSIDa->Text()) {
            Application->MessageBox("The 11g Primary SSID's SSID is same as Multi-SSID " +
                                        std::to_string(r + 1),
                                    "Warning", MB_OK);
            return false;
        }
    }
    return true;
}

bool TFM_Wirless::CheckDuplicateRemoteMACs()
{
    const std::array<TEdit *, 8> remote = RemoteMACEdits();
    for (std::size_t later = remote.size() - 1; later >= 1; --later) {
        const AnsiString a = remote[later]->Text();
        if (a.empty() || a == kEmptyMAC)
            continue;
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (SameMacText(remote[earlier]->Text(), a)) {
                warn("Exist same MAC address.", "Warning");
                focus(remote[later]);
                return false;
            }
        }
    }
    return true;
}

bool TFM_Wirless::ValidateMACsAndSSID()
{
    // Besides the mode itself, only what the mode uses is written.
    AccessPlan &ap = m_plan.APMode;
    for (int i = kRemoteMAC1; i <= kAPModeSSID; ++i)
        ap.emplace_back(i, kOff);
    m_plan.SSID = {{kSSID, kOff}};
    const bool partnerBound = (m_caps.APModes & 3u) != 0;
    const std::array<TEdit *, 8> remote = RemoteMACEdits();
    if (!wasRead(APModeBinding) || ModeItem() < 0 || ShowsKeptValue(ED_APModeTempComboBox)) {
        // No mode known, or one the list lacks kept as the device holds it: the mode and its
        // partners stay as they are.
        ap.emplace_back(kAPMode, kOff);
        m_plan.SSID = {{kSSID, kRW}};
        return true;
    }
    const MacRule rootRule{"The length is 12 in IEEE802.11g Root AP MAC Address.", "Error", false, ""};
    const MacRule remoteRule{"The length is 12 in IEEE802.11g MAC address.", "Error", false, ""};
    switch (ED_APModeComboBox->ItemIndex()) {
    case 0:
        m_plan.SSID = {{kSSID, kRW}};
        break;
    case 1:
    case 5:
        if (!FirstPartnerGiven())
            return false;
        if (!CheckMacText(Ed_ReMAddra0, rootRule))
            return false;
        ap.emplace_back(kRemoteMAC1, kRW);
        m_plan.SSID = {{kSSID, kRW}};
        break;
    case 2:
    case 6:
        if (!FirstPartnerGiven())
            return false;
        for (TEdit *e : remote)
            if (e->Text().empty())
                e->SetText(kEmptyMAC);
        for (TEdit *e : remote)
            if (!CheckMacText(e, remoteRule))
                return false;
        for (int i = 0; i < 8; ++i)
            ap.emplace_back(kRemoteMAC1 + i, kRW);
        m_plan.SSID = {{kSSID, kRW}};
        break;
    case 3:
        if (Ed_RoMAddra0->Text().empty()) {
            warn("Please input MAC address in blank space!", "Error");
            focus(Ed_RoMAddra0);
            return false;
        }
        if (!CheckMacText(Ed_RoMAddra0, rootRule))
            return false;
        if (partnerBound)
            ap.insert(ap.end(), {{kRootMAC, kRW}, {kAPModeSSID, kRW}});
        break;
    case 4:
        if (Ed_SSID->Text().empty()) {
            warn("Please input the SSID.", "Warning");
            focus(Ed_SSID);
            return false;
        }
        if (Ed_SSID->Text()[0] == ' ') {
            warn("The first character can't be blank.", "Error");
            focus(Ed_SSID);
            return false;
        }
        // No access point chosen yet: the device takes the empty MAC, never an empty value.
        if (Ed_RoMAddra0->Text().empty())
            Ed_RoMAddra0->SetText(kEmptyMAC);
        if (partnerBound)
            ap.insert(ap.end(), {{kRootMAC, kRW}, {kAPModeSSID, kRW}});
        break;
    default:
        break;
    }
    return true;
}

bool TFM_Wirless::FirstPartnerGiven()
{
    if (!Ed_ReMAddra0->Text().empty())
        return true;
    warn("Please input MAC address in first blank space!", "Warning");
    focus(Ed_ReMAddra0);
    return false;
}

bool TFM_Wirless::ValidateKeys()
{
    TEdit *key = ValidKeyEdit();
    if (!key)
        return true;
    // A typed key is always checked, and converted when ASCII: with no size chosen (the
    // device's key was empty) the size the key has is taken, else the smallest is asked for.
    if (Ed_KeySize->ItemIndex() < 0 && IsKeyEdited(key)) {
        int size = 0;
        for (int s = 1; s < 3; ++s)
            if (static_cast<int>(key->Text().size()) == WepKeyLength(KeyTypeItem(), s))
                size = s;
        Ed_KeySize->SetItemIndex(size);
    }
    return CheckWepKeyLengths(KeyTypeItem(), Ed_KeySize->ItemIndex(),
                              {{key, WepKeySlotSubject(ValidKeySlot())}});
}

int TFM_Wirless::IsHexText(TEdit *edit)
{
    return ::IsHexText(edit);
}

bool TFM_Wirless::ValidateSecurity()
{
    WritePlan &p = m_plan;
    p.Security = {{kEncryption, kOff}, {kValidKey, kOff}};
    for (int i = 0; i < 4; ++i)
        p.Security.emplace_back(kKey1 + i, kOff);
    p.PassPhrase = {{0, kOff}, {1, kOff}, {2, kOff}};
    p.Radius = {{kRadiusCipher, kRO},
                {kRadiusPort, kRO},
                {kRadiusInterval, kRO},
                {kRadiusServer, kRO},
                {kRadiusSecret, kRO}};
    // Without the security group read, no authentication is known: nothing of it is checked.
    const int auth = wasRead(SecurityBinding) ? AuthIndex() : -1;
    // None shown, or one the list lacks: the device keeps its own.
    if (auth < 0 || ShowsKeptValue(Ed_SecAuthaTemp))
        p.Security.emplace_back(kAuth, kOff);
    if (isWEP(auth)) {
        p.Security.emplace_back(kEncryption, kRW);
        if (Ed_SecEncypa->ItemIndex() != 0) {
            if (!ShowsKeptValue(Ed_SecValKeya))
                p.Security.emplace_back(kValidKey, kRW);
            if (!ValidateKeys())
                return false;
            TEdit *key = ValidKeyEdit();
            // A key left masked (not printable when read) or empty is not sent.
            if (key) {
                const int hex = IsHexText(key);
                if (hex == 1)
                    return false;
                if (hex == 2)
                    p.Security.emplace_back(kKey1 + ValidKeySlot() - 1, kRW);
            }
        }
    } else if (isPersonal(auth) || isEnterprise(auth)) {
        Ed_SecEncypa->SetItemIndex(1);
        p.Security.emplace_back(kEncryption, kRW);
        if (!ValidateWPA(auth))
            return false;
    }
    return ValidateAccounting();
}

// The pass phrase or the RADIUS server of a WPA authentication, where their group was read.
bool TFM_Wirless::ValidateWPA(int auth)
{
    WritePlan &p = m_plan;
    const bool personal = isPersonal(auth);
    if (!wasRead(personal ? PassPhraseBinding : RadiusBinding))
        return true;
    TEdit *interval = personal ? GroupKeyPSKEdit : GroupKeyEdit;
    if (!inRange(interval->Text(), 300, 9999999)) {
        warn("Please input a number between 300 and 9999999.", "Error");
        interval->SetText("");
        focus(interval);
        return false;
    }
    if (personal) {
        const std::size_t length = PassPhrasePSKEdit->Text().size();
        if (length < 8 || length > 63) {
            warn("The length of 802.11g PassPhrase is between 8 and 63.", "Error");
            return false;
        }
        p.PassPhrase = {{0, kRW}, {1, kRW}, {2, kRW}};
        // A cipher the mode's list lacks stays as the device holds it.
        if (ShowsKeptValue(CipherforPSKBox))
            p.PassPhrase.emplace_back(kPassCipher, kOff);
        return true;
    }
    const char *const portMessage = "Please input a number between 1 and 65535.";
    if (!checkServer(RadiusServerEdit, "The Radius server's IP is illegal.", RadiusportEdit, portMessage,
                     "Error"))
        return false;
    if (wasRead(BackupRadiusBinding) && CB_RadiusMode->ItemIndex() == 1 &&
        !checkServer(Ed_SecRadiusServer, "The Secondary Radius server's IP is illegal.", Ed_SecRadiusport,
                     portMessage, "Error"))
        return false;
    p.Radius = {{kRadiusCipher, kRW},
                {kRadiusPort, kRW},
                {kRadiusInterval, kRW},
                {kRadiusServer, kRW},
                {kRadiusSecret, kRW}};
    return true;
}

bool TFM_Wirless::ValidateAccounting()
{
    if (!AccountingShown || !wasRead(AccountingBinding))
        return true;
    WritePlan &p = m_plan;
    if (CB_AcntEnable->ItemIndex() == 1) {
        if (!checkServer(Ed_AcntServer, "The Accountings server's IP is illegal", Ed_AcntPort,
                         "The range of Accounting Port is (1-65535)", "Warning"))
            return false;
        if (wasRead(BackupAccountingBinding) && CB_AccountingMode->ItemIndex() == 1 &&
            !checkServer(Ed_SecAccountServer, "The Secondary Accountings server's IP is illegal",
                         Ed_SecAccountPort, "The range of Secondary Accounting Port is (1-65535)", "Warning"))
            return false;
        p.Accounting = {{kAcntMode, kRW}, {kAcntServer, kRW}, {kAcntPort, kRW}};
    } else {
        p.Accounting = {{kAcntMode, kRW}, {kAcntServer, kOff}, {kAcntPort, kOff}};
    }
    return true;
}

bool TFM_Wirless::CheckKeyIndexClash()
{
    if (!Ed_SecValKeya->Enabled() || !isWEP(AuthIndex()))
        return true;
    const int slot = ValidKeySlot();
    const TComboBox *guests[] = {Guest1_ComboBox, Guest2_ComboBox, Guest3_ComboBox};
    const TComboBox *encryption[] = {GuestEncry1_ComboBox, GuestEncry2_ComboBox, GuestEncry3_ComboBox};
    const TComboBox *keys[] = {GuestKeyIndex1_ComboBox, GuestKeyIndex2_ComboBox, GuestKeyIndex3_ComboBox};
    for (int g = 0; g < 3; ++g) {
        // Key numbers, not list positions: the valid-key list may hold only two keys.
        if (guests[g]->ItemIndex() == 1 && encryption[g]->ItemIndex() == 1 && slot > 0 &&
            keys[g]->ItemIndex() + 1 == slot) {
            Application->MessageBox("The 11g master SSID's key index is same as Guest SSID" +
                                        std::to_string(g + 1),
                                    "Warning", MB_OK);
            return false;
        }
    }
    return true;
}

bool TFM_Wirless::ApplyGuestState()
{
    // Guests go with the access point mode and super G off (the device's value 4, whichever
    // list position it has). A setting that was not read is not written either: the device
    // keeps it as it is, and the guests are not switched for it.
    // The device without super G has no group for it: its combo alone says.
    const bool superOff =
        (SuperModeBinding && !wasRead(SuperModeBinding)) || AD_SuperMode->Text() == "Disable";
    const auto plain = [](const AnsiString &auth) { return auth == "Open System" || auth == "Shared Key"; };
    const bool plainWEP = !wasRead(SecurityBinding) || plain(Ed_SecAuthaTemp->Text());
    const bool accessPoint = !wasRead(APModeBinding) || ModeItem() == 0;
    const std::array<TComboBox *, 7> combos = {
        Master_ComboBox,      Guest1_ComboBox,      Guest2_ComboBox,     Guest3_ComboBox,
        GuestEncry1_ComboBox, GuestEncry2_ComboBox, GuestEncry3_ComboBox};
    // What the device holds, so that a switch whose reason does not come can be put back.
    GuestSwitch &g = m_guests;
    for (std::size_t i = 0; i < combos.size(); ++i)
        g.Held[i] = combos[i]->ItemIndex();
    g.HeldAP = !wasRead(APModeBinding) || ReadValueName(*APModeBinding, kAPMode) == "Access Point";
    g.HeldSuperOff = SuperModeBinding
                         ? !wasRead(SuperModeBinding) || ReadValueName(*SuperModeBinding, 0) == "Disable"
                         : superOff;
    g.HeldPlainWEP = !wasRead(SecurityBinding) || plain(ReadValueName(*SecurityBinding, kAuth));
    g.ChosenAP = accessPoint;
    g.ChosenSuperOff = superOff;
    g.ChosenPlainWEP = plainWEP;
    TComboBox *encryption[] = {GuestEncry1_ComboBox, GuestEncry2_ComboBox, GuestEncry3_ComboBox};
    if (accessPoint && superOff) {
        if (!plainWEP)
            for (TComboBox *c : encryption)
                c->SetItemIndex(0);
    } else {
        for (TComboBox *c : {Master_ComboBox, Guest1_ComboBox, Guest2_ComboBox, Guest3_ComboBox})
            c->SetItemIndex(0);
        if (!(plainWEP && superOff))
            for (TComboBox *c : encryption)
                c->SetItemIndex(0);
    }
    for (std::size_t i = 0; i < combos.size(); ++i)
        g.Written[i] = combos[i]->ItemIndex();
    if (!Write(GuestStateBinding.get(), {}, {.IfStoppedLater = [this] { PutBackGuestStates(); }})) {
        EndApply(AnsiString(), true);
        return false;
    }
    return true;
}

void TFM_Wirless::ApplyNewGuestScheme()
{
    m_guestMarked = m_keyWarning = m_intervalWarning = m_keySlotWarning = false;
    m_marked.clear();
    if (m_caps.NewMulti != 1 || CB_MultEnable->ItemIndex() != 1) {
        ApplySets();
        return;
    }
    const int auth = AuthIndex();
    const std::vector<GuestRow> rows = guestRows(LV_Multi2);
    const std::array<TComboBox *, 7> encryption = GuestEncryptionCombos();
    const std::array<TComboBox *, 7> auths = GuestAuthCombos();
    // Guests on Enterprise use the primary's RADIUS: they lose it only when the primary leaves
    // an Enterprise authentication, not on an Apply that keeps the primary's as it was.
    const AnsiString readAuth = SecurityBinding ? SecurityBinding->Request.VarList.GetItem(kAuth)->Value : "";
    const bool radiusGoes =
        auth >= 0 && !isEnterprise(auth) && isEnterprise(gAdSecAuthenticationNames.IndexOfName(readAuth));
    if (!isEnterprise(auth)) {
        m_plan.GuestEncryption.clear();
        for (int i = 0; i < 14; ++i)
            m_plan.GuestEncryption.emplace_back(i, kOff);
        m_plan.GuestAuth = m_plan.GuestEncryption;
        for (const GuestRow &row : rows) {
            if (!radiusGoes || row.SSIDIndex < 2 || row.SSIDIndex > 8 || !row.On() ||
                !(contains(row.Auth, "EAP") || contains(row.Auth, "Enterprise")))
                continue;
            const auto n = static_cast<std::size_t>(row.SSIDIndex - 2);
            encryption[n]->SetItemIndex(0);
            auths[n]->SetItemIndex(0);
            m_plan.GuestEncryption.emplace_back(static_cast<int>(n), kRW);
            m_plan.GuestAuth.emplace_back(static_cast<int>(7 + n), kRW);
            m_guestMarked = true;
            m_marked.push_back({n, row.Encryption, row.Auth});
        }
    }
    if (isWEP(auth) && Ed_SecEncypa->ItemIndex() == 1) {
        for (const GuestRow &row : rows)
            if (row.KeyIndex == Ed_SecValKeya->Text() && row.On() &&
                (contains(row.Auth, "Open") || contains(row.Auth, "Shared")))
                m_keyWarning = true;
    }
    if (auth >= 3 && auth <= 8) {
        for (const GuestRow &row : rows) {
            if (!row.On())
                continue;
            if (row.WEP()) {
                if (row.KeyIndex != "First" && row.KeyIndex != "Fourth") {
                    m_keySlotWarning = true;
                    break;
                }
                continue;
            }
            TEdit *edited = isEnterprise(auth) ? GroupKeyEdit : GroupKeyPSKEdit;
            if (edited->Text() != GroupKeyIntervalText && !GroupKeyIntervalText.empty()) {
                GroupKeyEdit->SetText(GroupKeyIntervalText);
                GroupKeyPSKEdit->SetText(GroupKeyIntervalText);
                m_intervalWarning = true;
                break;
            }
        }
    }
    if (!m_guestMarked)
        return WarnAboutGuestsThenWrite();
    WriteGuestsThen(GuestEncryptionBinding.get(), m_plan.GuestEncryption, [this](bool goesOn) {
        if (!goesOn)
            return EndApply(AnsiString(), false);
        WriteGuestsThen(GuestAuthBinding.get(), m_plan.GuestAuth, [this](bool done) {
            if (!done)
                return EndApply(AnsiString(), false);
            WarnAboutGuestsThenWrite();
        });
    });
}

// The warnings the guest scan raised, after the guests' own writes, then the primary's writes.
void TFM_Wirless::WarnAboutGuestsThenWrite()
{
    if (MultiSSIDWasEnabled) {
        if (m_keyWarning)
            warn("Key value is used by SSID! \nTo change Key value affects other SSID settings.", "Warning");
        if (m_intervalWarning)
            warn("Group Key Update Interval is used by SSID!\nTo change Group Key Update Interval affects "
                 "other SSID settings.",
                 "Warning");
        if (m_keySlotWarning)
            warn("WPA-Enterprise or WPA-Personal will use second and third key slot .\nOther Multiple "
                 "SSID "
                 "which uses second and third key for WEP will be set to no security.",
                 "Warning");
        if (m_guestMarked) {
            warn("To change authentication type of Primary SSID will change WPA-Enterprise of Secondary "
                 "SSID "
                 "to non security.",
                 "Warning");
            MultiSSIDWasEnabled = false;
        }
    }
    ApplySets();
}

void TFM_Wirless::CopyControlText(TControl *from, TControl *to)
{
    to->SetText(from->Text());
}
