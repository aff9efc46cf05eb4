#pragma once
// The SNMP agent around the device model, on net-snmp's agent library.

namespace devsim {

// devsim's whole run: options, catalog, agent loop until SIGTERM or the lifetime ends.
int runDevsim(int argc, char **argv);

} // namespace devsim
