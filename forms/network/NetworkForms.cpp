#include "NetworkForms.h"

#include "FormGlobals.h"
#include "FormOpeners.h"
#include "TFM_CfgFile.h"

void RegisterNetworkForms()
{
    RegisterModalForm<TFM_CfgFile>("TFM_CfgFile", FM_CfgFile);
}
