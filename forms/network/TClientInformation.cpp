#include "TClientInformation.h"

#include "FormGlobals.h"
#include "FormPages.h"
#include "MainForm.h"
#include "MainMenu.h"
#include "Misc.h"

#include <charconv>

namespace {

using namespace KvSyntax;
using KvAccess::NotAccess;
using KvAccess::ReadOnly;
using KvAccess::ReadWrite;

const FormItemTable kApModeItems = {
    {"2.1.1.1.1", "adAPMode", Integer, ReadWrite, &gAdAPModeNames2},
    {"2.3.1.11.1", "adSuperMode", Integer, ReadWrite, &gAdSuperModeNames},
};
const FormItemTable kClientDetectItems = {
    {"4.5.1.1.1.1", "adGetClient", Integer, ReadWrite, &gAdGetClientNames}};
const FormItemTable kClientItems = {
    {"4.5.2.1.1", "Index", Integer, NotAccess}, {"4.5.2.1.2", "Client MAC Address", MacAddress, ReadOnly},
    {"4.5.2.1.3", "Band", Integer, ReadOnly},   {"4.5.2.1.4", "Authentication", Integer, ReadOnly},
    {"4.5.2.1.5", "Signal", Integer, ReadOnly}, {"4.5.2.1.6", "Power Saving Mode", Integer, ReadOnly},
};
const FormItemTable kClientSsidItems = {
    {"4.5.2.1.1", "Index", Integer, NotAccess},
    {"4.5.2.1.2", "Client MAC Address", MacAddress, ReadOnly},
    {"4.5.2.1.3", "Band", Integer, ReadOnly},
    {"4.5.2.1.4", "Authentication", Integer, ReadOnly, &gClientAuthenticationNames},
    {"4.5.2.1.5", "Signal", Integer, ReadOnly},
    {"4.5.2.1.6", "Power Saving Mode", Integer, ReadOnly},
    {"4.5.2.1.7", "SSID", DisplayStr, ReadOnly},
};
const FormItemTable kWdsDetectItems = {{"4.6.1.1.1.1", "wdsGet", Integer, ReadWrite, &gWdsGetNames}};
const FormItemTable kWdsItems = {
    {"4.6.2.1.1", "Index", Integer, NotAccess},
    {"4.6.2.1.2", "MAC", MacAddress, ReadOnly},
    {"4.6.2.1.3", "Band", Integer, ReadOnly, &gWdsBandNames},
    {"4.6.2.1.4", "Authentication", Integer, ReadOnly, &gWdsAuthenticationNames},
    {"4.6.2.1.5", "Signal", Integer, ReadOnly},
    {"4.6.2.1.6", "Channel", Integer, ReadOnly, &gWdsChannelNames},
    {"4.6.2.1.7", "SSID", DisplayStr, ReadOnly},
};

constexpr int kTabRow = 28;

const char *const kClientColumns[] = {"Index",  "Client MAC Address", "Band", "Authentication",
                                      "Signal", "Power Saving Mode",  "SSID"};

// The walked number, or -1 for a text that is not one.
int WalkedNumber(const AnsiString &text)
{
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 0 ? value : -1;
}

AnsiString Cell(const TListItem *row, int subItem)
{
    const TStrings *cells = row->SubItems();
    return subItem < cells->Count() ? cells->Strings(subItem) : AnsiString();
}

AnsiString Rows(TListView *view)
{
    return std::to_string(view->Items()->Count());
}

} // namespace

AnsiString TClientInformation::BandText(const AnsiString &walked)
{
    switch (WalkedNumber(walked)) {
    case 0:
        return "A";
    case 1:
        return "B";
    case 2:
    case 3:
        return "G";
    default:
        return " ";
    }
}

AnsiString TClientInformation::AuthenticationText(const AnsiString &walked)
{
    const int value = WalkedNumber(walked);
    for (int i = 0; value >= 0 && i < gClientAuthenticationNames.Count(); ++i)
        if (gClientAuthenticationNames.GetPair(i)->Value == value)
            return gClientAuthenticationNames.GetPair(i)->Name;
    return " ";
}

AnsiString TClientInformation::PowerSavingText(const AnsiString &walked)
{
    switch (WalkedNumber(walked)) {
    case 0:
        return "Off";
    case 1:
        return "On";
    default:
        return " ";
    }
}

TClientInformation::TClientInformation(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"ClientInformation", "Status\\Client Info", 600, 380});
    StatusBar = Make<TStatusBar>(this, "StatusBar");
    StatusBar->SetSimplePanel(false);
    StatusBar->Panels()->Add()->SetWidth(50);
    PageControl1 = Make<TPageControl>(this, "PageControl1");
    PageControl1->SetAlign(alClient);

    TS_ClientInfo = MakePage(this, PageControl1, "TS_ClientInfo", "Client Info");
    ClientListView = Make<TListView>(TS_ClientInfo, "ClientListView", {8, 8, 200, 100});
    ClientListView->SetVisible(false); // the walk's rows, shown through User_ListView
    User_ListView = Make<TListView>(TS_ClientInfo, "User_ListView", {8, 8, 200, 100});
    User_ListView->SetReadOnly(true);
    User_ListView->SetRowSelect(true);
    User_ListView->SetGridLines(true);
    NumOfRecord = Make<TLabel>(TS_ClientInfo, "NumOfRecord", {8, 120, 30, 16}, "0");
    Label1 = Make<TLabel>(TS_ClientInfo, "Label1", {42, 120, 70, 16}, "Station(s)");
    Bt_Rfrsh = Make<TButton>(TS_ClientInfo, "Bt_Rfrsh", {100, 200, 75, 25}, "Refresh");
    Bt_Close = Make<TButton>(TS_ClientInfo, "Bt_Close", {300, 200, 75, 25}, "Close");
    IfGetInfo0 = Make<TComboBox>(TS_ClientInfo, "IfGetInfo0", {8, 200, 60, 21});
    IfGetInfo1 = Make<TComboBox>(TS_ClientInfo, "IfGetInfo1", {8, 200, 60, 21});
    IfGetInfo0->SetVisible(false);
    IfGetInfo1->SetVisible(false);

    TS_WDSInfo = MakePage(this, PageControl1, "TS_WDSInfo", "WDS Info");
    LV_WDSInfo = Make<TListView>(TS_WDSInfo, "LV_WDSInfo", {8, 8, 200, 100});
    LV_WDSInfo->SetVisible(false);
    LV_WDSInfo_User = Make<TListView>(TS_WDSInfo, "LV_WDSInfo_User", {8, 8, 200, 100});
    Lab_WDSRecordNum = Make<TLabel>(TS_WDSInfo, "Lab_WDSRecordNum", {8, 120, 30, 16}, "0");
    Label2 = Make<TLabel>(TS_WDSInfo, "Label2", {42, 120, 70, 16}, "Station(s)");
    Bt_WDSRefresh = Make<TButton>(TS_WDSInfo, "Bt_WDSRefresh", {100, 200, 75, 25}, "Refresh");
    Bt_WDSClose = Make<TButton>(TS_WDSInfo, "Bt_WDSClose", {300, 200, 75, 25}, "Close");
    CB_WDSGetA = Make<TComboBox>(TS_WDSInfo, "CB_WDSGetA", {8, 200, 60, 21});
    CB_WDSGetG = Make<TComboBox>(TS_WDSInfo, "CB_WDSGetG", {8, 200, 60, 21}, {"nothing", "get"});
    CB_WDSGetA->SetVisible(false);
    CB_WDSGetG->SetVisible(false);
    CB_APMode11a = Make<TComboBox>(this, "CB_APMode11a", {8, 0, 60, 21});
    CB_APMode11a->SetVisible(false);

    for (const char *caption : kClientColumns) {
        TListColumn *column = User_ListView->Columns()->Add();
        column->SetCaption(caption);
        column->SetWidth(-2);
    }

    Timer1 = new TTimer(this); // owned by the form
    Timer1->SetName("Timer1");
    Timer1->SetInterval(10000);
    Timer1->SetEnabled(false);

    Bt_Rfrsh->OnClick = [this](TObject *s) { Bt_RfrshClick(s); };
    Bt_Close->OnClick = [this](TObject *s) { Bt_CloseClick(s); };
    Bt_WDSRefresh->OnClick = [this](TObject *s) { Bt_WDSRefreshClick(s); };
    Bt_WDSClose->OnClick = [this](TObject *s) { Bt_CloseClick(s); };
    Timer1->OnTimer = [this](TObject *s) { Timer1Timer(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnShow = [this](TObject *s) { FormShow(s); };
    OnCloseQuery = [this](TObject *s, bool &can) { FormCloseQuery(s, can); };
    OnResize = [this](TObject *s) { FormResize(s); };
    FormResize(this);
}

TClientInformation::~TClientInformation()
{
    // No new cycle while the bindings go (each waits for its own request).
    Timer1->SetEnabled(false);
}

void TClientInformation::ShowStatus(const AnsiString &text)
{
    StatusBar->Panels()->Items(0)->SetText(text);
}

void TClientInformation::FormCreate(TObject *)
{
    m_ssid = MainForm != nullptr && CapabilityNumber(MainForm->Ed_ClientAddSSID->Text()) == 1;
    TObject *log = StatusBar->Panels()->Items(0);
    const bool created = GuardCreate(StatusBar, [&] {
        ApModeReq = MakeBinding(this, {.Items = kApModeItems, .Type = MVT_SV, .Mode = BindMode::Sync});
        ApModeReq->AssociateCombo(0, CB_APMode11a);
        ApModeReq->Get();
        TS_WDSInfo->SetTabVisible(false);

        ClientDetectReq =
            MakeBinding(this, {.Items = kClientDetectItems,
                               .Type = MVT_SV,
                               .KeyCount = 1,
                               .Mode = BindMode::Async,
                               .Timeout = 1000,
                               .OnSetDone = [this](auto *s, auto *e) { OnClientDetectDone(s, e); }});
        ClientDetectReq->Request.Retries = 0; // a retry would gather the table twice
        ClientDetectReq->AssociateCombo(0, IfGetInfo0);
        ClientWalkReq =
            MakeBinding(this, {.Items = m_ssid ? kClientSsidItems : kClientItems,
                               .Type = MVT_UMV,
                               .KeyCount = 1,
                               .Mode = BindMode::Async,
                               .Log = log,
                               .OnGetDone = [this](auto *s, auto *e) { OnClientWalkDone(s, e); }});
        ClientWalkReq->SetupListView(ClientListView, false);
        User_ListView->Columns()->Items(6)->SetWidth(m_ssid ? -2 : 0);
        StartClientCycle();
        ShowWdsPage();
    });
    if (!created) {
        // The cycle that could not start is over; its text went to the status bar.
        ClientBusy = 0;
        WdsBusy = 0;
    }
}

void TClientInformation::ShowWdsPage()
{
    // The bridge modes have WDS peers.
    const bool wdsInfo = MainForm == nullptr || CapabilityNumber(MainForm->Ed_WDSInfoNotSupport->Text()) != 1;
    const int mode = ApModeReq && ApModeReq->WasRead() ? CB_APMode11a->ItemIndex() : -1;
    if (!(mode == 1 || mode == 2) || !wdsInfo || WdsDetectReq)
        return;
    TS_WDSInfo->SetTabVisible(true);
    TObject *log = StatusBar->Panels()->Items(0);
    GuardCreate(StatusBar, [&] {
        WdsDetectReq = MakeBinding(this, {.Items = kWdsDetectItems,
                                          .Type = MVT_SV,
                                          .KeyCount = 1,
                                          .Mode = BindMode::Async,
                                          .OnSetDone = [this](auto *s, auto *e) { OnWdsDetectDone(s, e); }});
        WdsDetectReq->Request.Retries = 0;
        WdsDetectReq->AssociateCombo(0, CB_WDSGetA);
        CB_WDSGetG->SetItemIndex(1);
        WdsWalkReq =
            MakeBinding<New_req2Edit>(this, {.Items = kWdsItems,
                                             .Type = MVT_UMV,
                                             .KeyCount = 1,
                                             .Mode = BindMode::Async,
                                             .Log = log,
                                             .OnGetDone = [this](auto *s, auto *e) { OnWdsWalkDone(s, e); }});
        WdsWalkReq->SetupListView(LV_WDSInfo_User, false);
        StartWdsCycle();
    });
}

void TClientInformation::FormShow(TObject *)
{
    FormResize(this);
    Timer1->SetEnabled(true);
}

void TClientInformation::FormCloseQuery(TObject *, bool &CanClose)
{
    // Each binding waits for its own request when it goes; only both cycles at once hold the
    // form open.
    CanClose = !(ClientBusy && WdsBusy);
    if (CanClose)
        Timer1->SetEnabled(false);
}

void TClientInformation::FormResize(TObject *)
{
    const int width = Width();
    for (TTabSheet *page : {TS_ClientInfo, TS_WDSInfo}) {
        // The page panel: the page control below its row of tabs.
        const int bottom = PageControl1->Height() - kTabRow;
        const bool client = page == TS_ClientInfo;
        TListView *view = client ? User_ListView : LV_WDSInfo_User;
        view->SetBounds(8, 8, width - 36, Height() - 154);
        (client ? ClientListView : LV_WDSInfo)->SetBounds(8, 8, width - 36, Height() - 154);
        const int countTop = view->Top() + view->Height() + 8;
        (client ? NumOfRecord : Lab_WDSRecordNum)->SetTop(countTop);
        (client ? Label1 : Label2)->SetTop(countTop);
        TButton *refresh = client ? Bt_Rfrsh : Bt_WDSRefresh;
        TButton *close = client ? Bt_Close : Bt_WDSClose;
        refresh->SetBounds(width * 5 / 27, bottom - 34, refresh->Width(), refresh->Height());
        close->SetBounds(width * 37 / 63, bottom - 34, close->Width(), close->Height());
    }
}

void TClientInformation::StartClientCycle()
{
    ClientBusy = 1;
    IfGetInfo0->SetItemIndex(1);
    ShowStatus("Detect Client Info...");
    User_ListView->Items()->Clear();
    bool started = false;
    try {
        started = ClientDetectReq && ClientDetectReq->Set(true, true);
    } catch (const std::exception &e) {
        EndClientCycle(e.what());
        return;
    }
    if (!started)
        EndClientCycle("Detect timed out!");
}

void TClientInformation::EndClientCycle(const AnsiString &status)
{
    ClientBusy = 0;
    ShowStatus(status);
    NumOfRecord->SetText(Rows(User_ListView));
}

void TClientInformation::Bt_RfrshClick(TObject *)
{
    if (!ClientBusy) // a second cycle would find the walk still running
        StartClientCycle();
    // An AP mode the opening could not read decides the WDS page once it is read.
    if (ApModeReq && !ApModeReq->WasRead()) {
        ReadAgainIfUnread(ApModeReq.get());
        ShowWdsPage();
    }
}

void TClientInformation::Timer1Timer(TObject *)
{
    if (!ClientBusy)
        StartClientCycle();
}

void TClientInformation::OnClientDetectDone(KvSNMPRequest2Controls *, KvSNMPError *e)
{
    if (e == nullptr || e->Code != 0) {
        EndClientCycle("Detect timed out!" + (e != nullptr ? e->Message : AnsiString()));
        return;
    }
    if (!ClientWalkReq || !ClientWalkReq->Get()) {
        EndClientCycle("Detect timed out!");
        return;
    }
    ShowStatus("Get Client info...!");
}

void TClientInformation::OnClientWalkDone(KvSNMPRequest2Controls *, KvSNMPError *e)
{
    ClientBusy = 0;
    ShowStatus(e != nullptr ? e->Message : AnsiString());
    if (e != nullptr && e->Code == 0)
        FillClientList();
    NumOfRecord->SetText(Rows(User_ListView));
}

void TClientInformation::FillClientList()
{
    User_ListView->Items()->Clear();
    TListItems *walked = ClientListView->Items();
    int number = 0;
    for (int i = 0; i < walked->Count(); ++i) {
        const TListItem *row = walked->Item(i);
        // An empty slot of the device's table.
        if (Cell(row, 0) == "000000000000")
            continue;
        TListItem *shown = User_ListView->Items()->Add();
        shown->SetCaption(std::to_string(++number));
        TStrings *cells = shown->SubItems();
        cells->Add(Cell(row, 0));
        cells->Add(BandText(Cell(row, 1)));
        cells->Add(m_ssid ? Cell(row, 2) : AuthenticationText(Cell(row, 2)));
        cells->Add(Cell(row, 3) + "  %");
        cells->Add(PowerSavingText(Cell(row, 4)));
        if (m_ssid)
            cells->Add(Cell(row, 5));
    }
}

void TClientInformation::StartWdsCycle()
{
    WdsBusy = 1;
    CB_WDSGetA->SetItemIndex(1);
    ShowStatus("Detect WDS Info...");
    bool started = false;
    try {
        started = WdsDetectReq && WdsDetectReq->Set(true, true);
    } catch (const std::exception &e) {
        EndWdsCycle(e.what());
        return;
    }
    if (!started)
        EndWdsCycle("Detect timed out!");
}

void TClientInformation::EndWdsCycle(const AnsiString &status)
{
    WdsBusy = 0;
    ShowStatus(status);
    Lab_WDSRecordNum->SetText(Rows(LV_WDSInfo_User));
}

void TClientInformation::Bt_WDSRefreshClick(TObject *)
{
    if (WdsDetectReq && !WdsBusy)
        StartWdsCycle();
}

void TClientInformation::OnWdsDetectDone(KvSNMPRequest2Controls *, KvSNMPError *e)
{
    if (e == nullptr || e->Code != 0) {
        EndWdsCycle("Detect timed out!" + (e != nullptr ? e->Message : AnsiString()));
        return;
    }
    WdsWalkReq->RowNumber = 1;
    if (!WdsWalkReq->Get()) {
        EndWdsCycle("Detect timed out!");
        return;
    }
    ShowStatus("Get WDS info...!");
}

void TClientInformation::OnWdsWalkDone(KvSNMPRequest2Controls *, KvSNMPError *e)
{
    EndWdsCycle(e != nullptr ? e->Message : AnsiString());
}

void TClientInformation::Bt_CloseClick(TObject *)
{
    Close();
}
