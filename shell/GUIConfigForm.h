#pragma once
// The generic configuration form: a window without controls of its own that receives one SNMP
// panel for one binding, reads the values once it is on screen and frees its bindings when it
// closes.
#include "GUIGenerator.h"
#include "Vcl.h"

#include <cstdint>
#include <memory>
#include <vector>

class KvSNMPRequest2Edits;

class TConfigForm : public TForm {
public:
    // The refresh message the form posts to itself (application range 32768 + 1234).
    static constexpr unsigned WM_CONFIGREFRESH = 34002;
    // Longest wait for a binding's outstanding request when the form closes.
    static constexpr int CloseWaitMs = 6000;

    explicit TConfigForm(TComponent *AOwner);
    ~TConfigForm() override;

    uint8_t FormType = 0; // 0 no panel yet, 1 editor panel, 2 list-view panel
    // The bindings handed to the form; the form frees them.
    std::vector<std::unique_ptr<KvSNMPRequest2Edits>> Requests;
    KvSNMPRequest2Edits *CurrentRequest = nullptr;

    // Both take the binding over, also when they raise.
    TSNMPEditorPanel *AddEditorPanel(KvSNMPRequest2Edits *binding);
    TSNMPListViewPanel *AddListViewPanel(KvSNMPRequest2Edits *binding, int addColumn,
                                         const AnsiString &addValue, int deleteColumn,
                                         const AnsiString &deleteValue);

    void Refresh();
    void WMRefresh();
    // Routes the form's own messages; false for a message it does not know.
    bool Dispatch(unsigned message);
    void FormClose(TObject *Sender, TCloseAction &Action);

private:
    void TakeBinding(KvSNMPRequest2Edits *binding);
    void FitPanel(TSNMPPanel *panel);
    void FreeBindings();
    // Bindings refused by a second Add...Panel: kept until the form goes.
    std::vector<std::unique_ptr<KvSNMPRequest2Edits>> m_refused;
    bool m_freeing = false;
};

extern TConfigForm *ConfigForm;
