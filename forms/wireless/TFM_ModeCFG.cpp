#include "TFM_ModeCFG.h"

#include "FormGlobals.h"
#include "FormPages.h"
#include "KeyText.h"
#include "KvSNMPReadBatch.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "Misc.h"
#include "ShellTexts.h"

#include <optional>
#include <string>

namespace {

const char kEmptyMac[] = "000000000000";
const char kMsgMacLength[] = "The length is 12 in IEEE802.11g MAC address.";
const char kMsgRootMacLength[] = "The length is 12 in IEEE802.11g Root AP MAC Address.";

enum : int { kModeItem = 0, kFirstRemoteItem = 1, kRootItem = 9, kSSIDItem = 10 };

// The page's rows as it names them.
const char kPageALabel[] = "AP Mode, Remote AP MAC Address, Root AP MAC Address, SSID";
const FormItemTable kPageAItems = {
    {"2.1.1.1.1", "adAPMode", KvSyntax::Integer, KvAccess::ReadWrite, &gAdAPModeNames2},
    {"2.2.1.2.1.1", "adPtPRemoteAPMACAddress", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"2.2.1.2.1.2", "adPtPRemoteAPMACAddress", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"2.2.1.2.1.3", "adPtPRemoteAPMACAddress", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"2.2.1.2.1.4", "adPtPRemoteAPMACAddress", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"2.2.1.2.1.5", "adPtPRemoteAPMACAddress", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"2.2.1.2.1.6", "adPtPRemoteAPMACAddress", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"2.2.1.2.1.7", "adPtPRemoteAPMACAddress", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"2.2.1.2.1.8", "adPtPRemoteAPMACAddress", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"2.1.1.3.1", "adAPRRootAPMACAddress", KvSyntax::MacAddress, KvAccess::ReadWrite},
    {"1.1.1.1.1", "hSSID", KvSyntax::DisplayStr, KvAccess::ReadWrite},
};

const FormItemTable kAuthItems = {
    {"2.5.1.1.1.1", "adSecAuthentication-a", KvSyntax::Integer, KvAccess::ReadWrite,
     &gAdSecAuthenticationNames},
    {"2.5.1.1.1.2", "adSecAuthentication-g", KvSyntax::Integer, KvAccess::ReadWrite,
     &gAdSecAuthenticationNames},
};

using Flags = std::initializer_list<std::pair<int, uint32_t>>;

// The firmware's major digit is the second character of its version text ("v1.10.02").
bool FirmwareMajorIsOne()
{
    const AnsiString version = MainForm ? MainForm->Ed_FwVer->Text() : AnsiString();
    return version.size() >= 2 && version[1] == '1';
}

// The bridge modes without an access point take their partners as the bridge modes do: PtP
// Without (item 5) one, P2MP Without (item 6) eight.
int PartnerLayout(int mode)
{
    return mode == 5 ? 1 : (mode == 6 ? 2 : mode);
}

void SetEditable(TEdit *edit, bool editable)
{
    edit->SetReadOnly(!editable);
    edit->SetColor(editable ? clWindow : clBtnFace);
}

// One page's controls at the same places on both pages.
struct MacEdits {
    TComboBox *Mode;
    TEdit **Remote;
    TEdit *Root;
};

MacEdits BuildPage(TTabSheet *page, const char *mode, const char *remote, const char *root, TEdit **edits)
{
    auto *combo = Make<TComboBox>(page, mode, {150, 12, 170, 21});
    combo->SetStyle(csDropDownList);
    for (int i = 0; i < 8; ++i) {
        const std::string name = remote + std::to_string(i);
        edits[i] = Make<TEdit>(page, name.c_str(), {150 + (i % 2) * 122, 42 + (i / 2) * 26, 114, 21});
        edits[i]->SetMaxLength(12);
    }
    auto *rootEdit = Make<TEdit>(page, root, {150, 150, 114, 21});
    rootEdit->SetMaxLength(12);
    return {combo, edits, rootEdit};
}

} // namespace

TFM_ModeCFG::TFM_ModeCFG(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_ModeCFG", "Advanced \\ Mode", 420, 364});
    PC_Mode = Make<TPageControl>(this, "PC_Mode", {8, 8, 404, 290});
    TS_80211a = MakePage(this, PC_Mode, "TS_80211a", "IEEE 802.11a");
    TS_80211g = MakePage(this, PC_Mode, "TS_80211g", "IEEE 082.11g");
    TS_80211g->SetTabVisible(false);

    Label2 = Make<TLabel>(TS_80211a, "Label2", {12, 15, 60, 16}, "AP Mode");
    Label3 = Make<TLabel>(TS_80211a, "Label3", {12, 45, 130, 16}, "Remote AP MAC Address");
    const MacEdits a = BuildPage(TS_80211a, "CB_11a_APM", "Ed_ReMAddra", "Ed_RoMAddra0", Ed_ReMAddra);
    CB_11a_APM = a.Mode;
    Ed_RoMAddra0 = a.Root;
    Label7 = Make<TLabel>(TS_80211a, "Label7", {12, 153, 130, 16}, "Root AP MAC Address");
    Ed_CRoMAddra0 = Make<TEdit>(TS_80211a, "Ed_CRoMAddra0", {150, 150, 114, 21});
    Ed_CRoMAddra0->SetMaxLength(12);
    Ed_CRoMAddra0->SetVisible(false);
    Label1 = Make<TLabel>(TS_80211a, "Label1", {12, 179, 60, 16}, "SSID");
    Ed_SSID = Make<TEdit>(TS_80211a, "Ed_SSID", {150, 176, 236, 21});
    Ed_SSID->SetMaxLength(32);
    CB_SecAutha = Make<TComboBox>(TS_80211a, "CB_SecAutha", {272, 150, 114, 21});
    CB_SecAutha->SetVisible(false);
    CB_11a_APMTemp = Make<TComboBox>(TS_80211a, "CB_11a_APMTemp", {272, 176, 114, 21});
    CB_11a_APMTemp->SetStyle(csDropDownList);
    CB_11a_APMTemp->SetVisible(false);
    Bt_SitSur = Make<TButton>(TS_80211a, "Bt_SitSur", {272, 12, 100, 25}, "Site Survey");
    Bt_SitSur->SetVisible(false);
    StatusBarA = Make<TStatusBar>(TS_80211a, "StatusBarA");
    StatusBarA->SetAlign(alBottom);

    const MacEdits g = BuildPage(TS_80211g, "CB_11g_APM", "Ed_ReMAddrg", "Ed_RoMAddrg0", Ed_ReMAddrg);
    CB_11g_APM = g.Mode;
    Ed_RoMAddrg0 = g.Root;
    StatusBarG = Make<TStatusBar>(TS_80211g, "StatusBarG");
    StatusBarG->SetAlign(alBottom);
    PC_Mode->SetActivePage(TS_80211a);

    Bt_Apply = Make<TButton>(this, "Bt_Apply", {88, 306, 75, 25}, "Apply");
    Bt_Refresh = Make<TButton>(this, "Bt_Refresh", {172, 306, 75, 25}, "Refresh");
    Bt_Close = Make<TButton>(this, "Bt_Close", {256, 306, 75, 25}, "Close");
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    Bt_Refresh->OnClick = [this](TObject *s) { Bt_RefreshClick(s); };
    Bt_Close->OnClick = [this](TObject *s) { Bt_CloseClick(s); };
    CB_11a_APM->OnChange = [this](TObject *s) { CB_11a_APMChange(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
}

std::vector<TEdit *> TFM_ModeCFG::macEdits() const
{
    std::vector<TEdit *> edits(Ed_ReMAddra, Ed_ReMAddra + 8);
    edits.push_back(Ed_RoMAddra0);
    edits.push_back(Ed_CRoMAddra0);
    return edits;
}

void TFM_ModeCFG::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        TS_80211a->SetText(gBand11gName);
        if (FirmwareMajorIsOne()) {
            Ed_SSID->SetVisible(false);
            Label1->SetVisible(false);
        }
        PageAReq = MakeBinding(
            this, {.Items = kPageAItems, .Label = kPageALabel, .Type = MVT_SV, .Mode = BindMode::Sync});
        PageAReq->AssociateCombo(kModeItem, CB_11a_APM);
        for (int i = 0; i < 8; ++i)
            PageAReq->AssociateEdits(kFirstRemoteItem + i, "%h", Ed_ReMAddra[i]);
        PageAReq->AssociateEdits(kRootItem, "%h", Ed_RoMAddra0);
        PageAReq->AssociateEdits(kSSIDItem, "%s", Ed_SSID);
        PageAReq->Get();
        FirmwareRule();
        LayoutPageA();
        for (TEdit *edit : macEdits())
            edit->SetMaxLength(12);

        AuthReq = MakeBinding(
            this, {.Items = kAuthItems, .Label = "Authentication", .Type = MVT_SV, .Mode = BindMode::Sync});
        AuthReq->AssociateCombo(0, CB_SecAutha);
        AuthReq->Get();

        ModelLayout();
    });
    ShowReadFailure(StatusBar, {PageAReq.get(), AuthReq.get()});
}

void TFM_ModeCFG::LayoutPageA()
{
    for (TEdit *edit : macEdits())
        if (edit->Text() == kEmptyMac)
            edit->SetText("");
    const int mode = PartnerLayout(CB_11a_APM->ItemIndex());
    if (mode < 0 || mode > 4)
        return;
    SetEditable(Ed_ReMAddra[0], mode == 1 || mode == 2);
    for (int i = 1; i < 8; ++i)
        SetEditable(Ed_ReMAddra[i], mode == 2);
    SetEditable(Ed_RoMAddra0, mode == 3);
    SetEditable(Ed_CRoMAddra0, mode == 4);
    SetEditable(Ed_SSID, mode == 4);
}

void TFM_ModeCFG::FirmwareRule()
{
    // A hidden root AP row stays hidden whatever the mode.
    if (!FirmwareMajorIsOne() || !m_rootRowShown)
        return;
    const bool repeater = CB_11a_APM->ItemIndex() == 3;
    Ed_RoMAddra0->SetVisible(repeater);
    Ed_CRoMAddra0->SetVisible(!repeater);
}

void TFM_ModeCFG::ModelLayout()
{
    const AnsiString model = ModelNumber(gModelName);
    if (model != "5230" && model != "5290")
        return;
    // No root AP or SSID row on these models.
    m_rootRowShown = false;
    for (TControl *c :
         std::initializer_list<TControl *>{Ed_CRoMAddra0, Ed_RoMAddra0, Label7, Label1, Ed_SSID})
        c->SetVisible(false);
    for (TControl *c : std::initializer_list<TControl *>{Bt_Apply, Bt_Refresh, Bt_Close})
        c->SetTop(c->Top() - 60);
    PC_Mode->SetHeight(PC_Mode->Height() - 70);
    SetClientHeight(ClientHeight() - 60);
}

void TFM_ModeCFG::CB_11a_APMChange(TObject *)
{
    FirmwareRule();
    LayoutPageA();
}

void TFM_ModeCFG::Bt_RefreshClick(TObject *)
{
    if (!PageAReq)
        return;
    const KvSNMPReadBatch reads;
    PageAReq->Get();
    // The authentication, read only at opening, again where that read failed.
    ReadAgainIfUnread(AuthReq.get());
    LayoutPageA();
    // What the opening or an earlier Refresh could not read no longer stands once it was read.
    if (!ShowReadFailure(StatusBar, {PageAReq.get(), AuthReq.get()}))
        StatusBar->SetSimpleText("");
}

void TFM_ModeCFG::Bt_CloseClick(TObject *)
{
    Close();
}

void TFM_ModeCFG::Bt_ApplyClick(TObject *)
{
    if (!PageAReq)
        return;
    // Not read: nothing is checked or written, and the page is named.
    if (!PageAReq->WasRead()) {
        Chain.Begin();
        Chain.Put(PageAReq.get());
        StatusBar->SetSimpleText(ApplyText());
        return;
    }
    // Two partners of the same address, in either letter case, are one partner.
    for (int i = 7; i >= 1; --i) {
        const AnsiString text = Ed_ReMAddra[i]->Text();
        if (text.empty())
            continue;
        for (int j = 0; j < i; ++j) {
            if (SameMacText(text, Ed_ReMAddra[j]->Text())) {
                Application->MessageBox("Exsit same MAC address.", "Warning", MB_OK);
                Ed_ReMAddra[i]->SetFocus();
                return;
            }
        }
    }
    // Empty slots go out as the empty-slot text. Whatever fails puts them back as the user left
    // them: left showing it, they would be taken for one partner twice at the next Apply.
    std::vector<TEdit *> empty;
    for (TEdit *edit : Ed_ReMAddra)
        if (edit->Text().empty())
            empty.push_back(edit);
    bool checked = true;
    const bool ok = writePageA(checked);
    if (!ok)
        for (TEdit *edit : empty)
            edit->SetText("");
    // A failed check sent nothing: the error text alone.
    StatusBar->SetSimpleText(checked ? ApplyText()
                                     : NotReadText(gMsg11gSetError, UnreadLabels({AuthReq.get()})));
    if (!ok)
        return;
    for (TEdit *edit : macEdits())
        if (edit->Text() == kEmptyMac)
            edit->SetText("");
    // The wait shows in either saving mode; the window itself sends the restart only to a
    // device that applies settings at once.
    RunCountdownWindow({});
}

AnsiString TFM_ModeCFG::ApplyText() const
{
    // The authentication is never written, but no success text hides that it was not read.
    return NotReadText(Chain.Text(gMsg11gSetSuccess, gMsg11gSetError), UnreadLabels({AuthReq.get()}));
}

bool TFM_ModeCFG::writePageA(bool &checked)
{
    Chain.Begin();
    // Only the AP mode goes out unless the mode's partners are marked below.
    AccessPatch macsOff(*PageAReq, {{1, 32},
                                    {2, 32},
                                    {3, 32},
                                    {4, 32},
                                    {5, 32},
                                    {6, 32},
                                    {7, 32},
                                    {8, 32},
                                    {kRootItem, 32},
                                    {kSSIDItem, 32}});
    std::optional<AccessPatch> send;
    const int mode = PartnerLayout(CB_11a_APM->ItemIndex());
    if (mode == 1) {
        if (!CheckMacText(Ed_ReMAddra[0], {.LengthMessage = kMsgRootMacLength,
                                           .Caption = "Error",
                                           .EmptyIsNone = true,
                                           .NoneMessage = ""})) {
            checked = false;
            return false;
        }
        send.emplace(*PageAReq, Flags{{1, 6}});
    } else if (mode == 2) {
        for (TEdit *edit : Ed_ReMAddra)
            if (edit->Text().empty())
                edit->SetText(kEmptyMac);
        for (int i = 0; i < 8; ++i) {
            if (Ed_ReMAddra[i]->Text().size() != 12) {
                if (i == 0)
                    Ed_ReMAddra[0]->SetText("");
                Application->MessageBox(kMsgMacLength, "Error", MB_OK);
                checked = false;
                return false;
            }
        }
        send.emplace(*PageAReq, Flags{{1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}, {7, 6}, {8, 6}});
    }
    return Chain.Put(PageAReq.get()) != GroupResult::Failed;
}
