#pragma once
// Tools \ Administrator Settings on devices with manager address ranges: administration is
// limited to up to four address ranges kept in a device table, and a switch allows or forbids
// administering the access point over the WLAN. Login, console, LED and ping control as on
// the form with single manager addresses.
#include "AdminShared.h"

class TFM_Admin3 : public TForm {
public:
    explicit TFM_Admin3(TComponent *AOwner);

    TGroupBox *GroupBox6;
    TLabel *Label9;
    TComboBox *CB_WLAN;
    TCheckBox *CheckBox_VID;
    TEdit *Ed_VID;
    TCheckBox *CB_LimitIPStatus;
    TLabel *Label10;
    TLabel *Label11;
    TEdit *Ed_FromIP;
    TLabel *Label12;
    TEdit *Ed_ToIP;
    TButton *Btn_Add;
    TButton *Btn_Del;
    TListView *ListView_User;
    TListView *ListView_IpRange;
    TLabel *LA_Index;
    TEdit *Ed_From;
    TEdit *Ed_To;
    TEdit *NetMask;
    TComboBox *CB_Mussid;
    TComboBox *CB_VLAN;
    TGroupBox *GroupBox2;
    TCheckBox *CkBx_ManagerState;
    TLabel *Label5;
    TEdit *Ed_IP1;
    TLabel *Label6;
    TEdit *Ed_IP2;
    TGroupBox *GroupBox1;
    TLabel *Label1;
    TEdit *Ed_Usr;
    TLabel *Label2;
    TEdit *Ed_OPwd;
    TLabel *Label3;
    TEdit *Ed_NPwd;
    TLabel *Label4;
    TEdit *Ed_CNP;
    TEdit *Ed_Pwd;
    TGroupBox *GroupBox3;
    TLabel *Label7;
    TRadioButton *RB_None;
    TRadioButton *RB_Telnet;
    TRadioButton *RB_SHH;
    TLabel *Label8;
    TComboBox *CB_Timeout;
    TGroupBox *GB_Led;
    TCheckBox *CB_Led;
    TGroupBox *RG_PingSet;
    TLabel *Label13;
    TComboBox *CB_Ping;
    TComboBox *CB_Telnet;
    TComboBox *CB_SHH;
    TEdit *Ed_PingSupport;
    TCheckBox *CB_VLanState;
    TButton *OK;
    TButton *Cancel;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> VlanStateReq;
    std::unique_ptr<FormBinding> WlanReq;
    std::unique_ptr<FormBinding> ManagerVlanReq;
    std::unique_ptr<FormBinding> ManagerVlanIdReq;
    std::unique_ptr<FormBinding> LimitReq;
    std::unique_ptr<FormBinding> ManagerIPReq;
    std::unique_ptr<FormBinding> RangeTableBinding;
    std::unique_ptr<FormWalker> RangeWalk;
    std::unique_ptr<FormBinding> ConsoleReq;
    std::unique_ptr<FormBinding> SshReq;
    std::unique_ptr<FormBinding> LoginReq;
    std::unique_ptr<FormBinding> LedReq;
    std::unique_ptr<FormBinding> PingSupportReq;
    std::unique_ptr<FormBinding> PingReq;

    uint8_t SshSupported = 0;
    uint8_t LedSupported = 0;
    uint8_t ManagerVlanSupported = 0;
    uint8_t WlanAdminSupported = 0;
    uint8_t ManagerIPsRead = 0;
    uint8_t LimitIPStatusRead = 0;

    void FormCreate(TObject *Sender);
    void OKClick(TObject *Sender);
    void CancelClick(TObject *Sender);
    void RB_NoneClick(TObject *Sender);
    void CB_LimitIPStatusClick(TObject *Sender);
    void CheckBox_VIDClick(TObject *Sender);
    void ListView_UserClick(TObject *Sender);
    void Btn_AddClick(TObject *Sender);
    void Btn_DelClick(TObject *Sender);
    void ShowConsoleState();
    void ClearZeroManagerIPs();
    void OnLimitIPStatusGot(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    bool ReloadIPRangeLists();
    void SetEditLimits();
    static bool IsValidUserName(const AnsiString &name);
    static AnsiString NetworkAddressOf(const AnsiString &address, const AnsiString &mask);

private:
    enum class RangeWrite { None, Add, Delete };
    ConsoleControls Console() const;
    void CreateRangeBindings();
    bool CheckInput();
    // The device's table row whose From and To are these addresses, or null.
    TListItem *FindRange(const AnsiString &from, const AnsiString &to) const;
    TListItem *FirstFreeRange() const;
    bool RangesSettled() const;
    void RangeSetDone(KvSNMPError *e);
    void RangeReadDone();
    void ApplyEnded(bool ok, bool loginWritten);

    AdminWriteSequence m_writes;
    AnsiString m_oldPassword;
    RangeWrite m_rangeWrite = RangeWrite::None;
    bool m_rangeIdle = true;  // no add or delete waits for the device
    AnsiString m_rangeResult; // shown again once the lists are read back
    TCloseGuard m_guard;
};

extern TFM_Admin3 *FM_Admin3;
