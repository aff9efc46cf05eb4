#pragma once
// The global variables of the configuration forms. The menu handlers keep each open form
// here while it is shown modally and set it back to null when it is deleted; the shell knows
// the form classes only by name, so it never depends on the forms layer.
class TForm;

// Wireless configuration forms.
class TFM_Wirless;
class TFM_ModeCFG;
class TFM_Performace;
class TFM_WMACACL;
class TFM_WPart;
class TFM_Encrypt;
class TFM_MultiSSIDForm;
class TFM_MultiSSIDNewForm;
class TFM_RogueForm;
extern TFM_Wirless *FM_Wirless;
extern TFM_ModeCFG *FM_ModeCFG;
extern TFM_Performace *FM_Performace;
extern TFM_WMACACL *FM_WMACACL;
extern TFM_WPart *FM_WPart;
extern TFM_Encrypt *FM_Encrypt;
extern TFM_MultiSSIDForm *FM_MultiSSIDForm;
extern TFM_MultiSSIDNewForm *FM_MultiSSIDNewForm;
extern TFM_RogueForm *FM_RogueForm;

// Network, maintenance and status forms.
class TFM_LanCfg;
class TFM_Group;
class TFM_DHCP;
class TFM_Admin;
class TFM_Admin2;
class TFM_Admin3;
class TFM_Sytem;
class TFM_FirewareSSL;
class TFM_Firmware;
class TFM_CfgFile;
class TFM_Misc;
class TSNTPForm;
class TFM_DevInfo;
class TFM_Ethernet;
class TFM_Static;
class TClientInformation;
class TLogForm;
class TFM_LogSet;
extern TFM_LanCfg *FM_LanCfg;
extern TFM_Group *FM_Group;
extern TFM_DHCP *FM_DHCP;
extern TFM_Admin *FM_Admin;
extern TFM_Admin2 *FM_Admin2;
extern TFM_Admin3 *FM_Admin3;
extern TFM_Sytem *FM_Sytem;
// Null whenever the firmware-with-SSL form is not shown: the restart countdown re-enables
// that form through it when the countdown closes.
extern TFM_FirewareSSL *FM_FirewareSSL;
extern TFM_Firmware *FM_Firmware;
extern TFM_CfgFile *FM_CfgFile;
extern TFM_Misc *FM_Misc;
extern TSNTPForm *SNTPForm;
extern TFM_DevInfo *FM_DevInfo;
extern TFM_Ethernet *FM_Ethernet;
extern TFM_Static *FM_Static;
extern TClientInformation *ClientInformation;
extern TLogForm *LogForm;
extern TFM_LogSet *FM_LogSet;

// The form among those the application owns whose object lies at that address (a form class
// the shell only knows by name), or null.
TForm *FindApplicationForm(const void *form);
