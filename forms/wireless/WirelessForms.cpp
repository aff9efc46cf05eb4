#include "WirelessForms.h"

#include "FormOpeners.h"
#include "TFM_MultiSSIDForm.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_RogueForm.h"
#include "TFM_WPart.h"

void RegisterWirelessForms()
{
    RegisterModalForm("TFM_WPart", FM_WPart);
    RegisterModalForm("TFM_MultiSSIDForm", FM_MultiSSIDForm);
    RegisterModalForm("TFM_MultiSSIDNewForm", FM_MultiSSIDNewForm);
    RegisterModalForm("TFM_RogueForm", FM_RogueForm);
}
