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

} // namespace

bool TFM_Wirless::Write(FormBinding *binding, const AccessPlan &plan, const GroupWrite &how)
{
    if (!binding)
        return !Chain.Stopped();
    const AccessPatch patch(*binding, plan);
    Chain.Put(binding, how);
    return Chain.GoesOn();
}

void TFM_Wirless::WriteGuestsThen(FormBinding *binding, const AccessPlan &plan, Continue next)
{
    if (!binding) {
        next(!Chain.Stopped());
        return;
    }
    // The patch stands while the request is built; the next steps run guarded. The marked
    // guests are put back should the primary's writes not come.
    const AccessPatch patch(*binding, plan);
    Chain.PutThen(
        binding,
        {.IfUnread = Unread::Write, .IfStoppedLater = [this, binding] { PutBackMarkedGuests(binding); }},
        [this, next](bool goesOn) { Guarded([&] { next(goesOn); }); });
}

void TFM_Wirless::Guarded(const std::function<void()> &step)
{
    try {
        step();
    } catch (const std::exception &ex) {
        // A write that threw was noted by the chain, which awaits nothing more of it.
        m_applying = false;
        const auto *framework = dynamic_cast<const Exception *>(&ex);
        m_outcome = framework ? framework->Message : AnsiString(ex.what());
        SetStatus(m_outcome);
    }
}

void TFM_Wirless::PutBackGuestStates()
{
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
    Chain.PutBack({.Group = GuestStateBinding.get()});
}

void TFM_Wirless::PutBackMarkedGuests(FormBinding *guests)
{
    // While the primary keeps its Enterprise authentication, the guests keep theirs.
    if (m_marked.empty() || Chain.Wrote(SecurityBinding.get()))
        return;
    const bool isAuth = guests == GuestAuthBinding.get();
    const std::array<TComboBox *, 7> combos = isAuth ? GuestAuthCombos() : GuestEncryptionCombos();
    AccessPlan plan;
    for (int i = 0; i < 14; ++i)
        plan.emplace_back(i, KvAccess::Invalid);
    for (const MarkedGuest &m : m_marked) {
        TComboBox *combo = combos[m.Slot];
        combo->SetItemIndex(combo->Items()->IndexOf(isAuth ? m.Auth : m.Encryption));
        plan.emplace_back(static_cast<int>(m.Slot) + (isAuth ? 7 : 0), KvAccess::ReadWrite);
    }
    // Written and awaited here, as the rest of the put-back; values the form holds, not read.
    struct SyncFor {
        FormBinding &b;
        uint8_t mode = std::exchange(b.Mode, static_cast<uint8_t>(BindMode::Sync));
        ~SyncFor() { b.Mode = mode; }
    } sync{*guests};
    const AccessPatch patch(*guests, plan);
    Chain.PutBack({.Group = guests, .IfUnread = Unread::Write});
}

void TFM_Wirless::EndApply(const AnsiString &success, bool reread)
{
    // Told at once: a put-back or re-read on a silent device may take a while.
    m_outcome = Chain.Text(success, kSetError);
    if (!m_outcome.empty())
        SetStatus(m_outcome);
    if (Chain.Stopped()) {
        Chain.PutBackAfterStop();
        m_outcome = Chain.Text(success, kSetError);
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
    Chain.PutThen(RadioWaveBinding.get(), {}, [this](bool goesOn) {
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
    Chain.PutThen(RadioWaveBinding.get(), {}, [this](bool goesOn) {
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
    // An authentication beyond the list's own cannot go out.
    if (auth > 8) {
        Chain.Refuse(SecurityBinding.get());
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
