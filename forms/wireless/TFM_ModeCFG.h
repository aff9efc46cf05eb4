#pragma once
// Advanced \ Mode: the access point's AP mode and the MAC addresses of its bridge partners
// (eight remote APs) and of the root AP for the repeater modes.
#include "FormFrame.h"
#include "WriteChain.h"

class TFM_ModeCFG : public TForm {
public:
    explicit TFM_ModeCFG(TComponent *AOwner);

    TPageControl *PC_Mode;
    TTabSheet *TS_80211a;
    TLabel *Label2;
    TComboBox *CB_11a_APM;
    TLabel *Label3;
    TEdit *Ed_ReMAddra[8]; // Ed_ReMAddra0 .. Ed_ReMAddra7
    TLabel *Label7;
    TEdit *Ed_RoMAddra0;
    TEdit *Ed_CRoMAddra0;
    TLabel *Label1;
    TEdit *Ed_SSID;
    TComboBox *CB_SecAutha;
    TComboBox *CB_11a_APMTemp;
    TButton *Bt_SitSur;
    TStatusBar *StatusBarA;
    // The second band's page: never shown on this device, so never bound.
    TTabSheet *TS_80211g;
    TComboBox *CB_11g_APM;
    TEdit *Ed_ReMAddrg[8]; // Ed_ReMAddrg0 .. Ed_ReMAddrg7
    TEdit *Ed_RoMAddrg0;
    TStatusBar *StatusBarG;
    TButton *Bt_Apply;
    TButton *Bt_Refresh;
    TButton *Bt_Close;
    TStatusBar *StatusBar;

    // Page a: AP mode, the eight remote MACs, root AP MAC and SSID, in that item order.
    std::unique_ptr<FormBinding> PageAReq;
    std::unique_ptr<FormBinding> AuthReq;

    void FormCreate(TObject *Sender);
    void Bt_ApplyClick(TObject *Sender);
    void Bt_RefreshClick(TObject *Sender);
    void Bt_CloseClick(TObject *Sender);
    void CB_11a_APMChange(TObject *Sender);
    // The edits page a lets the user change for the chosen AP mode.
    void LayoutPageA();
    void FirmwareRule();
    void ModelLayout();

private:
    // The MAC edits of page a, root AP edits included.
    std::vector<TEdit *> macEdits() const;
    // The checks of the chosen mode's partners and the page's write; false when either failed
    // (checked false: a check, and nothing was sent).
    bool writePageA(bool &checked);
    // The outcome of an Apply, then the groups the form could not read.
    AnsiString ApplyText() const;
    bool m_rootRowShown = true;
    WriteChain Chain{this};
};

extern TFM_ModeCFG *FM_ModeCFG;
