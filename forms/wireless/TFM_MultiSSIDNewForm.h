#pragma once
// Advanced \ Multi-SSID on devices with the SSID index table: the primary SSID and Multi-SSID 1
// to 7, each with its state, SSID, security, VLAN tag and, where the device has them, broadcast
// suppression, WMM, dynamic VLAN, untagged Ethernet and priority; plus the Multi-SSID, VLAN and
// priority switches. Save writes the row shown in the editors, Delete switches a row off, Apply
// writes the three switches.
#include "FormFrame.h"
#include "WriteChain.h"

#include <optional>
#include <vector>

// False while a write or read of the SSID table is outstanding: the form cannot close then.
extern bool gMultiSSIDIdle;
// Arms the warning about what enabling Multi-SSID does to the AP mode; kept between openings.
extern bool gMultiSSIDWarnArmed;

// Save refused: the row in the editors is not (or no longer) one the device's table showed.
inline const AnsiString gMsgSSIDRowNotRead =
    "The settings of this SSID have not been read from the device: nothing was saved.";
// The row was written, but the device refused a switch or shared setting written with it (the
// labels follow: "... refused: VLAN State.").
inline const AnsiString gMsgSavedWithFailures = "Save Multi-SSID complete, but the device refused:";
// Apply writes the switches only: what the editors hold of a row goes out with Save alone.
// Its status names the row first ("Multi-SSID 2: edits not saved ...").
inline const AnsiString gMsgRowNotSaved = "edits not saved (Save writes them).";

// Columns of the SSID table binding (items of its list, in this order).
enum MultiSSIDColumn : int {
    kColIfIndex = 0,
    kColIndex = 1, // adMSSIDIndex: 1 the primary SSID, 2 to 8 Multi-SSID 1 to 7
    kColSSID = 2,
    kColState = 3,
    kColAuth = 4,
    kColEncryption = 5,
    kColKeyIndex = 6,
    kColKey = 7,
    kColVlanTag = 8,
    kColCipher = 9,
    kColPassPhrase = 10,
    kColKeyType = 11,
    kColAcctMode = 12,
    kColAcctServer = 13,
    kColAcctPort = 14,
    kColSuppress = 15,
    kColWmm = 16,
    kColDyVlan = 17,
    kColEthernetTag = 18,
    kColPriority = 19,
};

class TFM_MultiSSIDNewForm : public TForm {
public:
    explicit TFM_MultiSSIDNewForm(TComponent *AOwner);

    TPanel *Panel1;
    TPanel *Panel2;
    TPanel *Panel3;
    TCheckBox *IfEnabMuSSID;
    TCheckBox *CB_VLanState;
    TCheckBox *CheckBox_Priority;
    TComboBox *BandComboBox;
    TGroupBox *GroupBox2;
    TLabel *Lab_SSIDIdx;
    TComboBox *CB_Idx;
    TLabel *Lab_SSID;
    TEdit *Ed_SSID;
    TLabel *LabSec;
    TComboBox *CB_SecShow;
    TComboBox *CB_Sec;
    TLabel *Label2;
    TComboBox *CB_Broadcast;
    TLabel *Label_VlanTag;
    TComboBox *CB_DyVlan;
    TLabel *Lab_VLANID;
    TEdit *Ed_WLANID;
    TCheckBox *CheckBox_EthernetTag;
    TLabel *Label_Priority;
    TComboBox *Cb_Priority;
    TLabel *Label3;
    TComboBox *CB_WMM;
    TButton *SaveButton;
    TGroupBox *GP_KeySetting;
    TLabel *Lab_KeyType;
    TComboBox *CB_KeyType;
    TLabel *Lab_KeySize;
    TComboBox *CB_KeySize;
    TLabel *Lab_KeyValue;
    TEdit *Ed_KeyValue;
    TLabel *Lab_KeyIndex;
    TComboBox *CB_IdxTmp;
    TComboBox *CB_KeyIndex;
    TGroupBox *GP_PSK;
    TLabel *Lab_Cipher;
    TComboBox *CB_CipherType;
    TLabel *Lab_GrpKey;
    TEdit *Ed_GrpKey;
    TLabel *Lab_PassPhrase;
    TEdit *Ed_PassPhrase;
    TLabel *Lab_RadiusServ;
    TEdit *Ed_RiduisServ;
    TLabel *Lab_RadiusPort;
    TEdit *Ed_RadiusPort;
    TLabel *Lab_RadiusSec;
    TEdit *Ed_RadiusSec;
    TLabel *Lab_AcntMode;
    TComboBox *CB_AcnttingMode;
    TLabel *Lab_AcntServ;
    TEdit *Ed_AcntServ;
    TLabel *Lab_AcntPort;
    TEdit *Ed_AcntPort;
    TGroupBox *MultiGroupBox;
    TListView *LV_MultiSSID_User;
    TButton *DelButton;
    TListView *MulSSIDListView;
    // Hidden: the device values of the row shown and of the scalar groups.
    TComboBox *CB_IdvState;
    TComboBox *CB_Security;
    TComboBox *CB_Encry;
    TComboBox *CB_ApMode;
    TComboBox *CB_SuperMode;
    TComboBox *CB_VID;
    TComboBox *CB_MultiIndex;
    TEdit *Ed_Priority;
    TLabel *Lab_IfIdx;
    TLabel *Lab_Idx;
    TCheckBox *CHB_VID;
    TButton *ApplyBtn;
    TButton *CancelBtn;
    TStatusBar *StatusBar1;

    std::unique_ptr<FormBinding> ManagerVlanBinding;
    std::unique_ptr<FormBinding> PriorityBinding;
    std::unique_ptr<FormBinding> APModeBinding;
    std::unique_ptr<FormBinding> MSSIDStateBinding;
    std::unique_ptr<FormBinding> VlanStateBinding;
    std::unique_ptr<FormBinding> GroupKeyBinding;
    std::unique_ptr<FormBinding> RadiusBinding;
    std::unique_ptr<FormBinding> SSIDTableBinding;

    void FormCreate(TObject *Sender);
    void CB_IdxChange(TObject *Sender);
    void LV_MultiSSID_UserClick(TObject *Sender);
    void LV_MultiSSID_UserExit(TObject *) {}
    void IfEnabMuSSIDClick(TObject *Sender);
    void CB_VLanStateClick(TObject *Sender);
    void CB_SecShowChange(TObject *Sender);
    void CB_SecChange(TObject *Sender);
    void CB_KeySizeChange(TObject *Sender);
    void CB_IdxTmpChange(TObject *Sender);
    void CheckBox_PriorityClick(TObject *Sender);
    void CB_DyVlanChange(TObject *Sender);
    void SaveButtonClick(TObject *Sender);
    void DelButtonClick(TObject *Sender);
    void ApplyBtnClick(TObject *Sender);
    void CancelBtnClick(TObject *Sender);

    // Whether the device's SSID table has these columns and the form binds them.
    bool HasAccounting() const { return m_accounting; }
    bool HasDynamicVlan() const { return m_dynamicVlan; }
    bool HasPriorityBySSID() const { return m_priorityBySSID; }
    // adMSSIDIndex of the row in the editors; empty when no row of the table is loaded.
    const AnsiString &EditedIndex() const { return m_editedIndex; }

private:
    // Values set by the form itself or shown by a read: the check boxes' handlers stay out.
    struct Quiet {
        explicit Quiet(bool &flag) : m_flag(flag), m_was(flag) { m_flag = true; }
        ~Quiet() { m_flag = m_was; }
        Quiet(const Quiet &) = delete;
        Quiet &operator=(const Quiet &) = delete;

    private:
        bool &m_flag;
        bool m_was;
    };

    void BuildLayout();
    void BuildScalarGroups();
    void BuildTable();
    void ArrangeByCapabilities();
    void OnTableGot(KvSNMPError *status);
    // After the row write, sent or not: its outcome, and the table read back after a good one.
    void OnRowWritten();
    // After the opening's reads: the first failure and every group not read; false when none.
    bool ShowOpeningFailure();

    // Display (rows, security, lists, keys, enabling).
    TListItem *TableRow(int ssidIndex) const;
    TListItem *UserRow(TListItem *item) const;
    static AnsiString Cell(const TListItem *row, int column);
    bool IsMultiRow() const { return CB_Idx->ItemIndex() >= 1; }
    // A switch whose read failed counts as on for the row editors: the rows were read and
    // stay editable, and the switch itself is not written.
    bool MultiSSIDOn() const;
    bool VlanOn() const;
    int SecurityItem() const { return CB_Sec->ItemIndex(); }
    // The kind of the security list's entry, by its name ("None" is none of them).
    bool IsPersonal(int item) const { return SecurityKind(item) == AuthKind::Personal; }
    bool IsEnterprise(int item) const { return SecurityKind(item) == AuthKind::Enterprise; }
    AuthKind SecurityKind(int item) const
    {
        return item < 0 ? AuthKind::None : AuthenticationKind(CB_Sec->Items()->Strings(item));
    }
    void SecurityChoice(TListItem *row);
    // The full security list is the one shown (the primary SSID uses an Enterprise kind).
    bool FullSecurityList() const;
    // The security list shown holds the row's authentication it lacks: Save leaves it as read.
    bool SecurityKept() const;
    void ShowSecurityGroups();
    void RebuildUserList();
    void KeySizeFromLength();
    void KeyEditLength();
    void FillKeyIndexList();
    void ShowMultiSSIDWarning();
    void UpdateEnabling();
    void ShowNoRow();
    // What the row editors show, as one text: a row loaded, then edited, differs from it.
    AnsiString RowEditorState() const;

    // Writes.
    bool CheckVlanId();
    TListItem *LocateEditedRow();
    bool WriteScalar(FormBinding &binding);
    // The outcome of this Save or Delete so far; failure stands for a stop of its writes.
    AnsiString SavedText(const AnsiString &failure = AnsiString()) const;
    void WritePriority();
    void WriteSwitches();
    void WritePrimaryRow(TListItem *row);
    void WriteMultiRow(TListItem *row);
    bool MultiRowChecks(TListItem *row);
    bool SelectMultiRowColumns(std::vector<int> &columns);
    void AddPriorityColumns(std::vector<int> &columns);
    void WarnKeySharing(TListItem *row);
    void WriteSharedSecurity(TListItem *row);
    void StartRowWrite(TListItem *row, const std::vector<int> &columns, const AnsiString &startText);

    bool m_managerVlanKnown = false;
    bool m_priorityKnown = false;
    bool m_wpaUsesKeySlots = false;
    bool m_userListClick = false;
    bool m_accounting = false;
    bool m_suppress = false;
    bool m_wmm = false;
    bool m_dynamicVlan = false;
    bool m_priorityBySSID = false;
    bool m_tableReadIssued = false;
    bool m_tableShown = false;     // the opening's read of the table has ended
    bool m_quiet = false;          // values shown by a read, not chosen by the user
    AnsiString m_groupKeyInterval; // as read, replaced when the sharing warning shows
    AnsiString m_editedIndex;
    AnsiString m_rowAsLoaded;               // RowEditorState() right after the row load
    std::optional<int> m_wmmBeforePriority; // the WMM choice that priority overrides
    WriteChain Chain{this};                 // the writes of this Save, Delete or Apply
    TCloseGuard Guard;
};

extern TFM_MultiSSIDNewForm *FM_MultiSSIDNewForm;
