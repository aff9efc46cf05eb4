#include "TFM_Encrypt.h"

#include "FormGlobals.h"
#include "FormPages.h"
#include "KeyText.h"
#include "KvSNMPReadBatch.h"
#include "MainMenu.h"
#include "Misc.h"
#include "NetUtils.h"
#include "ShellTexts.h"

#include <string>
#include <utility>
#include <vector>

namespace {

const char kMsgNoAuthentication[] = "Please choose an authentication.";
const char kCodebaseWithoutDNS[] = "3.3.0.156";

// Security items: 0-2 page a, 3-5 page g, 6-9 page a keys, 10-13 page g keys.
enum : int { kAuthA = 0, kEncryptionA = 1, kValidKeyA = 2, kFirstKeyA = 6, kSecurityCount = 14 };
// Server items.
enum : int { kDNSIP = 0, kDNS = 1 };

const FormItemTable kSecurityItems = {
    {"2.5.1.1.1.1", "adSecAuthentication-a", KvSyntax::Integer, KvAccess::Invalid,
     &gAdSecAuthenticationNames},
    {"2.5.1.1.2.1", "adSecEncryption-a", KvSyntax::Integer, KvAccess::Invalid, &gAdSecEncryptionNames},
    {"2.5.1.1.3.1", "adSecValidKey-a", KvSyntax::Integer, KvAccess::Invalid, &gAdSecValidKeyNames},
    {"2.5.1.1.1.2", "adSecAuthentication-g", KvSyntax::Integer, KvAccess::Invalid,
     &gAdSecAuthenticationNames},
    {"2.5.1.1.2.2", "adSecEncryption-g", KvSyntax::Integer, KvAccess::Invalid, &gAdSecEncryptionNames},
    {"2.5.1.1.3.2", "adSecValidKey-g", KvSyntax::Integer, KvAccess::Invalid, &gAdSecValidKeyNames},
    {"2.5.3.1.1.1.1", "adSecKey-80211a-1", KvSyntax::DisplayStr, KvAccess::Invalid},
    {"2.5.3.1.1.1.2", "adSecKey-80211a-2", KvSyntax::DisplayStr, KvAccess::Invalid},
    {"2.5.3.1.1.1.3", "adSecKey-80211a-3", KvSyntax::DisplayStr, KvAccess::Invalid},
    {"2.5.3.1.1.1.4", "adSecKey-80211a-4", KvSyntax::DisplayStr, KvAccess::Invalid},
    {"2.5.3.1.1.2.1", "adSecKey-80211g-1", KvSyntax::DisplayStr, KvAccess::Invalid},
    {"2.5.3.1.1.2.2", "adSecKey-80211g-2", KvSyntax::DisplayStr, KvAccess::Invalid},
    {"2.5.3.1.1.2.3", "adSecKey-80211g-3", KvSyntax::DisplayStr, KvAccess::Invalid},
    {"2.5.3.1.1.2.4", "adSecKey-80211g-4", KvSyntax::DisplayStr, KvAccess::Invalid},
};
const FormItemTable kAPModeItems = {
    {"2.1.1.1", "adAPMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdAPModeNames},
};
const FormItemTable kCodebaseItems = {
    {"99.1.1.5", "codebase", KvSyntax::DisplayStr, KvAccess::ReadOnly},
};
const FormItemTable kServerItems = {
    {"2.5.2.1.0", "Sec DNS IP Address", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.5.2.2.0", "Sec DNS", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"2.5.2.3.0", "Sec RADIUS Server", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"2.5.2.4.0", "Sec RADIUS Port", KvSyntax::Integer, KvAccess::ReadWrite},
    {"2.5.2.5.0", "Sec RADIUS Secret", KvSyntax::DisplayStr, KvAccess::ReadWrite},
};
// The rows of a pass-phrase group as the page names them.
const char kPassPhraseLabel[] = "PassPhrase, Cipher Type, Group Key Update Interval";
const FormItemTable kPassPhraseItems = {
    {"2.5.1.1.4.1", "adSecPassPhrase", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"2.5.1.1.5.1", "adSecCipherType", KvSyntax::Integer, KvAccess::ReadWrite, &gAdSecCipherTypeNames},
    {"2.5.1.1.6.1", "adSecGroupKeyUpdateInterval", KvSyntax::Integer, KvAccess::ReadWrite},
};
const FormItemTable kPassPhrase2Items = {
    {"2.5.1.1.4.2", "adSecPassPhrase", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"2.5.1.1.5.2", "adSecCipherType", KvSyntax::Integer, KvAccess::ReadWrite, &gAdSecCipherTypeNames},
    {"2.5.1.1.6.2", "adSecGroupKeyUpdateInterval", KvSyntax::Integer, KvAccess::ReadWrite},
};

void SetEditable(TEdit *edit, bool editable)
{
    edit->SetReadOnly(!editable);
    edit->SetColor(editable ? clWindow : clBtnFace);
}

TComboBox *ListCombo(TWinControl *parent, const std::string &name, Bounds b,
                     std::initializer_list<const char *> items = {})
{
    auto *combo = Make<TComboBox>(parent, name.c_str(), b, items);
    combo->SetStyle(csDropDownList);
    return combo;
}

TLabel *RowLabel(TWinControl *parent, const std::string &name, int left, int top, const char *caption)
{
    return Make<TLabel>(parent, name.c_str(), {left, top, 100, 16}, caption);
}

// One band's rows; a and g differ only in their names.
SecurityPage BuildPage(TTabSheet *page, const std::string &band, const std::string &typeSize,
                       const std::string &ascii)
{
    SecurityPage p{};
    RowLabel(page, "La_Auth" + band, 12, 15, "Authentication");
    p.Auth = ListCombo(page, "CB_SecAuth" + band, {150, 12, 200, 21});
    RowLabel(page, "La_Encyp" + band, 12, 43, "Encryption");
    p.Encryption = ListCombo(page, "CB_SecEncyp" + band, {150, 40, 110, 21});
    RowLabel(page, "La_KeyType" + band, 12, 71, "Key Type");
    p.KeyType = ListCombo(page, "CB_KeyType" + typeSize, {150, 68, 110, 21}, {"HEX", "ASCII"});
    RowLabel(page, "La_KeySize" + band, 276, 71, "Key Size");
    p.KeySize =
        ListCombo(page, "CB_KeySize" + typeSize, {336, 68, 110, 21}, {"64 Bits", "128 Bits", "152 Bits"});
    p.KeyType->SetItemIndex(0);
    p.KeySize->SetItemIndex(0);
    RowLabel(page, "La_ValKey" + band, 12, 99, "Valid Key");
    p.ValidKey = ListCombo(page, "CB_SecValKey" + band, {150, 96, 110, 21});

    p.KeyTable = Make<TGroupBox>(page, ("GB_KeyTab" + band).c_str(), {8, 126, 480, 128}, "Key Table ");
    static const char *const kSlots[] = {"First", "Second", "Third", "Fourth"};
    for (int k = 0; k < 4; ++k) {
        const int top = 22 + k * 26;
        RowLabel(p.KeyTable, "La_Key" + std::to_string(k + 1) + band, 12, top + 3, kSlots[k]);
        const std::string slot = std::to_string(k + 1);
        p.HexKey[k] = Make<TEdit>(p.KeyTable, ("Ed_Key" + slot + band).c_str(), {142, top, 320, 21});
        // The ASCII edits lie at the same places, shown instead of the HEX ones.
        p.AsciiKey[k] = Make<TEdit>(p.KeyTable, ("Ed_Key" + slot + ascii).c_str(), {142, top, 320, 21});
        p.AsciiKey[k]->SetVisible(false);
    }
    RowLabel(page, "La_PassPh" + band, 12, 267, "PassPhrase");
    p.PassPhrase = Make<TEdit>(page, ("Ed_PassPh" + band).c_str(), {150, 264, 320, 21});
    p.PassPhrase->SetMaxLength(63);
    RowLabel(page, "La_Cipher" + band, 12, 295, "Cipher Type");
    p.Cipher = ListCombo(page, "CB_CipherType" + band, {150, 292, 110, 21});
    RowLabel(page, "La_GKUI1" + band, 12, 316, "Group Key  Update ");
    RowLabel(page, "La_GKUI2" + band, 12, 330, "Interval [ 300 - 9999999 ]");
    p.Interval = Make<TEdit>(page, ("Ed_GKUI" + band).c_str(), {150, 320, 110, 21});
    return p;
}

} // namespace

TFM_Encrypt::TFM_Encrypt(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Encrypt", "Advanced \\ Encryption", 520, 596});
    PC_Encryption = Make<TPageControl>(this, "PC_Encryption", {8, 8, 504, 520});
    TS_80211a = MakePage(this, PC_Encryption, "TS_80211a", "IEEE802.11a");
    TS_80211g = MakePage(this, PC_Encryption, "TS_80211g", "IEEE802.11g");
    TS_80211g->SetTabVisible(false);
    PageA = BuildPage(TS_80211a, "a", "A", "t");
    PageG = BuildPage(TS_80211g, "g", "G", "tg");
    PC_Encryption->SetActivePage(TS_80211a);

    GroupBox2 = Make<TGroupBox>(TS_80211a, "GroupBox2", {8, 354, 480, 134}, "  Security Server Settings  ");
    Label22 = Make<TLabel>(GroupBox2, "Label22", {12, 19, 110, 14}, "Domain Name Server");
    Label23 = Make<TLabel>(GroupBox2, "Label23", {12, 32, 110, 14}, "IP Address");
    // Empty until the servers are read: no address stands there that the device did not send.
    Ed_DNSIP = Make<TEdit>(GroupBox2, "Ed_DNSIP", {142, 24, 110, 21});
    Label24 = Make<TLabel>(GroupBox2, "Label24", {262, 27, 110, 16}, "Domain Name Server");
    Ed_DNS = Make<TEdit>(GroupBox2, "Ed_DNS", {376, 24, 94, 21});
    Ed_DNS->SetMaxLength(32);
    Label25 = Make<TLabel>(GroupBox2, "Label25", {12, 53, 110, 16}, "RADIUS Server");
    Ed_RadiusSrv2 = Make<TEdit>(GroupBox2, "Ed_RadiusSrv2", {142, 50, 110, 21});
    Ed_RadiusSrv = Make<TEdit>(GroupBox2, "Ed_RadiusSrv", {142, 50, 110, 21});
    Ed_RadiusSrv->SetVisible(false);
    Label26 = Make<TLabel>(GroupBox2, "Label26", {12, 79, 126, 16}, "RADIUS Port (1-65535)");
    Ed_RadiusPort = Make<TEdit>(GroupBox2, "Ed_RadiusPort", {142, 76, 60, 21});
    Label27 = Make<TLabel>(GroupBox2, "Label27", {12, 105, 110, 16}, "RADIUS Secret ");
    Ed_RadiusSec = Make<TEdit>(GroupBox2, "Ed_RadiusSec", {142, 102, 200, 21});
    Ed_RadiusSec->SetMaxLength(32);
    Ed_RadiusSec->SetPasswordChar('*');

    CB_11a_APM = ListCombo(TS_80211a, "CB_11a_APM", {360, 12, 110, 21});
    CB_11a_APM->SetVisible(false);
    Codebase = Make<TEdit>(TS_80211a, "Codebase", {360, 40, 110, 21});
    Codebase->SetVisible(false);

    Bt_Ref = Make<TButton>(this, "Bt_Ref", {136, 536, 75, 25}, "Refresh");
    Bt_Apply = Make<TButton>(this, "Bt_Apply", {222, 536, 75, 25}, "Apply");
    Bt_Cancel = Make<TButton>(this, "Bt_Cancel", {308, 536, 75, 25}, "Cancel");
    Bt_Adv = Make<TButton>(this, "Bt_Adv", {400, 536, 110, 25}, "Security Server");
    Bt_Adv->SetVisible(false);
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    Bt_Ref->OnClick = [this](TObject *s) { Bt_RefClick(s); };
    Bt_Cancel->OnClick = [this](TObject *s) { Bt_CancelClick(s); };
    Bt_Adv->OnClick = [this](TObject *s) { Bt_AdvClick(s); };
    CB_SecAutha->OnChange = [this](TObject *s) { CB_SecAuthaChange(s); };
    CB_SecEncypa->OnChange = [this](TObject *s) { CB_SecAuthaChange(s); };
    PC_Encryption->OnChange = [this](TObject *s) { CB_SecAuthaChange(s); };
    CB_KeyTypeA->OnChange = [this](TObject *s) { CB_KeyTypeAChange(s); };
    CB_KeySizeA->OnChange = [this](TObject *s) { CB_KeyTypeAChange(s); };
    CB_SecValKeya->OnChange = [this](TObject *s) { CB_KeyTypeAChange(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    // The servers are read in the background.
    m_guard.Watch(ServersReq);
    m_guard.Install(this);
}

void TFM_Encrypt::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        SecurityReq = MakeBinding(this, {.Items = kSecurityItems,
                                         .Label = "Authentication",
                                         .Type = MVT_SV,
                                         .Mode = BindMode::Sync,
                                         .Timeout = 5000,
                                         .Log = StatusBar});
        TS_80211a->SetText(gBand11gName);
        SecurityReq->AssociateCombo(kAuthA, CB_SecAutha);
        SecurityReq->AssociateCombo(kEncryptionA, CB_SecEncypa);
        SecurityReq->AssociateCombo(kValidKeyA, CB_SecValKeya);
        for (int k = 0; k < 4; ++k)
            SecurityReq->AssociateEdits(kFirstKeyA + k, "%s", PageA.HexKey[k]);
        for (int item : std::initializer_list<int>{kAuthA, kEncryptionA, kValidKeyA, kFirstKeyA,
                                                   kFirstKeyA + 1, kFirstKeyA + 2, kFirstKeyA + 3})
            SecurityReq->Request.VarList.GetItem(item)->Access = KvAccess::ReadWrite;

        APModeReq = MakeBinding(
            this, {.Items = kAPModeItems, .Label = "AP Mode", .Type = SVT_SV, .Mode = BindMode::Sync});
        APModeReq->AssociateCombo(0, CB_11a_APM);
        CodebaseReq = MakeBinding(
            this, {.Items = kCodebaseItems, .Label = "Code Base", .Type = SVT_SV, .Mode = BindMode::Sync});
        CodebaseReq->AssociateEdits(0, "%s", Codebase);
        // An answer that comes after the layout shows at once.
        ServersReq = MakeBinding(this, {.Items = kServerItems,
                                        .Label = "Security Server Settings",
                                        .Type = MVT_SV,
                                        .Mode = BindMode::Async,
                                        .OnGetDone = [this](KvSNMPRequest2Controls *, KvSNMPError *) {
                                            Layout();
                                            ShowUnread();
                                        }});
        ServersReq->AssociateEdits(0, "%s", Ed_DNSIP);
        ServersReq->AssociateEdits(1, "%s", Ed_DNS);
        ServersReq->AssociateEdits(2, "%s", Ed_RadiusSrv);
        ServersReq->AssociateEdits(3, "%u{n1x65535}", Ed_RadiusPort);
        ServersReq->AssociateEdits(4, "%s", Ed_RadiusSec);

        SecurityReq->Get();
        ServersReq->Get();
        APModeReq->Get();
        if (CodebaseReq->Get() && Codebase->Text() == kCodebaseWithoutDNS)
            HideDNSRows();
        SavedAuthentication = CB_SecAutha->Text();
        ShowKeyChoices();

        PassPhraseReq = MakeBinding(this, {.Items = kPassPhraseItems,
                                           .Label = kPassPhraseLabel,
                                           .Type = MVT_SV,
                                           .Mode = BindMode::Sync,
                                           .Timeout = 5000});
        PassPhraseReq->AssociateEdits(0, "%s", Ed_PassPha);
        PassPhraseReq->AssociateCombo(1, CB_CipherTypea);
        PassPhraseReq->AssociateEdits(2, "%u", Ed_GKUIa);
        PassPhraseReq->Get();
        // The second band's group: bound and read only while its page shows, which it never does.
        PassPhrase2Req = MakeBinding(this, {.Items = kPassPhrase2Items,
                                            .Label = kPassPhraseLabel,
                                            .Type = MVT_SV,
                                            .Mode = BindMode::Sync,
                                            .Timeout = 5000});

        MaskKeysA();
        KeySizeFromValidKey();
        FillAuthenticationList();
        Layout();
    });
    ShowUnread();
}

bool TFM_Encrypt::ShowUnread()
{
    // The servers, read in the background, tell it again when they have come.
    return ShowReadFailure(StatusBar, {SecurityReq.get(), ServersReq.get(), APModeReq.get(),
                                       CodebaseReq.get(), PassPhraseReq.get()});
}

void TFM_Encrypt::ShowKeyChoices()
{
    // The key type and size are the form's, shown only over keys that were read.
    if (!SecurityReq || !SecurityReq->WasRead()) {
        CB_KeyTypeA->SetItemIndex(-1);
        CB_KeySizeA->SetItemIndex(-1);
        return;
    }
    if (CB_KeyTypeA->ItemIndex() < 0)
        CB_KeyTypeA->SetItemIndex(0);
    if (CB_KeySizeA->ItemIndex() < 0)
        CB_KeySizeA->SetItemIndex(0);
    KeySizeFromValidKey();
}

int TFM_Encrypt::AuthenticationIndex() const
{
    const AnsiString text = CB_SecAutha->Text();
    switch (AuthenticationKind(text)) {
    case AuthKind::WEP:
        return gAdSecAuthenticationNames.IndexOfName(text);
    case AuthKind::Personal:
        return 3;
    case AuthKind::Enterprise:
        return 4;
    default:
        return -1;
    }
}

void TFM_Encrypt::FillAuthenticationList()
{
    // The device's authentication as read: one this list lacks is kept (shown, never written).
    const AnsiString shown = SecurityReq ? ReadValueName(*SecurityReq, kAuthA) : AnsiString();
    TStrings *items = CB_SecAutha->Items();
    items->Clear();
    for (const char *name : {"Open System", "Shared Key", "Open System / Shared Key"})
        items->Add(name);
    if (CB_11a_APM->ItemIndex() == 0) {
        items->Add("WPA-Personal");
        items->Add("WPA-Enterprise");
    }
    ShowDeviceValue(CB_SecAutha, shown);
}

void TFM_Encrypt::KeySizeFromValidKey()
{
    const int key = CB_SecValKeya->ItemIndex();
    if (key < 0 || key > 3)
        return;
    switch (PageA.HexKey[key]->Text().size()) {
    case 10:
        CB_KeySizeA->SetItemIndex(0);
        break;
    case 26:
        CB_KeySizeA->SetItemIndex(1);
        break;
    case 32:
        CB_KeySizeA->SetItemIndex(2);
        break;
    default:
        break;
    }
}

void TFM_Encrypt::MaskKeysA()
{
    const bool hex = CB_KeyTypeA->ItemIndex() == 0;
    const int size = CB_KeySizeA->ItemIndex();
    const int length = WepKeyLength(hex ? 0 : 1, size);
    for (int k = 0; k < 4; ++k) {
        TEdit *shown = hex ? PageA.HexKey[k] : PageA.AsciiKey[k];
        PageA.AsciiKey[k]->SetVisible(!hex);
        PageA.HexKey[k]->SetVisible(hex);
        if (!hex)
            shown->SetText("");
        if (length == 0)
            continue;
        shown->SetMaxLength(length);
        shown->SetText(AnsiString(static_cast<std::size_t>(length), '*'));
    }
}

void TFM_Encrypt::Layout()
{
    Ed_RadiusSec->SetMaxLength(32);
    Ed_RadiusPort->SetMaxLength(5);
    Ed_DNSIP->SetMaxLength(15);
    Ed_DNS->SetMaxLength(32);
    Ed_RadiusSrv2->SetMaxLength(15);
    // No address stands for 0.0.0.0, once the servers have been read.
    const bool serversRead = ServersReq && ServersReq->WasRead();
    Ed_RadiusSrv2->SetText(Ed_RadiusSrv->Text().empty() && serversRead ? AnsiString("0.0.0.0")
                                                                       : Ed_RadiusSrv->Text());

    CB_SecValKeya->SetEnabled(true);
    CB_SecEncypa->SetEnabled(true);
    for (TEdit *key : PageA.HexKey)
        SetEditable(key, true);
    const int auth = AuthenticationIndex();
    if (auth < 0)
        return;
    const bool wep = auth <= 2;
    // Shared Key and WPA always encrypt.
    if (auth == 1 || !wep) {
        CB_SecEncypa->SetItemIndex(1);
        CB_SecEncypa->SetEnabled(false);
    }
    const bool keysOn = auth == 1 || (wep && CB_SecEncypa->ItemIndex() > 0);
    for (TComboBox *combo : {CB_KeyTypeA, CB_KeySizeA, CB_SecValKeya})
        combo->SetEnabled(keysOn);
    for (int k = 0; k < 4; ++k) {
        SetEditable(PageA.HexKey[k], keysOn);
        SetEditable(PageA.AsciiKey[k], keysOn);
    }
    SetEditable(Ed_PassPha, auth == 3);
    if (auth == 3)
        Ed_PassPha->SetMaxLength(63);
    CB_CipherTypea->SetEnabled(auth >= 3);
    SetEditable(Ed_GKUIa, auth >= 3);
    // Servers not read are not written: nothing is typed into them.
    for (TEdit *server : {Ed_DNSIP, Ed_DNS, Ed_RadiusSrv, Ed_RadiusSrv2, Ed_RadiusPort, Ed_RadiusSec})
        SetEditable(server, auth == 4 && serversRead);
}

void TFM_Encrypt::HideDNSRows()
{
    m_dnsShown = false;
    for (TControl *c : std::initializer_list<TControl *>{Label22, Label23, Ed_DNSIP, Label24, Ed_DNS})
        c->SetVisible(false);
    for (TControl *c :
         std::initializer_list<TControl *>{Label25, Ed_RadiusSrv, Ed_RadiusSrv2, Label26, Ed_RadiusPort,
                                           Label27, Ed_RadiusSec, Bt_Ref, Bt_Apply, Bt_Cancel, Bt_Adv})
        c->SetTop(c->Top() - 26);
    GroupBox2->SetHeight(GroupBox2->Height() - 26);
    PC_Encryption->SetHeight(PC_Encryption->Height() - 26);
    SetClientHeight(ClientHeight() - 26);
}

void TFM_Encrypt::CB_SecAuthaChange(TObject *)
{
    Layout();
}

void TFM_Encrypt::CB_KeyTypeAChange(TObject *Sender)
{
    // The mask drops what was typed: the user is told to type it again, and Apply names it.
    bool dropped = false;
    for (int k = 0; k < 4; ++k) {
        const TEdit *shown = PageA.AsciiKey[k]->Visible() ? PageA.AsciiKey[k] : PageA.HexKey[k];
        if (IsKeyEdited(shown))
            dropped = m_dropped[static_cast<std::size_t>(k)] = true;
    }
    MaskKeysA();
    if (Sender == CB_KeySizeA)
        StatusBar->SetSimpleText("The WEP keys must be typed again for the new key size.");
    else if (Sender == CB_KeyTypeA)
        StatusBar->SetSimpleText("The WEP keys must be typed again for the new key type.");
    else if (dropped)
        StatusBar->SetSimpleText("The WEP keys must be typed again for the new valid key.");
}

AnsiString TFM_Encrypt::RetypeText()
{
    static const char *const kKeyNames[] = {"First key", "Second key", "Third key", "Fourth key"};
    const bool hex = CB_KeyTypeA->ItemIndex() == 0;
    AnsiString named;
    for (std::size_t k = 0; k < m_dropped.size(); ++k) {
        // A key typed again goes out now.
        if (IsKeyEdited(hex ? PageA.HexKey[k] : PageA.AsciiKey[k]))
            m_dropped[k] = false;
        if (m_dropped[k])
            named += (named.empty() ? " " : ", ") + AnsiString(kKeyNames[k]);
    }
    return named.empty() ? named : " Not written, to be typed again:" + named + ".";
}

void TFM_Encrypt::Bt_CancelClick(TObject *)
{
    Close();
}

void TFM_Encrypt::Bt_AdvClick(TObject *)
{
}

void TFM_Encrypt::Bt_RefClick(TObject *)
{
    if (!SecurityReq || !ServersReq || !PassPhraseReq)
        return;
    const KvSNMPReadBatch reads;
    SecurityReq->Get();
    ServersReq->Get();
    // What the opening could not read decides the lists and rows: it is read now.
    ReadAgainIfUnread(APModeReq.get());
    if (ReadAgainIfUnread(CodebaseReq.get()) && m_dnsShown && Codebase->Text() == kCodebaseWithoutDNS)
        HideDNSRows();
    // The authentication the device holds now, as an opening shows it.
    FillAuthenticationList();
    if (SecurityReq->WasRead())
        SavedAuthentication = CB_SecAutha->Text();
    ShowKeyChoices();
    m_dropped.fill(false);
    PassPhraseReq->Get();
    Layout();
    MaskAllKeysA();
    ShowUnread();
}

void TFM_Encrypt::MaskAllKeysA()
{
    // Keys read or sent go back behind asterisks, whichever key type is shown.
    const int hexLength = WepKeyLength(0, CB_KeySizeA->ItemIndex());
    if (hexLength > 0)
        for (TEdit *key : PageA.HexKey)
            key->SetText(AnsiString(static_cast<std::size_t>(hexLength), '*'));
    MaskKeysA();
}

bool TFM_Encrypt::checkServers()
{
    Ed_RadiusSrv->SetText(Ed_RadiusSrv2->Text());
    if (Ed_DNSIP->Visible()) {
        // No address is written as 0.0.0.0.
        if (Ed_DNSIP->Text().empty())
            Ed_DNSIP->SetText("0.0.0.0");
        if (Ed_DNSIP->Text() != "0.0.0.0" && !IsValidIPAddress(Ed_DNSIP->Text())) {
            Application->MessageBox("Please input valid IP Address", "Waring", MB_OK);
            Ed_DNSIP->SetText("");
            Ed_DNSIP->SetFocus();
            return false;
        }
    }
    if (!IsValidIPAddress(Ed_RadiusSrv2->Text())) {
        Application->MessageBox("The Radius server's IP is illegal.", "Error", MB_OK);
        Ed_RadiusSrv2->SetFocus();
        return false;
    }
    const int32_t port = CapabilityNumber(Ed_RadiusPort->Text());
    if (port < 1 || port > 65535) {
        Application->MessageBox("Please input a number between 1 and 65535.", "Error", MB_OK);
        Ed_RadiusPort->SetFocus();
        return false;
    }
    return true;
}

void TFM_Encrypt::Bt_ApplyClick(TObject *)
{
    if (!SecurityReq || !ServersReq || !PassPhraseReq || !PassPhrase2Req)
        return;
    // Without the security group no authentication is known: nothing of it goes out.
    if (!SecurityReq->WasRead()) {
        StatusBar->SetSimpleText(NotWrittenText(AnsiString(), {SecurityReq->Label()}));
        return;
    }
    const int auth = AuthenticationIndex();
    if (auth < 0) {
        Application->MessageBox(kMsgNoAuthentication, "Warning", MB_OK);
        return;
    }
    Flags security;
    Flags passPhrase;
    if (!checkInput(auth, security, passPhrase))
        return;
    const AnsiString retype = auth <= 2 && CB_SecEncypa->ItemIndex() > 0 ? RetypeText() : AnsiString();
    Chain.Begin();
    const bool ok = writeGroups(auth == 4, security, passPhrase);
    // A kept authentication goes once the security group went out, whatever followed it.
    ForgetKeptValues(Chain, {{CB_SecAutha, SecurityReq.get()}});
    if (ok)
        SavedAuthentication = CB_SecAutha->Text();
    if (ok && Chain.WroteAny())
        RunRestartCountdown({.Countdown = 20, .RebootDelay = 5});
    const AnsiString outcome = Chain.Text("Setting Success!", "Setting error!");
    Chain.Show(StatusBar, outcome.empty() ? retype.substr(retype.empty() ? 0 : 1) : outcome + retype);
    MaskAllKeysA();
}

// The checks of what goes out for the authentication (0 to 2 WEP, 3 Personal, 4 Enterprise),
// and the items each group sends; a group that was not read is neither checked nor sent.
bool TFM_Encrypt::checkInput(int auth, Flags &security, Flags &passPhrase)
{
    const bool wep = auth <= 2;
    if (auth == 4 && ServersReq->WasRead() && !checkServers())
        return false;
    // The interval counts only where it is sent.
    if (!wep && PassPhraseReq->WasRead()) {
        const int32_t interval = CapabilityNumber(Ed_GKUIa->Text());
        if (interval < 300 || interval > 9999999) {
            Application->MessageBox("Please input a number between 300 and 9999999.", "Error", MB_OK);
            Ed_GKUIa->SetText("");
            return false;
        }
    }
    // An authentication the device holds and the list lacks is kept: it is not written, and
    // the settings of its kind go out as for a listed one.
    if (!ShowsKeptValue(CB_SecAutha))
        security.emplace_back(kAuthA, 6);
    if (wep) {
        security.insert(security.end(), {{kEncryptionA, 6}, {kValidKeyA, 6}});
        return CB_SecEncypa->ItemIndex() <= 0 || checkKeys(security);
    }
    if (auth == 4) {
        passPhrase = {{1, 6}, {2, 6}};
        return true;
    }
    const std::size_t length = Ed_PassPha->Text().size();
    if (PassPhraseReq->WasRead() && (length < 8 || length > 63)) {
        Application->MessageBox("The length of 802.11g PassPhrase is between 8 and 63.", "Error", MB_OK);
        return false;
    }
    passPhrase = {{0, 6}, {1, 6}, {2, 6}};
    return true;
}

bool TFM_Encrypt::checkKeys(Flags &security)
{
    const bool hex = CB_KeyTypeA->ItemIndex() == 0;
    std::vector<WepKey> keys;
    for (int k = 0; k < 4; ++k)
        keys.push_back(
            {hex ? PageA.HexKey[k] : PageA.AsciiKey[k], WepKeySlotSubject(k + 1), PageA.HexKey[k]});
    if (!CheckWepKeyLengths(hex ? 0 : 1, CB_KeySizeA->ItemIndex(), keys))
        return false;
    for (int k = 0; k < 4; ++k) {
        const int result = IsHexText(PageA.HexKey[k]);
        if (result == 1)
            return false;
        if (result == 2)
            security.emplace_back(kFirstKeyA + k, 6);
    }
    return true;
}

bool TFM_Encrypt::writeGroups(bool enterprise, const Flags &security, const Flags &passPhrase)
{
    Flags none;
    for (int i = 0; i < kSecurityCount; ++i)
        none.emplace_back(i, KvAccess::Invalid);
    AccessPatch securityOff(*SecurityReq, none);
    AccessPatch securityOn(*SecurityReq, security);
    AccessPatch passOff(*PassPhraseReq, {{0, 32}, {1, 32}, {2, 32}});
    AccessPatch passOn(*PassPhraseReq, passPhrase);
    AccessPatch pass2Off(*PassPhrase2Req, {{0, 32}, {1, 32}, {2, 32}});
    // A group with nothing to send sends no SET (an unread one of them is not named either).
    auto write = [this](FormBinding &group) {
        if (WritableItemCount(group.Request.VarList) > 0)
            Chain.Put(&group);
        return Chain.GoesOn();
    };
    if (!write(*SecurityReq) || !write(*PassPhraseReq) || !write(*PassPhrase2Req))
        return false;
    if (!enterprise)
        return true;
    // Hidden DNS rows are not written; the servers' write is awaited like the others.
    AccessPatch dnsOff(*ServersReq, m_dnsShown ? Flags{} : Flags{{kDNSIP, 32}, {kDNS, 32}});
    struct SyncWrite {
        FormBinding &group;
        ~SyncWrite() { group.Mode = static_cast<uint8_t>(BindMode::Async); }
    } sync{*ServersReq};
    ServersReq->Mode = static_cast<uint8_t>(BindMode::Sync);
    return write(*ServersReq);
}
