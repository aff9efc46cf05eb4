#pragma once
// The frame of every configuration form: plain helpers a form calls, no base class.
//
//   class TFM_Demo : public TForm {
//   public:
//       explicit TFM_Demo(TComponent *owner) : TForm(owner)
//       {
//           SetupFormWindow(this, {"FM_Demo", "Advanced \\ Demo", 300, 120});
//           Ed_Name = Make<TEdit>(this, "Ed_Name", {90, 12, 150, 21});
//           Bt_Apply = Make<TButton>(this, "Bt_Apply", {90, 60, 75, 25}, "Apply");
//           StatusBar1 = Make<TStatusBar>(this, "StatusBar1");
//           Bt_Apply->OnClick = [this](TObject *) { Bt_ApplyClick(); };
//           OnCreate = [this](TObject *) { GuardCreate(StatusBar1, [this] { FormCreate(); }); };
//           Guard.Install(this); // refuses to close while Req is busy
//       }
//       void FormCreate()
//       {
//           Req = MakeBinding(this, {.Items = kDemoItems, .Mode = BindMode::Async, .Timeout = 1000});
//           Guard.Watch(Req);
//           Req->AssociateEdits(0, "%s", Ed_Name);
//           Req->Get();
//       }
//       void Bt_ApplyClick()
//       {
//           const WriteResult r = Req->Write(); // refused, sending nothing, when the read failed
//           ...                                 // countdown and status text: see TFM_WPart
//       }
//       TEdit *Ed_Name; TButton *Bt_Apply; TStatusBar *StatusBar1;
//       std::unique_ptr<FormBinding> Req;
//       TCloseGuard Guard;
//   };
//   const FormItemTable kDemoItems = {{"3.1.9.0", "demoName", KvSyntax::DisplayStr, KvAccess::ReadWrite}};
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormBinding.h"
#include "FormItems.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

// Status text of an Apply refused because a group it would write could not be read.
inline const AnsiString gMsgGroupNotRead = "Nothing was set: the values could not be read from the device.";
// The status text of an Apply that left out groups it could not read: the form's text, then
// the groups by their labels ("Setting Success! Not read, so not written: Radio Wave.").
AnsiString NotWrittenText(const AnsiString &text, const std::vector<AnsiString> &skipped);
// The status text of a chain of writes that stopped at a failed one: the form's text, then the
// groups written before it, which stay written ("Setting error! Written before it: SSID.").
AnsiString WrittenBeforeText(const AnsiString &text, const std::vector<AnsiString> &written);
// The groups a chain wrote after a failure the rest did not depend on ("Written after it: Radio.").
AnsiString WrittenAfterText(const AnsiString &text, const std::vector<AnsiString> &written);
// The groups a chain let go on after the device refused them ("Refused: VLAN State.").
AnsiString RefusedText(const AnsiString &text, const std::vector<AnsiString> &refused);
// What a pre-step changed for a write that did not come, put back as the device held it
// ("Put back as before: VLAN and Guest SSIDs."), or not taken either ("Not put back: ...").
AnsiString PutBackText(const AnsiString &text, const std::vector<AnsiString> &putBack);
AnsiString NotPutBackText(const AnsiString &text, const std::vector<AnsiString> &notPutBack);
// After an opening or a Refresh: the groups that could not be read, by their labels, after
// the failure's own text ("(SNMPClass) SNMP request timed out! Not read: Super G Mode.").
AnsiString NotReadText(const AnsiString &failure, const std::vector<AnsiString> &unread);

// ---- the window -------------------------------------------------------------------------

struct WindowSpec {
    const char *Name;    // the form variable's name ("FM_WPart")
    const char *Caption; // the menu path ("Advanced \\ WLAN Partition")
    int ClientWidth;
    int ClientHeight;
};
// A single-border window of that client size, centred on the main window.
void SetupFormWindow(TForm *form, const WindowSpec &window);

struct Bounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// The form that owns the controls shown in parent.
TComponent *ControlOwner(TWinControl *parent);

// One control, named, owned by the form, shown in parent; empty bounds leave its size alone.
// Status bars show their simple text.
template <class T> T *Make(TWinControl *parent, const char *name, Bounds b = {})
{
    auto *control = new T(ControlOwner(parent));
    control->SetName(name);
    control->SetParent(parent);
    if (b.Width > 0 || b.Height > 0)
        control->SetBounds(b.Left, b.Top, b.Width, b.Height);
    if constexpr (std::is_same_v<T, TStatusBar>)
        control->SetSimplePanel(true);
    return control;
}
template <class T> T *Make(TWinControl *parent, const char *name, Bounds b, const AnsiString &caption)
{
    T *control = Make<T>(parent, name, b);
    control->SetText(caption);
    return control;
}
// Combo boxes, list boxes and radio groups with their entries.
template <class T>
T *Make(TWinControl *parent, const char *name, Bounds b, std::initializer_list<const char *> items)
{
    T *control = Make<T>(parent, name, b);
    for (const char *item : items)
        control->Items()->Add(item);
    return control;
}

// ---- lists ------------------------------------------------------------------------------

// A list the device gives as one text, its entries between single blanks ("1 2 3 ... 11"),
// into the combo box; current is chosen. False, with nothing chosen, when it is not listed.
bool FillChannelList(const AnsiString &list, TComboBox *combo, const AnsiString &current);
// The same, for the channel the device holds: one the list lacks (the list may be empty) is
// kept (ShowDeviceValue). Without a channel (the group was not read) nothing is chosen.
void ChooseChannel(const AnsiString &list, TComboBox *combo, const AnsiString &current);

// ---- device values a list lacks -----------------------------------------------------------
// A list shows what the device holds even where it does not offer it: the value is added as an
// entry named as the device names it, chosen, and written only when the user picks another
// entry. Call it after every fill of the list, with the device's name for its value:
//
//   fill(CB_Cipher, {"AES"});
//   ShowDeviceValue(CB_Cipher, ReadValueName(*PassPhraseReq, kCipher)); // "TKIP" added, chosen
//   ...
//   if (ShowsKeptValue(CB_Cipher))                                      // at Apply
//       plan.emplace_back(kCipher, KvAccess::Invalid);                  // the device keeps it
//
// A name the list holds is chosen as it is; an empty name (a group not read) chooses nothing.
// An entry added for an earlier value goes, so a list need not be filled anew for each value.
// Returns the index chosen, -1 for none.
int ShowDeviceValue(TComboBox *combo, const AnsiString &name);
// True while combo shows the entry ShowDeviceValue added: the form leaves its item out of the
// write (and out of the checks that belong to the value), so the device keeps what it holds.
bool ShowsKeptValue(TComboBox *combo);
// After a write of its group that took the user's choice: the device no longer holds a kept
// value the user chose another entry over, so the list stops offering it (it would be left out
// again). A list that still shows its kept value keeps it. (WriteChain: ForgetKeptValues.)
void ForgetKeptValue(TComboBox *combo);
// The name of the value the group last read for item ("WPA2-Personal" for 6, by the item's
// option list; the value's own text without one); empty when the group's last read failed or
// has not completed.
AnsiString ReadValueName(FormBinding &binding, int item);

// ---- kinds of authentication --------------------------------------------------------------
// What each of the device's nine authentications asks for (the names and values are those of
// its option list, gAdSecAuthenticationNames, in the same order): WEP keys, a pass phrase
// (Personal) or RADIUS servers (Enterprise).
enum class AuthKind { None, WEP, Personal, Enterprise };
inline constexpr AuthKind kAuthenticationKinds[] = {
    AuthKind::WEP,      AuthKind::WEP,        AuthKind::WEP,      AuthKind::Personal,  AuthKind::Enterprise,
    AuthKind::Personal, AuthKind::Enterprise, AuthKind::Personal, AuthKind::Enterprise};
// The kind of the authentication of that name; None for any other text (nothing chosen).
AuthKind AuthenticationKind(const AnsiString &name);
// The kind of the authentication at that place of the nine (0 "Open System" .. 8); None outside.
AuthKind AuthenticationKindAt(int position);

// After the reads of a form: the failure of the first group named that could not be read, and
// the labels of all that could not, go into the status bar, so that no success text stands
// over them. True when one failed.
bool ShowReadFailure(TStatusBar *statusBar, std::initializer_list<const ReadOutcome *> groups);

// A Refresh's read of a synchronous group its opening could not read (an optional group whose
// probe found a silent device, or one a form reads only once): read now unless its last read
// succeeded. True when the group stands read; false for a null group.
bool ReadAgainIfUnread(FormBinding *group);

// ---- creation and closing ---------------------------------------------------------------

// Runs the creation steps of a form; an exception stops them and its text goes to the status
// bar, so the form opens with what was bound and read before. False when one was raised.
bool GuardCreate(TStatusBar *statusBar, const std::function<void()> &steps);

// The close rule of a form with asynchronous work: closing is refused while a watched binding
// is busy or a watched idle flag is down. Asking changes nothing.
class TCloseGuard {
public:
    template <class B> void Watch(const std::unique_ptr<B> &binding)
    {
        m_busy.push_back([&binding] { return binding && binding->Busy; });
    }
    void WatchIdle(const bool &idle)
    {
        m_busy.push_back([&idle] { return !idle; });
    }
    bool CanClose() const;
    // Answers the form's close queries (a form with a close rule of its own calls CanClose).
    void Install(TForm *form);

private:
    std::vector<std::function<bool()>> m_busy;
};

// ---- after Apply ------------------------------------------------------------------------

// What a form may change of the restart countdown before it is shown.
struct CountdownSteps {
    std::optional<int32_t> Countdown = std::nullopt;   // ticks of 1200 ms (26)
    std::optional<int32_t> RebootDelay = std::nullopt; // ticks before the restart command (2)
    std::optional<bool> SendReboot = std::nullopt;     // send the restart command (yes)
    std::optional<AnsiString> Caption = std::nullopt;
    std::optional<AnsiString> Label1 = std::nullopt;
    std::optional<AnsiString> Label2 = std::nullopt;
    std::optional<AnsiString> Label3 = std::nullopt;
};
// The countdown after a successful Apply: on a device without deferred saving the restart
// countdown, owned by the application and held in FM_Waiting, runs modally and is deleted.
// False, with nothing shown, on a device that keeps changes pending.
bool RunRestartCountdown(const CountdownSteps &steps = {});
class TFM_Waiting;
// The countdown window with those steps, shown modally whatever the device's saving and
// deleted when it closes; prepare, when given, changes it further before it shows.
void RunCountdownWindow(const CountdownSteps &steps, const std::function<void(TFM_Waiting &)> &prepare = {});
// Ends the countdown shown now (FM_Waiting) at once, as if its count had run out: a wait
// whose event has come needs no more waiting. False when none is shown.
bool EndCountdown();
