// The generic configuration form of the kit.
#include "GUIConfigForm.h"

#include "KvSNMPRequest2Edits.h"

#include <algorithm>

TConfigForm *ConfigForm = nullptr;

namespace {

constexpr int kInitialWidth = 159;
constexpr int kInitialHeight = 105;

} // namespace

TConfigForm::TConfigForm(TComponent *AOwner) : TForm(AOwner)
{
    SetName("ConfigForm");
    SetCaption("ConfigForm");
    SetWidth(kInitialWidth);
    SetHeight(kInitialHeight);
    SetBorderIcons(true, false);
    OnClose = [this](TObject *sender, TCloseAction &action) { FormClose(sender, action); };
    CenterOn(Application ? Application->MainForm() : nullptr);
    // Handled once the message loop runs, as a rule inside the caller's modal showing.
    Post([this] { Dispatch(WM_CONFIGREFRESH); });
}

TConfigForm::~TConfigForm()
{
    // A form deleted without being closed still stops and frees its bindings before its
    // controls go.
    FreeBindings();
    m_refused.clear();
}

void TConfigForm::TakeBinding(KvSNMPRequest2Edits *binding)
{
    if (FormType != 0) {
        if (binding)
            m_refused.emplace_back(binding);
        throw Exception("Can not change Type of a Config Form!");
    }
}

void TConfigForm::FitPanel(TSNMPPanel *panel)
{
    if (ClientWidth() < panel->Width())
        SetClientWidth(panel->Width());
    if (ClientHeight() < panel->Height())
        SetClientHeight(panel->Height());
}

TSNMPEditorPanel *TConfigForm::AddEditorPanel(KvSNMPRequest2Edits *binding)
{
    TakeBinding(binding);
    FormType = 1;
    Requests.emplace_back(binding);
    auto *panel = new TSNMPEditorPanel(this, binding);
    panel->AttachForm(this);
    FitPanel(panel);
    return panel;
}

TSNMPListViewPanel *TConfigForm::AddListViewPanel(KvSNMPRequest2Edits *binding, int addColumn,
                                                  const AnsiString &addValue, int deleteColumn,
                                                  const AnsiString &deleteValue)
{
    TakeBinding(binding);
    FormType = 2;
    Requests.emplace_back(binding);
    auto *panel = new TSNMPListViewPanel(this, binding);
    panel->AttachForm(this);
    if (!addValue.empty())
        panel->SetAddStatus(addColumn, addValue);
    if (!deleteValue.empty())
        panel->SetDeleteStatus(deleteColumn, deleteValue);
    FitPanel(panel);
    return panel;
}

void TConfigForm::Refresh()
{
    if (FormType == 0 || Requests.empty() || !Requests.front())
        return;
    KvSNMPRequest2Edits *binding = Requests.front().get();
    // The caller's own read may still be under way; a second one would interleave with it.
    if (binding->Busy)
        return;
    if (CurrentRequest)
        CurrentRequest->Request.Alive = 0;
    CurrentRequest = binding;
    binding->Request.Alive = 1;
    try {
        binding->Get();
    } catch (const Exception &e) {
        binding->ShowRequestLog(e.Message);
    }
}

void TConfigForm::WMRefresh()
{
    Refresh();
}

bool TConfigForm::Dispatch(unsigned message)
{
    if (message != WM_CONFIGREFRESH)
        return false;
    WMRefresh();
    return true;
}

void TConfigForm::FormClose(TObject *, TCloseAction &)
{
    FreeBindings();
}

void TConfigForm::FreeBindings()
{
    // Events handled while waiting may close the form again.
    if (m_freeing)
        return;
    m_freeing = true;
    // Stop every binding first, so that walks end at their next answer and nothing new goes out.
    for (auto &binding : Requests)
        if (binding)
            binding->Request.Alive = 0;
    kv::handleEventsUntil(
        [this] {
            return std::none_of(Requests.begin(), Requests.end(),
                                [](const auto &binding) { return binding && binding->Busy; });
        },
        CloseWaitMs);
    // What is still out after the common wait is given up, so that no request's destructor
    // waits once more for it.
    for (auto &binding : Requests)
        if (binding)
            binding->Request.Outstanding = 0;
    // The panels keep pointers to the bindings: they must not reach freed ones.
    for (int i = 0; i < ComponentCount(); ++i) {
        if (auto *panel = dynamic_cast<TSNMPPanel *>(Components(i))) {
            panel->Binding = nullptr;
            if (auto *editor = dynamic_cast<TSNMPEditorPanel *>(panel))
                editor->EditsPanel->EditCtrl = nullptr;
        }
    }
    CurrentRequest = nullptr;
    Requests.clear();
    m_freeing = false;
}
