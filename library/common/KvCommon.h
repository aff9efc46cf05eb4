#pragma once
// The common utilities in one include.
#include "KvCommonTexts.h"
#include "KvCommonUtils.h"
#include "KvDateTime.h"
#include "KvEditConstraint.h"
#include "KvEditFormat.h"
#include "KvIni.h"
#include "KvMessageFile.h"
#include "KvNetInterface.h"
#include "KvNumList.h"
#include "KvNumberText.h"
#include "KvOptionList.h"
#include "KvPath.h"
