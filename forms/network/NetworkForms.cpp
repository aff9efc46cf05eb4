#include "NetworkForms.h"

#include "FormOpeners.h"
#include "TFM_Admin.h"
#include "TFM_Admin2.h"
#include "TFM_Admin3.h"

void RegisterNetworkForms()
{
    RegisterModalForm("TFM_Admin", FM_Admin);
    RegisterModalForm("TFM_Admin2", FM_Admin2);
    RegisterModalForm("TFM_Admin3", FM_Admin3);
}
