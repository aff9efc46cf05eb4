#include "TFM_Admin.h"

#include "FormGlobals.h"
#include "Waiting.h"

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
    if (!CheckLogin(Login(), texts))
        return;
    // Never written unread: an unread group would blank the name and the password.
    if (!LoginReq || !LoginReq->WasRead()) {
        StatusBar->SetSimpleText(gMsgGroupNotRead);
        return;
    }
    const AnsiString current = Ed_Pwd->Text();
    Ed_Pwd->SetText(Ed_NPwd->Text());
    if (LoginReq->Write(true, true) != WriteResult::Written) {
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
