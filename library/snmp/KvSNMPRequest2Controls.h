#pragma once
// A request bound to one form: Get (device values into the form) and Set (form values into
// the device), synchronously or asynchronously, around a fixed sequence of overridable steps;
// outcomes reach the form through the request's OnResult and the OnGetDone/OnSetDone
// closures, and can be written as a one-line log into a memo, a status bar or a status panel.
// How values reach controls is left to a subclass (KvSNMPRequest2Edits).
#include "AnsiString.h"
#include "KvSNMPRequest.h"
#include "OctetStr.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

class TForm;
class TObject;
class TStrings;
class KvSNMPRequest2Controls;

using KvSNMPDoneEvent = std::function<void(KvSNMPRequest2Controls *Sender, KvSNMPError *Status)>;

// The busy flag of a binding: true while an operation runs or an asynchronous one is
// outstanding. It reads false again once the request was stopped (Alive cleared) and nothing
// of it is outstanding any more, so a form whose binding was stopped can always close.
class KvSNMPBusyFlag {
public:
    operator bool() const;
    KvSNMPBusyFlag(const KvSNMPBusyFlag &) = delete;
    KvSNMPBusyFlag &operator=(const KvSNMPBusyFlag &) = delete;

private:
    friend class KvSNMPRequest2Controls;
    explicit KvSNMPBusyFlag(const KvSNMPRequest2Controls *owner) : m_owner(owner) {}
    const KvSNMPRequest2Controls *m_owner;
};

class KvSNMPRequest2Controls {
public:
    explicit KvSNMPRequest2Controls(TForm *owner);
    virtual ~KvSNMPRequest2Controls();
    KvSNMPRequest2Controls(const KvSNMPRequest2Controls &) = delete;
    KvSNMPRequest2Controls &operator=(const KvSNMPRequest2Controls &) = delete;

    KvSNMPRequest Request;
    KvSNMPDoneEvent OnGetDone;
    KvSNMPDoneEvent OnSetDone;
    uint8_t Mode = 1; // 0 synchronous, 1 asynchronous; other values: Get and Set send nothing
    KvSNMPBusyFlag Busy{this};
    TForm *Owner;
    int RowCount = 0;
    TObject *LogTarget = nullptr; // a TMemo, TStatusBar or TStatusPanel
    int Operation = 0;            // 0 Get, 1 Set: chooses the log format
    bool ReGetAfterSet = true;
    KvSNMPRequest *FilterSource = nullptr; // not owned
    AnsiString FilterCondition;

    void SetStatusBar(TObject *target) { LogTarget = target; }
    void SetLogControl(TObject *target) { LogTarget = target; }

    // Synchronous: the success flag. Asynchronous: true when started or nothing was sent;
    // false when a walk of this table binding is still running (the new one is refused).
    bool Get();
    // False, sending nothing, once the application is ending.
    bool Set(bool reGetAfterSet, bool takeFromControls, AnsiString indexList = AnsiString(),
             TStrings *values = nullptr);

    void ShowRequestLog(AnsiString message);
    AnsiString BuildFilterCondition();

    // Completion closures of the asynchronous Get and Set.
    void GetAsyncDone(KvSNMPError *e);
    void SetAsyncDone(KvSNMPError *e);

    // Value text and data (see KvPartialValue.h); they read no member.
    static OctetStr TextToPartialData(AnsiString text, int syntax);
    static AnsiString PartialDataToText(const OctetStr &data, int syntax);
    static OctetStr GetPartialData(const OctetStr &data, int offset, int syntax);

    // The steps around Get and Set, in this order.
    virtual void DoBeforeGet() {}
    virtual void DoBeforeSet() {}
    virtual void ShowValues() = 0;
    virtual void TakeValues() {}
    virtual void ShowGetResult(const KvSNMPError &e);
    virtual void ShowSetResult(const KvSNMPError &e);
    virtual void DoAfterGet() {}
    virtual void DoAfterSet() {}

    bool IsBusy() const;
    // True while a table walk of this binding runs.
    bool Walking() const { return m_walking; }

protected:
    // Stops every delivery into this binding; the most derived destructor calls it first.
    void Detach();
    bool Detached() const { return m_detached; }
    // Expires when the binding is destroyed (checked after handlers that may delete it).
    std::weak_ptr<int> LifeToken() const { return m_life; }
    // A plain OK box over the owner form, captioned with the application title.
    void ShowMessageBox(const AnsiString &text);

private:
    friend class KvSNMPWaitStatus;
    struct SyncRun;
    void sendOk();
    void startGetAsync(bool first);
    void endAsync();
    void reconcile();
    // Sets the operation and sends the message to the log target, or a box without one.
    void reportResult(const AnsiString &message, int operation);
    void failCompletion(const std::exception &ex, int operation);
    KvSNMPCompletion getClosure();
    KvSNMPCompletion setClosure();

    int m_syncDepth = 0;
    int m_asyncOps = 0;
    bool m_walking = false;
    bool m_detached = false;
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};
