#pragma once
// Common controls: report list view, status bar, page control and date-time picker.
#include "Controls.h"
#include "DateTime.h"

class QTreeWidgetItem;
class TListView;
class TListItems;
class TStatusBar;
class TPageControl;

// ---- list view -------------------------------------------------------------------------

class TListColumn : public TObject {
public:
    std::string Caption() const { return m_caption; }
    void SetCaption(const std::string &c);
    // 0 hides the column; -1 and -2 fit the caption and the rows, growing as rows arrive.
    int Width() const { return m_width; }
    void SetWidth(int w);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v) { m_autoSize = v; }
    int Index() const { return m_index; }
    bool Fitted() const { return m_width == -1 || m_width == -2; }

private:
    friend class TListColumns;
    friend class TListView;
    explicit TListColumn(TListView *view, int index) : m_view(view), m_index(index) {}
    TListView *m_view;
    int m_index;
    std::string m_caption;
    int m_width = 50;
    bool m_autoSize = false;
};

class TListColumns : public TObject {
public:
    int Count() const { return static_cast<int>(m_columns.size()); }
    TListColumn *Items(int i) const;
    TListColumn *operator[](int i) const { return Items(i); }
    TListColumn *Add();
    void Clear();

private:
    friend class TListView;
    explicit TListColumns(TListView *view) : m_view(view) {}
    TListView *m_view;
    std::vector<std::unique_ptr<TListColumn>> m_columns;
};

class TListItem : public TObject {
public:
    ~TListItem() override;
    std::string Caption() const { return m_caption; }
    void SetCaption(const std::string &c);
    TStrings *SubItems() { return &m_subItems; }
    const TStrings *SubItems() const { return &m_subItems; }
    int Index() const;
    bool Selected() const;
    // Selecting moves the view's selection here (deselect reported first, then select).
    void SetSelected(bool v);
    void *Data = nullptr;
    TListView *ListView() const { return m_view; }
    // Removes the item from its view and destroys it.
    void Delete();

private:
    friend class TListItems;
    friend class TListView;
    explicit TListItem(TListView *view);
    void Sync();
    TListView *m_view;
    std::string m_caption;
    TStringList m_subItems;
    QTreeWidgetItem *m_node = nullptr;
};

class TListItems : public TObject {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    TListItem *Item(int i) const;
    TListItem *operator[](int i) const { return Item(i); }
    TListItem *Add();
    TListItem *Insert(int i);
    void Delete(int i);
    void Clear();
    int IndexOf(const TListItem *item) const;
    void BeginUpdate() {}
    void EndUpdate() {}

private:
    friend class TListView;
    friend class TListItem;
    explicit TListItems(TListView *view) : m_view(view) {}
    TListView *m_view;
    std::vector<std::unique_ptr<TListItem>> m_items;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using TLVSelectItemEvent = std::function<void(TObject *Sender, TListItem *Item, bool Selected)>;

// A report-style list view with one selected row at most.
class TListView : public TWinControl {
public:
    explicit TListView(TComponent *AOwner);
    ~TListView() override;

    TListColumns *Columns() { return &m_columns; }
    TListItems *Items() { return &m_items; }
    TListItem *Selected() const { return m_selected; }
    // Moves the selection (null clears it); reports deselect, then select, to OnSelectItem.
    void SetSelected(TListItem *item);
    int ItemIndex() const;
    void SetItemIndex(int i);
    // The item under a point of the view (client coordinates), or null.
    TListItem *GetItemAt(int x, int y) const;

    void SetViewStyle(TViewStyle s) { m_viewStyle = s; }
    TViewStyle ViewStyle() const { return m_viewStyle; }
    void SetReadOnly(bool v) { m_readOnly = v; }
    bool ReadOnly() const { return m_readOnly; }
    void SetRowSelect(bool v);
    void SetHideSelection(bool v) { m_hideSelection = v; }
    bool HideSelection() const { return m_hideSelection; }
    void SetGridLines(bool v);
    bool GridLines() const { return m_gridLines; }

    TLVSelectItemEvent OnSelectItem;
    // Item text or sub-items changed by the user or by code.
    std::function<void(TObject *Sender, TListItem *Item, int Change)> OnChange;

protected:
    bool WidgetEvent(QObject *watched, QEvent *e) override;

private:
    friend class TListItem;
    friend class TListItems;
    friend class TListColumn;
    friend class TListColumns;
    void ColumnsChanged();
    void ApplyColumnWidth(int i);
    // Widens a fitted column narrower than the item's text in it.
    void FitColumnTo(const TListItem *item, int column);
    int CellWidth(const QTreeWidgetItem *node, int column) const;
    void ItemRemoved(TListItem *item);
    void UserSelectionChanged();
    void ReportSelection(TListItem *old, TListItem *now);

    TListColumns m_columns;
    TListItems m_items;
    TListItem *m_selected = nullptr;
    TViewStyle m_viewStyle = vsReport;
    bool m_readOnly = false;
    bool m_hideSelection = true;
    bool m_gridLines = false;
};

// ---- status bar -------------------------------------------------------------------------

// One panel of a status bar (not a control of its own).
class TStatusPanel : public TObject {
public:
    std::string Text() const { return m_text; }
    void SetText(const std::string &t);
    int Width() const { return m_width; }
    void SetWidth(int w);
    int Index() const { return m_index; }

private:
    friend class TStatusPanels;
    TStatusPanel(TStatusBar *bar, int index) : m_bar(bar), m_index(index) {}
    TStatusBar *m_bar;
    int m_index;
    std::string m_text;
    int m_width = 50;
};

class TStatusPanels : public TObject {
public:
    int Count() const { return static_cast<int>(m_panels.size()); }
    // Null out of range.
    TStatusPanel *Items(int i) const;
    TStatusPanel *operator[](int i) const { return Items(i); }
    TStatusPanel *Add();
    void Clear();

private:
    friend class TStatusBar;
    explicit TStatusPanels(TStatusBar *bar) : m_bar(bar) {}
    TStatusBar *m_bar;
    std::vector<std::unique_ptr<TStatusPanel>> m_panels;
};

// Aligned to the bottom of its parent by default. On a form other than the main window the simple
// text is shown whole: what does not fit one line goes on to further lines, and the bar and the
// window it is in grow to hold them (shrinking back as the text gets shorter). Elsewhere, and in
// panels, a text that does not fit ends in "...", the whole of it in the tooltip.
class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent *AOwner);
    ~TStatusBar() override;
    TStatusPanels *Panels() { return &m_panels; }
    bool SimplePanel() const { return m_simplePanel; }
    void SetSimplePanel(bool v);
    std::string SimpleText() const { return m_simpleText; }
    void SetSimpleText(const std::string &t);

protected:
    void Resized() override;

private:
    friend class TStatusPanel;
    friend class TStatusPanels;
    void Rebuild();
    // The simple text's lines at the bar's width; the bar takes their height.
    void FitLines();
    // delta more (or fewer) pixels for the bar: its ancestors up to the window grow by them,
    // and what lies below each moves down.
    void MakeRoom(int delta);
    TStatusPanels m_panels;
    bool m_simplePanel = false;
    std::string m_simpleText;
    int m_extra = 0; // pixels added to the bar's one line
    bool m_fitting = false;
};

// ---- page control -----------------------------------------------------------------------

class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent *AOwner);
    ~TTabSheet() override;
    TPageControl *PageControl() const { return m_pageControl; }
    void SetPageControl(TPageControl *pc);
    std::string Text() const override { return m_caption; }
    void SetText(const std::string &text) override;
    bool TabVisible() const { return m_tabVisible; }
    void SetTabVisible(bool v);
    int PageIndex() const;
    void SetEnabled(bool v) override;

private:
    friend class TPageControl;
    TPageControl *m_pageControl = nullptr;
    std::string m_caption;
    bool m_tabVisible = true;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent *AOwner);
    ~TPageControl() override;
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    TTabSheet *Pages(int i) const;
    TTabSheet *ActivePage() const;
    void SetActivePage(TTabSheet *page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int i);

    // After the user switched pages.
    TNotifyEvent OnChange;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet *page);
    void RemovePage(TTabSheet *page);
    void SyncTabs();
    std::vector<TTabSheet *> m_pages;
    TTabSheet *m_active = nullptr;
};

// ---- date-time picker -------------------------------------------------------------------

enum TDateTimeKind { dtkDate, dtkTime };

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent *AOwner);
    TDateTimeKind Kind() const { return m_kind; }
    void SetKind(TDateTimeKind k);
    TDateTime DateTime() const;
    // Clipped to MinDate..MaxDate when those are set.
    void SetDateTime(TDateTime dt);
    TDateTime Date() const;
    void SetDate(TDateTime d);
    TDateTime Time() const;
    void SetTime(TDateTime t);
    void SetMinDate(TDateTime d);
    void SetMaxDate(TDateTime d);
    TDateTime MinDate() const { return m_min; }
    TDateTime MaxDate() const { return m_max; }

    TNotifyEvent OnChange;

private:
    void ToWidget();
    TDateTimeKind m_kind = dtkDate;
    TDateTime m_value;
    TDateTime m_min{0.0};
    TDateTime m_max{0.0};
};
