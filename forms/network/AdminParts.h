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
    // The console's step of the write sequence: the protocol the device holds changes only
    // through both off, written right before the chosen one goes on; when that fails, the
    // protocol the device had goes back on, so no refused Apply leaves the console off.
    AdminWriteStep ConsoleStep();

    // The reads of the shared groups; each form calls them in its own order. A read that
    // fails leaves its optional group unsupported (hidden, neither checked nor written).
    void ReadConsoleGroups(TForm *form);
    bool ReadManagerIPs(TForm *form);
    void ReadLed(TForm *form);
    void ReadLimit(TForm *form, TCheckBox *box, KvSNMPDoneEvent gotDone);
    // Reads pingControlSupported; with support, the ping control group into control.
    void ReadPing(TForm *form, TControl *control);
    void ReadVlanState(TForm *form);
    void ReadManagerVlan(TForm *form, TCheckBox *stateBox);

    // The manager VLAN checks that end the Apply checks.
    bool CheckManagerVlan(TCheckBox *vidBox, const std::function<void()> &tidy);
    // The groups Apply writes were read (the login, console and limit groups are always
    // written); otherwise says so, and nothing may be sent.
    bool CheckRead(std::initializer_list<const FormBinding *> groups);
    // The new password into the login group, then the write sequence; ended(ok) once it has
    // run (the device's password stays shown when the login was not written).
    void StartWrites(FormBinding &limit, std::vector<AdminWriteStep> rest,
                     const std::function<void(bool ok)> &ended);

    AdminWriteSequence Writes;

private:
    bool WriteConsole();
    // Telnet, then ssh where the device has it, as protocol has them. The chosen protocol's
    // write carries the time-out (not with None) and stops at a refusal; the others (both off,
    // the protocol the device had) write the protocol alone, both objects whatever happens.
    bool WriteConsoleGroups(ConsoleProtocol protocol, bool chosen);
    AnsiString m_oldPassword;
    ConsoleProtocol m_deviceConsole = ConsoleProtocol::Unknown;
};
