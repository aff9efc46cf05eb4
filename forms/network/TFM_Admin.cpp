#include "TFM_Admin.h"

#include "AdminShared.h"
#include "FormGlobals.h"
#include "Waiting.h"

TFM_Admin::TFM_Admin(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Admin", "Tools \\ Admin", 330, 196});
    Label1 = Make<TLabel>(this, "Label1", {16, 18, 140, 16}, "User Name");
    Ed_Usr = Make<TEdit>(this, "Ed_Usr", {166, 16, 148, 21});
    Label2 = Make<TLabel>(this, "Label2", {16, 48, 140, 16}, "Old Password");
    Ed_OPwd = Make<TEdit>(this, "Ed_OPwd", {166, 46, 148, 21});
    Label3 = Make<TLabel>(this, "Label3", {16, 78, 140, 16}, "New Password");
    Ed_NPwd = Make<TEdit>(this, "Ed_NPwd", {166, 76, 148, 21});
    Label4 = Make<TLabel>(this, "Label4", {16, 108, 140, 16}, "Confirm New Password");
    Ed_CNP = Make<TEdit>(this, "Ed_CNP", {166, 106, 148, 21});
    for (TEdit *e : {Ed_OPwd, Ed_NPwd, Ed_CNP})
        e->SetPasswordChar('*');
    Ed_Pwd = Make<TEdit>(this, "Ed_Pwd", {166, 16, 148, 21});
    Ed_Pwd->SetVisible(false);
    OK = Make<TButton>(this, "OK", {82, 142, 75, 25}, "OK");
    Cancel = Make<TButton>(this, "Cancel", {172, 142, 75, 25}, "Cancel");
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    OK->OnClick = [this](TObject *s) { OKClick(s); };
    Cancel->OnClick = [this](TObject *s) { CancelClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
}

void TFM_Admin::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] {
        Req = MakeBinding(
            this, {.Items = kAdminLoginItems, .Type = SVT_SV, .Mode = BindMode::Sync, .Log = StatusBar});
        Req->AssociateEdits(0, "%s", Ed_Usr);
        Req->AssociateEdits(1, "%s", Ed_Pwd);
        Req->Get();
    });
    SetEditLimits();
}

void TFM_Admin::SetEditLimits()
{
    Ed_Usr->SetMaxLength(64);
    for (TEdit *e : {Ed_OPwd, Ed_NPwd, Ed_CNP})
        e->SetMaxLength(12);
}

bool TFM_Admin::IsValidUserName(const AnsiString &name)
{
    return IsValidAdminUserName(name);
}

void TFM_Admin::OKClick(TObject *)
{
    const LoginCheckTexts texts{.WrongOld = "Please input the current password correctly!",
                                .WrongOldClears = false,
                                .Mismatch = "Please input the confirm new password correctly!",
                                .MismatchFocus = Ed_CNP,
                                .Tidy = nullptr};
    if (!CheckLogin({Ed_Usr, Ed_Pwd, Ed_OPwd, Ed_NPwd, Ed_CNP}, texts))
        return;
    // Never written unread: an unread group would blank the name and the password.
    if (!Req || !Req->WasRead()) {
        StatusBar->SetSimpleText(gMsgGroupNotRead);
        return;
    }
    const AnsiString current = Ed_Pwd->Text();
    Ed_Pwd->SetText(Ed_NPwd->Text());
    if (Req->Write(true, true) != WriteResult::Written) {
        Ed_Pwd->SetText(current);
        StatusBar->SetSimpleText("Setting Error!");
        return;
    }
    // The restart runs even where changes could stay pending: the login changes at once.
    std::unique_ptr<TFM_Waiting> waiting(new TFM_Waiting(Application));
    struct Reset {
        ~Reset() { FM_Waiting = nullptr; }
    } reset;
    FM_Waiting = waiting.get();
    waiting->ShowModal();
}

void TFM_Admin::CancelClick(TObject *)
{
    Close();
}
