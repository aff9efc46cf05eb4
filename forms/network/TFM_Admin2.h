#pragma once
// Tools \ Administrator Settings on devices with two single manager addresses: the login, the
// console protocol and its time-out, the manager addresses administration is limited to, the
// LED switch, ping control and the manager VLAN. Optional groups are shown, checked and
// written only where the device answered them.
#include "AdminShared.h"

class TFM_Admin2 : public TForm {
public:
    explicit TFM_Admin2(TComponent *AOwner);

    TLabel *LB_AdminSet;
    TGroupBox *GroupBox2;
    TCheckBox *CkBx_ManagerState;
    TLabel *Label5;
    TEdit *Ed_IP1;
    TLabel *Label6;
    TEdit *Ed_IP2;
    TGroupBox *GroupBox5;
    TCheckBox *CB_VID;
    TEdit *Ed_VID;
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
    TGroupBox *GroupBox4;
    TEdit *Ed_TrapServIP;
    TCheckBox *CkBx_LBS;
    TRadioGroup *RG_PingSet;
    TComboBox *CB_Telnet;
    TComboBox *CB_SHH;
    TEdit *Ed_PingSupport;
    TCheckBox *CB_VLanState;
    TButton *OK;
    TButton *Cancel;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> ConsoleReq;
    std::unique_ptr<FormBinding> SshReq;
    std::unique_ptr<FormBinding> LoginReq;
    std::unique_ptr<FormBinding> ManagerIPReq;
    std::unique_ptr<FormBinding> LedReq;
    std::unique_ptr<FormBinding> LimitReq;
    std::unique_ptr<FormBinding> PingSupportReq;
    std::unique_ptr<FormBinding> PingReq;
    std::unique_ptr<FormBinding> VlanStateReq;
    std::unique_ptr<FormBinding> ManagerVlanReq;
    std::unique_ptr<FormBinding> ManagerVlanIdReq;

    uint8_t SshSupported = 0;
    uint8_t LedSupported = 0;
    uint8_t ManagerVlanSupported = 0;
    uint8_t LimitManagerIPs = 0;

    void FormCreate(TObject *Sender);
    void OKClick(TObject *Sender);
    void CancelClick(TObject *Sender);
    void RB_NoneClick(TObject *Sender);
    void CkBx_ManagerStateClick(TObject *Sender);
    void CB_VIDClick(TObject *Sender);
    void ShowConsoleState();
    void ClearZeroManagerIPs();
    void OnLimitIPStatusGot(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void SetEditLimits();
    void ArrangeOptionalGroups();
    static bool IsValidUserName(const AnsiString &name);

private:
    ConsoleControls Console() const;
    bool CheckManagerIPs();
    bool CheckInput();
    void ApplyEnded(bool ok, bool loginWritten);

    AdminWriteSequence m_writes;
    AnsiString m_oldPassword;
    TCloseGuard m_guard;
};

extern TFM_Admin2 *FM_Admin2;
