#pragma once
// Tools \ Administrator Settings on devices with manager address ranges: administration is
// limited to up to four address ranges kept in a device table, and a switch allows or forbids
// administering the access point over the WLAN. Login, console, LED and ping control as on
// the form with single manager addresses.
#include "AdminParts.h"
#include "TableReread.h"

class TFM_Admin3 : public TForm, public AdminSettingsParts {
public:
    explicit TFM_Admin3(TComponent *AOwner);

    TGroupBox *GroupBox6;
    TLabel *Label9;
    TComboBox *CB_WLAN;
    TCheckBox *CheckBox_VID;
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
    TGroupBox *RG_PingSet;
    TLabel *Label13;
    TComboBox *CB_Ping;

    std::unique_ptr<FormBinding> WlanReq;
    std::unique_ptr<FormBinding> RangeTableBinding;
    std::unique_ptr<FormWalker> RangeWalk;

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
    void CreateRangeBindings();
    bool CheckInput();
    // The device's table row whose From and To are these addresses, or null.
    TListItem *FindRange(const AnsiString &from, const AnsiString &to) const;
    TListItem *FirstFreeRange() const;
    bool RangesSettled() const;
    void WriteRange(RangeWrite write);
    // After a range's row write, sent or not.
    void RangeSetDone();
    void RangeReadDone();
    // Both lists read back for an add that waited for them: the add goes on.
    void AddAfterRead();
    // Once every read of the opening has ended: the groups it could not read.
    void ShowUnread();
    RangeWrite m_rangeWrite = RangeWrite::None;
    bool m_rangeIdle = true;    // no add or delete waits for the device
    AnsiString m_rangeResult;   // shown again once the lists are read back
    TableReread m_reread;       // the lists read again before an add after a silent write
    bool m_created = false;     // the opening's synchronous reads have ended
    bool m_unreadShown = false; // ... and its asynchronous ones too: told once
    WriteChain Chain{this};
    WriteChain m_rangeChain{this}; // Add and Delete, beside Apply's writes
    TCloseGuard m_guard;
};

extern TFM_Admin3 *FM_Admin3;
