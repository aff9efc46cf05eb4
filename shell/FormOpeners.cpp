#include "FormOpeners.h"

#include <map>

namespace {

std::map<std::string, FormOpener> &openers()
{
    static std::map<std::string, FormOpener> registry;
    return registry;
}

} // namespace

void RegisterFormOpener(const std::string &formClass, FormOpener opener)
{
    if (!opener) {
        UnregisterFormOpener(formClass);
        return;
    }
    openers()[formClass] = std::move(opener);
}

void UnregisterFormOpener(const std::string &formClass)
{
    openers().erase(formClass);
}

bool HasFormOpener(const std::string &formClass)
{
    return openers().count(formClass) != 0;
}

bool OpenRegisteredForm(const std::string &formClass)
{
    const auto it = openers().find(formClass);
    if (it == openers().end())
        return false;
    // A copy: the opener may register or remove openers while its form is shown.
    const FormOpener opener = it->second;
    opener();
    return true;
}
