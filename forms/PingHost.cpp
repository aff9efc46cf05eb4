#include "PingHost.h"

#include "AddressArithmetic.h"
#include "Forms.h"

std::unique_ptr<kv::IcmpProbe> PingHost(const AnsiString &address, kv::IcmpProber::Done done)
{
    const std::optional<uint32_t> number = ParseAddress(address);
    if (!number) {
        kv::IcmpProbeOutcome outcome;
        outcome.reason = "Unable to resolve " + address;
        return kv::PostIcmpOutcome(std::move(outcome), std::move(done));
    }
    return kv::IcmpProber::instance().Start(*number, std::move(done));
}

AnsiString UncheckedAddressQuestion(const kv::IcmpProbeOutcome &outcome)
{
    return "Whether the IP is already used cannot be checked (" + outcome.reason + "). Use it anyway?";
}

bool UseUncheckedAddress(const kv::IcmpProbeOutcome &outcome)
{
    return Application->MessageBox(UncheckedAddressQuestion(outcome), "Warning", MB_OKCANCEL) == IDOK;
}

bool AddressFreeAfterProbe(const kv::IcmpProbeOutcome &outcome)
{
    if (outcome.verdict == kv::IcmpProbeOutcome::Verdict::InUse) {
        Application->MessageBox("Reject: The IP already has been used.", "Warning", MB_OK);
        return false;
    }
    return outcome.verdict == kv::IcmpProbeOutcome::Verdict::Free || UseUncheckedAddress(outcome);
}
