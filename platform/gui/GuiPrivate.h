#pragma once
// Helpers shared by the GUI layer's sources (not for users of the layer).
#include <QString>

#include <string>

namespace kv::gui {

// Texts are 8-bit; Latin-1 keeps every byte through a control and back.
inline QString toQ(const std::string &s)
{
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string fromQ(const QString &s)
{
    return s.toLatin1().toStdString();
}

// True when boxes and dialogs can be shown to a person (not offscreen or minimal).
bool realDisplay();

} // namespace kv::gui
