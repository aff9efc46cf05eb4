#pragma once
// Panels, radio groups, images, splitters, scroll boxes and timers.
#include "Controls.h"
#include "EventLoop.h"

class QImage;
class TRadioButton;

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent *AOwner);
    std::string Text() const override;
    void SetText(const std::string &text) override;
    void SetBevelOuter(TBevelCut b);

private:
    std::string m_caption;
};

// A group of radio buttons made from Items; ItemIndex is the checked one (-1: none).
// Setting ItemIndex to another entry from code runs OnClick, as the user's click does.
class TRadioGroup : public TWinControl {
public:
    explicit TRadioGroup(TComponent *AOwner);
    ~TRadioGroup() override;
    TStrings *Items() { return &m_items; }
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int i);
    int Columns() const { return m_columns; }
    void SetColumns(int n);
    std::string Text() const override;
    void SetText(const std::string &text) override;
    // The radio button of item i (null out of range).
    TRadioButton *Buttons(int i) const;
    QWidget *ClientWidget() const override;

protected:
    void Resized() override;

private:
    void RebuildButtons();
    void ButtonClicked(int i);
    void ArrangeButtons();
    TStringList m_items;
    std::vector<TRadioButton *> m_buttons;
    int m_itemIndex = -1;
    int m_columns = 1;
    bool m_updating = false;
};

class TImage : public TControl {
public:
    explicit TImage(TComponent *AOwner);
    ~TImage() override;
    // Shows a decoded picture; the control takes the picture's size when AutoSize is set.
    void SetImage(const QImage &image);
    // Reads a picture file (JPEG, BMP, PNG); false when it cannot be read.
    bool LoadFromFile(const std::string &path);
    bool HasPicture() const;
    int PictureWidth() const;
    int PictureHeight() const;
    void SetAutoSize(bool v) { m_autoSize = v; }
    void SetStretch(bool v);

    // Shows and hides in place over the picture beneath, which must hold this control wholly
    // (neither stretched, this picture the control's size): the widget stays on screen and
    // paints this picture over the pixels beneath (as they are now) when visible, those pixels
    // alone when not. Showing or hiding then repaints only this control's own pixels, at once,
    // with no work for the parent, the picture beneath or accessibility. False, and nothing
    // changed, when the pictures do not allow it; it ends when the control moves off the
    // picture beneath or gets a picture that no longer fits.
    bool SetShownOver(const TImage &beneath);
    bool ShownInPlace() const { return m_inPlace != nullptr; }
    void SetVisible(bool v) override;
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void Resized() override;
    bool WidgetEvent(QObject *watched, QEvent *e) override;

private:
    struct InPlace;
    void UpdatePixmap();
    void UpdateOpaque();
    bool ComposeInPlace(InPlace &inPlace) const;
    void RecomposeInPlace();
    std::unique_ptr<QImage> m_image;
    std::unique_ptr<InPlace> m_inPlace;
    bool m_autoSize = false;
    bool m_stretch = false;
};

class TSplitter : public TControl {
public:
    explicit TSplitter(TComponent *AOwner);
};

class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent *AOwner);
    QWidget *ClientWidget() const override;
    // Makes the scroll range fit the children (called after they moved).
    void UpdateScrollRange();

    void ChildChanged(TControl *child) override;

protected:
    void Resized() override;

private:
    QWidget *m_inner = nullptr;
};

// A timer component: OnTimer (when set) runs every Interval ms while Enabled and Interval > 0.
// The interval passes through the installed kv::Clock.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent *AOwner);
    ~TTimer() override;
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v);
    int Interval() const { return m_interval; }
    void SetInterval(int ms);
    // Milliseconds until the next tick on the real clock; -1 when the timer is off.
    int RemainingMs() const { return m_enabled ? m_timer.remainingMs() : -1; }
    TNotifyEvent OnTimer;

private:
    void Update();
    kv::Timer m_timer;
    bool m_enabled = true;
    int m_interval = 1000;
};
