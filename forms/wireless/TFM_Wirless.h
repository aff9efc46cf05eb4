#pragma once
// Home \ Wireless: the radio's SSID, broadcast, channel and super mode; on a Multi-SSID device
// also the AP mode with its WDS and repeater partners, a site survey, the primary SSID's
// security (WEP keys, WPA pass phrase, RADIUS and accounting servers) and the guest SSIDs kept
// in line with it.
//
// The code is split by concern: WirlessItems.cpp (item tables), WirlessLayout.cpp (controls
// and their places), WirlessDisplay.cpp (reading and showing), WirlessLists.cpp (the lists and
// groups that follow the AP mode and authentication), WirlessApply.cpp (checks and writes),
// WirlessWrites.cpp (the writes of Apply and what it tells), WirlessSurvey.cpp (site survey,
// partner choice and closing).
#include "FormFrame.h"
#include "WriteChain.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TFM_Wirless : public TForm {
public:
    explicit TFM_Wirless(TComponent *AOwner);
    ~TFM_Wirless() override;

    // The client height the controls are placed for; LoadSettings derives every other one.
    static constexpr int kDesignClientHeight = 723;

    // ---- controls --------------------------------------------------------------------
    TPageControl *PageControl1;
    TTabSheet *TS_11a;
    TTabSheet *TS_11g;

    // Mode, SSID, channel, broadcast and super mode rows.
    TLabel *Label12; // "AP Mode"
    TComboBox *ED_APModeTempComboBox;
    TComboBox *ED_APModeComboBox; // hidden: the device's value
    TLabel *Label1;               // "SSID"
    TEdit *Ed_SSIDa;
    TLabel *Label3; // "Channel"
    TComboBox *CB_Chana;
    TCheckBox *CB_AuSc;
    TLabel *Label2; // "SSID Broadcast "
    TComboBox *CB_SSIDBcasta;
    TLabel *Label4; // "Super G Mode"
    TComboBox *AD_SuperMode;
    TComboBox *CB_SuperMode_jp;
    // Hidden holders of bound values.
    TEdit *Ed_Chana;
    TEdit *Ed_ChanLista;
    TEdit *Ed_RaFreqa;
    TEdit *Ed_DynChLista;
    TEdit *Ed_StatChLista;
    TComboBox *CB_bgModea;
    TComboBox *CbxRadio;
    TComboBox *CB_gmultioverwds;
    TEdit *Ed_RaduisSupport;
    TEdit *Ed_AccountSupport;
    TComboBox *CB_MultEnable;
    TListView *LV_Multi2;
    TComboBox *Master_ComboBox;
    TComboBox *Guest1_ComboBox;
    TComboBox *Guest2_ComboBox;
    TComboBox *Guest3_ComboBox;
    TComboBox *GuestEncry1_ComboBox;
    TComboBox *GuestEncry2_ComboBox;
    TComboBox *GuestEncry3_ComboBox;
    TComboBox *GuestKeyIndex1_ComboBox;
    TComboBox *GuestKeyIndex2_ComboBox;
    TComboBox *GuestKeyIndex3_ComboBox;
    TComboBox *CB_MultEncyt1, *CB_MultEncyt2, *CB_MultEncyt3, *CB_MultEncyt4, *CB_MultEncyt5, *CB_MultEncyt6,
        *CB_MultEncyt7;
    TComboBox *CB_MultiAuth1, *CB_MultiAuth2, *CB_MultiAuth3, *CB_MultiAuth4, *CB_MultiAuth5, *CB_MultiAuth6,
        *CB_MultiAuth7;
    TComboBox *SiteScanComboBox;

    // WDS partners.
    TGroupBox *GroupBox1;
    TLabel *LabelMAC[8];
    TEdit *Ed_ReMAddra0, *Ed_ReMAddra1, *Ed_ReMAddra2, *Ed_ReMAddra3, *Ed_ReMAddra4, *Ed_ReMAddra5,
        *Ed_ReMAddra6, *Ed_ReMAddra7;
    // Repeater and client partner.
    TGroupBox *GroupBox2;
    TLabel *Label6; // "Root AP MAC Address"
    TEdit *Ed_RoMAddra0;
    TLabel *Label7; // "Root AP SSID"
    TEdit *Ed_SSID;
    TEdit *Ed_CRoMAddra0; // hidden
    // Site survey.
    TGroupBox *GroupBox3;
    TListView *SiteServeyListView;
    TButton *SiteScan;

    // Security.
    TLabel *Label5; // "Authentication"
    TComboBox *Ed_SecAuthaTemp;
    TComboBox *Ed_SecAutha; // covered: the device's value
    TGroupBox *GroupBox4;   // " Key Settings "
    TLabel *Label8;
    TComboBox *Ed_SecEncypa;
    TLabel *Label9;
    TComboBox *Ed_SecValKeya;
    TLabel *Label10;
    TComboBox *Ed_KeyType;
    TLabel *Label11;
    TComboBox *Ed_KeySize;
    TLabel *LabelKey[4];
    TEdit *Ed_Key1a;
    TEdit *Ed_Key2a;
    TEdit *Ed_Key3a;
    TEdit *Ed_Key4a;
    TGroupBox *GroupBox5; // " Radius Server Settings "
    TLabel *Label13;
    TEdit *RadiusServerEdit;
    TLabel *Label14;
    TEdit *RadiusportEdit;
    TLabel *Label15;
    TEdit *RadiusSecretEdit;
    TLabel *Label16;
    TComboBox *CiphertypeComboBox;
    TLabel *Label17;
    TEdit *GroupKeyEdit;
    TLabel *LabelAcntMode; // "Accounting Mode"
    TComboBox *CB_AcntEnable;
    TLabel *LabelAcntServer; // "Accounting Server"
    TEdit *Ed_AcntServer;
    TLabel *LabelAcntPort; // "Accounting Port"
    TEdit *Ed_AcntPort;
    TGroupBox *GroupBox6; // "Secondary  Radius Server Settings "
    TLabel *Label18;
    TComboBox *CB_RadiusMode;
    TLabel *Label19;
    TEdit *Ed_SecRadiusServer;
    TLabel *Label20;
    TEdit *Ed_SecRadiusport;
    TLabel *Label21;
    TEdit *Ed_SecRadiusSecret;
    TLabel *Label22;
    TComboBox *CB_AccountingMode;
    TLabel *Label23;
    TEdit *Ed_SecAccountServer;
    TLabel *Label24;
    TEdit *Ed_SecAccountPort;
    TGroupBox *GroupBox7; // " PassPhrase Settings "
    TLabel *Label25;
    TComboBox *CipherforPSKBox;
    TLabel *Label26;
    TEdit *GroupKeyPSKEdit;
    TLabel *Label27;
    TEdit *PassPhrasePSKEdit;

    // The second band's page: never shown on this device.
    TEdit *Ed_SSIDg;
    TComboBox *CB_SSIDBcastg;
    TComboBox *CB_Chang;
    TEdit *Ed_RaFreqg;
    TEdit *Ed_ChanListg;
    TEdit *Ed_Chang;

    TButton *Bt_Apply;
    TButton *Bt_Refresh;
    TButton *Bt_Close;
    TStatusBar *StatusBar1;
    TTimer *Timer1;

    // ---- bindings (null when not created) ----------------------------------------------
    std::unique_ptr<FormBinding> SSIDBinding;
    std::unique_ptr<FormBinding> BgModeBinding;
    std::unique_ptr<FormBinding> SuperModeBinding;
    std::unique_ptr<FormBinding> DynChannelListBinding;
    std::unique_ptr<FormBinding> StatChannelListBinding;
    std::unique_ptr<FormBinding> RadioWaveBinding;
    std::unique_ptr<FormBinding> MultiOverWDSBinding;
    std::unique_ptr<FormBinding> AutoScanBinding;
    std::unique_ptr<FormBinding> APModeBinding;
    std::unique_ptr<FormBinding> SecurityBinding;
    std::unique_ptr<FormBinding> KeyTypeBinding;
    std::unique_ptr<FormBinding> MSSIDStateBinding;
    std::unique_ptr<FormBinding> SSIDTableBinding;
    std::unique_ptr<FormBinding> GuestStateBinding;
    std::unique_ptr<FormBinding> GuestKeyIndexBinding;
    std::unique_ptr<FormBinding> RadiusBinding;
    std::unique_ptr<FormBinding> RadiusBackupSupportBinding;
    std::unique_ptr<FormBinding> AccountBackupSupportBinding;
    std::unique_ptr<FormBinding> BackupRadiusBinding;
    std::unique_ptr<FormBinding> BackupAccountingBinding;
    std::unique_ptr<FormBinding> AccountingBinding;
    std::unique_ptr<FormBinding> PassPhraseBinding;
    std::unique_ptr<FormBinding> SiteScanBinding;
    std::unique_ptr<FormBinding> GuestEncryptionBinding;
    std::unique_ptr<FormBinding> GuestAuthBinding;
    std::unique_ptr<FormWalker> SiteSurveyBinding;

    // ---- state ---------------------------------------------------------------------------
    bool AutoScanRead = false;
    bool KeyTypeRead = false;
    bool AccountingShown = false;
    bool BgModeRead = false;
    bool MultiSSIDWasEnabled = false;
    AnsiString GroupKeyIntervalText;
    AnsiString RadiusServerText;
    AnsiString RadiusPortText;
    AnsiString RadiusSecretText;
    AnsiString ValidKeyText;
    AnsiString CipherText;
    bool SurveyIdle = true;

    // ---- handlers --------------------------------------------------------------------------
    void FormCreate(TObject *Sender);
    void Bt_ApplyClick(TObject *Sender);
    void Bt_RefreshClick(TObject *Sender);
    void Bt_CloseClick(TObject *Sender);
    void FormCloseQuery(TObject *Sender, bool &CanClose);
    void Timer1Timer(TObject *Sender);
    void SiteScanClick(TObject *Sender);
    void SiteServeyListViewClick(TObject *Sender);
    void OnSiteSurveyDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnSiteSurveyTableGot();
    void ClearEmptyRemoteMACs();

    void ED_APModeTempComboBoxtestChange(TObject *Sender);
    void ED_APModeComboBoxChange(TObject *Sender);
    void Ed_SecAuthaTempChange(TObject *Sender);
    void Ed_SecAuthaChange(TObject *Sender);
    void Ed_SecEncypaChange(TObject *Sender);
    void Ed_SecValKeyaChange(TObject *Sender);
    void Ed_KeyTypeChange(TObject *Sender);
    void Ed_KeySizeChange(TObject *Sender);
    void CB_AuScChange(TObject *Sender);
    void CB_ChanaChange(TObject *Sender);
    void AD_SuperModeChange(TObject *Sender);
    void CB_SuperMode_jpChange(TObject *Sender);
    void CB_AcntEnableChange(TObject *Sender);
    void CB_AccountingModeChange(TObject *Sender);
    void CB_RadiusModeChange(TObject *Sender);

    // ---- what the handlers share ---------------------------------------------------------
    // The eight WDS partner edits, the guests' encryption and authentication combos, the keys.
    std::array<TEdit *, 8> RemoteMACEdits() const;
    std::array<TComboBox *, 7> GuestEncryptionCombos() const;
    std::array<TComboBox *, 7> GuestAuthCombos() const;
    std::array<TEdit *, 4> KeyEdits() const;
    // The Multi-SSID device test, decided once when the form is created.
    bool IsMultiSSID() const { return m_multiSSID; }
    // From Apply until its last write has ended.
    bool Applying() const { return m_applying; }
    // The AP-mode choice as its kind: 0 access point, 1 WDS with AP (PtP bridge), 2 WDS
    // (PtMP bridge), 3 repeater, 4 client; -1 when nothing is chosen. Display names that
    // differ between firmware generations count alike.
    int ModeItem() const;
    // Index of the shown authentication in the nine-entry list of the device's values.
    int AuthIndex() const;
    // Number (1 to 4) of the key chosen as valid, 0 when none.
    int ValidKeySlot() const;
    // Key type for the length rule: 0 HEX (also when none is chosen), 1 ASCII.
    int KeyTypeItem() const { return Ed_KeyType->ItemIndex() == 1 ? 1 : 0; }
    TEdit *ValidKeyEdit() const;

    void FillModeLists();
    void FillAuthenticationList(bool userChange);
    // The ciphers the AP mode offers; the device's own shown, the user's kept on a change.
    void FillCipherList(int item, bool userChange);
    void FollowSuperMode();
    void EnableChosenKey();
    void ShowSecurityGroups();
    void NormalizeRemoteMACs();
    void SetEditLimits();
    void FillKeyIndexList();
    void FillKeyLists();
    void SetKeyLengths();
    void ShowKeysAsText();
    // The channel list in force into the combo box, the channel edit's channel (else the first) chosen.
    void ShowChannelList(TEdit *listEdit, TEdit *channelEdit, TComboBox *combo);
    bool CheckSSID();
    bool CheckPrimarySSIDClash();
    bool CheckDuplicateRemoteMACs();
    bool ValidateMACsAndSSID();
    bool FirstPartnerGiven();
    bool ValidateSecurity();
    bool ValidateWPA(int auth);
    bool ValidateAccounting();
    bool ValidateKeys();
    bool CheckKeyIndexClash();
    // 0 masked or empty (not sent), 1 not hexadecimal (said, edit emptied), 2 hexadecimal.
    int IsHexText(TEdit *edit);
    void CopyControlText(TControl *from, TControl *to);

private:
    // Capabilities of the device as the main window holds them when the form is created.
    struct Capabilities {
        int32_t Rogue = 0;
        int32_t Turbomode = 0;
        uint32_t APModes = 0;
        int32_t NewMulti = -1;
        int32_t KeyTypeSup = 0;
        int32_t WDSSite = 0;
        int32_t Accounting = 0;
        int32_t StringChange = 0;
        int32_t MSSIDAndWDS = 0;
        AnsiString FwVer;
        bool MultiSSID = false;
        bool operator==(const Capabilities &) const = default;
    };
    // Items a write sends, decided by the checks and applied only around the write itself,
    // so that every read afterwards reads the whole group again.
    using AccessPlan = std::vector<std::pair<int, uint32_t>>;
    struct WritePlan {
        AccessPlan SSID, APMode, Security, PassPhrase, Radius, Accounting, GuestEncryption, GuestAuth;
        int Auth = -1; // the authentication written
    };
    using Continue = std::function<void(bool ok)>;

    void BuildControls();
    void PlaceRows(bool multiSSID);
    // What FormCreate reads and shows; a Refresh may run it again (ReopenIfIncomplete).
    void Open();
    void LoadSettings();
    void BindModeAndSecurity();
    void BindGuests();
    void BindServers();
    void BindPassPhraseAndSurvey();
    void ShowAsRead();
    static Capabilities CurrentCapabilities();
    void ReadCapabilities();
    // An opening that missed a group, or that found the main window's capabilities other than
    // they are now (read while the device did not answer), is made again as an opening makes
    // it: a group probed then is probed anew. False, with nothing done, when none is needed or
    // a binding is under way.
    bool ReopenIfIncomplete();
    void ReadRadioGroups();
    // Every binding made, but the survey walk; ResetBindings ends them all.
    std::vector<FormBinding *> Bindings() const;
    void ResetBindings();
    std::unique_ptr<FormBinding> Bind(const char *label, const KvSNMPItem *items, KvSNMPItemType type,
                                      BindMode mode, int32_t timeout, int32_t keyCount = 0);
    void SetItemAccess(FormBinding &binding, const AccessPlan &plan);
    void StoreRadiusTexts();
    void ReadSurveyTable();
    void LayOutGroups(int modeItem);
    void ArrangeSecurityGroups(int auth);
    void SetEditable(TEdit *edit, bool editable);
    void SetStatus(const AnsiString &text);
    // Once the form's reads have all ended: the groups they could not read, named after the last
    // Apply's outcome (leaving out those it already named) or else after the first failure.
    void ShowUnreadGroups();
    void ShowMultiSSIDWarnings();

    // Apply (WirlessApply.cpp: the checks; WirlessWrites.cpp: the writes).
    bool CheckInput();
    bool ApplyGuestState();
    void ApplyNewGuestScheme();
    void WarnAboutGuestsThenWrite();
    void ApplyShortPath();
    void ApplySets();
    void ApplySecuritySets();
    bool SetSecurityBindings();
    // The outcome into the status at once, what the guest pre-step switched off for a write
    // that did not come put back, then the re-read (whose log line cannot hide the outcome).
    void EndApply(const AnsiString &success, bool reread);
    // A synchronous write of the chain with the plan's items only; false once the chain stopped.
    bool Write(FormBinding *binding, const AccessPlan &plan, const GroupWrite &how = {});
    // An asynchronous write of the marked guests' values (a group the form never reads), noted
    // in the chain with their put-back; next runs once the device has answered, or at once when
    // nothing was sent.
    void WriteGuestsThen(FormBinding *binding, const AccessPlan &plan, Continue next);
    // Declared on the guest steps, run by the chain after a stop: what a guest step switched off
    // for a write that did not come (the mode, super G or authentication chosen) is written back
    // as the device held it; the labels of the groups put back, and of those the device did not
    // take back, go to the chain.
    void PutBackGuestStates();
    void PutBackMarkedGuests(FormBinding *guests);
    void Guarded(const std::function<void()> &step);

    Capabilities m_caps;
    bool m_multiSSID = false;
    bool m_openedWhole = false; // every group of the last opening was read
    bool m_loading = false;
    bool m_applying = false;
    WritePlan m_plan;
    bool m_guestMarked = false;
    // The guests of the newer scheme that lose their Enterprise security with the primary's:
    // their place (0 for SSID 2) and their encryption and authentication as the device held them.
    struct MarkedGuest {
        std::size_t Slot;
        AnsiString Encryption, Auth;
    };
    std::vector<MarkedGuest> m_marked;
    bool m_keyWarning = false;
    bool m_intervalWarning = false;
    bool m_keySlotWarning = false;
    // What the guest pre-step of the older scheme changed, and why: the device's VLAN, guest
    // and guest encryption items as read and as written, and the mode, super G and
    // authentication held and chosen.
    struct GuestSwitch {
        std::array<int, 7> Held{};
        std::array<int, 7> Written{};
        bool HeldAP = false, HeldSuperOff = false, HeldPlainWEP = false;
        bool ChosenAP = false, ChosenSuperOff = false, ChosenPlainWEP = false;
    };
    GuestSwitch m_guests;
    WriteChain Chain{this};
    // The last Apply's status text, which its re-read's failures follow; a Refresh of the user
    // forgets it.
    AnsiString m_outcome;
    TCloseGuard m_closeGuard;
};

extern TFM_Wirless *FM_Wirless;
// The channel last chosen in the form, kept while the program runs.
extern AnsiString gWirelessChannelText;
