#include "NetworkForms.h"

#include "FormOpeners.h"
#include "TFM_Group.h"
#include "TFM_Misc.h"
#include "TFM_Sytem.h"

void RegisterNetworkForms()
{
    RegisterModalForm<TFM_Group>("TFM_Group", FM_Group);
    RegisterModalForm<TFM_Misc>("TFM_Misc", FM_Misc);
    RegisterModalForm<TFM_Sytem>("TFM_Sytem", FM_Sytem);
}
