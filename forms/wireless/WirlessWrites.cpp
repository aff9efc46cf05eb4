// Home \ Wireless, the writes of Apply in their order, through the form's chain of writes: a
// group not read is skipped and named, a failure stops the rest and the status says what was
// written before it, in the form's words. The outcome stands from the moment it is known.
#include "TFM_Wirless.h"

#include "Exception.h"
#include "WirlessItems.h"

#include <algorithm>
#include <utility>

using namespace wirless;

namespace {

const AnsiString kSetError = "Setting error!";
const AnsiString kSetSuccess = "Setting Success!";

// " Put back as before: A, B." after an outcome; nothing without labels.
AnsiString clause(const char *words, const std::vector<AnsiString> &labels)
{
    AnsiString out;
    for (const AnsiString &label : labels)
        out += (out.empty() ? AnsiString(" ") + words + " " : AnsiString(", ")) + label;
    return out.empty() ? out : out + ".";
}

} // namespace

bool TFM_Wirless::Write(FormBinding *binding, const AccessPlan &plan)
{
    if (!binding)
        return !Chain.Stopped();
    const AccessPatch patch(*binding, plan);
    return Chain.Write(binding);
}

void TFM_Wirless::WriteChosenThen(FormBinding *binding, const AccessPlan &plan, Continue next)
{
    if (!binding || Chain.Stopped()) {
        next(!Chain.Stopped());
        return;
    }
    // Armed before the write: a send that fails at once completes nothing.
    binding->AwaitWrite([this, binding, next](const KvSNMPError &e) {
        if (e.Code == 0)
            Chain.Note(binding->Label());
        else
            Chain.Fail(e.Code == KvSNMPCode::NoAnswer);
        // Outside the completion: the next steps write again and may show the countdown.
        Post([this, next] { Guarded([&] { next(!Chain.Stopped()); }); });
    });
    WriteResult result = WriteResult::Empty;
    {
        const AccessPatch patch(*binding, plan);
        // Values the form chose itself, not ones shown from a read.
        result = WriteGroup(*binding, true, true, true);
    }
    if (result == WriteResult::Started)
        return;
    binding->AwaitWrite(nullptr);
    if (result == WriteResult::Failed)
        Chain.Fail(binding->WriteUnanswered());
    next(!Chain.Stopped());
}

void TFM_Wirless::Guarded(const std::function<void()> &step)
{
    try {
        step();
    } catch (const std::exception &ex) {
        for (FormBinding *b : {RadioWaveBinding.get(), GuestEncryptionBinding.get(), GuestAuthBinding.get()})
            if (b)
                b->AwaitWrite(nullptr);
        m_applying = false;
        const auto *framework = dynamic_cast<const Exception *>(&ex);
        m_outcome = framework ? framework->Message : AnsiString(ex.what());
        SetStatus(m_outcome);
    }
}

void TFM_Wirless::PutBackGuestStates(std::vector<AnsiString> &back, std::vector<AnsiString> &notBack)
{
    if (!GuestStateBinding || !Chain.Wrote(GuestStateBinding.get()))
        return;
    // What the device holds now: the chosen mode, super G and authentication where their
    // groups were written, else those it held.
    const GuestSwitch &g = m_guests;
    const bool ap = Chain.Wrote(APModeBinding.get()) ? g.ChosenAP : g.HeldAP;
    const bool superOff = Chain.Wrote(SuperModeBinding.get()) ? g.ChosenSuperOff : g.HeldSuperOff;
    const bool plainWEP = Chain.Wrote(SecurityBinding.get()) ? g.ChosenPlainWEP : g.HeldPlainWEP;
    // VLAN and guests (items 0 to 3) stay on with an access point without super G; the guests'
    // encryption (4 to 6) with a plain WEP authentication and super G off.
    const std::array<TComboBox *, 7> combos = {
        Master_ComboBox,      Guest1_ComboBox,      Guest2_ComboBox,     Guest3_ComboBox,
        GuestEncry1_ComboBox, GuestEncry2_ComboBox, GuestEncry3_ComboBox};
    AccessPlan plan;
    for (std::size_t i = 0; i < combos.size(); ++i) {
        const bool mayStay = i < 4 ? ap && superOff : plainWEP && superOff;
        const bool undo = mayStay && g.Written[i] != g.Held[i];
        if (undo)
            combos[i]->SetItemIndex(g.Held[i]);
        plan.emplace_back(static_cast<int>(i), undo ? KvAccess::ReadWrite : KvAccess::Invalid);
    }
    const AccessPatch patch(*GuestStateBinding, plan);
    if (WritableItemCount(GuestStateBinding->Request.VarList) == 0)
        return;
    const bool taken = GuestStateBinding->Write(true, true) == WriteResult::Written;
    (taken ? back : notBack).push_back(GuestStateBinding->Label());
}

void TFM_Wirless::PutBackMarkedGuests(std::vector<AnsiString> &back, std::vector<AnsiString> &notBack)
{
    // While the primary keeps its Enterprise authentication, the guests keep theirs.
    if (m_marked.empty() || Chain.Wrote(SecurityBinding.get()))
        return;
    const std::vector<AnsiString> &written = Chain.Written();
    const std::array<TComboBox *, 7> encryption = GuestEncryptionCombos();
    const std::array<TComboBox *, 7> auth = GuestAuthCombos();
    for (FormBinding *b : {GuestEncryptionBinding.get(), GuestAuthBinding.get()}) {
        if (!b || std::find(written.begin(), written.end(), b->Label()) == written.end())
            continue;
        const bool isAuth = b == GuestAuthBinding.get();
        AccessPlan plan;
        for (int i = 0; i < 14; ++i)
            plan.emplace_back(i, KvAccess::Invalid);
        for (const MarkedGuest &m : m_marked) {
            TComboBox *combo = (isAuth ? auth : encryption)[m.Slot];
            combo->SetItemIndex(combo->Items()->IndexOf(isAuth ? m.Auth : m.Encryption));
            plan.emplace_back(static_cast<int>(m.Slot) + (isAuth ? 7 : 0), KvAccess::ReadWrite);
        }
        // Written and awaited here, as the rest of the put-back; values the form holds, not read.
        struct SyncFor {
            FormBinding &b;
            uint8_t mode = std::exchange(b.Mode, static_cast<uint8_t>(BindMode::Sync));
            ~SyncFor() { b.Mode = mode; }
        } sync{*b};
        const AccessPatch patch(*b, plan);
        const bool taken = WriteGroup(*b, true, true, true) == WriteResult::Written;
        (taken ? back : notBack).push_back(b->Label());
    }
}

void TFM_Wirless::EndApply(const AnsiString &success, bool reread)
{
    // Told at once: a put-back or re-read on a silent device may take a while.
    m_outcome = Chain.Text(success, kSetError);
    if (!m_outcome.empty())
        SetStatus(m_outcome);
    if (Chain.Stopped()) {
        std::vector<AnsiString> back, notBack;
        PutBackGuestStates(back, notBack);
        PutBackMarkedGuests(back, notBack);
        m_outcome += clause("Put back as before:", back) + clause("Not put back:", notBack);
        SetStatus(m_outcome);
    }
    if (reread)
        Bt_RefreshClick(nullptr);
    m_applying = false;
    ShowUnreadGroups();
}

void TFM_Wirless::ApplyShortPath()
{
    if (!Write(SSIDBinding.get(), m_plan.SSID) || !Write(SuperModeBinding.get(), {}) ||
        (AutoScanRead && !Write(AutoScanBinding.get(), {})))
        return EndApply(AnsiString(), true);
    // The short path shows no success text; what it could not read it names.
    Chain.WriteThen(RadioWaveBinding.get(), [this](bool goesOn) {
        Guarded([&] {
            if (goesOn && Chain.WroteAny())
                RunRestartCountdown();
            EndApply(AnsiString(), true);
        });
    });
}

void TFM_Wirless::ApplySets()
{
    m_plan.Auth = SecurityBinding && SecurityBinding->WasRead() ? AuthIndex() : -1;
    if (!Write(SSIDBinding.get(), m_plan.SSID) || !Write(SuperModeBinding.get(), {}) ||
        !Write(APModeBinding.get(), m_plan.APMode) || (AutoScanRead && !Write(AutoScanBinding.get(), {})))
        return EndApply(kSetSuccess, true);
    Chain.WriteThen(RadioWaveBinding.get(), [this](bool goesOn) {
        Guarded([&] {
            if (!goesOn)
                return EndApply(kSetSuccess, true);
            ApplySecuritySets();
        });
    });
}

bool TFM_Wirless::SetSecurityBindings()
{
    const int auth = m_plan.Auth;
    if (auth > 8) {
        Chain.Fail(false);
        return false;
    }
    if (!Write(SecurityBinding.get(), m_plan.Security))
        return false;
    if (AuthenticationKindAt(auth) == AuthKind::Personal)
        return Write(PassPhraseBinding.get(), m_plan.PassPhrase);
    if (AuthenticationKindAt(auth) == AuthKind::Enterprise)
        return Write(RadiusBinding.get(), m_plan.Radius);
    return true;
}

void TFM_Wirless::ApplySecuritySets()
{
    // The backup servers go with an Enterprise authentication; their failure is shown too.
    const bool ok = SetSecurityBindings() && (!KeyTypeRead || Write(KeyTypeBinding.get(), {})) &&
                    (!AccountingShown || Write(AccountingBinding.get(), m_plan.Accounting)) &&
                    (AuthenticationKindAt(m_plan.Auth) != AuthKind::Enterprise ||
                     (Write(BackupRadiusBinding.get(), {}) && Write(BackupAccountingBinding.get(), {})));
    // Nothing written, nothing to restart for; groups left unread are named, never saved.
    if (ok && Chain.WroteAny())
        RunRestartCountdown();
    EndApply(kSetSuccess, true);
}
