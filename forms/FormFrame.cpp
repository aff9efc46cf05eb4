#include "FormFrame.h"

#include "CapabilityProbe.h"
#include "Exception.h"
#include "KvOptionList.h"
#include "Misc.h"
#include "Waiting.h"

#include <iterator>

void SetupFormWindow(TForm *form, const WindowSpec &window)
{
    form->SetName(window.Name);
    form->SetText(window.Caption);
    form->SetClientWidth(window.ClientWidth);
    form->SetClientHeight(window.ClientHeight);
    form->SetBorderStyle(bsSingle);
    form->SetBorderIcons(false, false);
    form->SetPosition(poMainFormCenter);
}

TComponent *ControlOwner(TWinControl *parent)
{
    if (auto *form = dynamic_cast<TForm *>(parent))
        return form;
    if (TForm *form = parent->ParentForm())
        return form;
    return parent;
}

bool FillChannelList(const AnsiString &list, TComboBox *combo, const AnsiString &current)
{
    combo->Items()->Clear();
    std::size_t at = 0;
    while (at <= list.size()) {
        std::size_t blank = list.find(' ', at);
        if (blank == AnsiString::npos)
            blank = list.size();
        if (blank > at)
            combo->Items()->Add(list.substr(at, blank - at));
        at = blank + 1;
    }
    const int found = combo->Items()->IndexOf(current);
    combo->SetItemIndex(found);
    return found >= 0;
}

void ChooseChannel(const AnsiString &list, TComboBox *combo, const AnsiString &current)
{
    FillChannelList(list, combo, current);
    ShowDeviceValue(combo, current);
}

namespace {

// Marks the entry added for a device value: never dereferenced, never owned.
TObject *KeptMark()
{
    static TObject mark;
    return &mark;
}

} // namespace

int ShowDeviceValue(TComboBox *combo, const AnsiString &name)
{
    // One device value at a time: an entry added for an earlier read is no choice any more.
    TStrings *items = combo->Items();
    for (int i = items->Count() - 1; i >= 0; --i)
        if (items->Objects(i) == KeptMark())
            items->Delete(i);
    if (name.empty()) {
        combo->SetItemIndex(-1);
        return -1;
    }
    int index = items->IndexOf(name);
    if (index < 0)
        index = items->AddObject(name, KeptMark());
    combo->SetItemIndex(index);
    return index;
}

bool ShowsKeptValue(TComboBox *combo)
{
    const int index = combo->ItemIndex();
    return index >= 0 && combo->Items()->Objects(index) == KeptMark();
}

void ForgetKeptValue(TComboBox *combo)
{
    if (ShowsKeptValue(combo))
        return;
    TStrings *items = combo->Items();
    for (int i = items->Count() - 1; i >= 0; --i)
        if (items->Objects(i) == KeptMark())
            items->Delete(i);
}

AnsiString ReadValueName(FormBinding &binding, int item)
{
    if (!binding.WasRead() || item < 0 || item >= binding.Request.VarList.Count())
        return AnsiString();
    const KvSNMPItem *record = binding.Request.VarList.GetItem(item);
    const AnsiString value = record->Value;
    if (record->Options == nullptr || value.empty())
        return value;
    // The value as read, or already its name.
    if (record->Options->IndexOfName(value) >= 0)
        return value;
    const AnsiString name = record->Options->ValueToName(value);
    return name.empty() ? value : name;
}

AuthKind AuthenticationKind(const AnsiString &name)
{
    return name.empty() ? AuthKind::None : AuthenticationKindAt(gAdSecAuthenticationNames.IndexOfName(name));
}

AuthKind AuthenticationKindAt(int position)
{
    if (position < 0 || position >= static_cast<int>(std::size(kAuthenticationKinds)))
        return AuthKind::None;
    return kAuthenticationKinds[position];
}

namespace {

// text, then the clause with the labels ("SSID, Super G Mode."); text alone without labels.
AnsiString WithLabels(const AnsiString &text, const char *clause, const std::vector<AnsiString> &labels)
{
    if (labels.empty())
        return text;
    AnsiString out = text.empty() ? AnsiString(clause) : text + " " + clause;
    for (std::size_t i = 0; i < labels.size(); ++i)
        out += (i == 0 ? " " : ", ") + labels[i];
    return out + ".";
}

} // namespace

AnsiString NotWrittenText(const AnsiString &text, const std::vector<AnsiString> &skipped)
{
    return WithLabels(text, "Not read, so not written:", skipped);
}

AnsiString WrittenBeforeText(const AnsiString &text, const std::vector<AnsiString> &written)
{
    return WithLabels(text, "Written before it:", written);
}

AnsiString WrittenAfterText(const AnsiString &text, const std::vector<AnsiString> &written)
{
    return WithLabels(text, "Written after it:", written);
}

AnsiString RefusedText(const AnsiString &text, const std::vector<AnsiString> &refused)
{
    return WithLabels(text, "Refused:", refused);
}

AnsiString PutBackText(const AnsiString &text, const std::vector<AnsiString> &putBack)
{
    return WithLabels(text, "Put back as before:", putBack);
}

AnsiString NotPutBackText(const AnsiString &text, const std::vector<AnsiString> &notPutBack)
{
    return WithLabels(text, "Not put back:", notPutBack);
}

AnsiString NotReadText(const AnsiString &failure, const std::vector<AnsiString> &unread)
{
    return WithLabels(failure, "Not read:", unread);
}

bool GuardCreate(TStatusBar *statusBar, const std::function<void()> &steps)
{
    try {
        steps();
        return true;
    } catch (const std::exception &e) {
        const auto *framework = dynamic_cast<const Exception *>(&e);
        if (statusBar != nullptr)
            statusBar->SetSimpleText(framework ? framework->Message : AnsiString(e.what()));
        return false;
    }
}

bool TCloseGuard::CanClose() const
{
    for (const auto &busy : m_busy)
        if (busy())
            return false;
    return true;
}

void TCloseGuard::Install(TForm *form)
{
    form->OnCloseQuery = [this](TObject *, bool &canClose) { canClose = CanClose(); };
}

bool ShowReadFailure(TStatusBar *statusBar, std::initializer_list<const ReadOutcome *> groups)
{
    const AnsiString failure = FirstReadFailure(groups);
    if (failure.empty())
        return false;
    statusBar->SetSimpleText(NotReadText(failure, UnreadLabels(groups)));
    return true;
}

bool ReadAgainIfUnread(FormBinding *group)
{
    if (group == nullptr)
        return false;
    // A read still under way is not asked for twice.
    if (!group->WasRead() && !group->Busy)
        group->Get();
    return group->WasRead();
}

bool RunRestartCountdown(const CountdownSteps &steps)
{
    if (gSaveActivateSupported)
        return false;
    RunCountdownWindow(steps);
    return true;
}

void RunCountdownWindow(const CountdownSteps &steps, const std::function<void(TFM_Waiting &)> &prepare)
{
    std::unique_ptr<TFM_Waiting> waiting(new TFM_Waiting(Application));
    struct Reset {
        ~Reset() { FM_Waiting = nullptr; }
    } reset;
    FM_Waiting = waiting.get();
    // After construction: the window resets its count when it is created.
    if (steps.Countdown)
        waiting->Countdown = *steps.Countdown;
    if (steps.RebootDelay)
        waiting->RebootDelay = *steps.RebootDelay;
    if (steps.SendReboot)
        waiting->SendReboot = *steps.SendReboot;
    if (steps.Caption)
        waiting->SetText(*steps.Caption);
    if (steps.Label1)
        waiting->Label1->SetText(*steps.Label1);
    if (steps.Label2)
        waiting->Label2->SetText(*steps.Label2);
    if (steps.Label3)
        waiting->Label3->SetText(*steps.Label3);
    if (prepare)
        prepare(*waiting);
    waiting->ShowModal();
}

bool EndCountdown()
{
    if (FM_Waiting == nullptr)
        return false;
    FM_Waiting->Countdown = 0;
    FM_Waiting->Close();
    return true;
}
