#pragma once
// Home \ LAN: how the access point gets its own LAN address, a static address with mask and
// gateway or one from a DHCP server. A new static address is checked against the device's
// DHCP pools and probed with ICMP echo before it is written.
#include "FormFrame.h"
#include "IcmpProbe.h"
#include "WriteChain.h"

class TFM_LanCfg : public TForm {
public:
    explicit TFM_LanCfg(TComponent *AOwner);

    TPanel *Panel1;
    TLabel *GetIPFrom;
    TComboBox *CB_IPFrom;
    TLabel *LA_IPAddress;
    TEdit *ED_IpAddr;
    TLabel *LA_SubnetMask;
    TEdit *ED_SubMask;
    TLabel *LA_DefGW;
    TEdit *ED_DefGw;
    TComboBox *ED_Restart;
    TEdit *Ed_IPAF;
    TEdit *Ed_PoolRan;
    TPanel *Panel2;
    TListView *Static_ListView;
    TButton *BT_LanCfgOk;
    TButton *BT_LanCfgCancel;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> LanReq;         // the LAN group with sysRestart
    std::unique_ptr<FormBinding> DynamicPoolReq; // the DHCP dynamic pool
    std::unique_ptr<FormBinding> StaticPoolReq;  // the DHCP static pool, into Static_ListView

    // The address and the address source as read when the form opened.
    AnsiString OpeningAddress;
    int OpeningMode = -1;

    void FormCreate(TObject *Sender);
    void CB_IPFromChange(TObject *Sender);
    void ShowStaticFields();
    // The groups the opening could not read, once its reads have ended.
    void ShowOpeningReads();
    void BT_LanCfgOkClick(TObject *Sender);
    void BT_LanCfgCancelClick(TObject *Sender);

    // True while the echo probe of a new address runs (Apply waits for its answer).
    bool Probing() const { return m_probe != nullptr; }

private:
    void ApplyStatic();
    void ApplyDhcp();
    void ProbeDone(const kv::IcmpProbeOutcome &outcome);
    void CheckStaticPool();
    void StaticPoolGetDone();
    void WriteStatic();
    void Refuse(const AnsiString &text);

    std::unique_ptr<kv::IcmpProbe> m_probe;
    bool m_waitingForStaticPool = false;
    WriteChain m_chain{this};
};

extern TFM_LanCfg *FM_LanCfg;
