#pragma once
// Everything of the GUI layer in one include.
#include "Classes.h"
#include "ComCtrls.h"
#include "Controls.h"
#include "DateTime.h"
#include "Dialogs.h"
#include "EventLoop.h"
#include "Exception.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "MessageBoxService.h"
#include "StdCtrls.h"
