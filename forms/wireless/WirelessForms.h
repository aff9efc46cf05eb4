#pragma once
// Registers the openers of the wireless configuration forms with the main window's menu.
void RegisterWirelessForms();
