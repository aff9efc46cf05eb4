#include "WirelessForms.h"

#include "FormOpeners.h"
#include "TFM_Encrypt.h"
#include "TFM_ModeCFG.h"
#include "TFM_MultiSSIDForm.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_Performace.h"
#include "TFM_RogueForm.h"
#include "TFM_WMACACL.h"
#include "TFM_WPart.h"
#include "TFM_Wirless.h"

void RegisterWirelessForms()
{
    RegisterModalForm("TFM_WPart", FM_WPart);
    RegisterModalForm("TFM_Encrypt", FM_Encrypt);
    RegisterModalForm("TFM_ModeCFG", FM_ModeCFG);
    RegisterModalForm("TFM_Performace", FM_Performace);
    RegisterModalForm("TFM_WMACACL", FM_WMACACL);
    RegisterModalForm("TFM_MultiSSIDForm", FM_MultiSSIDForm);
    RegisterModalForm("TFM_MultiSSIDNewForm", FM_MultiSSIDNewForm);
    RegisterModalForm("TFM_RogueForm", FM_RogueForm);
    RegisterModalForm("TFM_Wirless", FM_Wirless);
}
