#include "WirelessForms.h"

#include "FormOpeners.h"
#include "TFM_WPart.h"
#include "TFM_Wirless.h"

void RegisterWirelessForms()
{
    RegisterModalForm("TFM_WPart", FM_WPart);
    RegisterModalForm("TFM_Wirless", FM_Wirless);
}
