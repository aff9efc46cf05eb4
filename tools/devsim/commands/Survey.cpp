// Site survey: adRefresh=1 scans the air and fills the site-survey table, one row per station
// in the order of the air fixture.
#include "CommandRegistry.h"

namespace devsim {

void registerSurveyCommands(CommandRegistry &r)
{
    r.on("adRefresh", 1, [](CommandContext &ctx) {
        TableRows survey = ctx.table("siteSurveyTable");
        survey.clear();
        for (const AirStation &s : ctx.air()) {
            survey.add({{"siteSurveyType", text(s.adHoc ? "Ad-Hoc" : "AP")},
                        {"siteSurveyChannel", num(s.channel)},
                        {"siteSurveySignal", num(s.signal)},
                        {"siteSurveyBSSID", text(s.bssid)},
                        {"siteSurveySecurity", text(std::string(securityName(s.security)))},
                        {"siteSurveySSID", text(s.ssid)},
                        {"siteSurveyWDS", num(s.wds ? 1 : 0)}});
        }
        ctx.note("survey found " + std::to_string(survey.size()));
        return CommandOutcome{};
    });
}

} // namespace devsim
