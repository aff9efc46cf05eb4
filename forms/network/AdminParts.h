#pragma once
// The parts the administrator forms share, held as plain members the forms inherit next to
// TForm (no virtual hooks): the login edits of all three forms; the manager address, login,
// console and LED groups, the hidden device values, their bindings and the write sequence of
// the two fuller forms.
#include "AdminShared.h"

struct AdminLoginParts {
    TLabel *Label1 = nullptr;
    TEdit *Ed_Usr = nullptr;
    TLabel *Label2 = nullptr;
    TEdit *Ed_OPwd = nullptr;
    TLabel *Label3 = nullptr;
    TEdit *Ed_NPwd = nullptr;
    TLabel *Label4 = nullptr;
    TEdit *Ed_CNP = nullptr;
    TEdit *Ed_Pwd = nullptr; // hidden: the device's current password
    std::unique_ptr<FormBinding> LoginReq;
    AnsiString LoginLabel = "Login"; // the group as the form names it

    // Four labelled rows from top down; the password edits show "*".
    void MakeLoginEdits(TWinControl *parent, int left, int editLeft, int top, int rowHeight);
    void ReadLogin(TForm *form, TStatusBar *log);
    void SetLoginEditLimits();
    LoginEdits Login() const { return {Ed_Usr, Ed_Pwd, Ed_OPwd, Ed_NPwd, Ed_CNP}; }
    // An Apply that leaves the password edits alone writes the same password again.
    void PrefillPasswords();
};

// Where the shared groups of a fuller form stand and how they are captioned.
struct AdminGroupsLayout {
    Bounds ManagerIPs;
    Bounds Login;
    const char *LoginCaption;
    Bounds Console;
    const char *ConsoleCaption;
    Bounds Led;
    const char *LedCaption;
};

struct AdminSettingsParts : AdminLoginParts {
    TGroupBox *GroupBox2 = nullptr;
    TCheckBox *CkBx_ManagerState = nullptr;
    TLabel *Label5 = nullptr;
    TEdit *Ed_IP1 = nullptr;
    TLabel *Label6 = nullptr;
    TEdit *Ed_IP2 = nullptr;
    TGroupBox *GroupBox1 = nullptr;
    TGroupBox *GroupBox3 = nullptr;
    TLabel *Label7 = nullptr;
    TRadioButton *RB_None = nullptr;
    TRadioButton *RB_Telnet = nullptr;
    TRadioButton *RB_SHH = nullptr;
    TLabel *Label8 = nullptr;
    TComboBox *CB_Timeout = nullptr;
    TGroupBox *GB_Led = nullptr;
    TCheckBox *CB_Led = nullptr;
    TEdit *Ed_VID = nullptr; // made by the form, in its VLAN group
    TComboBox *CB_Telnet = nullptr;
    TComboBox *CB_SHH = nullptr;
    TEdit *Ed_PingSupport = nullptr;
    TCheckBox *CB_VLanState = nullptr;
    TButton *OK = nullptr;
    TButton *Cancel = nullptr;
    TStatusBar *StatusBar = nullptr;

    std::unique_ptr<FormBinding> ConsoleReq;
    std::unique_ptr<FormBinding> SshReq;
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

    void MakeSharedGroups(TForm *form, const AdminGroupsLayout &layout);
    ConsoleControls Console() const { return {RB_None, RB_Telnet, RB_SHH, CB_Telnet, CB_SHH, CB_Timeout}; }
    // The console protocol the device holds, as read (none checked when it was not) and
    // remembered for Apply.
    void ShowConsole();

    // The reads of the shared groups; each form calls them in its own order. A read that the
    // device answers with an error leaves its optional group unsupported (hidden, neither
    // checked nor written); one it left unanswered is named as not read.
    void ReadConsoleGroups(TForm *form);
    bool ReadManagerIPs(TForm *form);
    void ReadLed(TForm *form);
    void ReadLimit(TForm *form, TCheckBox *box, KvSNMPDoneEvent gotDone);
    // Reads pingControlSupported; with support, the ping control group into control.
    void ReadPing(TForm *form, TControl *control);
    void ReadVlanState(TForm *form);
    void ReadManagerVlan(TForm *form, TCheckBox *stateBox);

    // The manager VLAN checks that end the Apply checks; a group not read is not checked.
    bool CheckManagerVlan(TCheckBox *vidBox, const std::function<void()> &tidy);
    // The login checks, when the login was read (an unread one is not written either).
    bool CheckReadLogin(const LoginCheckTexts &texts);
    // The optional groups as Apply writes them and the opening names them (UnlessLacking).
    FormBinding *SshGroup() const { return UnlessLacking(SshReq, SshSupported != 0); }
    FormBinding *LedGroup() const { return UnlessLacking(LedReq, LedSupported != 0); }
    FormBinding *ManagerVlanGroup() const { return UnlessLacking(ManagerVlanReq, ManagerVlanSupported != 0); }
    // The ping control group, or, when the device left the question whether it has one
    // unanswered, its support group, which the chain then names as not read.
    FormBinding *PingGroup() const;

    // An Apply's writes on chain: the new password into the login group, the login, the
    // manager limit (its asynchronous write awaited; none when null), then rest, whose writes
    // go on the chain too (none once it has stopped); ended once they ran. The device's
    // password stays shown when the login was not written.
    void StartWrites(WriteChain &chain, FormBinding *limit, std::function<void()> rest,
                     std::function<void()> ended);
    // The console's step of the writes: the protocol the device holds changes only through
    // both off, written right before the chosen one goes on; when that fails, the protocol
    // the device had goes back on, so no refused Apply leaves the console off. A console not
    // read is not written and named.
    void WriteConsole(WriteChain &chain);
    // False while an Apply's writes wait for the device (a close guard watches it).
    const bool &WritesIdle() const { return m_writesIdle; }

private:
    // Telnet, then ssh, as protocol has them: the chosen protocol's on the chain with the
    // time-out (not with None), an ssh unanswered at opening named; the others (both off,
    // the protocol the device had) beside it, the protocol alone, both objects whatever
    // happens.
    bool WriteConsoleGroups(WriteChain &chain, ConsoleProtocol protocol, bool chosen, BesideWrites &beside);
    AnsiString m_consoleLabel;
    AnsiString m_ledLabel;
    AnsiString m_oldPassword;
    ConsoleProtocol m_deviceConsole = ConsoleProtocol::Unknown;
    bool m_writesIdle = true;
};
