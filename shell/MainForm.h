#pragma once
// The main window: the device's front panel with its LEDs and alarm mark, the status bar that
// follows the status poll, the hidden capability controls every form reads, and the menu.
#include "CapabilityProbe.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "KvSNMPDeviceWait.h"
#include "KvSNMPReadBatch.h"
#include "MainMenu.h"
#include "Menus.h"
#include "NetUtils.h"
#include "Note.h"
#include "ShellTexts.h"
#include "StartupFlow.h"
#include "StdCtrls.h"

#include <memory>
#include <vector>

class KvSNMPRequest;
class KvSNMPRequest2Edits;
class KvSNMPRequest2Controls;
class KvSNMPVarList;
class TFM_Waiting;
struct KvSNMPError;

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent *AOwner);
    ~TMainForm() override;

    // Front panel and status.
    TImage *Image1;
    TImage *LED_WLan;
    TImage *LED_Lan;
    TImage *LED_Power;
    TImage *Image2; // alarm mark
    TStatusBar *MainStatusBar;
    TComboBox *CB_LedStatus;
    TTimer *LedStatus; // status poll, 2000 ms
    TTimer *LedBlink;  // LED blinking, 30 ms; Tag counts the steps
    TTimer *Timer1;    // capability re-read, 2000 ms

    // Hidden capability controls (the device's answers as text).
    TEdit *Ed_FwVer;
    TEdit *Ed_Countrycode;
    TEdit *ED_Turbomode;
    TEdit *APModeSupport;
    TEdit *ifMultiSSID_Edit;
    TEdit *Ed_Rogue;
    TEdit *IPAddressEdit;
    TEdit *SubMaskEdit;
    TEdit *NewMultiSupport;
    TEdit *SyslogSupport;
    TEdit *Ed_ClientAddSSID;
    TEdit *Ed_KeyTypeSup;
    TEdit *Ed_spWDSSite;
    TEdit *Ed_spSNTP;       // holds the accounting capability
    TEdit *Ed_spAccounting; // holds the sntp capability
    TEdit *ApmodeStringChangeSupport;
    TEdit *Ed_SpSmtp;
    TEdit *Ed_Suppress;
    TEdit *Ed_WMM;
    TEdit *Ed_Grouping;
    TEdit *Ed_ManagerIP; // holds groupingsupported
    TComboBox *CB_Active;
    TComboBox *CB_Discard;
    TEdit *Ed_WDSInfoNotSupport;
    TEdit *Ed_SSLSupport;
    TEdit *Ed_PacketStatNotSupport;
    TEdit *Ed_LinkStatusNotSupport;
    TComboBox *ED_APModeComboBox;
    TEdit *mssidAndWdssupport;
    TEdit *Ed_Sntpmethod;
    TEdit *Ed_Datetime;
    TEdit *Ed_DyvlanSupport;
    TEdit *Ed_wmmOverWDSSupported;
    TEdit *Ed_prioritybySSIDSupported;
    TEdit *Ed_ipRangeSupported;
    TComboBox *CB_IPStatusSupport;
    TEdit *Ed_SysIpaddress;

    // Menu: the whole tree in MenuItems; the entries below are the same items.
    TMainMenu *MainMenu1;
    MainMenuItems MenuItems;
    TMenuItem *Status1;
    TMenuItem *Configration1; // Status \ Configuration: shown when deferred saving is supported
    TMenuItem *cfgSave1;
    TMenuItem *cfgDiscard1;
    TMenuItem *Help1;
    TMenuItem *About1;
    // The Status menu's read of clientinfosupported, made again at every opening.
    TEdit *Ifclientinfosupported;
    std::unique_ptr<KvSNMPRequest2Edits> ClientInfoReq;

    AnsiString AgentAddress;
    AnsiString CfgVersionText;
    AnsiString LastStatusText;
    int32_t LastStatusCode = 0; // outcome code of the last status poll
    // Set once the window closes: completions and posted calls do nothing any more.
    bool ShuttingDown = false;
    // From a successful activation until its countdown has closed.
    bool ActivationCountdownActive = false;
    enum class SaveActivateOp { None, Save, Discard };
    SaveActivateOp SaveActivateOperation = SaveActivateOp::None;
    bool LedStatusReadable = false;

    // Over the window in front while a synchronous request waits long for the device: what the
    // program waits for, and how to stop waiting.
    kv::Note WaitNote;

    std::unique_ptr<KvSNMPRequest> SysDescrReq;
    std::unique_ptr<KvSNMPRequest2Edits> LedStatusReq;
    std::unique_ptr<TCapabilityProbe> Probe;

    // The PC's own addresses (see NetUtils.h).
    LocalAddressLists LocalAddresses;
    std::vector<AnsiString> &IpAddressList = LocalAddresses.IpAddressList;

    // How start-up ended (a module that must end still runs its message loop once).
    StartupOutcome Outcome() const { return m_outcome; }
    // True while the start-up reads run (the window is shown and waits for the device).
    bool StartingUp() const { return m_startingUp; }
    int ProbeTickCount() const { return Probe ? Probe->ProbeTickCount() : 0; }

    void FormCreate(TObject *Sender);
    void FormClose(TObject *Sender, TCloseAction &Action);
    void LedStatusTimer(TObject *Sender);
    void SysDescrPollDone(KvSNMPError *e);
    void LedBlinkTimer(TObject *Sender);
    void LedStatusReadDone(KvSNMPRequest2Controls *Sender, KvSNMPError *e);
    void Timer1Timer(TObject *Sender);
    void About1Click(TObject *Sender);

    // Menu handlers (MainMenuHandlers.cpp).
    void Home1Click(TObject *Sender);
    void Information1Click(TObject *Sender);
    void hWirelessBand1Click(TObject *Sender);
    void hLan1Click(TObject *Sender);
    void advanced2Click(TObject *Sender);
    void adMode1Click(TObject *Sender);
    void adPerformance1Click(TObject *Sender);
    void WirelessMACACL1Click(TObject *Sender);
    void WirelessPatrition1Click(TObject *Sender);
    void adEncryption2Click(TObject *Sender);
    void adGrouping1Click(TObject *Sender);
    void adDHCPServer2Click(TObject *Sender);
    void Ad_MultiSSIDClick(TObject *Sender);
    void RogueAPClick(TObject *Sender);
    void tools2Click(TObject *Sender);
    void tAdmin1Click(TObject *Sender);
    void tSystem1Click(TObject *Sender);
    void Firmware1Click(TObject *Sender);
    void tUpdate1Click(TObject *Sender);
    void tMisc1Click(TObject *Sender);
    void SNTP1Click(TObject *Sender);
    void status2Click(TObject *Sender);
    void stEthernet1Click(TObject *Sender);
    void Ethernet1Click(TObject *Sender);
    void WLAN80211G1Click(TObject *Sender);
    void Client1Click(TObject *Sender);
    void stViewLog1Click(TObject *Sender);
    void stLogSetting1Click(TObject *Sender);
    void Exit1Click(TObject *Sender);
    // The capability texts the menu rules read, as the controls hold them now.
    MenuCapabilities CurrentMenuCapabilities() const;
    // An entry is enabled exactly when the form it would open has a registered opener.
    void UpdateMenuEnabled();

    // Status \ Configuration and shut-down (SaveActivate.cpp).
    void cfgSave1Click(TObject *Sender);
    void cfgDiscard1Click(TObject *Sender);
    // Set-completion of the Save and Activate binding (probe row 21).
    void SaveActivateDone(KvSNMPRequest2Controls *Sender, KvSNMPError *e);
    // Stops every timer, stops and frees every request within about six seconds in all.
    void ShutDown();
    // Shows or hides Status \ Configuration after gSaveActivateSupported.
    void UpdateConfigurationMenu();

    // Services of the forms.
    bool IsValidIPAddress(AnsiString text) const;
    bool IsValidSubnetMask(const AnsiString &text) const;
    void GetLocalIPAddresses();
    void GetLocalIPAddresses(std::vector<AnsiString> &addresses);
    AnsiString NetworkAddressOf(const AnsiString &address, const AnsiString &mask) const;

    // Every picture of the panel set as it is right after the window opened.
    void ShowPanelAtRest();

private:
    void BuildControls();
    void BuildMenu();
    void WireMenu();
    void OpenMenuForm(const char *formClass);
    bool ReadClientInfoSupported();
    KvSNMPRequest2Edits *SaveActivateBinding() const;
    void SendSaveActivateSet(int item, TComboBox *combo);
    void ShowActivationCountdown(int32_t ticks);
    void StartStatusPoll();
    void StopEverything();
    TEdit *HiddenEdit(const char *name, const char *text);
    TComboBox *HiddenCombo(const char *name);

    // The start-up reads form one read batch, as a form's opening does (a silent device costs
    // one time-out); a close asked for meanwhile gives the wait up, and the window closes once
    // they have ended.
    class StartupReads {
    public:
        explicit StartupReads(TMainForm &form);
        ~StartupReads();
        StartupReads(const StartupReads &) = delete;
        StartupReads &operator=(const StartupReads &) = delete;

    private:
        TMainForm &m_form;
        KvSNMPReadBatch m_reads;
    };
    StartupOutcome m_outcome = StartupOutcome::Running;
    bool m_startingUp = false;
    bool m_closeAsked = false;
    int m_waitListener = 0;
    int m_waitsTold = 0; // waits the note was shown for that have not ended
    std::unique_ptr<kv::TerminationSignals> m_signals;
    std::unique_ptr<InstanceLock> m_lock;
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

extern TMainForm *MainForm;
// The countdown made by the last Save and Activate.
extern TFM_Waiting *gWaitingForm;
extern bool gSaveActivatePending;

// True for the outcome code of a request that timed out.
bool IsPollTimeout(int32_t code);

// The status bar text of a good poll: the request-log format of a Get with the list name
// part cut out, the message and the time ("hh:nn:ss AM/PM") filled in.
AnsiString PollStatusText(const AnsiString &format, const AnsiString &message, std::time_t now);
