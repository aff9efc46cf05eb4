#include "TFM_Admin.h"

#include "FormGlobals.h"

TFM_Admin::TFM_Admin(TComponent *AOwner) : TForm(AOwner)
{
    SetupFormWindow(this, {"FM_Admin", "Tools \\ Admin", 330, 196});
    MakeLoginEdits(this, 16, 166, 16, 30);
    OK = Make<TButton>(this, "OK", {82, 142, 75, 25}, "OK");
    Cancel = Make<TButton>(this, "Cancel", {172, 142, 75, 25}, "Cancel");
    StatusBar = Make<TStatusBar>(this, "StatusBar");

    OK->OnClick = [this](TObject *s) { OKClick(s); };
    Cancel->OnClick = [this](TObject *s) { CancelClick(s); };
    OnCreate = [this](TObject *s) { FormCreate(s); };
}

void TFM_Admin::FormCreate(TObject *)
{
    GuardCreate(StatusBar, [this] { ReadLogin(this, StatusBar); });
    SetEditLimits();
    ShowReadFailure(StatusBar, {LoginReq.get()});
}

void TFM_Admin::SetEditLimits()
{
    SetLoginEditLimits();
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
    // A login that was not read is neither checked nor written.
    if (LoginReq && LoginReq->WasRead() && !CheckLogin(Login(), texts))
        return;
    const AnsiString current = Ed_Pwd->Text();
    Ed_Pwd->SetText(Ed_NPwd->Text());
    // Never written unread (the chain names it): an unread group would blank the name and the
    // password.
    Chain.Begin();
    Chain.Put(LoginReq.get());
    if (!Chain.Wrote(LoginReq.get())) {
        Ed_Pwd->SetText(current);
        Chain.Show(StatusBar, Chain.Text("", "Setting Error!"));
        return;
    }
    // The restart runs even where changes could stay pending: the login changes at once.
    RunCountdownWindow({});
}

void TFM_Admin::CancelClick(TObject *)
{
    Close();
}
