#pragma once
// Advanced \ Rogue AP: the filters with which the access point looks for other access points on
// the air, the detection itself, the detected APs and the device's list of known APs. The
// device does the work; the form sets filters and commands and walks the two tables.
#include "EventLoop.h"
#include "FormFrame.h"
#include "WriteChain.h"

class TFM_RogueForm : public TForm {
public:
    explicit TFM_RogueForm(TComponent *AOwner);

    TPanel *Panel1;
    TPanel *Panel2;
    TGroupBox *GroupBox1;
    TPanel *Panel3;
    TRadioGroup *BSSTypRadGrp;
    TGroupBox *GroupBox2; // "Band "
    TCheckBox *CheckBox_11a;
    TCheckBox *CheckBox_11b;
    TCheckBox *CheckBox_11g;
    TEdit *BandEdit;
    TGroupBox *GroupBox3; // "Security "
    TCheckBox *ChcBxo_off;
    TCheckBox *ChcBxo_wep;
    TCheckBox *ChcBxo_eap;
    TCheckBox *ChcBxo_psk;
    TCheckBox *WPA2EAPCkBox;
    TCheckBox *WPA2PSKCkBox;
    TCheckBox *WPA2AUTECkBox;
    TCheckBox *WPA2AUTPCkBox;
    TEdit *SecEdit;
    TGroupBox *GroupBox4; // "Rogue AP List"
    TListView *RogueListView;
    TButton *DetectBtn;
    TButton *AddBtn;
    TButton *DelBtn;
    TGroupBox *GroupBox5; // "AP List"
    TListView *AP_ListView;
    TButton *ListDelBtn;
    TComboBox *DetectRogueCoBox;
    TEdit *AddCoBox;
    TEdit *DelDetcetEdit;
    TEdit *DelCoBox;
    TComboBox *CB_Radio;
    TButton *Apply_Btn;
    TButton *Cancel_Btn;
    TStatusBar *StatusBar1;

    std::unique_ptr<FormBinding> RadioBinding;
    std::unique_ptr<FormBinding> FilterBinding;
    std::unique_ptr<FormBinding> DetectBinding;
    std::unique_ptr<FormBinding> AddBinding;
    std::unique_ptr<FormBinding> DelResultBinding;
    std::unique_ptr<FormBinding> DetectedBinding;
    std::unique_ptr<FormBinding> DelListBinding;
    std::unique_ptr<FormBinding> APListBinding;

    void FormCreate(TObject *Sender);
    void ShowDetectFilters();
    void CheckBox_11aClick(TObject *Sender);
    void ChcBxo_offClick(TObject *Sender);
    void BSSTypRadGrpClick(TObject *Sender);
    void DetectBtnClick(TObject *Sender);
    void AddBtnClick(TObject *Sender);
    void DelBtnClick(TObject *Sender);
    void ListDelBtnClick(TObject *Sender);
    void Apply_BtnClick(TObject *Sender);
    void Cancel_BtnClick(TObject *Sender);
    void FormResize(TObject *Sender);
    void OnDetectDone(KvSNMPError *Status);
    void OnAddDone(KvSNMPError *Status);
    void OnRogueDeleteDone(KvSNMPError *Status);
    void OnListDeleteDone(KvSNMPError *Status);
    void OnDetectedTableGot(KvSNMPError *Status);
    void ShowWalkOutcome(bool ok, const KvSNMPError *status);
    void OnAPListGot(KvSNMPError *Status);

    // Commands and walks still to complete (the detection's pause included); the form closes
    // only when there are none.
    int Outstanding() const { return m_outstanding; }
    // Nothing outstanding and no binding busy.
    bool Closable() const { return Guard.CanClose(); }

private:
    void BuildLayout();
    std::unique_ptr<FormBinding> Command(const FormItemTable &items, const char *label,
                                         void (TFM_RogueForm::*done)(KvSNMPError *));
    std::unique_ptr<FormBinding> Walker(const FormItemTable &items, const char *label, TListView *view,
                                        void (TFM_RogueForm::*done)(KvSNMPError *));
    std::vector<TCheckBox *> SecurityBoxes() const;
    void EnableWpaBoxes();
    // The filters as the device is to have them, before they are written.
    void PrepareFilters();
    void DisableButtons();
    void EnableButtons();
    bool RadioOn() const;
    void Begin();
    void End();
    void StartCommand(FormBinding &binding, const char *text);
    void Walk(FormBinding &binding, bool &again);
    bool WalkAgain(FormBinding &binding, bool &again);
    // False, with the failure shown and the command ended, unless the command succeeded.
    bool CommandSucceeded(KvSNMPError *status, const char *text);
    // The command on the row's index: nothing without a selected row.
    void RowCommand(TListItem *row, FormBinding *binding, TEdit *index, const char *text);

    int m_outstanding = 0;
    bool m_idle = true;
    bool m_quiet = false;
    bool m_detectedAgain = false; // a walk asked for while one ran: walked when it ends
    bool m_listAgain = false;
    kv::Timer m_pause;
    WriteChain Chain{this};
    TCloseGuard Guard;
};

extern TFM_RogueForm *FM_RogueForm;
