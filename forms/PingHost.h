#pragma once
// The echo probe of an address before a form hands it out (the LAN address, a static pool
// entry). The answer comes from the event loop: the form's Apply goes on in done, and the
// window stays responsive meanwhile. Callers pass checked dotted addresses; names are not
// looked up.
#include "AnsiString.h"
#include "IcmpProbe.h"

#include <memory>

// Starts the probe of address; destroying the handle drops the answer. A text that is not a
// dotted address answers "cannot run" without sending anything.
std::unique_ptr<kv::IcmpProbe> PingHost(const AnsiString &address, kv::IcmpProber::Done done);

// The question a form asks when the probe could not run, instead of taking the address as
// free: true when the user chooses to use it unchecked.
bool UseUncheckedAddress(const kv::IcmpProbeOutcome &outcome);

// What a form does with the probe's answer: "Reject: The IP already has been used." when
// something answered, the question above when the probe could not run. True when the address
// may be used.
bool AddressFreeAfterProbe(const kv::IcmpProbeOutcome &outcome);

// The question's text for a probe outcome.
AnsiString UncheckedAddressQuestion(const kv::IcmpProbeOutcome &outcome);
