#pragma once
// A note over the window the user looks at: a few lines in a small framed box that takes
// neither the focus nor input, for what the program waits for while it cannot act.
#include <memory>
#include <string>

class QLabel;
class QWidget;

namespace kv {

class Note {
public:
    Note();
    ~Note();
    Note(const Note &) = delete;
    Note &operator=(const Note &) = delete;

    // Shows text (lines separated by '\n') centred over the active window, or replaces it.
    void show(const std::string &text);
    void hide();
    bool shown() const;
    std::string text() const;
    QWidget *widget() const;

private:
    std::unique_ptr<QLabel> m_box;
};

} // namespace kv
