#include "AdminShared.h"

#include "MainMenu.h"
#include "Misc.h"

#include <algorithm>

using namespace KvSyntax;
using KvAccess::NotAccess;
using KvAccess::ReadOnly;
using KvAccess::ReadWrite;

const FormItemTable kAdminConsoleItems = {
    {"3.4.1", "telnet", Integer, ReadWrite, &gTelnetNames},
    {"3.4.2", "timeout", Integer, ReadWrite, &gTimeoutNames},
};
const FormItemTable kAdminSshItems = {{"3.4.3", "ssh", Integer, ReadWrite, &gSshNames}};
const FormItemTable kAdminLoginItems = {
    {"3.1.1", "UserName", DisplayStr, ReadWrite},
    {"3.1.2", "Password", DisplayStr, ReadWrite},
};
const FormItemTable kAdminManagerIPItems = {
    {"3.1.4.1.2.1", "admManagerIP", IpAddress, ReadWrite},
    {"3.1.4.1.2.2", "admManagerIP", IpAddress, ReadWrite},
};
const FormItemTable kAdminLedItems = {{"3.1.5", "admLedStatus", Integer, ReadWrite, &gAdmLedStatusNames}};
const FormItemTable kAdminLimitItems = {
    {"3.1.3", "admlimitIPStatus", Integer, ReadWrite, &gAdmlimitIPStatusNames}};
const FormItemTable kAdminPingSupportItems = {{"99.1.1.42", "pingControlSupported", Integer, ReadOnly}};
const FormItemTable kAdminPingItems = {{"3.1.6.1", "pingcontrol", Integer, ReadWrite, &gPingcontrolNames}};
const FormItemTable kAdminVlanStateItems = {
    {"2.9.1.1.1", "adVlanState", Integer, ReadWrite, &gAdVlanStateNames2}};
const FormItemTable kAdminManagerVlanItems = {
    {"3.1.8.1", "admManagerVLANIDStatus", Integer, ReadWrite, &gAdmManagerVLANIDStatusNames}};
const FormItemTable kAdminManagerVlanIdItems = {{"3.1.8.2", "admManagerVLANID", Integer, ReadWrite}};
const FormItemTable kAdminWlanItems = {
    {"3.1.6.2", "administrateApWithWlan", Integer, ReadWrite, &gAdministrateApWithWlanNames}};
const FormItemTable kAdminRangeItems = {
    {"3.1.9.1.1", "ID", Integer, NotAccess},
    {"3.1.9.1.2", "From", IpAddress, ReadWrite},
    {"3.1.9.1.3", "To", IpAddress, ReadWrite},
};

bool IsValidAdminUserName(const AnsiString &name)
{
    for (const char ch : name) {
        const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
        const bool digit = ch >= '0' && ch <= '9';
        if (!letter && !digit && ch != '@' && ch != '.' && ch != '_' && ch != '-')
            return false;
    }
    return true;
}

void AdminWarning(const AnsiString &text, const char *caption)
{
    Application->MessageBox(text, caption, MB_OK);
}

void FocusControl(TWinControl *control)
{
    if (control != nullptr && control->CanFocus())
        control->SetFocus();
}

bool CheckLogin(const LoginEdits &e, const LoginCheckTexts &t)
{
    auto fail = [&t](const AnsiString &text, TEdit *emptied, TWinControl *focus) {
        AdminWarning(text);
        if (emptied != nullptr)
            emptied->SetText("");
        if (t.Tidy)
            t.Tidy();
        FocusControl(focus);
        return false;
    };
    if (e.OPwd->Text() != e.Pwd->Text()) {
        if (!t.WrongOldClears) {
            AdminWarning(t.WrongOld);
            return false;
        }
        return fail(t.WrongOld, e.OPwd, e.OPwd);
    }
    if (e.Usr->Text().size() > 64)
        return fail("Please limit user name to 64 characters!", e.Usr, e.Usr);
    if (!IsValidAdminUserName(e.Usr->Text()))
        return fail("Invaild UserName!", e.Usr, e.Usr);
    if (e.NPwd->Text().size() > 12)
        return fail("Please limit password to 12 characters!", e.NPwd, e.NPwd);
    if (e.NPwd->Text() != e.CNP->Text())
        return fail(t.Mismatch, nullptr, t.MismatchFocus);
    return true;
}

bool IsValidManagerVlanId(const AnsiString &text)
{
    const int32_t id = CapabilityNumber(text);
    return id > 0 && id < 4095;
}

void ConsoleRadioClick(const ConsoleControls &c)
{
    if (c.RB_None->Checked()) {
        c.CB_Telnet->SetItemIndex(0);
        c.CB_SHH->SetItemIndex(0);
        c.CB_Timeout->SetEnabled(false);
    }
    if (c.RB_Telnet->Checked()) {
        c.CB_Telnet->SetItemIndex(1);
        c.CB_SHH->SetItemIndex(0);
        c.CB_Timeout->SetEnabled(true);
    }
    if (c.RB_SHH->Checked()) {
        c.CB_Telnet->SetItemIndex(0);
        c.CB_SHH->SetItemIndex(1);
        c.CB_Timeout->SetEnabled(true);
    }
}

ConsoleProtocol ShowConsoleState(const ConsoleControls &c, bool read)
{
    if (!read) {
        for (TRadioButton *rb : {c.RB_None, c.RB_Telnet, c.RB_SHH})
            rb->SetChecked(false);
        return ConsoleProtocol::Unknown;
    }
    if (c.CB_Telnet->ItemIndex() > 0) {
        c.RB_Telnet->SetChecked(true);
        c.CB_Timeout->SetEnabled(true);
        return ConsoleProtocol::Telnet;
    }
    if (c.CB_SHH->ItemIndex() > 0 && c.RB_SHH->Visible()) {
        c.RB_SHH->SetChecked(true);
        c.CB_Timeout->SetEnabled(true);
        return ConsoleProtocol::Ssh;
    }
    c.RB_None->SetChecked(true);
    c.CB_Timeout->SetEnabled(false);
    return ConsoleProtocol::None;
}

ConsoleProtocol ChosenConsole(const ConsoleControls &c)
{
    if (c.RB_Telnet->Checked())
        return ConsoleProtocol::Telnet;
    if (c.RB_SHH->Checked())
        return ConsoleProtocol::Ssh;
    return c.RB_None->Checked() ? ConsoleProtocol::None : ConsoleProtocol::Unknown;
}

ConsoleSwitch SwitchConsole(WriteChain &chain, const AnsiString &label, ConsoleProtocol held,
                            ConsoleGroups groups, ConsoleProtocol chosen, const ConsoleWrite &write)
{
    const bool switching = chosen != held && chosen != ConsoleProtocol::None;
    const FormBinding *heldGroup = held == ConsoleProtocol::Telnet ? groups.Telnet
                                   : held == ConsoleProtocol::Ssh  ? groups.Ssh
                                                                   : nullptr;
    BesideWrites off;
    // Either may still be on: the chosen one does not go on beside it. Only the protocol the
    // device had was switched off; whether it is back on is told once it may have gone off.
    const auto putBack = [&] {
        BesideWrites back;
        write(held, false, back);
        if (heldGroup != nullptr && off.MayHaveChanged(heldGroup))
            chain.NotePutBack(heldGroup->Label(), back.Took(heldGroup));
    };
    if (switching && !write(ConsoleProtocol::None, false, off)) {
        chain.StopAt(label, off.Unanswered());
        putBack();
        return ConsoleSwitch::OffRefused;
    }
    // The chain itself tells how the chosen protocol's write failed.
    BesideWrites none;
    if (write(chosen, true, none))
        return ConsoleSwitch::Done;
    if (switching)
        putBack();
    return ConsoleSwitch::Refused;
}

bool BesideWrites::Write(FormBinding *group)
{
    if (group == nullptr)
        return true;
    const WriteResult r = WriteGroupAs(*group, {});
    if (r == WriteResult::Empty)
        return true;
    const bool taken = r == WriteResult::Written;
    const bool unanswered = !taken && group->WriteUnanswered();
    m_done.push_back({group, taken, unanswered});
    m_unanswered = m_unanswered || unanswered;
    return taken;
}

const BesideWrites::Done *BesideWrites::find(const FormBinding *group) const
{
    const auto it =
        std::find_if(m_done.begin(), m_done.end(), [group](const Done &d) { return d.Group == group; });
    return it == m_done.end() ? nullptr : &*it;
}

bool BesideWrites::MayHaveChanged(const FormBinding *group) const
{
    const Done *d = find(group);
    return d != nullptr && (d->Taken || d->Unanswered);
}

bool BesideWrites::Took(const FormBinding *group) const
{
    const Done *d = find(group);
    return d != nullptr && d->Taken;
}

void ShowConsoleValues(const ConsoleControls &c, ConsoleProtocol protocol)
{
    c.CB_Telnet->SetItemIndex(protocol == ConsoleProtocol::Telnet ? 1 : 0);
    c.CB_SHH->SetItemIndex(protocol == ConsoleProtocol::Ssh ? 1 : 0);
}

int StackShown(const std::vector<TControl *> &controls, int top, int gap)
{
    int bottom = top - gap;
    for (TControl *c : controls) {
        if (!c->Visible())
            continue;
        c->SetTop(bottom + gap);
        bottom = c->Top() + c->Height();
    }
    return bottom;
}
