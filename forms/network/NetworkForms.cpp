#include "NetworkForms.h"

#include "FormOpeners.h"
#include "TFM_DHCP.h"
#include "TFM_Group.h"
#include "TFM_LanCfg.h"
#include "TFM_Misc.h"
#include "TFM_Sytem.h"

void RegisterNetworkForms()
{
    RegisterModalForm<TFM_DHCP>("TFM_DHCP", FM_DHCP);
    RegisterModalForm<TFM_Group>("TFM_Group", FM_Group);
    RegisterModalForm<TFM_LanCfg>("TFM_LanCfg", FM_LanCfg);
    RegisterModalForm<TFM_Misc>("TFM_Misc", FM_Misc);
    RegisterModalForm<TFM_Sytem>("TFM_Sytem", FM_Sytem);
}
