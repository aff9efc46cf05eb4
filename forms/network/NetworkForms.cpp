#include "NetworkForms.h"

#include "FormOpeners.h"

void RegisterNetworkForms()
{
}
