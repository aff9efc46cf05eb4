#pragma once
// The dialog in which one row of the DHCP static pool is added or changed. It has no
// bindings of its own: its controls are those of the DHCP form's static row binding, so
// selecting a row there fills them and a write of that binding writes them.
#include "FormFrame.h"
#include "IcmpProbe.h"
#include "WriteChain.h"

class TFM_StaticIP : public TForm {
public:
    explicit TFM_StaticIP(TComponent *AOwner);

    TLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
    TEdit *Ed_AsgIP;
    TEdit *Ed_AsgMac;
    TEdit *Ed_SubMask;
    TEdit *Ed_Gatway;
    TEdit *Ed_Wins;
    TEdit *Ed_DNS;
    TEdit *Ed_DomNa;
    TComboBox *CB_Stat;
    TLabel *LA_Index;
    TButton *Apply;
    TStatusBar *StatusBar1;
    TEdit *Ed_OldIP; // enabled while adding, disabled while editing
    TEdit *ED_OldMAC;
    TEdit *Ed_AsgIP2, *Ed_AsgMac2, *Ed_SubMask2, *Ed_Gatway2, *Ed_Wins2, *Ed_DNS2, *Ed_DomNa2;

    // The edited row's values when the dialog opened for it.
    AnsiString OldMask, OldGateway, OldWins, OldDns, OldDomain;
    int OldStatus = 0;

    void ApplyClick(TObject *Sender);
    bool Probing() const { return m_probe != nullptr; }

    // One row's values as the dialog shows them.
    struct Row {
        AnsiString IP, MAC, Mask, Gateway, Wins, Dns, Domain;
        int Status = 0;
    };
    // The values of an empty row: "0.0.0.0" addresses and "000000000000".
    static const Row &EmptyRow();
    Row Shown() const;
    void Show(const Row &row);

private:
    void ProbeDone(const kv::IcmpProbeOutcome &outcome);
    void DropProbe();
    void CheckAndWrite();
    // Empties the row (when asked), then writes the entered values into it; a fill that
    // fails after the row was emptied writes the row's old values back.
    void WriteRow(TListItem *target, bool emptyFirst);
    void FillRow();
    // After a failure: the row emptied for the entry gets its values back.
    void RestoreRow();
    void StartRowWrite(std::function<void(bool)> next);
    // The writes have ended: the form's status bars say how, when not all went well.
    void EndWrites();
    void Warn(const AnsiString &text, const char *caption, TEdit *emptied = nullptr);

    std::unique_ptr<kv::IcmpProbe> m_probe;
    Row m_entered;
    Row m_oldRow;
    bool m_emptied = false;   // the target row is empty on the device now
    bool m_closing = false;   // the dialog closes itself
    bool m_abandoned = false; // the user closed it while it checked or wrote
    WriteChain m_chain{this};
    AnsiString m_failure; // the failed write's text
};

extern TFM_StaticIP *FM_StaticIP;

// A typed MAC text and a row's: the same length and the same digits, letter case aside.
bool MacTextEqual(const AnsiString &typed, const AnsiString &row);
