#include "KvEditConstraint.h"

#include "Forms.h"
#include "KvCommonTexts.h"
#include "MessageBoxService.h"
#include "StdCtrls.h"

#include <QWidget>

#include <filesystem>
#include <system_error>

namespace {

// The handler put on a registered edit. It does nothing once its manager is gone, so an
// edit whose handler was wrapped by someone else never calls into a destroyed manager.
struct ConstraintHandler {
    std::weak_ptr<KvEditConstraint *> manager;
    bool exit = false;

    void operator()(TObject *sender) const
    {
        if (auto self = manager.lock()) {
            if (exit)
                (*self)->EditExit(sender);
            else
                (*self)->EditChange(sender);
        }
    }
};

bool isOurs(const TNotifyEvent &event, const std::shared_ptr<KvEditConstraint *> &self)
{
    const auto *handler = event.target<ConstraintHandler>();
    return handler && handler->manager.lock() == self;
}

bool isPlaceholderText(const AnsiString &text)
{
    // What the bindings show for a missing value or an unfinished request.
    return text == "(NOTDONE)" || text == "(NULL)";
}

AnsiString programName()
{
    if (Application) {
        std::string exe = Application->ExeName();
        if (!exe.empty())
            return std::filesystem::path(exe).filename().string();
    }
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? AnsiString() : exe.filename().string();
}

} // namespace

KvEditConstraint::KvEditConstraint(TForm *owner, bool storeFlag)
    : m_owner(owner), m_storeFlag(storeFlag), m_self(std::make_shared<KvEditConstraint *>(this))
{
}

KvEditConstraint::~KvEditConstraint()
{
    for (auto &record : m_records)
        restoreHandlers(*record);
    m_records.clear();
}

void KvEditConstraint::restoreHandlers(_EditConstraint_s &record)
{
    // Only an edit that still exists and still carries our handlers gets its own back.
    if (!record.EditWidget || !record.Edit)
        return;
    if (isOurs(record.Edit->OnChange, m_self))
        record.Edit->OnChange = record.SavedChange;
    if (isOurs(record.Edit->OnExit, m_self))
        record.Edit->OnExit = record.SavedExit;
}

_EditConstraint_s *KvEditConstraint::Find(const TObject *control) const
{
    return FindEditConstraint(&m_records, control);
}

_EditConstraint_s *FindEditConstraint(const std::vector<std::unique_ptr<_EditConstraint_s>> *records,
                                      const TObject *control)
{
    if (!records || !control)
        return nullptr;
    for (const auto &record : *records) {
        if (record->Edit == control)
            return record.get();
    }
    return nullptr;
}

void KvEditConstraint::Add(const AnsiString &format, const std::vector<TEdit *> &edits)
{
    std::vector<AnsiString> pieces = KvSplitEditFormat(format);
    // Every piece needs its edit; refuse before registering anything.
    if (pieces.size() > edits.size())
        KvCommonRaise(KvCommonBadEditFormat);
    for (std::size_t k = 0; k < pieces.size(); ++k)
        ParseFormat(pieces[k], edits[k]);
}

void KvEditConstraint::ParseFormat(const AnsiString &pattern, TEdit *edit)
{
    KvEditFormat format = KvParseEditFormat(pattern);
    if (!edit)
        KvCommonRaise(KvCommonBadEditFormat);
    // A second registration of the same edit replaces the first.
    Remove(edit);

    auto record = std::make_unique<_EditConstraint_s>();
    record->Edit = edit;
    record->Format = format;
    // The restore point starts as the text the edit holds now, never an invented one.
    record->LastText = edit->Text();
    record->SavedChange = edit->OnChange;
    record->SavedExit = edit->OnExit;
    record->EditWidget = edit->Widget();
    if (format.Width > 0)
        edit->SetWidth(format.Width);
    if (format.Kind != 'n')
        edit->SetMaxLength(format.Length);
    edit->OnChange = ConstraintHandler{m_self, false};
    edit->OnExit = ConstraintHandler{m_self, true};
    m_records.push_back(std::move(record));
}

void KvEditConstraint::Remove(TEdit *edit)
{
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        if ((*it)->Edit == edit) {
            restoreHandlers(**it);
            m_records.erase(it);
            return;
        }
    }
}

void KvEditConstraint::StoreText(TEdit *edit)
{
    if (_EditConstraint_s *record = Find(edit))
        record->LastText = edit->Text();
}

void KvEditConstraint::postFocusNext(TEdit *edit)
{
    TForm *form = m_owner ? m_owner : edit->ParentForm();
    if (form)
        form->PostFocusNext();
}

_EditConstraint_s *KvEditConstraint::eventRecord(TObject *sender, TEdit *&edit, AnsiString &text) const
{
    edit = dynamic_cast<TEdit *>(sender);
    if (!edit)
        return nullptr;
    text = edit->Text();
    // A placeholder is not the user's text: nothing to check or filter.
    if (isPlaceholderText(text))
        return nullptr;
    return Find(edit);
}

void KvEditConstraint::EditChange(TObject *sender)
{
    TEdit *edit = nullptr;
    AnsiString text;
    _EditConstraint_s *record = eventRecord(sender, edit, text);
    if (!record || text.empty())
        return;
    const std::size_t length = text.size();
    const KvEditFormat &format = record->Format;

    if (format.ExitChar != 0) {
        auto at = text.find(format.ExitChar);
        if (at != AnsiString::npos) {
            text.erase(at, 1);
            edit->SetText(text);
            postFocusNext(edit);
            return;
        }
    }

    AnsiString kept = KvFilterEditText(format, text);
    if (kept != text) {
        // Every refused character goes in one pass, with one beep; the cursor stays after
        // what was kept before it.
        int cursor = edit->SelStart();
        std::size_t before = cursor > 0 ? static_cast<std::size_t>(cursor) : 0;
        std::size_t keptBefore = KvFilterEditText(format, std::string_view(text).substr(0, before)).size();
        edit->SetText(kept);
        edit->SetSelStart(static_cast<int>(keptBefore));
        kv::Beep(1000, 200);
        return;
    }

    if (record->SavedChange) {
        TNotifyEvent saved = record->SavedChange;
        saved(edit);
        if (edit->Tag == -1)
            return;
        // The saved handler may have removed the edit from this manager.
        record = Find(edit);
        if (!record)
            return;
    }
    if ((record->Format.Flags & kefAutoAdvance) && record->Format.Length > 0 &&
        length == static_cast<std::size_t>(record->Format.Length))
        postFocusNext(edit);
}

void KvEditConstraint::fail(_EditConstraint_s &record, const AnsiString &message)
{
    TEdit *edit = record.Edit;
    QWidget *parent = m_owner ? m_owner->Widget() : nullptr;
    kv::MessageBoxService::instance().show(message, programName(), MB_OK, parent);
    // The box may have run other handlers; look the record up again.
    _EditConstraint_s *again = Find(edit);
    if (!again)
        return;
    edit->SetText(again->LastText);
    edit->SetFocus();
}

void KvEditConstraint::EditExit(TObject *sender)
{
    TEdit *edit = nullptr;
    AnsiString text;
    _EditConstraint_s *record = eventRecord(sender, edit, text);
    if (!record)
        return;
    AnsiString message;
    int entry = KvCheckEditText(record->Format, text, message);
    if (entry != 0) {
        fail(*record, message);
        return;
    }
    // An allowed empty text is left as it is, without the form's handler.
    if (text.empty())
        return;
    if (record->SavedExit) {
        TNotifyEvent saved = record->SavedExit;
        saved(edit);
        record = Find(edit);
        if (!record)
            return;
        if (edit->Tag == -1) {
            edit->SetText(record->LastText);
            return;
        }
    }
    if (m_storeFlag)
        record->LastText = edit->Text();
}
