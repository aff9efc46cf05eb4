#include "TFM_DHCP.h"

#include "AddressArithmetic.h"
#include "DhcpItems.h"
#include "FormGlobals.h"
#include "FormPages.h"
#include "TFM_StaticIP.h"

namespace {

const char *const kListing = "Listing data ... ";

// Columns wide enough for the values they show (the binding makes them as wide as their
// captions).
void SetColumnWidths(TListView *view, std::initializer_list<int> widths)
{
    int k = 0;
    for (const int width : widths) {
        if (k >= view->Columns()->Count())
            return;
        view->Columns()->Items(k++)->SetWidth(width);
    }
}

} // namespace

TFM_DHCP::TFM_DHCP(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_DHCP", "Advanced \\ DHCP Server", 480, 420});
    PageControl1 = Make<TPageControl>(this, "PageControl1", {4, 4, 472, 412});
    BuildDynamicPage();
    BuildStaticPage();
    BuildLeasePage();
    PageControl1->SetActivePageIndex(0);
    PageControl1->OnChange = [this](TObject *s) { PageControl1Change(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnCloseQuery = [this](TObject *s, bool &canClose) { FormCloseQuery(s, canClose); };

    FM_StaticIP = nullptr;
    EnableStaticPoolEdits(false);
    Bt_Apply->SetEnabled(false);
    StaticApply->SetEnabled(false);
    Bt_Cancel->SetEnabled(false);

    Guard.WatchIdle(Idle);
    Guard.Watch(StaticRowReq);
    Guard.Watch(StaticListReq);
    Guard.Watch(DynamicClientsReq);
    Guard.Watch(StaticClientsReq);
    Guard.Watch(SystemIPReq);
}

TFM_DHCP::~TFM_DHCP()
{
    // The row binding goes before the dialog whose controls it shows values in.
    StaticRowReq.reset();
    if (FM_StaticIP == m_dialog.get())
        FM_StaticIP = nullptr;
    m_dialog.reset();
}

void TFM_DHCP::BuildDynamicPage()
{
    TabSheet1 = MakePage(this, PageControl1, "TabSheet1", " Dynamic Pool Settings ");
    Label1 = Make<TLabel>(TabSheet1, "Label1", {12, 10, 200, 16}, "DHCP Server Control");
    struct Row {
        TLabel *&label;
        const char *labelName;
        const char *caption;
    };
    const Row rows[] = {
        {Label2, "Label2", "Function Enable/Disable"},
        {Label3, "Label3", "IP Assigned From"},
        {Label4, "Label4", "The Range of Pool (1-255)"},
        {Label5, "Label5", "Submask"},
        {Label6, "Label6", "Gateway"},
        {Label7, "Label7", "WINS"},
        {Label8, "Label8", "DNS"},
        {Label9, "Label9", "Domain Name"},
        {Label10, "Label10", "Lease Time (60 - 31536000 sec)"},
        {Label11, "Label11", "Status"},
    };
    int top = 36;
    for (const Row &r : rows) {
        r.label = Make<TLabel>(TabSheet1, r.labelName, {24, top + 4, 200, 16}, r.caption);
        top += 28;
    }
    const Bounds field{256, 0, 190, 21};
    auto at = [&](int row) { return Bounds{field.Left, 36 + 28 * row, field.Width, field.Height}; };
    CB_Fuction1 = Make<TComboBox>(TabSheet1, "CB_Fuction1", at(0));
    Ed_IPAF = Make<TEdit>(TabSheet1, "Ed_IPAF", at(1));
    Ed_PoolRan = Make<TEdit>(TabSheet1, "Ed_PoolRan", at(2));
    Ed_SubMask = Make<TEdit>(TabSheet1, "Ed_SubMask", at(3));
    Ed_Gateway = Make<TEdit>(TabSheet1, "Ed_Gateway", at(4));
    Ed_Wins = Make<TEdit>(TabSheet1, "Ed_Wins", at(5));
    Ed_DNS = Make<TEdit>(TabSheet1, "Ed_DNS", at(6));
    Ed_DomNa = Make<TEdit>(TabSheet1, "Ed_DomNa", at(7));
    Ed_Lease = Make<TEdit>(TabSheet1, "Ed_Lease", at(8));
    CB_Status = Make<TComboBox>(TabSheet1, "CB_Status", at(9));
    Bt_Apply = Make<TButton>(TabSheet1, "Bt_Apply", {138, 322, 75, 25}, "Apply");
    Bt_Cancel = Make<TButton>(TabSheet1, "Bt_Cancel", {256, 322, 75, 25}, "Cancel");
    StatusBar1 = Make<TStatusBar>(TabSheet1, "StatusBar1");
    IPTemp = Make<TEdit>(TabSheet1, "IPTemp", {24, 322, 60, 21});
    Ed_ext = Make<TEdit>(TabSheet1, "Ed_ext", {24, 322, 60, 21});
    IPTemp->SetVisible(false);
    Ed_ext->SetVisible(false);

    Bt_Apply->OnClick = [this](TObject *s) { Bt_ApplyClick(s); };
    Bt_Cancel->OnClick = [this](TObject *s) { Bt_CancelClick(s); };
    CB_Fuction1->OnChange = [this](TObject *s) { CB_Fuction1Change(s); };
}

void TFM_DHCP::BuildStaticPage()
{
    TabSheet2 = MakePage(this, PageControl1, "TabSheet2", "Static Pool Settings  ");
    Label12 = Make<TLabel>(TabSheet2, "Label12", {12, 14, 200, 16}, "Function Enable/Disable");
    CB_Fuction2 = Make<TComboBox>(TabSheet2, "CB_Fuction2", {256, 10, 190, 21}, {"Disable", "Enable"});
    CB_Fuction2->SetStyle(csDropDownList);
    Label13 =
        Make<TLabel>(TabSheet2, "Label13", {12, 44, 400, 16}, " Static Pool Settings : Assigned Static Pool");
    // Every row, empty ones included, behind the list of the rows in use.
    LV_StaticPoolSet = Make<TListView>(TabSheet2, "LV_StaticPoolSet", {12, 66, 440, 246});
    LV_StaticPoolSet->SetVisible(false);
    User_ListView = Make<TListView>(TabSheet2, "User_ListView", {12, 66, 440, 246});
    Bt_Add = Make<TButton>(TabSheet2, "Bt_Add", {48, 322, 75, 25}, "Add");
    Bt_Set = Make<TButton>(TabSheet2, "Bt_Set", {146, 322, 75, 25}, "Set");
    Bt_Del = Make<TButton>(TabSheet2, "Bt_Del", {244, 322, 75, 25}, "Del");
    StaticApply = Make<TButton>(TabSheet2, "StaticApply", {342, 322, 75, 25}, "Apply");
    Bt_Set->SetEnabled(false);
    Bt_Del->SetEnabled(false);
    StatusBar2 = Make<TStatusBar>(TabSheet2, "StatusBar2");

    CB_Fuction2->OnChange = [this](TObject *s) { CB_Fuction2Change(s); };
    User_ListView->OnSelectItem = [this](TObject *s, TListItem *item, bool selected) {
        User_ListViewSelectItem(s, item, selected);
    };
    Bt_Add->OnClick = [this](TObject *s) { Bt_AddClick(s); };
    Bt_Set->OnClick = [this](TObject *s) { Bt_SetClick(s); };
    Bt_Del->OnClick = [this](TObject *s) { Bt_DelClick(s); };
    StaticApply->OnClick = [this](TObject *s) { StaticApplyClick(s); };
}

void TFM_DHCP::BuildLeasePage()
{
    TabSheet3 = MakePage(this, PageControl1, "TabSheet3", " Current IP Mapping List  ");
    Panel1 = Make<TPanel>(TabSheet3, "Panel1", {4, 4, 456, 180});
    Label14 = Make<TLabel>(Panel1, "Label14", {8, 8, 250, 16}, "Current DHCP Dynamic Pools");
    Bt_RefreshDynamicPool = Make<TButton>(Panel1, "Bt_RefreshDynamicPool", {372, 4, 75, 25}, "Refresh");
    LV_DynPool = Make<TListView>(Panel1, "LV_DynPool", {8, 34, 440, 118});
    StatusBar3 = Make<TStatusBar>(Panel1, "StatusBar3");
    Panel2 = Make<TPanel>(TabSheet3, "Panel2", {4, 188, 456, 180});
    Label15 = Make<TLabel>(Panel2, "Label15", {8, 8, 250, 16}, "Current DHCP Static Pools");
    Bt_RefreshStaticPool = Make<TButton>(Panel2, "Bt_RefreshStaticPool", {372, 4, 75, 25}, "Refresh");
    LV_StaticPool = Make<TListView>(Panel2, "LV_StaticPool", {8, 34, 440, 118});
    StatusBar4 = Make<TStatusBar>(Panel2, "StatusBar4");
    CoboxDynamic = Make<TComboBox>(TabSheet3, "CoboxDynamic", {4, 4, 60, 21});
    CoboxStatic = Make<TComboBox>(TabSheet3, "CoboxStatic", {4, 4, 60, 21});
    CoboxDynamic->SetVisible(false);
    CoboxStatic->SetVisible(false);

    Bt_RefreshDynamicPool->OnClick = [this](TObject *s) { Bt_RefreshDynamicPoolClick(s); };
    Bt_RefreshStaticPool->OnClick = [this](TObject *s) { Bt_RefreshStaticPoolClick(s); };
}

// The static pool: the row editor in its dialog, the pool's rows and the addresses in use.
void TFM_DHCP::BindStaticPool()
{
    m_dialog = std::make_unique<TFM_StaticIP>(Application);
    FM_StaticIP = m_dialog.get();
    TFM_StaticIP &d = *m_dialog;

    StaticRowReq = MakeBinding(
        this, {.Items = kStaticPoolItems,
               .Label = "Static Pool Settings",
               .Type = MVT_UMV,
               .KeyCount = 1,
               .Mode = BindMode::Async,
               .Log = StatusBar2,
               .OnGetDone = [this](KvSNMPRequest2Controls *s, KvSNMPError *e) { OnStaticListDone(s, e); },
               .OnSetDone = [this](KvSNMPRequest2Controls *s, KvSNMPError *e) { OnStaticRowSetDone(s, e); }});
    StaticRowReq->SetupListView(LV_StaticPoolSet, true);
    StaticRowReq->Associate(StaticPoolItem::Index, d.LA_Index);
    StaticRowReq->AssociateEdits(StaticPoolItem::IP, "%s", d.Ed_AsgIP);
    StaticRowReq->AssociateEdits(StaticPoolItem::MAC, "%h", d.Ed_AsgMac);
    StaticRowReq->AssociateEdits(StaticPoolItem::Mask, "%s", d.Ed_SubMask);
    StaticRowReq->AssociateEdits(StaticPoolItem::Gateway, "%s", d.Ed_Gatway);
    StaticRowReq->AssociateEdits(StaticPoolItem::Wins, "%s", d.Ed_Wins);
    StaticRowReq->AssociateEdits(StaticPoolItem::DNS, "%s", d.Ed_DNS);
    StaticRowReq->AssociateEdits(StaticPoolItem::Domain, "%s", d.Ed_DomNa);
    StaticRowReq->AssociateCombo(StaticPoolItem::Status, d.CB_Stat);
    Bt_Set->SetEnabled(false);
    Bt_Del->SetEnabled(false);
    ListStaticPool();

    for (TEdit *e : {d.Ed_AsgIP, d.Ed_AsgMac, d.Ed_SubMask, d.Ed_Gatway, d.Ed_Wins, d.Ed_DNS})
        e->SetMaxLength(15);
    d.Ed_DomNa->SetMaxLength(63);

    StaticListReq = MakeBinding<New_req2Edit>(this, {.Items = kStaticPoolItems,
                                                     .Label = "Assigned Static Pool",
                                                     .Type = MVT_UMV,
                                                     .KeyCount = 1,
                                                     .Mode = BindMode::Async});
    StaticListReq->SetupListView(User_ListView, false);
    SetColumnWidths(User_ListView, {44, 104, 104, 104, 104, 104, 104, 80, 50});
    StaticListReq->Filter = "0.0.0.0";
    StaticListReq->KeyColumn = StaticPoolItem::IP;
    StaticListReq->Get();
}

// The leases given from the dynamic and the static pool.
void TFM_DHCP::BindLeases()
{
    DynamicClientsReq = MakeBinding<New_req2Edit>(
        this, {.Items = kDynamicLeaseItems,
               .Label = "Current DHCP Dynamic Pools",
               .Type = MVT_FMV,
               .KeyCount = 1,
               .Mode = BindMode::Async,
               .Log = StatusBar3,
               .OnGetDone = [this](auto *, auto *) { KeepReadFailure(StatusBar3); }});
    DynamicClientsReq->SetupListView(LV_DynPool, false);
    SetColumnWidths(LV_DynPool, {40, 114, 156, 122});
    DynamicClientsReq->Filter = "000000000000";
    DynamicClientsReq->KeyColumn = 1;
    DynamicClientsReq->Get();

    StaticClientsReq = MakeBinding<New_req2Edit>(
        this, {.Items = kStaticLeaseItems,
               .Label = "Current DHCP Static Pools",
               .Type = MVT_FMV,
               .KeyCount = 1,
               .Mode = BindMode::Async,
               .Log = StatusBar4,
               .OnGetDone = [this](auto *, auto *) { KeepReadFailure(StatusBar4); }});
    StaticClientsReq->SetupListView(LV_StaticPool, false);
    SetColumnWidths(LV_StaticPool, {40, 114, 156});
    StaticClientsReq->Filter = "000000000000";
    StaticClientsReq->KeyColumn = 1;
    StaticClientsReq->Get();
}

void TFM_DHCP::FormCreate(TObject *)
{
    const bool created = GuardCreate(StatusBar1, [this] {
        DynamicPoolReq = MakeBinding(this, {.Items = kDynamicPoolItems,
                                            .Label = "Dynamic Pool Settings",
                                            .Type = SVT_SV,
                                            .Mode = BindMode::Sync,
                                            .Log = StatusBar1});
        DynamicPoolReq->AssociateEdits(0, "%s", Ed_IPAF);
        DynamicPoolReq->AssociateEdits(1, "%u", Ed_PoolRan);
        DynamicPoolReq->AssociateEdits(2, "%s", Ed_SubMask);
        DynamicPoolReq->AssociateEdits(3, "%s", Ed_Gateway);
        DynamicPoolReq->AssociateEdits(4, "%s", Ed_Wins);
        DynamicPoolReq->AssociateEdits(5, "%s", Ed_DNS);
        DynamicPoolReq->AssociateEdits(6, "%s", Ed_DomNa);
        DynamicPoolReq->AssociateEdits(7, "%u", Ed_Lease);
        DynamicPoolReq->AssociateCombo(8, CB_Status);
        DynamicPoolReq->Get();

        FunctionReq = MakeBinding(this, {.Items = kDhcpFunctionItems,
                                         .Label = "Function Enable/Disable",
                                         .Type = SVT_SV,
                                         .Mode = BindMode::Sync,
                                         .Log = StatusBar1});
        FunctionReq->AssociateCombo(0, CB_Fuction1);
        if (FunctionReq->Get()) {
            CB_Fuction2->SetItemIndex(CB_Fuction1->ItemIndex());
            EnableDynamicPoolEdits(true);
        }

        BindStaticPool();
        BindLeases();
    });
    if (!created) {
        StatusBar2->SetSimpleText(StatusBar1->SimpleText());
        StatusBar3->SetSimpleText(StatusBar1->SimpleText());
    }
    SystemIPReq = MakeBinding(
        this, {.Items = kSystemAddressItems, .Label = "System IP", .Type = SVT_SV, .Mode = BindMode::Async});
    SystemIPReq->AssociateEdits(0, "%s", Ed_ext);
    SystemIPReq->Get();
    for (TEdit *e : {Ed_IPAF, Ed_SubMask, Ed_Gateway, Ed_Wins, Ed_DNS})
        e->SetMaxLength(15);
    Ed_DomNa->SetMaxLength(63);
    Ed_PoolRan->SetMaxLength(3);
    Ed_Lease->SetMaxLength(8);
    // With no listing under way nothing holds the form.
    if (Idle)
        Bt_Cancel->SetEnabled(true);
}

void TFM_DHCP::ShowListing(const AnsiString &text)
{
    StatusBar1->SetSimpleText(text);
    StatusBar2->SetSimpleText(text);
}

void TFM_DHCP::ListStaticPool()
{
    Idle = false;
    Busy = true;
    Bt_Set->SetEnabled(false);
    Bt_Del->SetEnabled(false);
    ShowListing(kListing);
    // A walk refused (one still runs) completes nothing: the flags go back at once.
    if (!StaticRowReq->Get()) {
        Idle = true;
        Busy = false;
    }
}

void TFM_DHCP::FormCloseQuery(TObject *, bool &CanClose)
{
    CanClose = !Busy && Guard.CanClose();
}

AnsiString TFM_DHCP::ReadFailure() const
{
    const auto groups = {static_cast<const ReadOutcome *>(DynamicPoolReq.get()),
                         static_cast<const ReadOutcome *>(FunctionReq.get()),
                         static_cast<const ReadOutcome *>(StaticRowReq.get())};
    const AnsiString failure = FirstReadFailure(groups);
    return failure.empty() ? failure : NotReadText(failure, UnreadLabels(groups));
}

void TFM_DHCP::KeepReadFailure(TStatusBar *bar)
{
    // Without the server's own objects an empty lease list says nothing.
    const AnsiString failure = ReadFailure();
    if (!failure.empty())
        bar->SetSimpleText(failure);
}

void TFM_DHCP::OnStaticListDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    // A group that could not be read stays in view: an empty listing is no success then. So do
    // the groups the dialog's writes left out.
    const AnsiString failure = ReadFailure();
    const AnsiString listed = !failure.empty() ? failure : Status ? Status->Message : AnsiString();
    ShowListing(RowOutcome.empty() ? listed : listed + " " + RowOutcome);
    RowOutcome.clear();
    Bt_Cancel->SetEnabled(true);
    Busy = false;
    Idle = true;
    const bool read = Status != nullptr && Status->Code == 0;
    // An add that waited for the pool goes on, with the rows the device holds now.
    if (m_reread.TableRead(read))
        Post([this] { Bt_AddClick(this); });
    if (!read)
        return;
    EnableStaticPoolEdits(true);
    CB_Fuction2->SetItemIndex(CB_Fuction1->ItemIndex());
    Bt_Apply->SetEnabled(true);
    StaticApply->SetEnabled(true);
    EnableDynamicPoolEdits(true);
    const bool selected = User_ListView->Selected() != nullptr;
    Bt_Set->SetEnabled(selected);
    Bt_Del->SetEnabled(selected);
}

void TFM_DHCP::OnStaticRowSetDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    const bool ok = Status != nullptr && Status->Code == 0;
    m_reread.RowWritten(Status != nullptr && Status->Code == KvSNMPCode::NoAnswer);
    ShowListing(Status ? Status->Message : AnsiString());
    if (ok && RelistPending) {
        RelistPending = false;
        RelistStaticPool();
    }
}

void TFM_DHCP::RelistStaticPool()
{
    LV_StaticPoolSet->Items()->Clear();
    ListStaticPool();
    User_ListView->Items()->Clear();
    StaticListReq->RowNumber = 1;
    StaticListReq->Filter = "0.0.0.0";
    StaticListReq->Get();
}

void TFM_DHCP::CB_Fuction1Change(TObject *)
{
    CB_Fuction2->SetItemIndex(CB_Fuction1->ItemIndex());
    EnableDynamicPoolEdits(true);
}

void TFM_DHCP::CB_Fuction2Change(TObject *)
{
    CB_Fuction1->SetItemIndex(CB_Fuction2->ItemIndex());
    EnableDynamicPoolEdits(true);
    if (!(StaticListReq && StaticListReq->Busy))
        Bt_Add->SetEnabled(CB_Fuction2->ItemIndex() != 0);
}

void TFM_DHCP::PageControl1Change(TObject *)
{
    if (PageControl1->ActivePage() != TabSheet2)
        return;
    User_ListView->SetColor(CB_Fuction1->ItemIndex() == 0 ? clBtnFace : clWindow);
    if (!(StaticListReq && StaticListReq->Busy))
        Bt_Add->SetEnabled(CB_Fuction2->ItemIndex() != 0);
}

void TFM_DHCP::User_ListViewSelectItem(TObject *, TListItem *, bool)
{
    if (CB_Fuction1->ItemIndex() != 1 && CB_Fuction2->ItemIndex() != 1) {
        User_ListView->SetColor(clBtnFace);
        return;
    }
    const bool can = User_ListView->Selected() != nullptr && Idle;
    Bt_Set->SetEnabled(can);
    Bt_Del->SetEnabled(can);
}

void TFM_DHCP::Bt_RefreshDynamicPoolClick(TObject *)
{
    if (!DynamicClientsReq)
        return;
    DynamicClientsReq->RowNumber = 1;
    DynamicClientsReq->Get();
}

void TFM_DHCP::Bt_RefreshStaticPoolClick(TObject *)
{
    if (!StaticClientsReq)
        return;
    StaticClientsReq->RowNumber = 1;
    StaticClientsReq->Get();
}

void TFM_DHCP::Bt_CancelClick(TObject *)
{
    Close();
}

void TFM_DHCP::EnableDynamicPoolEdits(bool on)
{
    const std::initializer_list<TControl *> pool = {Ed_IPAF, Ed_PoolRan, Ed_SubMask, Ed_Gateway, Ed_Wins,
                                                    Ed_DNS,  Ed_DomNa,   Ed_Lease,   CB_Status};
    const std::initializer_list<TControl *> staticOnes = {LV_StaticPoolSet, User_ListView, Bt_Add, Bt_Set,
                                                          Bt_Del};
    if (!on) {
        for (TControl *c : pool)
            c->SetEnabled(false);
        for (TControl *c : staticOnes)
            c->SetEnabled(false);
        User_ListView->SetColor(clBtnFace);
        return;
    }
    const bool serverOn = CB_Fuction1->ItemIndex() == 1;
    for (TControl *c : pool)
        c->SetEnabled(serverOn);
    if (CB_Fuction2->ItemIndex() == 0) {
        for (TControl *c : staticOnes)
            c->SetEnabled(false);
        User_ListView->SetColor(clBtnFace);
    } else if (CB_Fuction2->ItemIndex() == 1) {
        LV_StaticPoolSet->SetEnabled(true);
        User_ListView->SetEnabled(true);
        User_ListView->SetColor(clWindow);
    }
    Ed_PoolRan->SetMaxLength(3);
    Ed_Lease->SetMaxLength(8);
}

void TFM_DHCP::EnableStaticPoolEdits(bool on)
{
    LV_StaticPoolSet->SetEnabled(on);
    User_ListView->SetEnabled(on);
    User_ListView->SetColor(on ? clWindow : clBtnFace);
    Bt_Add->SetEnabled(on);
    if (!on) {
        Bt_Set->SetEnabled(false);
        Bt_Del->SetEnabled(false);
    }
}

TListItem *TFM_DHCP::StaticPoolRow(const AnsiString &address) const
{
    TListItems *rows = LV_StaticPoolSet->Items();
    for (int i = 0; i < rows->Count(); ++i) {
        const TStrings *cells = rows->Item(i)->SubItems();
        if (cells->Count() > 0 && SameAddress(cells->Strings(0), address))
            return rows->Item(i);
    }
    return nullptr;
}
