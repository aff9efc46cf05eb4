#include "FormItems.h"

#include <stdexcept>
#include <string>

FormItemTable::FormItemTable(std::initializer_list<FormItem> items) : FormItemTable(kEnterprise, items)
{
}

FormItemTable::FormItemTable(const char *prefix, std::initializer_list<FormItem> items)
{
    m_items.reserve(items.size() + 1);
    for (const FormItem &item : items) {
        // A suffix is required: an empty one would end the table early.
        if (item.Oid == nullptr || *item.Oid == '\0')
            throw std::invalid_argument("item table record without OID suffix");
        const std::string oid = std::string(prefix) + "." + item.Oid;
        m_items.emplace_back(oid.c_str(), item.Name, item.Syntax, item.Access, item.Options);
    }
    m_items.emplace_back();
}

int FormItemTable::IndexOf(const char *name) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[static_cast<std::size_t>(i)].Name == name)
            return i;
    throw std::out_of_range(std::string("no item named ") + name);
}
