#pragma once
// Status \ Device Info: the radio's SSID, channel, super mode, data rate and security, the
// firmware version, MAC address and IP settings, and where the device reports them its load
// and the range of its MAC addresses. Nothing is written.
#include "FormFrame.h"

#include <cstdint>
#include <optional>

// Twelve hexadecimal digits as a 48-bit number; nothing for any other text.
std::optional<uint64_t> MacTextToNumber(const AnsiString &text);
// Twelve upper-case hexadecimal digits of the low 48 bits (so FFFFFFFFFFFF + 1 is 000000000000).
AnsiString MacNumberToText(uint64_t mac);

class TFM_DevInfo : public TForm {
public:
    explicit TFM_DevInfo(TComponent *AOwner);

    TPageControl *PC_WirlessTraffic;
    TTabSheet *TabSheetA;
    TLabel *Label1;
    TEdit *Ed_SSIDa;
    TLabel *Label2;
    TEdit *Ed_Channela;
    TLabel *Label3;
    TEdit *Ed_SupModusa;
    TEdit *Ed_SupModa;
    TLabel *Label4;
    TEdit *Ed_DatRata;
    TLabel *Label5;
    TEdit *Ed_SecLevAutha;
    TLabel *Label6;
    TEdit *Ed_SecLevPria;
    TButton *Bt_Refa;
    TGroupBox *GroupBox2;
    TLabel *Label7;
    TEdit *Ed_Firmware;
    TLabel *Label8;
    TEdit *Ed_Mac;
    TLabel *Label21;
    TLabel *Label26;
    TEdit *Ed_SMac;
    TLabel *Label25;
    TLabel *Lab_Lan1Mac;
    TLabel *Label29;
    TLabel *Lab_Lan1MacEnd;
    TEdit *Ed_PMac;
    TLabel *Label19;
    TGroupBox *GroupBox1;
    TLabel *Label9;
    TEdit *Ed_GetIP;
    TLabel *Label10;
    TEdit *Ed_IPaddr;
    TLabel *Label11;
    TEdit *Ed_SubMask;
    TLabel *Label12;
    TEdit *Ed_Gate;
    TGroupBox *GB_AP;
    TLabel *Label13;
    TEdit *Ed_Cpu;
    TLabel *Label14;
    TLabel *Label15;
    TEdit *Ed_Memory;
    TLabel *Label16;
    TEdit *Ed_ApStatusSupport;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> RadioReq;
    std::unique_ptr<FormBinding> InfoReq;
    std::unique_ptr<FormBinding> MacReq;
    std::unique_ptr<FormBinding> ApSupportReq;
    std::unique_ptr<FormBinding> ApReq;

    void FormCreate(TObject *Sender);
    void Bt_RefaClick(TObject *Sender);

private:
    void ShowSuperMode();
    // The AP status group where the device supports it (read when it was not yet).
    void ShowApStatus();
    // The primary address and the range of the seven further ones, once both the device's
    // MAC address and the MAC objects have been read.
    void ShowMacRange();

    AnsiString m_turbo; // the turbo capability as the form opened
    bool m_macsRead = false;
    TCloseGuard m_guard;
};

extern TFM_DevInfo *FM_DevInfo;
