// Rogue AP detection: the detect command looks at the air through the device's filters and
// fills the detected table; the add command moves a detected row into the known list, which
// holds at most 30 rows; two delete commands remove a row from either table.
#include "CommandRegistry.h"

#include <set>

namespace devsim {

namespace {

constexpr int64_t kBssAccessPoints = 1;
constexpr int64_t kBssAdHoc = 2;

bool bitSet(int64_t bits, int n)
{
    return n >= 0 && n < 63 && ((bits >> n) & 1) != 0;
}

// A station the filters let through: BSS type, band bit by mode code, security bit by code.
bool passes(const AirStation &s, int64_t bss, int64_t bands, int64_t security)
{
    if ((bss == kBssAccessPoints && s.adHoc) || (bss == kBssAdHoc && !s.adHoc))
        return false;
    return bitSet(bands, s.band) && bitSet(security, s.security);
}

// The answer when the command's value names no row of the table: nothing to do for 0, a failure
// for a row the table does not have; nullopt when the row is there.
std::optional<CommandOutcome> unlessRowGiven(const TableRows &rows, const CommandContext &ctx)
{
    if (ctx.value() == 0)
        return CommandOutcome{};
    if (ctx.value() < 0 || !rows.has(Oid{static_cast<uint32_t>(ctx.value())}))
        return CommandOutcome::fail("no row " + std::to_string(ctx.value()) + " in " + rows.name(),
                                    InconsistentValue);
    return std::nullopt;
}

// A delete command: the value names the row to remove.
CommandHandler removeRow(const char *table)
{
    return [table](CommandContext &ctx) {
        TableRows rows = ctx.table(table);
        if (auto answer = unlessRowGiven(rows, ctx))
            return *answer;
        rows.remove(Oid{static_cast<uint32_t>(ctx.value())});
        return CommandOutcome{};
    };
}

} // namespace

void registerRogueCommands(CommandRegistry &r)
{
    r.on("rogueAPDetect", 1, [](CommandContext &ctx) {
        TableRows found = ctx.table("rogueDetectedTable");
        const TableRows known = ctx.table("rogueAPList");
        std::set<std::string> knownBssids;
        for (const Oid &index : known.indexes())
            if (auto bssid = known.cell(index, "rogueListBSSID"))
                knownBssids.insert(bssid->bytes);
        const int64_t bss = ctx.number("bssTypeDetected").value_or(3);
        const int64_t bands = ctx.number("bandTypeDetected").value_or(0);
        const int64_t security = ctx.number("securityTypeDetected").value_or(0);
        found.clear();
        // With the radio off nothing is heard.
        const bool listening = ctx.number("adRadioWave").value_or(1) != 0;
        for (const AirStation &s : ctx.air()) {
            if (!listening || !passes(s, bss, bands, security) || knownBssids.count(s.bssid))
                continue;
            found.add({{"rogueType", text(s.adHoc ? "Ad Hoc" : "AP")},
                       {"rogueCH", num(s.channel)},
                       {"rogueBSSID", text(s.bssid)},
                       {"rogueMode", num(s.band)},
                       {"rogueSSID", text(s.ssid)},
                       {"rogueSecurity", num(s.security)}});
        }
        ctx.note("rogue detect found " + std::to_string(found.size()));
        return CommandOutcome{};
    });
    r.onAny("addRogueAPtoAPList", [](CommandContext &ctx) {
        TableRows found = ctx.table("rogueDetectedTable");
        TableRows known = ctx.table("rogueAPList");
        if (auto answer = unlessRowGiven(found, ctx))
            return *answer;
        if (known.full())
            return CommandOutcome::fail("the AP list is full", ResourceUnavailable);
        const auto index = found.moveTo(Oid{static_cast<uint32_t>(ctx.value())}, known);
        ctx.note("rogue AP " + std::to_string(ctx.value()) + " is known AP " +
                 std::to_string(index.value_or(0)));
        return CommandOutcome{};
    });
    r.onAny("deleteRogueAPFromResult", removeRow("rogueDetectedTable"));
    r.onAny("deleteRogueAPfromAPList", removeRow("rogueAPList"));
}

} // namespace devsim
