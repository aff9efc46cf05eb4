#pragma once
// Advanced \ DHCP Server: whether the access point's DHCP server runs, its dynamic pool, its
// static pool (a fixed device table of address reservations, edited in TFM_StaticIP) and the
// current leases.
#include "FormFrame.h"
#include "TableReread.h"
#include "WriteChain.h"

#include <functional>

class TFM_StaticIP;

class TFM_DHCP : public TForm {
public:
    explicit TFM_DHCP(TComponent *AOwner);
    ~TFM_DHCP() override;

    TPageControl *PageControl1;
    // Dynamic pool page.
    TTabSheet *TabSheet1;
    TLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10,
        *Label11;
    TComboBox *CB_Fuction1;
    TEdit *Ed_IPAF;
    TEdit *Ed_PoolRan;
    TEdit *Ed_SubMask;
    TEdit *Ed_Gateway;
    TEdit *Ed_Wins;
    TEdit *Ed_DNS;
    TEdit *Ed_DomNa;
    TEdit *Ed_Lease;
    TComboBox *CB_Status;
    TButton *Bt_Apply;
    TButton *Bt_Cancel;
    TStatusBar *StatusBar1;
    TEdit *IPTemp;
    TEdit *Ed_ext;
    // Static pool page.
    TTabSheet *TabSheet2;
    TLabel *Label12, *Label13;
    TComboBox *CB_Fuction2;
    TListView *User_ListView;
    TListView *LV_StaticPoolSet;
    TButton *Bt_Add;
    TButton *Bt_Set;
    TButton *Bt_Del;
    TButton *StaticApply;
    TStatusBar *StatusBar2;
    // Current leases page.
    TTabSheet *TabSheet3;
    TPanel *Panel1, *Panel2;
    TLabel *Label14, *Label15;
    TListView *LV_DynPool;
    TButton *Bt_RefreshDynamicPool;
    TStatusBar *StatusBar3;
    TListView *LV_StaticPool;
    TButton *Bt_RefreshStaticPool;
    TStatusBar *StatusBar4;
    TComboBox *CoboxDynamic;
    TComboBox *CoboxStatic;

    std::unique_ptr<FormBinding> DynamicPoolReq;
    std::unique_ptr<FormBinding> FunctionReq;
    std::unique_ptr<FormBinding> StaticRowReq;
    std::unique_ptr<FormWalker> StaticListReq;
    std::unique_ptr<FormWalker> DynamicClientsReq;
    std::unique_ptr<FormWalker> StaticClientsReq;
    std::unique_ptr<FormBinding> SystemIPReq;

    bool Busy = false;          // a static pool listing or a row write is under way
    bool RelistPending = false; // the next successful row write lists the static pool again
    bool EditingRow = false;    // the dialog edits an existing row (else it adds one)
    bool Idle = true;           // no static pool listing is under way
    // What the dialog's last writes left out, shown once the static pool has been listed again.
    AnsiString RowOutcome;

    void FormCreate(TObject *Sender);
    void BindStaticPool();
    void BindLeases();
    void FormCloseQuery(TObject *Sender, bool &CanClose);
    void Bt_ApplyClick(TObject *Sender);
    void Bt_AddClick(TObject *Sender);
    void Bt_SetClick(TObject *Sender);
    void Bt_DelClick(TObject *Sender);
    void StaticApplyClick(TObject *Sender);
    void Bt_CancelClick(TObject *Sender);
    void CB_Fuction1Change(TObject *Sender);
    void CB_Fuction2Change(TObject *Sender);
    void PageControl1Change(TObject *Sender);
    void User_ListViewSelectItem(TObject *Sender, TListItem *Item, bool Selected);
    void Bt_RefreshDynamicPoolClick(TObject *Sender);
    void Bt_RefreshStaticPoolClick(TObject *Sender);
    void EnableDynamicPoolEdits(bool on);
    void EnableStaticPoolEdits(bool on);
    bool StaticPoolOutsideDynamicPool();
    void OnStaticListDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void OnStaticRowSetDone(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);

    // The server switch, written through chain, its outcome shown in bar: a write that failed
    // stays in view and the switch shows again what the device holds. False once chain stopped.
    bool WriteFunction(TStatusBar *bar, WriteChain &chain);
    // Both status bars of the pools' pages.
    void ShowListing(const AnsiString &text);

    // The row of LV_StaticPoolSet whose IP is the address (compared as numbers), or null.
    TListItem *StaticPoolRow(const AnsiString &address) const;
    // Selects the row of LV_StaticPoolSet afresh: its index and values go into the dialog.
    void LoadRow(TListItem *row);

private:
    // The failure of a group the form could not read and the groups it could not read; empty
    // when all were read.
    AnsiString ReadFailure() const;
    void KeepReadFailure(TStatusBar *bar);
    void BuildDynamicPage();
    void BuildStaticPage();
    void BuildLeasePage();
    void ListStaticPool();
    // Both static pool lists read again from the device.
    void RelistStaticPool();
    bool CheckDynamicPool();
    // The full-table row of the row chosen in User_ListView, when no row write runs.
    TListItem *ChosenRow() const;
    void ShowRowDialog(const char *caption, bool adding);
    // The static row dialog, made in FormCreate; deleted after the binding that fills it.
    std::unique_ptr<TFM_StaticIP> m_dialog;
    TableReread m_reread; // the pool listed again before an add after a silent row write
    TCloseGuard Guard;
    WriteChain Chain{this};
};

extern TFM_DHCP *FM_DHCP;
