#pragma once
// Tools \ Miscellaneous: the management console on or off, its protocol (Telnet, or SSH where
// the device has it) and its idle time-out. The device keeps one on/off object per protocol.
#include "AdminShared.h"
#include "FormFrame.h"
#include "WriteChain.h"

class TFM_Misc : public TForm {
public:
    explicit TFM_Misc(TComponent *AOwner);

    TGroupBox *GB_Telnet;
    TLabel *Label1;
    TCheckBox *CB_Status;
    TLabel *Label2;
    TRadioButton *CB_Telnet;
    TRadioButton *CB_SSH;
    TLabel *Label3;
    TComboBox *CB_Timeout;
    TComboBox *TelnetCoBox;
    TComboBox *SHHCoBox;
    TButton *Bt_Rfresh;
    TButton *Bt_Apply;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> ConsoleReq;
    std::unique_ptr<FormBinding> SSHReq;
    bool SSHSupported = false;

    void FormCreate(TObject *Sender);
    void Bt_RfreshClick(TObject *Sender);
    void Bt_ApplyClick(TObject *Sender);
    void CB_StatusClick(TObject *Sender);
    void UpdateConsoleState();
    void ShowConsoleProtocol();

private:
    bool ConsoleRead() const;
    // After the reads of the opening or a Refresh: the groups that could not be read.
    void ShowUnread();
    // A protocol's values: the console group, then the SSH object where the device has it;
    // true when all went. The chosen protocol's go through the chain, the others beside it
    // (SwitchConsole).
    bool WriteConsole(ConsoleProtocol protocol, bool chosen, BesideWrites &beside);
    WriteChain Chain{this};
    // The protocol the device held at the last read, or took at the last Apply.
    ConsoleProtocol m_held = ConsoleProtocol::Unknown;
};

extern TFM_Misc *FM_Misc;
