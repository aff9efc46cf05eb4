#include "StdCtrls.h"

#include "Forms.h"
#include "GuiPrivate.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QValidator>

using kv::gui::fromQ;
using kv::gui::toQ;

namespace {

// Limits only what the user types or pastes; text set by code passes unchanged. Characters
// outside Latin-1 are refused with a beep: the 8-bit text would hold other ones.
class MaxLengthValidator : public QValidator {
public:
    int maxLength = 0;
    State validate(QString &input, int &) const override
    {
        if (TWinControl::RefuseBeyondLatin1(input))
            return Invalid;
        return (maxLength > 0 && input.size() > maxLength) ? Invalid : Acceptable;
    }
};

// A radio button that a click checks but never unchecks (exclusivity is ours).
class KvRadioButton : public QRadioButton {
public:
    KvRadioButton() { setAutoExclusive(false); }

protected:
    void nextCheckState() override
    {
        if (!isChecked())
            setChecked(true);
    }
};

} // namespace

// ---- TLabel ----

TLabel::TLabel(TComponent *AOwner) : TControl(AOwner, new QLabel)
{
    Widget()->resize(65, 13);
}

std::string TLabel::Text() const
{
    return fromQ(static_cast<QLabel *>(Widget())->text());
}

void TLabel::SetText(const std::string &text)
{
    auto *l = static_cast<QLabel *>(Widget());
    l->setText(toQ(text));
    if (m_autoSize)
        SetBounds(Left(), Top(), l->sizeHint().width(), l->sizeHint().height());
}

void TLabel::SetAutoSize(bool v)
{
    m_autoSize = v;
    if (v)
        SetText(Text());
}

// ---- TStaticText ----

TStaticText::TStaticText(TComponent *AOwner) : TWinControl(AOwner, new QLabel)
{
    Widget()->setFocusPolicy(Qt::NoFocus);
    Widget()->resize(65, 17);
}

std::string TStaticText::Text() const
{
    return fromQ(static_cast<QLabel *>(Widget())->text());
}

void TStaticText::SetText(const std::string &text)
{
    static_cast<QLabel *>(Widget())->setText(toQ(text));
}

void TStaticText::SetBorderStyle(TStaticBorderStyle s)
{
    auto *l = static_cast<QLabel *>(Widget());
    l->setFrameStyle(s == sbsNone ? QFrame::NoFrame
                                  : (QFrame::Panel | (s == sbsSunken ? QFrame::Sunken : QFrame::Plain)));
}

void TStaticText::SetAlignment(TAlignment a)
{
    auto *l = static_cast<QLabel *>(Widget());
    l->setAlignment(a == taCenter ? Qt::AlignCenter : (a == taRightJustify ? Qt::AlignRight : Qt::AlignLeft));
}

void TStaticText::SetAutoSize(bool v)
{
    if (v) {
        auto *l = static_cast<QLabel *>(Widget());
        SetBounds(Left(), Top(), l->sizeHint().width(), l->sizeHint().height());
    }
}

// ---- TEdit ----

TEdit::TEdit(TComponent *AOwner) : TWinControl(AOwner, new QLineEdit)
{
    auto *e = static_cast<QLineEdit *>(Widget());
    e->resize(121, 21);
    auto *validator = new MaxLengthValidator;
    validator->setParent(e);
    e->setValidator(validator);
    QObject::connect(e, &QLineEdit::textChanged, e, [this](const QString &) {
        if (!m_syncing)
            Fire(OnChange);
    });
}

std::string TEdit::Text() const
{
    return fromQ(static_cast<QLineEdit *>(Widget())->text());
}

void TEdit::SetText(const std::string &text)
{
    auto *e = static_cast<QLineEdit *>(Widget());
    const QString q = toQ(text);
    if (q == e->text())
        return;
    m_syncing = true;
    e->setText(q);
    e->setCursorPosition(0);
    m_syncing = false;
    Fire(OnChange);
}

void TEdit::SetMaxLength(int n)
{
    m_maxLength = n < 0 ? 0 : n;
    auto *e = static_cast<QLineEdit *>(Widget());
    if (auto *v = dynamic_cast<MaxLengthValidator *>(const_cast<QValidator *>(e->validator())))
        v->maxLength = m_maxLength;
}

void TEdit::SetPasswordChar(char c)
{
    m_passwordChar = c;
    auto *e = static_cast<QLineEdit *>(Widget());
    e->setEchoMode(c ? QLineEdit::Password : QLineEdit::Normal);
    // The style's own mask character (a dot) is not the one asked for.
    e->setStyleSheet(c ? QStringLiteral("QLineEdit { lineedit-password-character: %1; }")
                             .arg(static_cast<unsigned char>(c))
                       : QString());
}

bool TEdit::ReadOnly() const
{
    return static_cast<QLineEdit *>(Widget())->isReadOnly();
}

void TEdit::SetReadOnly(bool v)
{
    auto *e = static_cast<QLineEdit *>(Widget());
    if (v == e->isReadOnly())
        return;
    if (v) {
        m_tabStop = TabStop();
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);
    } else {
        e->setReadOnly(false);
        SetTabStop(m_tabStop);
    }
}

TBorderStyle TEdit::BorderStyle() const
{
    return static_cast<QLineEdit *>(Widget())->hasFrame() ? bsSingle : bsNone;
}

void TEdit::SetBorderStyle(TBorderStyle s)
{
    auto *e = static_cast<QLineEdit *>(Widget());
    e->setFrame(s != bsNone);
    // Without a frame the text stands near the top, level with the label the layouts place two
    // pixels lower beside it, on the parent's background.
    e->setAlignment((e->alignment() & Qt::AlignHorizontal_Mask) |
                    (s == bsNone ? Qt::AlignTop : Qt::AlignVCenter));
    e->setTextMargins(0, s == bsNone ? 2 : 0, 0, 0);
    QPalette pal = e->palette();
    pal.setBrush(QPalette::Base, s == bsNone ? QBrush(Qt::transparent) : QPalette().base());
    e->setPalette(pal);
}

int TEdit::SelStart() const
{
    return static_cast<QLineEdit *>(Widget())->cursorPosition();
}

void TEdit::SetSelStart(int pos)
{
    static_cast<QLineEdit *>(Widget())->setCursorPosition(pos);
}

void TEdit::SelectAll()
{
    static_cast<QLineEdit *>(Widget())->selectAll();
}

// ---- TMemo ----

TMemo::TMemo(TComponent *AOwner) : TWinControl(AOwner, new QPlainTextEdit)
{
    auto *m = static_cast<QPlainTextEdit *>(Widget());
    m->resize(185, 89);
    m_lines.onChanged = [this] {
        LinesToWidget();
        Fire(OnChange);
    };
    QObject::connect(m, &QPlainTextEdit::textChanged, m, [this, m] {
        if (m_syncing)
            return;
        m_syncing = true;
        auto saved = std::move(m_lines.onChanged);
        m_lines.SetText(fromQ(m->toPlainText()));
        m_lines.onChanged = std::move(saved);
        m_syncing = false;
        Fire(OnChange);
    });
}

TMemo::~TMemo()
{
    m_lines.onChanged = nullptr;
}

void TMemo::LinesToWidget()
{
    if (m_syncing)
        return;
    m_syncing = true;
    QString text;
    for (int i = 0; i < m_lines.Count(); ++i) {
        if (i)
            text += QLatin1Char('\n');
        text += toQ(m_lines[i]);
    }
    static_cast<QPlainTextEdit *>(Widget())->setPlainText(text);
    m_syncing = false;
}

std::string TMemo::Text() const
{
    return m_lines.Text();
}

void TMemo::SetText(const std::string &text)
{
    m_lines.SetText(text);
}

bool TMemo::ReadOnly() const
{
    return static_cast<QPlainTextEdit *>(Widget())->isReadOnly();
}

void TMemo::SetReadOnly(bool v)
{
    static_cast<QPlainTextEdit *>(Widget())->setReadOnly(v);
}

void TMemo::SetWordWrap(bool v)
{
    static_cast<QPlainTextEdit *>(Widget())->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth
                                                               : QPlainTextEdit::NoWrap);
}

// ---- TComboBox ----

TComboBox::TComboBox(TComponent *AOwner) : TWinControl(AOwner, new QComboBox)
{
    auto *c = static_cast<QComboBox *>(Widget());
    c->resize(145, 21);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    HookFocusWidget(c->lineEdit());
    m_items.onChanged = [this] { ItemsToWidget(); };
    QObject::connect(c, &QComboBox::activated, c, [this](int) {
        if (m_syncing)
            return;
        std::weak_ptr<bool> alive = AliveToken();
        Fire(OnChange);
        if (!alive.expired())
            Fire(OnSelect);
    });
}

TComboBox::~TComboBox()
{
    m_items.onChanged = nullptr;
}

QWidget *TComboBox::FocusWidget() const
{
    auto *c = static_cast<QComboBox *>(Widget());
    return c->isEditable() && c->lineEdit() ? static_cast<QWidget *>(c->lineEdit()) : Widget();
}

void TComboBox::ItemsToWidget()
{
    auto *c = static_cast<QComboBox *>(Widget());
    const int oldIndex = c->currentIndex();
    const QString oldText = c->currentText();
    m_syncing = true;
    c->clear();
    for (int i = 0; i < m_items.Count(); ++i)
        c->addItem(toQ(m_items[i]));
    // The choice survives additions; a list whose chosen entry changed loses it.
    if (oldIndex >= 0 && oldIndex < c->count() && c->itemText(oldIndex) == oldText)
        c->setCurrentIndex(oldIndex);
    else
        c->setCurrentIndex(-1);
    if (c->isEditable() && c->currentIndex() < 0)
        c->setEditText(oldIndex < 0 ? oldText : QString());
    m_syncing = false;
    // The drop-down list shows every item whole, however narrow the box.
    QAbstractItemView *list = c->view();
    list->setMinimumWidth(list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width() +
                          2 * list->frameWidth());
}

int TComboBox::ItemIndex() const
{
    auto *c = static_cast<QComboBox *>(Widget());
    if (c->isEditable() && c->currentIndex() >= 0 && c->currentText() != c->itemText(c->currentIndex()))
        return -1;
    return c->currentIndex();
}

void TComboBox::SetItemIndex(int i)
{
    auto *c = static_cast<QComboBox *>(Widget());
    m_syncing = true;
    c->setCurrentIndex(i >= 0 && i < c->count() ? i : -1);
    if (c->isEditable() && c->currentIndex() < 0)
        c->setEditText(QString());
    m_syncing = false;
}

void TComboBox::SetStyle(TComboBoxStyle s)
{
    m_style = s;
    auto *c = static_cast<QComboBox *>(Widget());
    m_syncing = true;
    const int index = c->currentIndex();
    c->setEditable(s != csDropDownList);
    if (c->isEditable()) {
        c->setInsertPolicy(QComboBox::NoInsert);
        HookFocusWidget(c->lineEdit());
        QObject::connect(c->lineEdit(), &QLineEdit::textEdited, c, [this](const QString &) {
            if (!m_syncing)
                Fire(OnChange);
        });
    }
    c->setCurrentIndex(index);
    m_syncing = false;
}

std::string TComboBox::Text() const
{
    return fromQ(static_cast<QComboBox *>(Widget())->currentText());
}

void TComboBox::SetText(const std::string &text)
{
    auto *c = static_cast<QComboBox *>(Widget());
    m_syncing = true;
    const int index = c->findText(toQ(text), Qt::MatchExactly);
    if (c->isEditable()) {
        c->setCurrentIndex(index);
        c->setEditText(toQ(text));
    } else {
        c->setCurrentIndex(index);
    }
    m_syncing = false;
}

void TComboBox::Clear()
{
    m_items.Clear();
    SetItemIndex(-1);
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent *AOwner) : TWinControl(AOwner, new QCheckBox)
{
    auto *c = static_cast<QCheckBox *>(Widget());
    c->resize(97, 17);
    // Not toggled: neither to on changes the state, not isChecked().
    QObject::connect(c, &QCheckBox::stateChanged, c, [this, c](int state) {
        if (state != Qt::PartiallyChecked)
            c->setTristate(false);
        if (!m_syncing)
            Fire(OnClick);
    });
}

std::string TCheckBox::Text() const
{
    return fromQ(static_cast<QCheckBox *>(Widget())->text());
}

void TCheckBox::SetText(const std::string &text)
{
    static_cast<QCheckBox *>(Widget())->setText(toQ(text));
}

bool TCheckBox::Checked() const
{
    return static_cast<QCheckBox *>(Widget())->checkState() == Qt::Checked;
}

void TCheckBox::SetChecked(bool v)
{
    auto *c = static_cast<QCheckBox *>(Widget());
    const Qt::CheckState state = v ? Qt::Checked : Qt::Unchecked;
    if (c->checkState() == state)
        return;
    m_syncing = true;
    c->setCheckState(state);
    m_syncing = false;
    Fire(OnClick);
}

void TCheckBox::SetNeither()
{
    auto *c = static_cast<QCheckBox *>(Widget());
    if (c->checkState() == Qt::PartiallyChecked)
        return;
    m_syncing = true;
    c->setCheckState(Qt::PartiallyChecked);
    m_syncing = false;
    Fire(OnClick);
}

bool TCheckBox::Neither() const
{
    return static_cast<QCheckBox *>(Widget())->checkState() == Qt::PartiallyChecked;
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent *AOwner) : TWinControl(AOwner, new KvRadioButton)
{
    auto *r = static_cast<QRadioButton *>(Widget());
    r->resize(113, 17);
    QObject::connect(r, &QRadioButton::toggled, r, [this](bool on) {
        if (m_syncing || !on)
            return;
        // The user checked this one: the others of the same parent go off.
        TurnSiblingsOff();
        if (!m_silent)
            Fire(OnClick);
    });
}

std::string TRadioButton::Text() const
{
    return fromQ(static_cast<QRadioButton *>(Widget())->text());
}

void TRadioButton::SetText(const std::string &text)
{
    static_cast<QRadioButton *>(Widget())->setText(toQ(text));
}

bool TRadioButton::Checked() const
{
    return static_cast<QRadioButton *>(Widget())->isChecked();
}

void TRadioButton::SetChecked(bool v)
{
    auto *r = static_cast<QRadioButton *>(Widget());
    const bool was = r->isChecked();
    if (was == v)
        return;
    m_syncing = true;
    r->setChecked(v);
    m_syncing = false;
    if (!v)
        return;
    TurnSiblingsOff();
    if (!m_silent)
        Fire(OnClick);
}

void TRadioButton::TurnSiblingsOff()
{
    TWinControl *p = Parent();
    if (!p)
        return;
    for (int i = 0; i < p->ControlCount(); ++i) {
        auto *other = dynamic_cast<TRadioButton *>(p->Controls(i));
        if (other && other != this && other->Checked()) {
            other->m_syncing = true;
            static_cast<QRadioButton *>(other->Widget())->setChecked(false);
            other->m_syncing = false;
        }
    }
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent *AOwner) : TWinControl(AOwner, new QGroupBox)
{
    Widget()->resize(185, 105);
    Widget()->setFocusPolicy(Qt::NoFocus);
}

std::string TGroupBox::Text() const
{
    return fromQ(static_cast<QGroupBox *>(Widget())->title());
}

void TGroupBox::SetText(const std::string &text)
{
    static_cast<QGroupBox *>(Widget())->setTitle(toQ(text));
}

QWidget *TGroupBox::ClientWidget() const
{
    return Widget();
}

// ---- TListBox ----

TListBox::TListBox(TComponent *AOwner) : TWinControl(AOwner, new QListWidget)
{
    auto *l = static_cast<QListWidget *>(Widget());
    l->resize(121, 97);
    m_items.onChanged = [this] { ItemsToWidget(); };
    QObject::connect(l, &QListWidget::currentRowChanged, l, [this](int) {
        if (!m_syncing)
            Fire(OnClick);
    });
}

TListBox::~TListBox()
{
    m_items.onChanged = nullptr;
}

void TListBox::ItemsToWidget()
{
    auto *l = static_cast<QListWidget *>(Widget());
    m_syncing = true;
    const int row = l->currentRow();
    l->clear();
    for (int i = 0; i < m_items.Count(); ++i)
        l->addItem(toQ(m_items[i]));
    l->setCurrentRow(row < l->count() ? row : -1);
    m_syncing = false;
}

int TListBox::ItemIndex() const
{
    return static_cast<QListWidget *>(Widget())->currentRow();
}

void TListBox::SetItemIndex(int i)
{
    auto *l = static_cast<QListWidget *>(Widget());
    m_syncing = true;
    l->setCurrentRow(i >= 0 && i < l->count() ? i : -1);
    m_syncing = false;
}

// ---- TButton ----

TButton::TButton(TComponent *AOwner) : TWinControl(AOwner, new QPushButton)
{
    auto *b = static_cast<QPushButton *>(Widget());
    b->resize(75, 25);
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, b, [this] { Click(); });
}

std::string TButton::Text() const
{
    return fromQ(static_cast<QPushButton *>(Widget())->text());
}

void TButton::SetText(const std::string &text)
{
    static_cast<QPushButton *>(Widget())->setText(toQ(text));
}

void TButton::SetDefault(bool v)
{
    static_cast<QPushButton *>(Widget())->setDefault(v);
}

void TButton::Click()
{
    if (Destroying())
        return;
    if (m_modalResult != mrNone) {
        if (TForm *form = ParentForm())
            form->SetModalResult(m_modalResult);
    }
    TControl::Click();
}

// ---- TBitBtn ----

TBitBtn::TBitBtn(TComponent *AOwner) : TButton(AOwner)
{
}

bool TBitBtn::LoadGlyph(const std::string &path)
{
    QPixmap pix;
    if (!pix.load(toQ(path)))
        return false;
    auto *b = static_cast<QPushButton *>(Widget());
    b->setIcon(QIcon(pix));
    b->setIconSize(pix.size());
    m_hasGlyph = true;
    return true;
}
