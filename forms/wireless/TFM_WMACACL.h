#pragma once
// Advanced \ Wireless MAC ACL: the wireless access-control mode and the device's fixed table
// of filter MAC addresses (the slots in use listed; add into the first empty slot, delete by
// emptying a slot).
#include "FormFrame.h"
#include "TableReread.h"
#include "WriteChain.h"

class TFM_WMACACL : public TForm {
public:
    explicit TFM_WMACACL(TComponent *AOwner);

    TGroupBox *GroupBox1;
    TListView *LV_GetMAC;
    TListView *LV_UerMACAddress;
    TButton *Bt_Del;
    TGroupBox *GroupBox2;
    TLabel *Label1;
    TComboBox *CB_FilterCtrl;
    TLabel *Label2;
    TEdit *Ed_MacAdd;
    TGroupBox *GroupBox3;
    TComboBox *CB_Band;
    TButton *Bt_Apply;
    TStatusBar *StatusBar1;
    TLabel *LA_Index;
    TEdit *Ed_MACAddr;

    // 0 while a table read or write of the form is under way.
    bool Idle = true;

    std::unique_ptr<FormBinding> ModeReq;
    std::unique_ptr<FormBinding> EntryReq;
    std::unique_ptr<FormBinding> TableReq;
    std::unique_ptr<FormWalker> UsedReq;

    void FormCreate(TObject *Sender);
    void CB_FilterCtrlChange(TObject *Sender);
    void Bt_ApplyClick(TObject *Sender);
    void Bt_DelClick(TObject *Sender);
    void OnTableGot(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    // After the slot write, sent or not: its outcome, and the tables read again after a good one.
    void OnSlotWritten();
    // Reads the full table and the list of used slots again.
    void RefreshTables();
    // A stored slot (other than the free one chosen) holds this MAC, in either letter case.
    bool MACExists(const AnsiString &mac) const;

private:
    void setBusy(bool busy);
    // The LV_GetMAC row holding mac (either letter case), or null.
    TListItem *slotHolding(const AnsiString &mac) const;
    // Writes the slot selected in LV_GetMAC with the MAC in Ed_MACAddr.
    void writeSelectedSlot(bool deleting);
    bool m_deleting = false;
    TableReread m_reread; // the table read again before an add after a silent slot write
    WriteChain Chain{this};
    TCloseGuard m_guard;
};

extern TFM_WMACACL *FM_WMACACL;
