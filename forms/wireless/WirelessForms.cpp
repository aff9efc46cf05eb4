#include "WirelessForms.h"

#include "FormOpeners.h"
#include "TFM_MultiSSIDNewForm.h"
#include "TFM_WPart.h"

void RegisterWirelessForms()
{
    RegisterModalForm("TFM_WPart", FM_WPart);
    RegisterModalForm("TFM_MultiSSIDNewForm", FM_MultiSSIDNewForm);
}
