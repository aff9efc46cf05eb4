#pragma once
// What the three administrator forms share: their item tables, the user name rule, the login
// checks, the console protocol choice and the stacking of the groups a device answered.
#include "FormFrame.h"
#include "WriteChain.h"

#include <functional>
#include <memory>
#include <vector>

// ---- item tables ------------------------------------------------------------------------

extern const FormItemTable kAdminConsoleItems;       // telnet, timeout
extern const FormItemTable kAdminSshItems;           // ssh
extern const FormItemTable kAdminLoginItems;         // UserName, Password
extern const FormItemTable kAdminManagerIPItems;     // admManagerIP .1 and .2
extern const FormItemTable kAdminLedItems;           // admLedStatus
extern const FormItemTable kAdminLimitItems;         // admlimitIPStatus
extern const FormItemTable kAdminPingSupportItems;   // pingControlSupported
extern const FormItemTable kAdminPingItems;          // pingcontrol
extern const FormItemTable kAdminVlanStateItems;     // adVlanState
extern const FormItemTable kAdminManagerVlanItems;   // admManagerVLANIDStatus
extern const FormItemTable kAdminManagerVlanIdItems; // admManagerVLANID
extern const FormItemTable kAdminWlanItems;          // administrateApWithWlan
extern const FormItemTable kAdminRangeItems;         // ID, From, To of the range table

// ---- checks -----------------------------------------------------------------------------

// Empty, or only ASCII letters, digits, "@", ".", "_" and "-".
bool IsValidAdminUserName(const AnsiString &name);

// A message box of the administrator forms (one OK button).
void AdminWarning(const AnsiString &text, const char *caption = "Warning");
// Moves the focus there when the control can take it.
void FocusControl(TWinControl *control);

struct LoginEdits {
    TEdit *Usr;
    TEdit *Pwd; // hidden: the device's current password
    TEdit *OPwd;
    TEdit *NPwd;
    TEdit *CNP;
};

// How a form words and handles the login checks that differ between the forms.
struct LoginCheckTexts {
    const char *WrongOld;       // the old password differs from the device's
    bool WrongOldClears;        // ... which empties the old password edit and focuses it
    const char *Mismatch;       // the confirmation differs from the new password
    TEdit *MismatchFocus;       // where the focus goes then
    std::function<void()> Tidy; // after every failed check but the old password's plain one
};

// The login checks in their order (old password, user name length and characters, new
// password length, confirmation); false after the first that fails, its box shown.
bool CheckLogin(const LoginEdits &e, const LoginCheckTexts &t);

// The manager VLAN ID the edit holds is one the device accepts (1 to 4094); a text that is
// not a number counts 0.
bool IsValidManagerVlanId(const AnsiString &text);

// ---- console ----------------------------------------------------------------------------

struct ConsoleControls {
    TRadioButton *RB_None;
    TRadioButton *RB_Telnet;
    TRadioButton *RB_SHH;
    TComboBox *CB_Telnet;
    TComboBox *CB_SHH;
    TComboBox *CB_Timeout;
};

enum class ConsoleProtocol { Unknown, None, Telnet, Ssh };

// The checked protocol into the hidden telnet and ssh values, the time-out enabled unless
// none was chosen.
void ConsoleRadioClick(const ConsoleControls &c);
// The device's telnet and ssh values as the checked protocol; with values that were not read
// no protocol is checked. The protocol shown (Unknown when none).
ConsoleProtocol ShowConsoleState(const ConsoleControls &c, bool read);
// The protocol the radio buttons choose (Unknown when none is checked).
ConsoleProtocol ChosenConsole(const ConsoleControls &c);
// The console's writes beside the chain (switching both off first, putting back the protocol
// the device had), group by group: the chain does not note them as written.
class BesideWrites {
public:
    // Writes group as the form holds it; true when the device took it or there was nothing to
    // send (a null group).
    bool Write(FormBinding *group);
    // A write the device left unanswered.
    bool Unanswered() const { return m_unanswered; }
    // group's write was sent and the device took it, or may have (left unanswered).
    bool MayHaveChanged(const FormBinding *group) const;
    bool Took(const FormBinding *group) const;

private:
    struct Done {
        const FormBinding *Group;
        bool Taken;
        bool Unanswered;
    };
    const Done *find(const FormBinding *group) const;
    std::vector<Done> m_done;
    bool m_unanswered = false;
};

// Switches the console from the protocol the device holds to the chosen one, within an
// Apply's chain of writes: another protocol goes on only once both are off (the device never
// has two on), and a refused switch puts back the one the device had, so a refusal never leaves
// the console off. write(protocol, chosen, beside) writes a protocol's values (the time-out
// with the chosen one): the chosen protocol through the chain, which notes it or stops at its
// failure; switching off and putting back through beside. A refused switch-off stops the chain
// at the console group (label), told as unanswered when the device did not answer it. The group
// of the protocol the device had (of groups) is named as put back, or as not put back, once the
// switch-off may have turned it off.
enum class ConsoleSwitch { Done, OffRefused, Refused };
using ConsoleWrite = std::function<bool(ConsoleProtocol protocol, bool chosen, BesideWrites &beside)>;
struct ConsoleGroups {
    const FormBinding *Telnet; // with the time-out
    const FormBinding *Ssh;    // null where the device has none
};
ConsoleSwitch SwitchConsole(WriteChain &chain, const AnsiString &label, ConsoleProtocol held,
                            ConsoleGroups groups, ConsoleProtocol chosen, const ConsoleWrite &write);
// The hidden telnet and ssh values of a protocol.
void ShowConsoleValues(const ConsoleControls &c, ConsoleProtocol protocol);

// ---- layout -----------------------------------------------------------------------------

// Stacks the shown controls from top down with gap pixels between them; the bottom of the
// last one.
int StackShown(const std::vector<TControl *> &controls, int top, int gap);
