#pragma once
// File open and save dialogs. Execute goes through kv::FileDialogService, which tests script.
#include "Classes.h"

#include <deque>
#include <optional>

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent *AOwner) : TComponent(AOwner) {}
    // Shows the dialog; true when the user chose a file (then in FileName).
    virtual bool Execute();

    std::string FileName;
    // "Text files|*.txt|All files|*.*"
    std::string Filter;
    std::string InitialDir;
    std::string Title;
    std::string DefaultExt;

protected:
    virtual bool IsSave() const { return false; }
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent *AOwner) : TOpenDialog(AOwner) {}

protected:
    bool IsSave() const override { return true; }
};

namespace kv {

class FileDialogService {
public:
    static FileDialogService &instance();
    // The next Execute returns this file name (std::nullopt: the user cancelled).
    void setNextAnswer(std::optional<std::string> fileName) { m_answers.push_back(std::move(fileName)); }
    int executeCount() const { return m_count; }
    void reset();
    // Used by the dialogs.
    std::optional<std::string> run(bool save, const std::string &title, const std::string &dir,
                                   const std::string &filter, const std::string &fileName);

private:
    std::deque<std::optional<std::string>> m_answers;
    int m_count = 0;
};

} // namespace kv
