#include "NetworkForms.h"

#include "FormOpeners.h"
#include "TClientInformation.h"
#include "TFM_Admin.h"
#include "TFM_Admin2.h"
#include "TFM_Admin3.h"
#include "TFM_DevInfo.h"
#include "TFM_Ethernet.h"
#include "TFM_LogSet.h"
#include "TFM_Static.h"

void RegisterNetworkForms()
{
    RegisterModalForm("TFM_Admin", FM_Admin);
    RegisterModalForm("TFM_Admin2", FM_Admin2);
    RegisterModalForm("TFM_Admin3", FM_Admin3);
    RegisterModalForm("TFM_LogSet", FM_LogSet);
    RegisterModalForm("TFM_DevInfo", FM_DevInfo);
    RegisterModalForm("TClientInformation", ClientInformation);
    RegisterModalForm("TFM_Static", FM_Static);
    RegisterModalForm("TFM_Ethernet", FM_Ethernet);
}
