#pragma once
// Registers the openers of the network, maintenance and status forms with the main window's
// menu.
void RegisterNetworkForms();
