// The device's log: adClearLocalLog=1 empties the log the device sends (its copy of the
// LogFile.RD fixture).
#include "CommandRegistry.h"

#include <fstream>

namespace devsim {

void registerLogCommands(CommandRegistry &r)
{
    r.on("adClearLocalLog", 1, [](CommandContext &ctx) {
        const std::string path = ctx.deviceFile("LogFile.RD");
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out)
            return CommandOutcome::fail("cannot empty " + path);
        ctx.note("log cleared");
        return CommandOutcome{};
    });
}

} // namespace devsim
