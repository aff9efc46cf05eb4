#pragma once
// Texts of the main window's unit that the forms and the About window use.
#include "AnsiString.h"

inline const AnsiString gModelName = "QRN-5290AP";
inline const AnsiString gSysObjectID = "1.3.6.1.4.1.32473.10.37.30";
inline const AnsiString gMsgAnotherInstance = "Another QRN5290AP module is running!";
inline const AnsiString gMsg11gSetError = "IEEE802.11g Setting Error!";
inline const AnsiString gMsg11gSetSuccess = "IEEE802.11g Setting Success!";
inline const AnsiString gBand11gName = "IEEE 802.11g";
