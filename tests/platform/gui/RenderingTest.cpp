// What a user must be able to read in the drawn controls: selected rows, whole cell texts,
// masked passwords, values shown without a frame, the first focus, whole drop-down items.
#include "ComCtrls.h"
#include "GuiTestSupport.h"
#include "StdCtrls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTreeWidget>

#include <functional>
#include <map>
#include <string>

namespace {

template <class T> T *make(TForm &form)
{
    auto *c = new T(&form);
    c->SetParent(&form);
    return c;
}

// A report view as the table bindings make it: columns fitted to their captions, then rows.
QTreeWidget *makeList(TForm &form, TListView *&lv)
{
    lv = make<TListView>(form);
    lv->SetBounds(0, 0, 400, 150);
    lv->SetRowSelect(true);
    lv->SetGridLines(true);
    for (int width : {0, -2, -2})
        lv->Columns()->Add()->SetWidth(width);
    for (const char *mac : {"00904B1A2B3C", "00904B4D5E6F"}) {
        TListItem *item = lv->Items()->Add();
        item->SubItems()->Add(mac);
        item->SubItems()->Add("QRN-5290AP guest network");
    }
    return static_cast<QTreeWidget *>(lv->Widget());
}

// The colour most pixels of a cell have, and how many pixels stand out from it (its text).
std::pair<QRgb, int> cellColours(const QImage &image, const QRect &r)
{
    std::map<QRgb, int> count;
    for (int y = r.top() + 2; y < r.bottom() - 1; ++y)
        for (int x = r.left() + 2; x < r.right() - 1; ++x)
            ++count[image.pixel(x, y)];
    QRgb background = count.begin()->first;
    for (const auto &[rgb, n] : count)
        if (n > count[background])
            background = rgb;
    int marks = 0;
    for (const auto &[rgb, n] : count)
        marks += std::abs(qGray(rgb) - qGray(background)) > 60 ? n : 0;
    return {background, marks};
}

std::string selectedRowIsReadable(TForm &form)
{
    TListView *lv = nullptr;
    QTreeWidget *tree = makeList(form, lv);
    lv->SetItemIndex(1);
    const QImage image = tree->viewport()->grab().toImage();
    const auto selected = cellColours(image, tree->visualRect(tree->model()->index(1, 1)));
    if (selected.first == cellColours(image, tree->visualRect(tree->model()->index(0, 1))).first)
        return "the selected row has the background of the others";
    return selected.second > 10 ? "" : "the selected row's text is not drawn";
}

std::string columnsHoldTheirTexts(TForm &form)
{
    TListView *lv = nullptr;
    QTreeWidget *tree = makeList(form, lv);
    auto cut = [tree](int row, int column) {
        return tree->columnWidth(column) < tree->sizeHintForIndex(tree->model()->index(row, column)).width();
    };
    if (cut(0, 1) || cut(1, 1) || cut(0, 2))
        return "a fitted column cuts its text";
    // Emptied, the columns fit their captions again, and then the new rows.
    const int full = tree->columnWidth(2);
    lv->Items()->Clear();
    if (tree->columnWidth(2) >= full)
        return "an emptied list keeps the widths of its old rows";
    lv->Items()->Add()->SubItems()->Add("001122334455");
    return cut(0, 1) ? "a row added after clearing is cut" : "";
}

std::string passwordShowsStars(TForm &form)
{
    auto *edit = make<TEdit>(form);
    edit->SetPasswordChar('*');
    edit->SetText("secret");
    const std::string shown = static_cast<QLineEdit *>(edit->Widget())->displayText().toStdString();
    return shown == "******" ? "" : "the password shows as \"" + shown + "\"";
}

std::string borderlessEditHasNoFrame(TForm &form)
{
    auto *edit = make<TEdit>(form);
    edit->SetBounds(10, 10, 120, 21);
    edit->SetReadOnly(true);
    edit->SetBorderStyle(bsNone);
    edit->SetText("v2.00.15");
    const QImage image = edit->Widget()->grab().toImage();
    const QRgb inside = image.pixel(image.width() - 6, image.height() / 2);
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, 0) != inside || image.pixel(x, image.height() - 1) != inside)
            return "a frame is drawn around the value";
    return "";
}

std::string focusSkipsReadOnlyValues(TForm &form)
{
    auto *value = make<TEdit>(form);
    value->SetReadOnly(true);
    value->SetBorderStyle(bsNone);
    auto *input = make<TEdit>(form);
    input->SetTop(30);
    form.Show();
    QApplication::processEvents();
    if (form.ActiveControl() != input)
        return value->Focused() ? "the read-only value took the first focus" : "the input has no focus";
    form.SelectNext(true);
    return value->Focused() ? "Tab stops on the read-only value" : "";
}

std::string dropDownShowsWholeItems(TForm &form)
{
    for (TComboBoxStyle style : {csDropDown, csDropDownList}) {
        auto *combo = make<TComboBox>(form);
        combo->SetBounds(10, 10, 240, 21);
        combo->SetStyle(style);
        combo->Items()->Add("(GMT-10:00) Hawaii");
        combo->Items()->Add("(GMT) Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London");
        form.Show();
        auto *box = static_cast<QComboBox *>(combo->Widget());
        box->showPopup();
        const int need = box->view()->sizeHintForColumn(0);
        const int has = box->view()->viewport()->width();
        box->hidePopup();
        if (has < need)
            return "the list is " + std::to_string(has) + " pixels, its longest item needs " +
                   std::to_string(need);
    }
    return "";
}

class Rendering : public GuiTest {};

TEST_F(Rendering, ControlsShowWhatTheUserReads)
{
    const std::pair<const char *, std::function<std::string(TForm &)>> cases[] = {
        {"selected row in the selection colours", selectedRowIsReadable},
        {"fitted columns hold their longest text", columnsHoldTheirTexts},
        {"password character", passwordShowsStars},
        {"borderless value edit", borderlessEditHasNoFrame},
        {"first focus on an input", focusSkipsReadOnlyValues},
        {"drop-down as wide as its longest item", dropDownShowsWholeItems},
    };
    for (const auto &[name, check] : cases) {
        TForm form(nullptr);
        form.SetBounds(0, 0, 420, 200);
        EXPECT_EQ(check(form), "") << name;
    }
}

} // namespace
