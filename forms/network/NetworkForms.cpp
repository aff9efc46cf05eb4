#include "NetworkForms.h"

#include "FormGlobals.h"
#include "FormOpeners.h"
#include "TClientInformation.h"
#include "TFM_Admin.h"
#include "TFM_Admin2.h"
#include "TFM_Admin3.h"
#include "TFM_CfgFile.h"
#include "TFM_DHCP.h"
#include "TFM_DevInfo.h"
#include "TFM_Ethernet.h"
#include "TFM_FirewareSSL.h"
#include "TFM_Firmware.h"
#include "TFM_Group.h"
#include "TFM_LanCfg.h"
#include "TFM_LogSet.h"
#include "TFM_Misc.h"
#include "TFM_Static.h"
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
    RegisterModalForm<TFM_Admin>("TFM_Admin", FM_Admin);
    RegisterModalForm<TFM_Admin2>("TFM_Admin2", FM_Admin2);
    RegisterModalForm<TFM_Admin3>("TFM_Admin3", FM_Admin3);
    RegisterModalForm<TFM_LogSet>("TFM_LogSet", FM_LogSet);
    RegisterModalForm<TFM_DevInfo>("TFM_DevInfo", FM_DevInfo);
    RegisterModalForm<TClientInformation>("TClientInformation", ClientInformation);
    RegisterModalForm<TFM_Static>("TFM_Static", FM_Static);
    RegisterModalForm<TFM_Ethernet>("TFM_Ethernet", FM_Ethernet);
}
