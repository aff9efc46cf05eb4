#include "About.h"

#include "FrontPanel.h"
#include "ShellTexts.h"

TAboutForm *AboutForm = nullptr;

namespace {
constexpr std::uint16_t kKeyF3 = 114;
} // namespace

TAboutForm::TAboutForm(TComponent *AOwner) : TForm(AOwner)
{
    SetName("AboutForm");
    SetText("Help\\About");
    SetBorderStyle(bsSingle);
    SetBorderIcons(true, false);
    SetClientWidth(350);
    SetClientHeight(98);
    SetPosition(poOwnerFormCenter);

    BT_Ok = new TButton(this);
    BT_Ok->SetName("BT_Ok");
    BT_Ok->SetParent(this);
    BT_Ok->SetText("OK");
    BT_Ok->SetBounds(138, 64, 75, 25);
    BT_Ok->SetDefault(true);
    BT_Ok->OnClick = [this](TObject *s) { BT_OkClick(s); };
    BT_Ok->OnKeyDown = [this](TObject *s, std::uint16_t &key, TShiftState shift) {
        BT_OkKeyDown(s, key, shift);
    };

    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetBounds(16, 12, 260, 16);
    Label1->SetFontBold(true);
    Label1->SetFontSize(9);

    Image1 = new TImage(this);
    Image1->SetName("Image1");
    Image1->SetParent(this);
    Image1->SetAutoSize(true);
    Image1->SetBounds(302, 12, 32, 32);
    Image1->SetImage(ShellPicture("module-icon.png"));

    Label2 = new TLabel(this);
    Label2->SetName("Label2");
    Label2->SetParent(this);
    Label2->SetText("Release Version:");
    Label2->SetBounds(16, 38, 90, 16);

    La_FwVer = new TLabel(this);
    La_FwVer->SetName("La_FwVer");
    La_FwVer->SetParent(this);
    La_FwVer->SetText("v1.20");
    La_FwVer->SetBounds(110, 38, 60, 16);

    Label4 = new TLabel(this);
    Label4->SetName("Label4");
    Label4->SetParent(this);
    Label4->SetText("R12(2008/11/12)");
    Label4->SetFontColor(clRed);
    Label4->SetBounds(180, 38, 110, 16);
    Label4->SetVisible(false);

    SetActiveControl(BT_Ok);
    Label1->SetText(gModelName + " Management Module");
}

void TAboutForm::BT_OkClick(TObject *)
{
    Close();
}

void TAboutForm::BT_OkKeyDown(TObject *, std::uint16_t &Key, TShiftState Shift)
{
    if ((Shift & ssShift) != 0 && (Shift & ssAlt) != 0 && Key == kKeyF3)
        Label4->SetVisible(true);
}
