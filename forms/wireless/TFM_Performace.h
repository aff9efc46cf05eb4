#pragma once
// Advanced \ Performance: the radio's channel, data rate, beacon, DTIM, fragment and RTS
// lengths, transmit power, super mode, radio on/off, the optional rows the device may have
// (802.11g only, XR, WMM, preamble, IGMP snooping, b/g mode, antenna) and the per-rate
// data-rate control.
#include "FormFrame.h"
#include "WriteChain.h"

#include <array>

class TFM_Performace : public TForm {
public:
    explicit TFM_Performace(TComponent *AOwner);

    TPageControl *PC_Performace;
    TTabSheet *TabSheetA;
    TTabSheet *TabSheetG;
    TGroupBox *GroupBox1;
    TLabel *La_Freq;
    TEdit *Ed_Freqa;
    TLabel *La_GHz;
    TLabel *La_Chan;
    TComboBox *CB_Chana;
    TEdit *Ed_Chana;
    TLabel *La_DtRt;
    TComboBox *CB_DtRta;
    TEdit *Ed_DtRta;
    TLabel *La_BeInt;
    TEdit *Ed_BeInta;
    TLabel *La_DTIM;
    TEdit *Ed_DTIMa;
    TLabel *La_FragLen;
    TEdit *Ed_FragLena;
    TLabel *La_RTS;
    TEdit *Ed_RTSa;
    TLabel *La_TranP;
    TComboBox *CB_TranPa;
    TLabel *La_Super;
    TComboBox *CB_SupModea;
    TLabel *La_Radio;
    TComboBox *CB_RadWava;
    TLabel *La_Gonly;
    TComboBox *CB_Gonly;
    TLabel *La_XRa;
    TComboBox *CB_XRa;
    TLabel *La_WMM;
    TComboBox *CB_WMM;
    TLabel *La_Preamble;
    TComboBox *CB_Preamble;
    TLabel *Label37;
    TComboBox *CB_Snooping;
    TLabel *Lb_BgMode;
    TComboBox *CB_BgMode;
    TLabel *Lab_Antenna;
    TComboBox *CB_Antenna;
    // Hidden holders of values the shown controls are made from.
    TEdit *Ed_ChLista;
    TEdit *Ed_DtLista;
    TEdit *Ed_DynChLista;
    TEdit *Ed_StatChLista;
    TEdit *Ed_dataratecontrolsupport;
    TComboBox *CB_AuSc;
    TComboBox *CB_APModea;
    TComboBox *CB_Multenable;
    TComboBox *CB_Priority;
    TComboBox *CB_SuperMode_jp;
    TGroupBox *GroupBox2;
    TLabel *La_DateStatus;
    TComboBox *CB_DateStatus;
    // CB_DRate1 .. CB_DRate19: 1, 2, 5.5, 11, 6, 9, 12, 18, 24, 36, 48, 54 Mbps, then spares.
    std::array<TComboBox *, 19> CB_DRate;
    std::array<TLabel *, 12> La_DRate;
    TListView *ListView1;
    TButton *BT_RDateRate;
    TButton *Bt_Refresh_a;
    TButton *Bt_Apply_a;
    TStatusBar *StatusBar;

    std::unique_ptr<FormBinding> APModeReq;
    std::unique_ptr<FormBinding> MSSIDStateReq;
    std::unique_ptr<FormBinding> PriorityReq;
    std::unique_ptr<FormBinding> GonlyReq;
    std::unique_ptr<FormBinding> XRReq;
    std::unique_ptr<FormBinding> WMMReq;
    std::unique_ptr<FormBinding> PreambleReq;
    std::unique_ptr<FormBinding> BgModeReq;
    std::unique_ptr<FormBinding> AntennaReq;
    std::unique_ptr<FormBinding> SuperModeReq;
    std::unique_ptr<FormBinding> IgmpReq;
    std::unique_ptr<FormBinding> RadioReq;
    std::unique_ptr<FormBinding> ChannelReq;
    std::unique_ptr<FormBinding> ChannelListReq;
    std::unique_ptr<FormBinding> DynChannelListReq;
    std::unique_ptr<FormBinding> StatChannelListReq;
    std::unique_ptr<FormBinding> AutoScanReq;
    std::unique_ptr<FormBinding> DataRateSupportReq;
    std::unique_ptr<FormBinding> DataRateStatusReq;
    std::unique_ptr<FormBinding> DataRateTableReq;

    // Whether the first read of each optional group succeeded (its row is shown).
    bool GonlyRead = false;
    bool XRRead = false;
    bool WMMRead = false;
    bool PreambleRead = false;
    bool BgModeRead = false;
    bool AntennaRead = false;
    bool IgmpRead = false;

    void FormCreate(TObject *Sender);
    void Bt_Apply_aClick(TObject *Sender);
    void Bt_Refresh_aClick(TObject *Sender);
    void BT_RDateRateClick(TObject *Sender);
    void CB_BgModeChange(TObject *Sender);
    void CB_BgModeClick(TObject *Sender);
    void CB_SupModeaChange(TObject *Sender);
    void CB_DateStatusChange(TObject *Sender);
    void CB_PriorityChange(TObject *Sender);
    void CB_DtRtaChange(TObject *Sender);
    void OnDataRateTableGot(KvSNMPRequest2Controls *Sender, KvSNMPError *Status);
    void Ed_BeIntaExit(TObject *Sender);
    void Ed_DTIMaExit(TObject *Sender);
    void Ed_FragLenaExit(TObject *Sender);
    void Ed_RTSaExit(TObject *Sender);

    void FillDataRateList();
    // The data rate as the device holds it, listed or not: the rules that put "Auto" in its
    // place follow the user's choices, never a read, so an unchanged Apply writes back the
    // rate read.
    void ShowDeviceRate();
    // The data-rate control as the device holds it: the modes' rule that switches it off acts
    // on the user's choices, never on a read.
    void ShowDeviceRateControl();
    void FillDataRateControlLists();
    // Fills combo with the blank-separated entries of list and selects current; false (and
    // nothing selected) when current is not among them.
    static void StripMbps(TComboBox *combo, TEdit *edit);
    // The rows the device has, one under another, and the groups, buttons and window below.
    void ArrangeRows();
    // The super mode "Disable" is chosen (known by its device value, whatever the list).
    bool SuperModeDisabled() const;
    bool DataRateControl() const;
    // The device's rate rows have been read: only then are they shown for editing and written.
    bool RateRowsRead() const;

    // After the reads of an opening or a Refresh (the rate table's included): the groups not
    // read, named in the status. True when one was not.
    bool ShowUnread();

    // A Refresh after an opening that missed a group, or found the main window's capabilities
    // other than they are now, opens the form anew: the optional rows are probed again.
    bool ReopenIfIncomplete();

private:
    struct Capabilities {
        int32_t Rogue = 0;
        int32_t Turbomode = 0;
        bool operator==(const Capabilities &) const = default;
    };
    static Capabilities CurrentCapabilities();
    std::unique_ptr<FormBinding> Scalars(const KvSNMPItem *items, const char *label, KvSNMPItemType type,
                                         int32_t timeout = 0);
    void Open();
    void ReadModeGroups();
    void ReadRadioGroups();
    void ReadDataRateGroups();
    // The checks of the radio group's edits, in order; false after the first refusal.
    bool CheckRanges();
    // Every group but the rate rows, then the rate control and its rows, each only as read.
    void WriteGroups();
    void WriteRateControl();
    Capabilities m_capabilities;
    // The writes of an Apply (and of a reset of the rates).
    WriteChain Chain{this};
    // The device's value of the super mode chosen, or 0 for none.
    int superModeValue() const;
    void selectSuperModeDisable();
    bool bgMode(int item) const { return CB_BgMode->ItemIndex() == item; }
    void setRateEntries(int rate, bool withBasic);
    void selectRate(int rate, const char *text, bool onlyWhenNone = false);
    void enableDataRateCombos();
    // The rate combos and the reset button as the control status and b/g mode allow.
    void enableRatesByControl();
    void setDataRateButtons(bool enabled);
    // Writes the twelve rate statuses, one row after another; stops at the first failure.
    WriteResult writeRateRows(const std::array<AnsiString, 12> &statuses);
    bool rangeOk(TEdit *edit, int low, int high, bool emptyFails) const;
    KvOptionList *m_superModeNames = nullptr;
    int m_rateControlRead = -1; // the control status's entry as last read, -1 when unread
    TCloseGuard m_guard;
};

extern TFM_Performace *FM_Performace;
