#include "FormGlobals.h"

#include "Forms.h"

TFM_Wirless *FM_Wirless = nullptr;
TFM_ModeCFG *FM_ModeCFG = nullptr;
TFM_Performace *FM_Performace = nullptr;
TFM_WMACACL *FM_WMACACL = nullptr;
TFM_WPart *FM_WPart = nullptr;
TFM_Encrypt *FM_Encrypt = nullptr;
TFM_MultiSSIDForm *FM_MultiSSIDForm = nullptr;
TFM_MultiSSIDNewForm *FM_MultiSSIDNewForm = nullptr;
TFM_RogueForm *FM_RogueForm = nullptr;

TFM_LanCfg *FM_LanCfg = nullptr;
TFM_Group *FM_Group = nullptr;
TFM_DHCP *FM_DHCP = nullptr;
TFM_Admin *FM_Admin = nullptr;
TFM_Admin2 *FM_Admin2 = nullptr;
TFM_Admin3 *FM_Admin3 = nullptr;
TFM_Sytem *FM_Sytem = nullptr;
TFM_FirewareSSL *FM_FirewareSSL = nullptr;
TFM_Firmware *FM_Firmware = nullptr;
TFM_CfgFile *FM_CfgFile = nullptr;
TFM_Misc *FM_Misc = nullptr;
TSNTPForm *SNTPForm = nullptr;
TFM_DevInfo *FM_DevInfo = nullptr;
TFM_Ethernet *FM_Ethernet = nullptr;
TFM_Static *FM_Static = nullptr;
TClientInformation *ClientInformation = nullptr;
TLogForm *LogForm = nullptr;
TFM_LogSet *FM_LogSet = nullptr;

TForm *FindApplicationForm(const void *form)
{
    if (form == nullptr || Application == nullptr)
        return nullptr;
    // Compared by the address of the complete object, so the pointer itself is never used
    // as a form of a class this layer cannot see.
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto *candidate = dynamic_cast<TForm *>(Application->Components(i));
        if (candidate != nullptr && dynamic_cast<const void *>(candidate) == form)
            return candidate;
    }
    return nullptr;
}
