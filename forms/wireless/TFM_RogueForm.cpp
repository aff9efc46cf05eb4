#include "TFM_RogueForm.h"

#include "CapabilityProbe.h"
#include "FormGlobals.h"
#include "Misc.h"

namespace {

using KvSyntax::DisplayStr;
using KvSyntax::Integer;
using KvSyntax::MacAddress;
constexpr uint32_t RW = KvAccess::ReadWrite;
constexpr uint32_t RO = KvAccess::ReadOnly;

const FormItemTable kRadioItems = {{"2.3.1.12.1", "adRadioWave", Integer, RW, &gAdRadioWaveNames}};
const FormItemTable kFilterItems = {
    {"2.10.1.0", "bssTypeDetected", Integer, RW, &gBssTypeDetectedNames},
    {"2.10.2.0", "bandTypeDetected", Integer, RW},
    {"2.10.3.0", "securityTypeDetected", Integer, RW},
};
const FormItemTable kDetectItems = {{"2.10.4.1.1", "rogueAPDetect", Integer, RW, &gRogueAPDetectNames}};
const FormItemTable kAddItems = {{"2.10.4.1.2", "addRogueAPtoAPList", Integer, RW}};
const FormItemTable kDelResultItems = {{"2.10.4.1.3", "deleteRogueAPFromResult", Integer, RW}};
const FormItemTable kDetectedItems = {
    {"2.10.4.1.4.1.1", "ifIndex", Integer, KvAccess::NotAccess},
    {"2.10.4.1.4.1.2", "Type", DisplayStr, RO},
    {"2.10.4.1.4.1.3", "CH", Integer, RO},
    {"2.10.4.1.4.1.5", "BSSID", MacAddress, RO},
    {"2.10.4.1.4.1.9", "Security", Integer, RO, &gRogueSecurityNames},
    {"2.10.4.1.4.1.7", "Mode", Integer, RO, &gRogueModeNames},
    {"2.10.4.1.4.1.8", "SSID", DisplayStr, RO},
};
const FormItemTable kDelListItems = {{"2.10.4.2.1", "deleteRogueAPfromAPList", Integer, RW}};
const FormItemTable kAPListItems = {
    {"2.10.4.2.2.1.1", "Index", Integer, KvAccess::NotAccess},
    {"2.10.4.2.2.1.2", "Type", DisplayStr, RO},
    {"2.10.4.2.2.1.3", "CH", Integer, RO},
    {"2.10.4.2.2.1.5", "BSSID", MacAddress, RO},
    {"2.10.4.2.2.1.9", "Security", Integer, RO, &gRogueSecurityNames2},
    {"2.10.4.2.2.1.7", "Mode", Integer, RO, &gRogueModeNames2},
    {"2.10.4.2.2.1.8", "SSID", DisplayStr, RO},
};

constexpr int kMaxKnownAPs = 30;
constexpr int kPauseMs = 1000;

// A text that is not a number reads as 0.
int64_t NumberOf(const AnsiString &text)
{
    try {
        std::size_t used = 0;
        const long long n = std::stoll(text, &used);
        return used == text.size() ? n : 0;
    } catch (const std::exception &) {
        return 0;
    }
}

} // namespace

TFM_RogueForm::TFM_RogueForm(TComponent *AOwner) : TForm(AOwner)
{
    BuildLayout();
    m_pause.setSingleShot(true);
    m_pause.onTimeout = [this] {
        StatusBar1->SetSimpleText("Detecting success. Getting data...");
        Walk(*DetectedBinding, m_detectedAgain);
        End(); // the detection itself
    };
    for (TCheckBox *band : {CheckBox_11a, CheckBox_11b, CheckBox_11g})
        band->OnClick = [this](TObject *s) {
            if (!m_quiet)
                CheckBox_11aClick(s);
        };
    for (TCheckBox *security : SecurityBoxes())
        security->OnClick = [this](TObject *s) {
            if (!m_quiet)
                ChcBxo_offClick(s);
        };
    BSSTypRadGrp->OnClick = [this](TObject *s) {
        if (!m_quiet)
            BSSTypRadGrpClick(s);
    };
    DetectBtn->OnClick = [this](TObject *s) { DetectBtnClick(s); };
    AddBtn->OnClick = [this](TObject *s) { AddBtnClick(s); };
    DelBtn->OnClick = [this](TObject *s) { DelBtnClick(s); };
    ListDelBtn->OnClick = [this](TObject *s) { ListDelBtnClick(s); };
    Apply_Btn->OnClick = [this](TObject *s) { Apply_BtnClick(s); };
    Cancel_Btn->OnClick = [this](TObject *s) { Cancel_BtnClick(s); };
    OnResize = [this](TObject *s) { FormResize(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    Guard.WatchIdle(m_idle);
    for (auto *binding :
         {&DetectBinding, &AddBinding, &DelResultBinding, &DetectedBinding, &DelListBinding, &APListBinding})
        Guard.Watch(*binding);
    Guard.Install(this);
    FormResize(this);
}

void TFM_RogueForm::BuildLayout()
{
    SetupFormWindow(this, {"FM_RogueForm", "Advanced\\Rogue AP", 590, 560});
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
    Panel1 = Make<TPanel>(this, "Panel1", {0, 0, 590, 504});
    Panel2 = Make<TPanel>(Panel1, "Panel2", {11, 11, 472, 482});
    GroupBox1 = Make<TGroupBox>(Panel2, "GroupBox1", {2, 2, 468, 477});
    Panel3 = Make<TPanel>(GroupBox1, "Panel3", {4, 14, 460, 458});
    BSSTypRadGrp = Make<TRadioGroup>(Panel3, "BSSTypRadGrp", {0, 0, 460, 42}, {"AP BSS", "Ad Hoc", "Both"});
    BSSTypRadGrp->SetText(" BSS Type ");
    BSSTypRadGrp->SetColumns(4);
    GroupBox2 = Make<TGroupBox>(Panel3, "GroupBox2", {0, 42, 460, 42}, "Band ");
    CheckBox_11a = Make<TCheckBox>(GroupBox2, "CheckBox_11a", {8, 18, 100, 17}, "11a");
    CheckBox_11a->Hide();
    CheckBox_11b = Make<TCheckBox>(GroupBox2, "CheckBox_11b", {8, 18, 100, 17}, "11b");
    CheckBox_11g = Make<TCheckBox>(GroupBox2, "CheckBox_11g", {121, 18, 100, 17}, "11g");
    BandEdit = Make<TEdit>(GroupBox2, "BandEdit", {300, 14, 60, 21});
    BandEdit->Hide();
    GroupBox3 = Make<TGroupBox>(Panel3, "GroupBox3", {0, 84, 460, 62}, "Security ");
    ChcBxo_off = Make<TCheckBox>(GroupBox3, "ChcBxo_off", {8, 18, 110, 17}, "OFF");
    ChcBxo_wep = Make<TCheckBox>(GroupBox3, "ChcBxo_wep", {121, 18, 110, 17}, "WEP");
    ChcBxo_eap = Make<TCheckBox>(GroupBox3, "ChcBxo_eap", {234, 18, 110, 17}, "WPA-Enterprise");
    ChcBxo_psk = Make<TCheckBox>(GroupBox3, "ChcBxo_psk", {347, 18, 110, 17}, "WPA-Personal  ");
    WPA2EAPCkBox = Make<TCheckBox>(GroupBox3, "WPA2EAPCkBox", {8, 39, 110, 17}, "WPA2-Enterprise");
    WPA2PSKCkBox = Make<TCheckBox>(GroupBox3, "WPA2PSKCkBox", {121, 39, 110, 17}, "WPA2-Personal ");
    WPA2AUTECkBox = Make<TCheckBox>(GroupBox3, "WPA2AUTECkBox", {234, 39, 110, 17}, "WPA-Auto-Enterprise");
    WPA2AUTPCkBox = Make<TCheckBox>(GroupBox3, "WPA2AUTPCkBox", {347, 39, 110, 17}, "WPA-Auto-Personal");
    SecEdit = Make<TEdit>(GroupBox3, "SecEdit", {300, 14, 60, 21});
    SecEdit->Hide();

    GroupBox4 = Make<TGroupBox>(Panel3, "GroupBox4", {0, 146, 460, 150}, "Rogue AP List");
    RogueListView = Make<TListView>(GroupBox4, "RogueListView", {8, 16, 444, 107});
    DetectBtn = Make<TButton>(GroupBox4, "DetectBtn", {199, 126, 75, 21}, "Detect");
    AddBtn = Make<TButton>(GroupBox4, "AddBtn", {285, 126, 75, 21}, "Add");
    DelBtn = Make<TButton>(GroupBox4, "DelBtn", {373, 126, 75, 21}, "Del");
    GroupBox5 = Make<TGroupBox>(Panel3, "GroupBox5", {0, 296, 460, 150}, "AP List");
    AP_ListView = Make<TListView>(GroupBox5, "AP_ListView", {8, 16, 444, 107});
    ListDelBtn = Make<TButton>(GroupBox5, "ListDelBtn", {373, 126, 75, 21}, "Del");

    DetectRogueCoBox = Make<TComboBox>(Panel1, "DetectRogueCoBox", {0, 0, 60, 21});
    AddCoBox = Make<TEdit>(Panel1, "AddCoBox", {0, 0, 60, 21});
    DelDetcetEdit = Make<TEdit>(Panel1, "DelDetcetEdit", {0, 0, 60, 21});
    DelCoBox = Make<TEdit>(Panel1, "DelCoBox", {0, 0, 60, 21});
    CB_Radio = Make<TComboBox>(Panel1, "CB_Radio", {0, 0, 60, 21});
    for (TControl *hidden :
         std::initializer_list<TControl *>{DetectRogueCoBox, AddCoBox, DelDetcetEdit, DelCoBox, CB_Radio})
        hidden->Hide();

    Apply_Btn = Make<TButton>(this, "Apply_Btn", {256, 510, 75, 25}, "Apply");
    Cancel_Btn = Make<TButton>(this, "Cancel_Btn", {381, 510, 75, 25}, "Cancel");
    for (TButton *b : {AddBtn, DelBtn, ListDelBtn, Apply_Btn, Cancel_Btn})
        b->SetEnabled(false);
}

void TFM_RogueForm::FormResize(TObject *)
{
    Panel2->SetBounds(Panel2->Left(), Panel2->Top(), Panel1->Width() - 23, Panel1->Height() - 22);
    GroupBox1->SetBounds(GroupBox1->Left(), GroupBox1->Top(), Panel2->Width() - 4, Panel2->Height() - 5);
    Panel3->SetBounds(Panel3->Left(), Panel3->Top(), GroupBox1->Width() - 8, Panel2->Height() - 24);
    const int width = Panel3->Width();
    int top = 0;
    for (TControl *filter : std::initializer_list<TControl *>{BSSTypRadGrp, GroupBox2, GroupBox3}) {
        filter->SetBounds(0, top, width, filter->Height());
        top += filter->Height();
    }
    const int half = (Panel3->Height() - top - 5) / 2;
    GroupBox4->SetBounds(0, top, width, half);
    GroupBox5->SetBounds(0, top + half, width, half);
    for (TListView *view : {RogueListView, AP_ListView})
        view->SetBounds(8, 16, width - 16, half - 43);
    auto place = [&](TButton *b, int numerator) {
        b->SetBounds(width * numerator / 465, half - 24, b->Width(), b->Height());
    };
    place(DetectBtn, 201);
    place(AddBtn, 289);
    place(DelBtn, 377);
    place(ListDelBtn, 377);
    Apply_Btn->SetLeft(ClientWidth() * 256 / 495);
    Cancel_Btn->SetLeft(ClientWidth() * 381 / 495);
    // Four columns; 11b stands where the hidden 11a box would.
    auto column = [&](int k) { return 8 + k * (width - 8) / 4; };
    auto put = [&](TCheckBox *box, int k) {
        box->SetBounds(column(k), box->Top(), (width - 8) / 4 - 4, box->Height());
    };
    put(CheckBox_11a, 0);
    put(CheckBox_11b, 0);
    put(CheckBox_11g, 1);
    const std::vector<TCheckBox *> security = SecurityBoxes();
    for (std::size_t i = 0; i < security.size(); ++i)
        put(security[i], static_cast<int>(i % 4));
}

std::vector<TCheckBox *> TFM_RogueForm::SecurityBoxes() const
{
    // In bit order: the security filter's bit n is the box at n.
    return {ChcBxo_off,   ChcBxo_wep,   ChcBxo_eap,    ChcBxo_psk,
            WPA2EAPCkBox, WPA2PSKCkBox, WPA2AUTECkBox, WPA2AUTPCkBox};
}

std::unique_ptr<FormBinding> TFM_RogueForm::Command(const FormItemTable &items, const char *label,
                                                    void (TFM_RogueForm::*done)(KvSNMPError *))
{
    auto b = MakeBinding(
        this, {.Items = items,
               .Label = label,
               .Type = SVT_SV,
               .Timeout = 1000,
               .OnSetDone = [this, done](KvSNMPRequest2Controls *, KvSNMPError *e) { (this->*done)(e); }});
    // A retried command would run twice on the device.
    b->Request.Retries = 0;
    return b;
}

std::unique_ptr<FormBinding> TFM_RogueForm::Walker(const FormItemTable &items, const char *label,
                                                   TListView *view,
                                                   void (TFM_RogueForm::*done)(KvSNMPError *))
{
    auto b = MakeBinding(
        this, {.Items = items,
               .Label = label,
               .Type = MVT_UMV,
               .KeyCount = 1,
               .Timeout = 1000,
               .OnGetDone = [this, done](KvSNMPRequest2Controls *, KvSNMPError *e) { (this->*done)(e); }});
    b->SetupListView(view, false);
    // The index is each row's caption; its column stays out of sight. Then Type, CH, BSSID,
    // Security, Mode, SSID.
    const int widths[] = {0, 56, 36, 104, 136, 46, 150};
    for (int k = 0; k < view->Columns()->Count() && k < 7; ++k)
        view->Columns()->Items(k)->SetWidth(widths[k]);
    return b;
}

void TFM_RogueForm::FormCreate(TObject *)
{
    GuardCreate(StatusBar1, [this] {
        // Values shown by the reads are the device's, not clicks to act on.
        m_quiet = true;
        struct Loud {
            bool &quiet;
            ~Loud() { quiet = false; }
        } loud{m_quiet};
        RadioBinding = MakeBinding(
            this, {.Items = kRadioItems, .Label = "Radio", .Type = MVT_SV, .Mode = BindMode::Sync});
        RadioBinding->AssociateCombo(0, CB_Radio);
        RadioBinding->Get();
        FilterBinding = MakeBinding(this, {.Items = kFilterItems,
                                           .Label = "BSS Type, Band and Security",
                                           .Type = MVT_SV,
                                           .Mode = BindMode::Sync,
                                           .Log = StatusBar1});
        FilterBinding->AssociateOptions(0, BSSTypRadGrp, 3);
        FilterBinding->AssociateEdits(1, "%u", BandEdit);
        FilterBinding->AssociateEdits(2, "%u", SecEdit);
        FilterBinding->Get();
        ShowDetectFilters();
        DetectBinding = Command(kDetectItems, "Detect", &TFM_RogueForm::OnDetectDone);
        DetectBinding->AssociateCombo(0, DetectRogueCoBox);
        DetectBinding->Get();
        AddBinding = Command(kAddItems, "Add", &TFM_RogueForm::OnAddDone);
        AddBinding->AssociateEdits(0, "%u", AddCoBox);
        AddBinding->Get();
        DelResultBinding = Command(kDelResultItems, "Rogue AP List", &TFM_RogueForm::OnRogueDeleteDone);
        DelResultBinding->AssociateEdits(0, "%u", DelDetcetEdit);
        DelResultBinding->Get();
        DetectedBinding =
            Walker(kDetectedItems, "Rogue AP List", RogueListView, &TFM_RogueForm::OnDetectedTableGot);
        Walk(*DetectedBinding, m_detectedAgain);
        DelListBinding = Command(kDelListItems, "AP List", &TFM_RogueForm::OnListDeleteDone);
        DelListBinding->AssociateEdits(0, "%u", DelCoBox);
        DelListBinding->Get();
        APListBinding = Walker(kAPListItems, "AP List", AP_ListView, &TFM_RogueForm::OnAPListGot);
        Walk(*APListBinding, m_listAgain);
    });
    // A value outside the options picks the first; a filter group not read picks none.
    if (BSSTypRadGrp->ItemIndex() < 0 && FilterBinding && FilterBinding->WasRead()) {
        m_quiet = true;
        BSSTypRadGrp->SetItemIndex(0);
        m_quiet = false;
    }
    EnableWpaBoxes();
}

void TFM_RogueForm::ShowDetectFilters()
{
    const bool wasQuiet = m_quiet;
    m_quiet = true;
    // Bits 0 to 7 only; a negative value checks nothing.
    const int64_t bands = NumberOf(BandEdit->Text());
    auto bit = [](int64_t value, int n) { return value >= 0 && ((value >> n) & 1) != 0; };
    for (TCheckBox *band : {CheckBox_11a, CheckBox_11b, CheckBox_11g})
        band->SetChecked(false);
    CheckBox_11a->SetChecked(bit(bands, 0));
    CheckBox_11b->SetChecked(bit(bands, 2));
    CheckBox_11g->SetChecked(bit(bands, 3));
    const int64_t security = NumberOf(SecEdit->Text());
    const std::vector<TCheckBox *> boxes = SecurityBoxes();
    for (std::size_t n = 0; n < boxes.size(); ++n)
        boxes[n]->SetChecked(bit(security, static_cast<int>(n)));
    m_quiet = wasQuiet;
}

void TFM_RogueForm::CheckBox_11aClick(TObject *)
{
    const int bands = (CheckBox_11a->Checked() ? 1 : 0) + (CheckBox_11b->Checked() ? 4 : 0) +
                      (CheckBox_11g->Checked() ? 8 : 0);
    BandEdit->SetText(std::to_string(bands));
}

void TFM_RogueForm::ChcBxo_offClick(TObject *)
{
    // Ad hoc networks use no WPA: only the OFF and WEP bits go out then.
    const bool adHoc = BSSTypRadGrp->ItemIndex() == 1;
    const std::vector<TCheckBox *> boxes = SecurityBoxes();
    int value = 0;
    for (std::size_t n = 0; n < boxes.size(); ++n)
        if (boxes[n]->Checked() && (n < 2 || !adHoc))
            value += 1 << n;
    SecEdit->SetText(std::to_string(value));
}

void TFM_RogueForm::EnableWpaBoxes()
{
    const bool adHoc = BSSTypRadGrp->ItemIndex() == 1;
    const std::vector<TCheckBox *> boxes = SecurityBoxes();
    for (std::size_t n = 2; n < boxes.size(); ++n)
        boxes[n]->SetEnabled(!adHoc);
}

void TFM_RogueForm::BSSTypRadGrpClick(TObject *)
{
    EnableWpaBoxes();
    ChcBxo_offClick(nullptr);
}

bool TFM_RogueForm::RadioOn() const
{
    return CB_Radio->ItemIndex() != 0;
}

void TFM_RogueForm::DisableButtons()
{
    for (TButton *b : {DetectBtn, AddBtn, DelBtn, ListDelBtn, Apply_Btn, Cancel_Btn})
        b->SetEnabled(false);
}

void TFM_RogueForm::EnableButtons()
{
    for (TButton *b : {AddBtn, DelBtn, ListDelBtn, Apply_Btn, Cancel_Btn})
        b->SetEnabled(true);
    DetectBtn->SetEnabled(RadioOn());
}

void TFM_RogueForm::Begin()
{
    ++m_outstanding;
    m_idle = false;
}

void TFM_RogueForm::End()
{
    if (m_outstanding > 0)
        --m_outstanding;
    if (m_outstanding == 0) {
        m_idle = true;
        EnableButtons();
    }
}

void TFM_RogueForm::Walk(FormBinding &binding, bool &again)
{
    Begin();
    bool started = false;
    try {
        started = binding.Get();
    } catch (...) {
        End(); // nothing will complete: the form must stay closable
        throw;
    }
    if (started)
        return;
    // One runs already: it stands for this one and is walked again when it ends.
    if (binding.Walking())
        again = true;
    else
        End();
}

bool TFM_RogueForm::WalkAgain(FormBinding &binding, bool &again)
{
    if (!again)
        return false;
    again = false;
    // The ended walk hands its count on to the new one.
    try {
        return binding.Get();
    } catch (const std::exception &e) {
        StatusBar1->SetSimpleText(e.what());
        return false;
    }
}

void TFM_RogueForm::StartCommand(FormBinding &binding, const char *text)
{
    // A command is sent as set: its earlier read does not matter.
    Begin();
    bool started = false;
    try {
        started = binding.Set(true, true);
    } catch (...) {
        End();
        throw;
    }
    if (!started) {
        StatusBar1->SetSimpleText("Set Error!");
        End();
        return;
    }
    StatusBar1->SetSimpleText(text);
}

bool TFM_RogueForm::CommandSucceeded(KvSNMPError *status, const char *text)
{
    if (status == nullptr || status->Code != 0) {
        // The lists stay as they were; the buttons come back.
        StatusBar1->SetSimpleText(status ? status->Message : AnsiString("Set Error!"));
        End();
        return false;
    }
    if (text != nullptr)
        StatusBar1->SetSimpleText(text);
    return true;
}

void TFM_RogueForm::RowCommand(TListItem *row, FormBinding *binding, TEdit *index, const char *text)
{
    if (row == nullptr || binding == nullptr)
        return;
    DisableButtons();
    index->SetText(row->Caption());
    StartCommand(*binding, text);
}

void TFM_RogueForm::PrepareFilters()
{
    // Ad hoc networks use no WPA: with "Ad Hoc", read or chosen, only the OFF and WEP bits go.
    if (BSSTypRadGrp->ItemIndex() == 1)
        ChcBxo_offClick(nullptr);
}

void TFM_RogueForm::DetectBtnClick(TObject *)
{
    DisableButtons();
    DetectRogueCoBox->SetItemIndex(1);
    // The filters first; the detection goes on with the device's own if they cannot be set.
    PrepareFilters();
    if (FilterBinding)
        WriteGroupAs(*FilterBinding, {});
    if (DetectBinding)
        StartCommand(*DetectBinding, "Detecting...");
    else
        EnableButtons();
}

void TFM_RogueForm::OnDetectDone(KvSNMPError *status)
{
    if (!CommandSucceeded(status, nullptr))
        return;
    // The device needs a moment before its result table is complete; the form stays busy.
    m_pause.start(kPauseMs);
}

void TFM_RogueForm::AddBtnClick(TObject *)
{
    if (RogueListView->Selected() == nullptr)
        return;
    if (AP_ListView->Items()->Count() >= kMaxKnownAPs) {
        Application->MessageBox("Miximum number of AP list is 30!", "Warning", MB_OK);
        return;
    }
    RowCommand(RogueListView->Selected(), AddBinding.get(), AddCoBox, "Adding...");
}

void TFM_RogueForm::OnAddDone(KvSNMPError *status)
{
    if (!CommandSucceeded(status, "Add to AP list successfully! Getting data..."))
        return;
    Walk(*DetectedBinding, m_detectedAgain);
    Walk(*APListBinding, m_listAgain);
    End();
}

void TFM_RogueForm::DelBtnClick(TObject *)
{
    RowCommand(RogueListView->Selected(), DelResultBinding.get(), DelDetcetEdit, "Deleting...");
}

void TFM_RogueForm::OnRogueDeleteDone(KvSNMPError *status)
{
    if (!CommandSucceeded(status, "Delete rogue AP successfully! Getting data..."))
        return;
    Walk(*DetectedBinding, m_detectedAgain);
    End();
}

void TFM_RogueForm::ListDelBtnClick(TObject *)
{
    // All six buttons go off: a detection or an add must not start on a list being changed.
    RowCommand(AP_ListView->Selected(), DelListBinding.get(), DelCoBox, "Deleting...");
}

void TFM_RogueForm::OnListDeleteDone(KvSNMPError *status)
{
    if (!CommandSucceeded(status, "Delete successfully! Getting data..."))
        return;
    Walk(*APListBinding, m_listAgain);
    End();
}

void TFM_RogueForm::ShowWalkOutcome(bool ok, const KvSNMPError *status)
{
    if (!ok)
        StatusBar1->SetSimpleText(status ? status->Message : AnsiString());
    else if (!ShowReadFailure(StatusBar1, {RadioBinding.get(), FilterBinding.get()})) // no success over it
        StatusBar1->SetSimpleText("Get OK!");
}

void TFM_RogueForm::OnDetectedTableGot(KvSNMPError *status)
{
    const bool ok = status != nullptr && status->Code == 0;
    ShowWalkOutcome(ok, status);
    if (!WalkAgain(*DetectedBinding, m_detectedAgain))
        End();
}

void TFM_RogueForm::OnAPListGot(KvSNMPError *status)
{
    const bool ok = status != nullptr && status->Code == 0;
    ShowWalkOutcome(ok, status);
    if (WalkAgain(*APListBinding, m_listAgain))
        return;
    if (ok && !RadioOn()) {
        DetectBtn->SetEnabled(false);
        Application->MessageBox("Radio has been turned off,the rogue ap detection will be invalid! ",
                                "Warning", MB_OK);
    }
    End();
}

void TFM_RogueForm::Apply_BtnClick(TObject *)
{
    if (!FilterBinding) {
        StatusBar1->SetSimpleText(gMsgGroupNotRead);
        return;
    }
    PrepareFilters();
    Chain.Begin();
    const bool written = Chain.Put(FilterBinding.get()) == GroupResult::Written;
    Chain.Show(StatusBar1, Chain.Text("Set Success!", "Set Error!"));
    if (written)
        RunRestartCountdown();
}

void TFM_RogueForm::Cancel_BtnClick(TObject *)
{
    Close();
}
