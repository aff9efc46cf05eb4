#include "ExtCtrls.h"

#include "GuiPrivate.h"
#include "StdCtrls.h"

#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>

#include <algorithm>

using kv::gui::fromQ;
using kv::gui::toQ;

// ---- TPanel ----

TPanel::TPanel(TComponent *AOwner) : TWinControl(AOwner, new QFrame)
{
    auto *f = static_cast<QFrame *>(Widget());
    f->resize(185, 41);
    f->setFrameStyle(QFrame::Panel | QFrame::Raised);
    f->setFocusPolicy(Qt::NoFocus);
}

std::string TPanel::Text() const
{
    return m_caption;
}

void TPanel::SetText(const std::string &text)
{
    m_caption = text;
    auto *label = Widget()->findChild<QLabel *>(QStringLiteral("kvPanelCaption"), Qt::FindDirectChildrenOnly);
    if (!label && text.empty())
        return;
    if (!label) {
        label = new QLabel(Widget());
        label->setObjectName(QStringLiteral("kvPanelCaption"));
        label->setAlignment(Qt::AlignCenter);
        label->lower();
    }
    label->setText(toQ(text));
    label->setGeometry(Widget()->rect());
    label->show();
}

void TPanel::SetBevelOuter(TBevelCut b)
{
    auto *f = static_cast<QFrame *>(Widget());
    f->setFrameStyle(b == bvNone ? QFrame::NoFrame
                                 : (QFrame::Panel | (b == bvLowered ? QFrame::Sunken : QFrame::Raised)));
}

// ---- TRadioGroup ----

TRadioGroup::TRadioGroup(TComponent *AOwner) : TWinControl(AOwner, new QGroupBox)
{
    Widget()->resize(185, 105);
    Widget()->setFocusPolicy(Qt::NoFocus);
    m_items.onChanged = [this] { RebuildButtons(); };
}

TRadioGroup::~TRadioGroup()
{
    m_items.onChanged = nullptr;
}

QWidget *TRadioGroup::ClientWidget() const
{
    return Widget();
}

std::string TRadioGroup::Text() const
{
    return fromQ(static_cast<QGroupBox *>(Widget())->title());
}

void TRadioGroup::SetText(const std::string &text)
{
    static_cast<QGroupBox *>(Widget())->setTitle(toQ(text));
    ArrangeButtons();
}

void TRadioGroup::Resized()
{
    ArrangeButtons();
    TWinControl::Resized();
}

TRadioButton *TRadioGroup::Buttons(int i) const
{
    return (i >= 0 && i < static_cast<int>(m_buttons.size())) ? m_buttons[static_cast<std::size_t>(i)]
                                                              : nullptr;
}

void TRadioGroup::RebuildButtons()
{
    if (Destroying())
        return;
    m_updating = true;
    const auto count = static_cast<std::size_t>(m_items.Count());
    while (m_buttons.size() > count) {
        delete m_buttons.back();
        m_buttons.pop_back();
    }
    while (m_buttons.size() < count) {
        auto *b = new TRadioButton(this);
        b->SetParent(this);
        const int index = static_cast<int>(m_buttons.size());
        b->OnClick = [this, index](TObject *) { ButtonClicked(index); };
        m_buttons.push_back(b);
    }
    for (std::size_t i = 0; i < count; ++i)
        m_buttons[i]->SetText(m_items[static_cast<int>(i)]);
    // The index stays, cut to the new count; the button shows it without a click.
    if (m_itemIndex >= static_cast<int>(count))
        m_itemIndex = static_cast<int>(count) - 1;
    for (std::size_t i = 0; i < count; ++i) {
        m_buttons[i]->m_silent = true;
        m_buttons[i]->SetChecked(static_cast<int>(i) == m_itemIndex);
        m_buttons[i]->m_silent = false;
    }
    m_updating = false;
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons()
{
    if (m_buttons.empty())
        return;
    const int columns = std::max(1, m_columns);
    const int rows = (static_cast<int>(m_buttons.size()) + columns - 1) / columns;
    // Below the frame's top line, which the style draws under the caption.
    const int top = std::max(16, Widget()->contentsRect().top() + 3);
    const int left = 8;
    const int width = std::max(0, (Width() - 2 * left) / columns);
    const int height = std::max(17, (Height() - top - 4) / std::max(1, rows));
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        const int col = static_cast<int>(i) / rows;
        const int row = static_cast<int>(i) % rows;
        m_buttons[i]->SetBounds(left + col * width, top + row * height + (height - 17) / 2, width, 17);
    }
}

void TRadioGroup::SetColumns(int n)
{
    m_columns = std::max(1, n);
    ArrangeButtons();
}

void TRadioGroup::ButtonClicked(int i)
{
    if (m_updating)
        return;
    m_itemIndex = i;
    Fire(OnClick);
}

void TRadioGroup::SetItemIndex(int i)
{
    const int count = static_cast<int>(m_buttons.size());
    if (i < -1)
        i = -1;
    if (i >= count)
        i = count - 1;
    if (i == m_itemIndex)
        return;
    if (TRadioButton *old = Buttons(m_itemIndex)) {
        old->m_silent = true;
        old->SetChecked(false);
        old->m_silent = false;
    }
    m_itemIndex = i;
    // Checking the new button runs its click, which reports the group's OnClick.
    if (TRadioButton *now = Buttons(i))
        now->SetChecked(true);
}

// ---- TImage ----

// What a picture shown in place paints: the picture beneath as it lies under the control, and
// the two states made from it once.
struct TImage::InPlace {
    QImage beneath;
    QRect beneathRect; // in the parent's coordinates
    QPixmap shown;
    QPixmap hidden;
};

TImage::TImage(TComponent *AOwner) : TControl(AOwner, new QLabel), m_image(std::make_unique<QImage>())
{
    Widget()->resize(105, 105);
}

TImage::~TImage() = default;

void TImage::SetImage(const QImage &image)
{
    *m_image = image;
    if (m_autoSize && !image.isNull())
        SetBounds(Left(), Top(), image.width(), image.height());
    UpdatePixmap();
    RecomposeInPlace();
}

bool TImage::SetShownOver(const TImage &beneath)
{
    auto inPlace = std::make_unique<InPlace>();
    if (beneath.m_stretch || beneath.Parent() != Parent() ||
        beneath.m_image->size() != beneath.Widget()->size())
        return false;
    inPlace->beneath = *beneath.m_image;
    inPlace->beneathRect = beneath.Widget()->geometry();
    if (!ComposeInPlace(*inPlace))
        return false;
    m_inPlace = std::move(inPlace);
    Widget()->setAttribute(Qt::WA_OpaquePaintEvent, true);
    Widget()->setVisible(true);
    Widget()->update();
    return true;
}

// The pixels beneath the control, and the picture drawn over them as the panel and the
// picture's own widget would draw it.
bool TImage::ComposeInPlace(InPlace &inPlace) const
{
    const QRect own = Widget()->geometry();
    if (Parent() == nullptr || m_stretch || m_image->isNull() || m_image->size() != own.size() ||
        !inPlace.beneathRect.contains(own))
        return false;
    inPlace.hidden = QPixmap::fromImage(inPlace.beneath.copy(own.translated(-inPlace.beneathRect.topLeft())));
    inPlace.shown = inPlace.hidden.copy();
    QPainter painter(&inPlace.shown);
    painter.drawPixmap(0, 0, QPixmap::fromImage(*m_image));
    return true;
}

void TImage::RecomposeInPlace()
{
    if (!m_inPlace || ComposeInPlace(*m_inPlace)) {
        if (m_inPlace)
            Widget()->update();
        return;
    }
    // No longer over the picture beneath: an ordinary picture again.
    m_inPlace.reset();
    UpdateOpaque();
    TControl::SetVisible(Visible());
}

void TImage::SetVisible(bool v)
{
    if (!m_inPlace) {
        TControl::SetVisible(v);
        return;
    }
    if (v == Visible())
        return;
    KeepVisible(v);
    // Painted at once: no posted update, so no further turn of the event loop for it.
    Widget()->repaint();
}

void TImage::SetBounds(int left, int top, int width, int height)
{
    const QRect before = Widget() ? Widget()->geometry() : QRect();
    TControl::SetBounds(left, top, width, height);
    if (Widget() && Widget()->geometry() != before)
        RecomposeInPlace();
}

bool TImage::WidgetEvent(QObject *watched, QEvent *e)
{
    if (m_inPlace && watched == Widget() && e->type() == QEvent::Paint) {
        QPainter painter(Widget());
        painter.drawPixmap(0, 0, Visible() ? m_inPlace->shown : m_inPlace->hidden);
        return true;
    }
    return TControl::WidgetEvent(watched, e);
}

bool TImage::LoadFromFile(const std::string &path)
{
    QImageReader reader(toQ(path));
    QImage image = reader.read();
    if (image.isNull())
        return false;
    SetImage(image);
    return true;
}

bool TImage::HasPicture() const
{
    return !m_image->isNull();
}

int TImage::PictureWidth() const
{
    return m_image->width();
}

int TImage::PictureHeight() const
{
    return m_image->height();
}

void TImage::SetStretch(bool v)
{
    m_stretch = v;
    static_cast<QLabel *>(Widget())->setScaledContents(v);
    UpdatePixmap();
    RecomposeInPlace();
}

void TImage::UpdatePixmap()
{
    static_cast<QLabel *>(Widget())->setPixmap(QPixmap::fromImage(*m_image));
    UpdateOpaque();
}

void TImage::Resized()
{
    UpdateOpaque();
    TControl::Resized();
}

// A picture without transparency that covers the whole control: what lies beneath need not
// be painted when the control is (a blinking LED over the panel picture repaints only those
// two).
void TImage::UpdateOpaque()
{
    if (m_inPlace)
        return; // paints every pixel itself
    const QSize size = Widget()->size();
    const bool covers = m_stretch || (m_image->width() == size.width() && m_image->height() == size.height());
    Widget()->setAttribute(Qt::WA_OpaquePaintEvent,
                           !m_image->isNull() && !m_image->hasAlphaChannel() && covers);
}

// ---- TSplitter ----

TSplitter::TSplitter(TComponent *AOwner) : TControl(AOwner, new QFrame)
{
    Widget()->resize(3, 100);
    SetAlign(alLeft);
}

// ---- TScrollBox ----

TScrollBox::TScrollBox(TComponent *AOwner) : TWinControl(AOwner, new QScrollArea)
{
    auto *area = static_cast<QScrollArea *>(Widget());
    area->resize(185, 41);
    area->setFocusPolicy(Qt::NoFocus);
    m_inner = new QWidget;
    area->setWidget(m_inner);
    area->setWidgetResizable(false);
}

QWidget *TScrollBox::ClientWidget() const
{
    return m_inner;
}

void TScrollBox::UpdateScrollRange()
{
    auto *area = static_cast<QScrollArea *>(Widget());
    int right = area->viewport()->width();
    int bottom = area->viewport()->height();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl *c = Controls(i);
        if (c->Visible() && c->Align() == alNone) {
            right = std::max(right, c->Left() + c->Width());
            bottom = std::max(bottom, c->Top() + c->Height());
        }
    }
    m_inner->resize(right, bottom);
}

void TScrollBox::Resized()
{
    UpdateScrollRange();
    TWinControl::Resized();
}

void TScrollBox::ChildChanged(TControl *child)
{
    TWinControl::ChildChanged(child);
    UpdateScrollRange();
}

// ---- TTimer ----

TTimer::TTimer(TComponent *AOwner) : TComponent(AOwner)
{
    m_timer.onTimeout = [this] {
        if (Destroying() || !m_enabled || !OnTimer)
            return;
        TNotifyEvent handler = OnTimer;
        handler(this);
    };
    Update();
}

TTimer::~TTimer()
{
    m_timer.stop();
}

void TTimer::SetEnabled(bool v)
{
    if (v == m_enabled)
        return;
    m_enabled = v;
    Update();
}

void TTimer::SetInterval(int ms)
{
    if (ms == m_interval)
        return;
    m_interval = ms;
    Update();
}

void TTimer::Update()
{
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}
