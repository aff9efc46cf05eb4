#include "WirelessForms.h"

#include "FormOpeners.h"
#include "TFM_WPart.h"

void RegisterWirelessForms()
{
    RegisterModalForm("TFM_WPart", FM_WPart);
}
