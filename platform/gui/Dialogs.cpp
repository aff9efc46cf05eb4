#include "Dialogs.h"

#include "Forms.h"
#include "GuiPrivate.h"

#include <QFileDialog>

namespace kv {

FileDialogService &FileDialogService::instance()
{
    static FileDialogService service;
    return service;
}

void FileDialogService::reset()
{
    m_answers.clear();
    m_count = 0;
}

namespace {
// "Text files|*.txt|All|*.*" into Qt's "Text files (*.txt);;All (*.*)".
QString qtFilter(const std::string &filter)
{
    QStringList parts = gui::toQ(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QStringLiteral(" (") +
                   QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    return out.join(QStringLiteral(";;"));
}
} // namespace

std::optional<std::string> FileDialogService::run(bool save, const std::string &title, const std::string &dir,
                                                  const std::string &filter, const std::string &fileName)
{
    ++m_count;
    if (!m_answers.empty()) {
        auto answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    // No file is asked for once the application ends.
    if (!gui::realDisplay() || (Application != nullptr && Application->Terminated()))
        return std::nullopt;
    QString start = gui::toQ(dir);
    if (!fileName.empty())
        start = start.isEmpty() ? gui::toQ(fileName) : start + QLatin1Char('/') + gui::toQ(fileName);
    const QString chosen =
        save ? QFileDialog::getSaveFileName(nullptr, gui::toQ(title), start, qtFilter(filter))
             : QFileDialog::getOpenFileName(nullptr, gui::toQ(title), start, qtFilter(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return gui::fromQ(chosen);
}

} // namespace kv

bool TOpenDialog::Execute()
{
    auto chosen = kv::FileDialogService::instance().run(IsSave(), Title, InitialDir, Filter, FileName);
    if (!chosen)
        return false;
    FileName = *chosen;
    if (IsSave() && !DefaultExt.empty() &&
        FileName.find('.', FileName.find_last_of('/') + 1) == std::string::npos)
        FileName += "." + DefaultExt;
    return true;
}
