#include "WirelessForms.h"

#include "FormOpeners.h"
#include "TFM_Encrypt.h"
#include "TFM_ModeCFG.h"
#include "TFM_Performace.h"
#include "TFM_WMACACL.h"
#include "TFM_WPart.h"

void RegisterWirelessForms()
{
    RegisterModalForm("TFM_WPart", FM_WPart);
    RegisterModalForm("TFM_Encrypt", FM_Encrypt);
    RegisterModalForm("TFM_ModeCFG", FM_ModeCFG);
    RegisterModalForm("TFM_Performace", FM_Performace);
    RegisterModalForm("TFM_WMACACL", FM_WMACACL);
}
