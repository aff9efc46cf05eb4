#pragma once
// Input constraints of a form's single-line edits. Each edit is registered with a format
// pattern (see KvEditFormat.h); the manager then takes over the edit's change and
// exit events: a change removes the characters the kind does not allow (with one beep) and
// may move to the next control; leaving the edit checks the whole text and, when it fails,
// shows the message, puts the restore point back and keeps the focus there. The edit's own
// handlers keep working: the manager calls them after its checks. A form's handler setting
// the edit's Tag to -1 suppresses the auto-advance (change) or rejects the text (exit).
#include "AnsiString.h"
#include "Classes.h"
#include "KvEditFormat.h"

#include <QPointer>

#include <initializer_list>
#include <memory>
#include <vector>

class TEdit;
class TForm;
class QWidget;

// One registered edit.
struct _EditConstraint_s {
    TEdit *Edit = nullptr;
    KvEditFormat Format;
    // The restore point: the text last shown by a read (StoreText) or accepted on exit.
    AnsiString LastText;
    TNotifyEvent SavedChange;
    TNotifyEvent SavedExit;
    // Turns null when the edit is destroyed before the manager.
    QPointer<QWidget> EditWidget;
};

class KvEditConstraint {
public:
    KvEditConstraint(TForm *owner, bool storeFlag);
    // Gives every edit still alive its own handlers back.
    ~KvEditConstraint();
    KvEditConstraint(const KvEditConstraint &) = delete;
    KvEditConstraint &operator=(const KvEditConstraint &) = delete;

    // Registers the k-th edit with the k-th piece of format (cut before every "%").
    // Raises code -2 when a piece is bad (edits before it stay registered) or when there
    // are more pieces than edits (nothing is registered then).
    void Add(const AnsiString &format, const std::vector<TEdit *> &edits);
    void Add(const AnsiString &format, std::initializer_list<TEdit *> edits)
    {
        Add(format, std::vector<TEdit *>(edits));
    }
    // Parses one pattern and registers the edit; raises code -2 on a bad one.
    void ParseFormat(const AnsiString &pattern, TEdit *edit);
    // Gives the edit its handlers back and forgets it; unknown edits: nothing.
    void Remove(TEdit *edit);
    // The edit's current text becomes its restore point (bindings call it after showing a
    // value).
    void StoreText(TEdit *edit);
    void SetOwner(TForm *owner) { m_owner = owner; }
    TForm *Owner() const { return m_owner; }
    bool StoreFlag() const { return m_storeFlag; }

    void EditChange(TObject *sender);
    void EditExit(TObject *sender);

    const std::vector<std::unique_ptr<_EditConstraint_s>> &Records() const { return m_records; }
    _EditConstraint_s *Find(const TObject *control) const;

private:
    void restoreHandlers(_EditConstraint_s &record);
    void postFocusNext(TEdit *edit);
    // The edit behind an event, its text and its record; no record for a placeholder.
    _EditConstraint_s *eventRecord(TObject *sender, TEdit *&edit, AnsiString &text) const;
    void fail(_EditConstraint_s &record, const AnsiString &message);

    TForm *m_owner;
    bool m_storeFlag;
    std::vector<std::unique_ptr<_EditConstraint_s>> m_records;
    // Handlers installed on edits stay harmless after the manager is gone.
    std::shared_ptr<KvEditConstraint *> m_self;
};

// First record of that control; null for a null list or no record.
_EditConstraint_s *FindEditConstraint(const std::vector<std::unique_ptr<_EditConstraint_s>> *records,
                                      const TObject *control);
