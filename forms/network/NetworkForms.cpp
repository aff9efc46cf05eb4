#include "NetworkForms.h"

#include "FormGlobals.h"
#include "FormOpeners.h"
#include "TFM_CfgFile.h"
#include "TFM_FirewareSSL.h"
#include "TFM_Firmware.h"
#include "TLogForm.h"
#include "TSNTPForm.h"

void RegisterNetworkForms()
{
    RegisterModalForm<TFM_CfgFile>("TFM_CfgFile", FM_CfgFile);
    RegisterModalForm<TFM_Firmware>("TFM_Firmware", FM_Firmware);
    RegisterModalForm<TFM_FirewareSSL>("TFM_FirewareSSL", FM_FirewareSSL);
    RegisterModalForm<TLogForm>("TLogForm", LogForm);
    RegisterModalForm<TSNTPForm>("TSNTPForm", SNTPForm);
}
