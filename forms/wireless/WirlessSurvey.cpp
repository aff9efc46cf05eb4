// Home \ Wireless: the site survey (the device scans, the form lists what it found), choosing a
// partner from the list, and closing.
#include "TFM_Wirless.h"

#include "Exception.h"
#include "KeyText.h"
#include "WirlessItems.h"

using namespace wirless;

namespace {

// A filter text no row holds: every access point found is listed.
const AnsiString kListEveryRow = ")(*&^%$#@!";
// Access points without WDS ("Support WDS" 0) cannot be WDS partners.
const AnsiString kListWDSOnly = "0";

} // namespace

void TFM_Wirless::SiteScanClick(TObject *)
{
    if (!SiteScanBinding || !SurveyIdle)
        return;
    SiteScanComboBox->SetItemIndex(1);
    SurveyIdle = false;
    SiteScan->SetEnabled(false);
    SiteServeyListView->Items()->Clear();
    SiteServeyListView->Columns()->Items(kSurveyIndexColumn)->SetWidth(0);
    SetStatus("Scan...");
    bool started = false;
    try {
        // A command: its value is the form's, not one read before.
        started = WriteGroup(*SiteScanBinding, true, true, true) == WriteResult::Started;
    } catch (...) {
        SurveyIdle = true;
        SiteScan->SetEnabled(true);
        throw;
    }
    if (!started) {
        SurveyIdle = true;
        SiteScan->SetEnabled(true);
        SetStatus("Site survey : the scan could not be sent.");
    }
}

void TFM_Wirless::OnSiteSurveyDone(KvSNMPRequest2Controls *, KvSNMPError *Status)
{
    if (Status == nullptr || Status->Code != 0) {
        SurveyIdle = true;
        SiteScan->SetEnabled(true);
        SetStatus("Site survey : " + (Status ? Status->Message : AnsiString()));
        return;
    }
    SetStatus("Site survey success,please wait ...");
    const int mode = ED_APModeComboBox->ItemIndex();
    SiteSurveyBinding->Filter = mode == 3 || mode == 4 ? kListEveryRow : kListWDSOnly;
    // Walked after the completion has returned; the flag comes back whatever the walk does.
    Post([this] {
        try {
            SiteSurveyBinding->Get();
        } catch (const std::exception &ex) {
            SurveyIdle = true;
            SiteScan->SetEnabled(true);
            const auto *framework = dynamic_cast<const Exception *>(&ex);
            SetStatus("Site survey : " + (framework ? framework->Message : AnsiString(ex.what())));
            return;
        }
        // A walk refused because another one runs reports nothing.
        if (!SurveyIdle) {
            SurveyIdle = true;
            SiteScan->SetEnabled(true);
        }
    });
}

void TFM_Wirless::OnSiteSurveyTableGot()
{
    SurveyIdle = true;
    SiteScan->SetEnabled(true);
    SetStatus("Get complete.");
}

void TFM_Wirless::ReadSurveyTable()
{
    // A scan under way lists what it found itself; a walk now would end its wait early.
    if (!SiteSurveyBinding || !SurveyIdle)
        return;
    SiteSurveyBinding->Filter = kListEveryRow;
    SiteServeyListView->Columns()->Items(kSurveyIndexColumn)->SetWidth(0);
    SiteSurveyBinding->Get();
}

void TFM_Wirless::SiteServeyListViewClick(TObject *)
{
    TListItem *row = SiteServeyListView->Selected();
    if (!row)
        return;
    // Cells after the row number: Type, Channel, Signal, BSSID, Security, SSID, Support WDS.
    const AnsiString bssid = row->SubItems()->Strings(3);
    const AnsiString ssid = row->SubItems()->Strings(5);
    const AnsiString mode = ED_APModeTempComboBox->Text();
    if (mode.find("Repeater") != AnsiString::npos || mode.find("Client") != AnsiString::npos) {
        Ed_RoMAddra0->SetText(bssid);
        Ed_SSID->SetText(ssid);
        SetEditable(Ed_SSID, false);
        return;
    }
    const std::array<TEdit *, 8> remote = RemoteMACEdits();
    for (TEdit *e : remote) {
        if (SameMacText(e->Text(), bssid)) {
            Application->MessageBox("The same MAC address has been added!", "Warning", MB_OK);
            return;
        }
    }
    for (TEdit *e : remote) {
        if (e->Text().empty()) {
            e->SetText(bssid);
            return;
        }
    }
}

void TFM_Wirless::Bt_CloseClick(TObject *)
{
    Close();
}

void TFM_Wirless::FormCloseQuery(TObject *, bool &CanClose)
{
    // A scan runs until its walk has ended; the user closes again afterwards.
    if (!SurveyIdle) {
        CanClose = false;
        return;
    }
    // A request under way (or an Apply between two of its writes) ends first; the form then
    // closes by itself.
    if (m_applying || !m_closeGuard.CanClose()) {
        CanClose = false;
        Timer1->SetEnabled(true);
        return;
    }
    Timer1->SetEnabled(false);
    CanClose = true;
}

void TFM_Wirless::Timer1Timer(TObject *)
{
    if (SurveyIdle && !m_applying && m_closeGuard.CanClose()) {
        Timer1->SetEnabled(false);
        Close();
    }
}
