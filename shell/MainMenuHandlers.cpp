// The main window's menu handlers: the gating of the top menus, the form openers behind the
// entries, and the one view the main window builds itself (Home \ Information).
#include "FormOpeners.h"
#include "GUIConfigForm.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest2Edits.h"
#include "MainForm.h"
#include "MainMenu.h"

namespace {

const KvSNMPItem kSystemGroup[] = {
    {"1.3.6.1.2.1.1.1", "System Description", KvSyntax::DisplayStr, KvAccess::ReadOnly},
    {"1.3.6.1.2.1.1.2", "System Object ID", KvSyntax::ObjectId, KvAccess::ReadOnly},
    {"1.3.6.1.2.1.1.3", "System Uptime", KvSyntax::TimeTicks, KvAccess::ReadOnly},
    {"1.3.6.1.2.1.1.4", "System Contact", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"1.3.6.1.2.1.1.5", "System Name", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {"1.3.6.1.2.1.1.6", "System Location", KvSyntax::DisplayStr, KvAccess::ReadWrite},
    {},
};

const KvSNMPItem kClientInfoSupported[] = {
    {"1.3.6.1.4.1.32473.11.37.4.99.1.1.7", "clientinfosupported", KvSyntax::Integer, KvAccess::ReadOnly},
    {},
};

} // namespace

bool IsPollTimeout(int32_t code)
{
    return code == KvSNMPCode::NoAnswer;
}

MenuCapabilities TMainForm::CurrentMenuCapabilities() const
{
    MenuCapabilities c;
    c.ModelName = gModelName;
    c.FwVer = Ed_FwVer->Text();
    c.Countrycode = Ed_Countrycode->Text();
    c.MultiSSID = ifMultiSSID_Edit->Text();
    c.Rogue = Ed_Rogue->Text();
    c.Grouping = Ed_Grouping->Text();
    c.SNTP = Ed_spSNTP->Text();
    c.ManagerIP = Ed_ManagerIP->Text();
    c.IpRangeSupported = Ed_ipRangeSupported->Text();
    c.SSLSupport = Ed_SSLSupport->Text();
    c.NewMultiSupport = NewMultiSupport->Text();
    c.SyslogSupport = SyslogSupport->Text();
    c.PacketStatNotSupport = Ed_PacketStatNotSupport->Text();
    c.LastPollTimedOut = IsPollTimeout(LastStatusCode);
    return c;
}

bool IsMultiSSIDDevice()
{
    return MainForm != nullptr && IsMultiSSIDDevice(MainForm->CurrentMenuCapabilities());
}

void TMainForm::WireMenu()
{
    MainMenuItems &m = MenuItems;
    auto on = [this](TMenuItem *item, void (TMainForm::*handler)(TObject *)) {
        item->OnClick = [this, handler](TObject *s) { (this->*handler)(s); };
    };
    on(m.Home1, &TMainForm::Home1Click);
    on(m.Information1, &TMainForm::Information1Click);
    on(m.hWirelessBand1, &TMainForm::hWirelessBand1Click);
    on(m.hLan1, &TMainForm::hLan1Click);
    on(m.advanced2, &TMainForm::advanced2Click);
    on(m.adMode1, &TMainForm::adMode1Click);
    on(m.adPerformance1, &TMainForm::adPerformance1Click);
    on(m.WirelessMACACL1, &TMainForm::WirelessMACACL1Click);
    on(m.WirelessPatrition1, &TMainForm::WirelessPatrition1Click);
    on(m.adEncryption2, &TMainForm::adEncryption2Click);
    on(m.adGrouping2, &TMainForm::adGrouping1Click);
    on(m.adDHCPServer2, &TMainForm::adDHCPServer2Click);
    on(m.Ad_MultiSSID, &TMainForm::Ad_MultiSSIDClick);
    on(m.RogueAP, &TMainForm::RogueAPClick);
    on(m.tools2, &TMainForm::tools2Click);
    on(m.tAdmin2, &TMainForm::tAdmin1Click);
    on(m.tSystem2, &TMainForm::tSystem1Click);
    on(m.Firmware1, &TMainForm::Firmware1Click);
    on(m.tUpdate2, &TMainForm::tUpdate1Click);
    on(m.tMisc1, &TMainForm::tMisc1Click);
    on(m.SNTP1, &TMainForm::SNTP1Click);
    on(m.status2, &TMainForm::status2Click);
    on(m.stDeviceInfo2, &TMainForm::stEthernet1Click);
    on(m.Ethernet1, &TMainForm::Ethernet1Click);
    on(m.WLAN80211G1, &TMainForm::WLAN80211G1Click);
    on(m.Client1, &TMainForm::Client1Click);
    on(m.stViewLog1, &TMainForm::stViewLog1Click);
    on(m.stLogSetting1, &TMainForm::stLogSetting1Click);
    on(m.cfgSave1, &TMainForm::cfgSave1Click);
    on(m.cfgDiscard1, &TMainForm::cfgDiscard1Click);
    on(m.About1, &TMainForm::About1Click);
    on(m.Exit1, &TMainForm::Exit1Click);
    UpdateMenuEnabled();
}

void TMainForm::UpdateMenuEnabled()
{
    const MenuCapabilities c = CurrentMenuCapabilities();
    for (const FormMenuEntry &entry : FormMenuEntries()) {
        const char *formClass = entry.FormClass;
        if (formClass == nullptr) {
            if (entry.Item == &MainMenuItems::tAdmin2)
                formClass = AdminFormClass(c);
            else if (entry.Item == &MainMenuItems::Firmware1)
                formClass = FirmwareFormClass(c);
            else
                formClass = MultiSSIDFormClass(c);
        }
        (MenuItems.*entry.Item)->SetEnabled(formClass != nullptr && HasFormOpener(formClass));
    }
}

void TMainForm::OpenMenuForm(const char *formClass)
{
    if (formClass != nullptr)
        OpenRegisteredForm(formClass);
}

void TMainForm::Home1Click(TObject *)
{
    UpdateMenuEnabled();
}

void TMainForm::Information1Click(TObject *)
{
    std::unique_ptr<TConfigForm> form(new TConfigForm(Application));
    form->DoCreate();
    form->SetText("Home \\ Information");
    auto binding = std::make_unique<KvSNMPRequest2Edits>(form.get());
    binding->Request.VarList = KvSNMPVarList(kSystemGroup, SVT_SV, 0);
    binding->Request.Timeout = 3000;
    KvSNMPRequest2Edits *request = binding.get();
    TSNMPEditorPanel *panel = form->AddEditorPanel(binding.release());
    panel->SetEditorWidth(180);
    request->Get();
    form->ShowModal();
}

void TMainForm::hWirelessBand1Click(TObject *)
{
    OpenMenuForm("TFM_Wirless");
}
void TMainForm::hLan1Click(TObject *)
{
    OpenMenuForm("TFM_LanCfg");
}
void TMainForm::adMode1Click(TObject *)
{
    OpenMenuForm("TFM_ModeCFG");
}
void TMainForm::adPerformance1Click(TObject *)
{
    OpenMenuForm("TFM_Performace");
}
void TMainForm::WirelessMACACL1Click(TObject *)
{
    OpenMenuForm("TFM_WMACACL");
}
void TMainForm::WirelessPatrition1Click(TObject *)
{
    OpenMenuForm("TFM_WPart");
}
void TMainForm::adEncryption2Click(TObject *)
{
    OpenMenuForm("TFM_Encrypt");
}
void TMainForm::adGrouping1Click(TObject *)
{
    OpenMenuForm("TFM_Group");
}
void TMainForm::adDHCPServer2Click(TObject *)
{
    OpenMenuForm("TFM_DHCP");
}
void TMainForm::Ad_MultiSSIDClick(TObject *)
{
    OpenMenuForm(MultiSSIDFormClass(CurrentMenuCapabilities()));
}
void TMainForm::RogueAPClick(TObject *)
{
    OpenMenuForm("TFM_RogueForm");
}
void TMainForm::tAdmin1Click(TObject *)
{
    OpenMenuForm(AdminFormClass(CurrentMenuCapabilities()));
}
void TMainForm::tSystem1Click(TObject *)
{
    OpenMenuForm("TFM_Sytem");
}
void TMainForm::Firmware1Click(TObject *)
{
    OpenMenuForm(FirmwareFormClass(CurrentMenuCapabilities()));
}
void TMainForm::tUpdate1Click(TObject *)
{
    OpenMenuForm("TFM_CfgFile");
}
void TMainForm::tMisc1Click(TObject *)
{
    OpenMenuForm("TFM_Misc");
}
void TMainForm::SNTP1Click(TObject *)
{
    OpenMenuForm("TSNTPForm");
}
void TMainForm::stEthernet1Click(TObject *)
{
    OpenMenuForm("TFM_DevInfo");
}
void TMainForm::Ethernet1Click(TObject *)
{
    OpenMenuForm("TFM_Ethernet");
}
void TMainForm::WLAN80211G1Click(TObject *)
{
    OpenMenuForm("TFM_Static");
}
void TMainForm::Client1Click(TObject *)
{
    OpenMenuForm("TClientInformation");
}
void TMainForm::stViewLog1Click(TObject *)
{
    OpenMenuForm("TLogForm");
}
void TMainForm::stLogSetting1Click(TObject *)
{
    OpenMenuForm("TFM_LogSet");
}

void TMainForm::Exit1Click(TObject *)
{
    Close();
}

void TMainForm::advanced2Click(TObject *)
{
    const AdvancedMenuState s = AdvancedMenuRule(CurrentMenuCapabilities());
    MenuItems.adMode1->SetVisible(s.Mode);
    MenuItems.adEncryption2->SetVisible(s.Encryption);
    MenuItems.Ad_MultiSSID->SetVisible(s.MultiSSID);
    ApplyVisibility(MenuItems.RogueAP, s.RogueAP);
    ApplyVisibility(MenuItems.adGrouping2, s.Grouping);
    UpdateMenuEnabled();
}

void TMainForm::tools2Click(TObject *)
{
    const ToolsMenuState s = ToolsMenuRule(CurrentMenuCapabilities());
    MenuItems.SNTP1->SetVisible(s.DateAndTime);
    MenuItems.tMisc1->SetVisible(s.Miscellaneous);
    UpdateMenuEnabled();
}

bool TMainForm::ReadClientInfoSupported()
{
    ClientInfoReq.reset();
    ClientInfoReq = std::make_unique<KvSNMPRequest2Edits>(this);
    ClientInfoReq->Request.VarList = KvSNMPVarList(kClientInfoSupported, SVT_SV, 0);
    ClientInfoReq->Mode = 0;
    ClientInfoReq->AssociateEdits(0, "%u", Ifclientinfosupported);
    try {
        return ClientInfoReq->Get();
    } catch (const std::exception &) {
        return false;
    }
}

void TMainForm::status2Click(TObject *)
{
    std::optional<AnsiString> clientInfo;
    if (StatusMenuReadsClientInfo(CurrentMenuCapabilities()) && ReadClientInfoSupported())
        clientInfo = Ifclientinfosupported->Text();
    // Taken after the read: a poll may have ended while it waited.
    const StatusMenuState s = StatusMenuRule(CurrentMenuCapabilities(), clientInfo);
    ApplyVisibility(MenuItems.Client1, s.ClientInfo);
    ApplyVisibility(MenuItems.SystemLog, s.Log);
    ApplyVisibility(MenuItems.stStats1, s.Stats);
    UpdateMenuEnabled();
}
