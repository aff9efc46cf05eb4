#include "TLogForm.h"

#include "FormGlobals.h"
#include "KvPath.h"
#include "Misc.h"

#include <cstdio>
#include <fstream>

namespace {

const FormItemTable kTargetItems = {
    {"2.11.4", "adTFTPServerIP", KvSyntax::IpAddress, KvAccess::ReadWrite},
    {"2.11.5", "adLogFileName", KvSyntax::DisplayStr, KvAccess::ReadWrite},
};
const FormItemTable kGetItems = {
    {"2.11.6", "systemLogGetLog", KvSyntax::Integer, KvAccess::ReadWrite, &gSystemLogGetLogNames},
};
const FormItemTable kClearItems = {
    {"2.11.10", "adClearLocalLog", KvSyntax::Integer, KvAccess::ReadWrite, &gAdClearLocalLogNames},
};

const char *const kLogFileName = "LogFile.RD";

AnsiString trimmed(const AnsiString &s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == AnsiString::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

} // namespace

LogLine SplitLogLine(const AnsiString &line)
{
    LogLine out;
    const auto tab = line.find('\t');
    AnsiString rest = line;
    if (tab != AnsiString::npos) {
        out.Time = trimmed(line.substr(0, tab));
        rest = line.substr(tab + 1);
    }
    const auto open = rest.find('[');
    if (open != AnsiString::npos)
        rest = rest.substr(open + 1);
    const auto close = rest.find(']');
    if (close == AnsiString::npos) {
        out.Message = rest;
        return out;
    }
    out.Type = rest.substr(0, close);
    out.Message = rest.substr(close + 1);
    return out;
}

TLogForm::TLogForm(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"LogForm", "Status \\ Log", 478, 330});
    Panel1 = Make<TPanel>(this, "Panel1", {0, 0, 478, 260});
    Panel2 = Make<TPanel>(Panel1, "Panel2", {10, 10, 458, 240});
    ViewGrpBox = Make<TGroupBox>(Panel2, "ViewGrpBox", {4, 4, 450, 232}, "View Log");
    ViewListView = Make<TListView>(ViewGrpBox, "ViewListView", {8, 20, 434, 204});
    ViewListView->SetViewStyle(vsReport);
    ViewListView->SetReadOnly(true);
    ViewListView->SetRowSelect(true);
    ViewListView->SetGridLines(true);
    // Each column fits its caption and the longest text of the lines read.
    for (const char *caption : {"Time", "Type", "Message"}) {
        TListColumn *c = ViewListView->Columns()->Add();
        c->SetCaption(caption);
        c->SetWidth(-2);
    }
    LBLog = Make<TListBox>(this, "LBLog", {0, 0, 10, 10});
    ServerEdit = Make<TEdit>(this, "ServerEdit", {0, 0, 10, 21});
    FileNameEdit = Make<TEdit>(this, "FileNameEdit", {0, 0, 10, 21});
    GetCoBox = Make<TComboBox>(this, "GetCoBox", {0, 0, 10, 21});
    Bt_Clear = Make<TComboBox>(this, "Bt_Clear", {0, 0, 10, 21});
    for (TControl *hidden :
         std::initializer_list<TControl *>{LBLog, ServerEdit, FileNameEdit, GetCoBox, Bt_Clear})
        hidden->SetVisible(false);
    Panel3 = Make<TPanel>(this, "Panel3", {0, 260, 478, 46});
    Clear_Btn = Make<TButton>(Panel3, "Clear_Btn", {142, 10, 75, 25}, "Clear");
    GetBtn = Make<TButton>(Panel3, "GetBtn", {252, 10, 75, 25}, "Get Log");
    CloseBtn = Make<TButton>(Panel3, "CloseBtn", {368, 10, 75, 25}, "Close");
    StatusBar1 = Make<TStatusBar>(this, "StatusBar1");

    GetBtn->OnClick = [this](TObject *s) { GetBtnClick(s); };
    Clear_Btn->OnClick = [this](TObject *s) { Clear_BtnClick(s); };
    CloseBtn->OnClick = [this](TObject *) { Close(); };
    OnResize = [this](TObject *s) { FormResize(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
    OnCloseQuery = [this](TObject *s, bool &canClose) { FormCloseQuery(s, canClose); };
}

TLogForm::~TLogForm() = default;

void TLogForm::FormCreate(TObject *)
{
    const bool bound = GuardCreate(StatusBar1, [this] {
        TargetReq = MakeBinding(this, {.Items = kTargetItems,
                                       .Type = SVT_SV,
                                       .Timeout = 1000,
                                       .OnSetDone = [this](auto *s, auto *e) { OnLogTargetSetDone(s, e); }});
        TargetReq->AssociateEdits(0, "%s", ServerEdit);
        TargetReq->AssociateEdits(1, "%s", FileNameEdit);
        GetReq = MakeBinding(this, {.Items = kGetItems,
                                    .Type = SVT_SV,
                                    .Timeout = 1000,
                                    .OnSetDone = [this](auto *s, auto *e) { OnLogGetDone(s, e); }});
        GetReq->Associate(0, GetCoBox);
        SendOnce(*GetReq);
        ClearReq = MakeBinding(this, {.Items = kClearItems,
                                      .Type = SVT_SV,
                                      .Timeout = 1000,
                                      .OnSetDone = [this](auto *s, auto *e) { OnClearDone(s, e); }});
        ClearReq->Associate(0, Bt_Clear);
        SendOnce(*ClearReq);
    });
    Guard.Watch(TargetReq);
    Guard.Watch(GetReq);
    Guard.Watch(ClearReq);
    const AnsiString folder = ReceivedFilesFolder();
    LogFilePath = JoinPath(folder, kLogFileName);
    Server = std::make_unique<TransferServer>(this, 5000, StatusBar1);
    if (!Server->Start(folder, InitialServerAddress()))
        return;
    // Bindings that could not be made cannot fetch: the reason stays in the status bar.
    if (!bound)
        return;
    SetStatus("Refresh...");
    GetBtnClick(this);
}

void TLogForm::GetBtnClick(TObject *)
{
    SetStatus("Refresh...!");
    FileNameEdit->SetText(kLogFileName);
    if (!TargetReq || !SelectLocalTftpAddress(ServerEdit))
        return;
    if (TargetReq->Busy || GetReq->Busy || Server->Pending())
        return;
    if (!Server->Start(ReceivedFilesFolder(), ServerEdit->Text()))
        return;
    // A log left by an earlier fetch must never pass for the new one.
    std::remove(LogFilePath.c_str());
    Server->Expect(kLogFileName, false);
    if (!SendGroup(*TargetReq))
        Server->Finish();
}

void TLogForm::OnLogTargetSetDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    if (Status == nullptr || Status->Code != 0) {
        Server->Finish();
        SetStatus(FailureText(Status));
        return;
    }
    GetCoBox->SetItemIndex(1);
    if (!SendGroup(*GetReq))
        Server->Finish();
}

void TLogForm::OnLogGetDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    const bool arrived = Server->Arrived();
    Server->Finish();
    if (Status == nullptr || Status->Code != 0) {
        SetStatus(FailureText(Status));
        return;
    }
    // The device's word alone is not enough: the file must have come in whole.
    SetStatus(arrived && LoadLogFile(LogFilePath) ? "Get OK." : "Get fail.");
}

bool TLogForm::LoadLogFile(const AnsiString &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    LBLog->Items()->Clear();
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        LBLog->Items()->Add(line);
    }
    ViewListView->Items()->Clear();
    for (int i = 0; i < LBLog->Items()->Count(); ++i) {
        const AnsiString line = LBLog->Items()->Strings(i);
        if (line.empty())
            continue;
        const LogLine parts = SplitLogLine(line);
        TListItem *row = ViewListView->Items()->Add();
        row->SetCaption(parts.Time);
        row->SubItems()->Add(parts.Type);
        row->SubItems()->Add(parts.Message);
    }
    return true;
}

void TLogForm::Clear_BtnClick(TObject *)
{
    if (!ClearReq || ClearReq->Busy)
        return;
    Bt_Clear->SetItemIndex(1);
    SendGroup(*ClearReq);
}

void TLogForm::OnClearDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    // The list goes only once the device has emptied its log.
    if (Status == nullptr || Status->Code != 0) {
        SetStatus(FailureText(Status));
        return;
    }
    ViewListView->Items()->Clear();
}

void TLogForm::FormResize(TObject *)
{
    const int w = ClientWidth();
    Panel1->SetBounds(0, 0, w, ClientHeight() - Panel3->Height() - StatusBar1->Height());
    Panel2->SetWidth(Panel1->Width() - 20);
    Panel2->SetHeight(Panel1->Height() - 20);
    GetBtn->SetLeft(w * 252 / 478);
    CloseBtn->SetLeft(w * 368 / 478);
    Clear_Btn->SetLeft(w * 142 / 478);
}

void TLogForm::FormCloseQuery(TObject *, bool &CanClose)
{
    CanClose = Guard.CanClose();
    if (CanClose && Server)
        Server->Stop();
}
