#include "NetworkForms.h"

#include "FormGlobals.h"
#include "FormOpeners.h"
#include "TFM_CfgFile.h"
#include "TFM_DHCP.h"
#include "TFM_FirewareSSL.h"
#include "TFM_Firmware.h"
#include "TFM_Group.h"
#include "TFM_LanCfg.h"
#include "TFM_Misc.h"
#include "TFM_Sytem.h"
#include "TLogForm.h"
#include "TSNTPForm.h"

void RegisterNetworkForms()
{
    RegisterModalForm<TFM_CfgFile>("TFM_CfgFile", FM_CfgFile);
    RegisterModalForm<TFM_DHCP>("TFM_DHCP", FM_DHCP);
    RegisterModalForm<TFM_Firmware>("TFM_Firmware", FM_Firmware);
    RegisterModalForm<TFM_FirewareSSL>("TFM_FirewareSSL", FM_FirewareSSL);
    RegisterModalForm<TFM_Group>("TFM_Group", FM_Group);
    RegisterModalForm<TFM_LanCfg>("TFM_LanCfg", FM_LanCfg);
    RegisterModalForm<TFM_Misc>("TFM_Misc", FM_Misc);
    RegisterModalForm<TFM_Sytem>("TFM_Sytem", FM_Sytem);
    RegisterModalForm<TLogForm>("TLogForm", LogForm);
    RegisterModalForm<TSNTPForm>("TSNTPForm", SNTPForm);
}
