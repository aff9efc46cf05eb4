#pragma once
// Base classes of the GUI layer: objects, owned components and string lists.
//
// Ownership: a component created with an owner (`new TEdit(form)`) belongs to that owner,
// which deletes it in its own destructor (last created first). Deleting a component early
// is allowed at any time; it leaves its owner's list. A component created without owner
// belongs to the caller (hold it in a std::unique_ptr).
//
// Property style: values with side effects are plain methods (`Text()` / `SetText(...)`);
// events and `Tag` are public fields (`edit->OnChange = ...`, `edit->Tag = -1`), so a handler
// can be read, saved, replaced and restored.
#include "AnsiString.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject &) = delete;
    TObject &operator=(const TObject &) = delete;
};

using TNotifyEvent = std::function<void(TObject *Sender)>;

// Shift keys held with a key press (bit set).
enum TShiftStateBits : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;
using TKeyEvent = std::function<void(TObject *Sender, std::uint16_t &Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject *Sender, char &Key)>;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent *AOwner);
    ~TComponent() override;

    TComponent *Owner() const { return m_owner; }
    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent *Components(int i) const;
    const std::string &Name() const { return m_name; }
    void SetName(const std::string &name) { m_name = name; }
    // True once destruction has begun; events are no longer delivered then.
    bool Destroying() const { return m_destroying; }

    int Tag = 0;

protected:
    // Marks this component and everything it owns as being destroyed (no more events).
    void BeginDestroy();
    // Deletes every owned component now (last created first).
    void DestroyComponents();

private:
    void InsertComponent(TComponent *c);
    void RemoveComponent(TComponent *c);

    TComponent *m_owner = nullptr;
    std::vector<TComponent *> m_components;
    std::string m_name;
    bool m_destroying = false;
};

// An ordered list of texts with optional object pointers (the framework's TStrings).
class TStrings : public TObject {
public:
    TStrings() = default;
    ~TStrings() override = default;

    int Count() const { return static_cast<int>(m_items.size()); }
    // Index out of range yields an empty text (reading) or does nothing (writing).
    std::string Strings(int i) const;
    std::string operator[](int i) const { return Strings(i); }
    void SetString(int i, const std::string &s);
    TObject *Objects(int i) const;
    void SetObject(int i, TObject *o);

    int Add(const std::string &s);
    int AddObject(const std::string &s, TObject *o);
    void Insert(int i, const std::string &s);
    void Delete(int i);
    void Clear();
    int IndexOf(const std::string &s) const;
    void Assign(const TStrings &other);
    void AddStrings(const TStrings &other);
    // Lines joined, each ended by a line break; SetText splits at CR/LF.
    std::string Text() const;
    void SetText(const std::string &text);
    // Comma-separated form; items with blanks or commas are quoted.
    std::string CommaText() const;
    void SetCommaText(const std::string &text);

    // Suppresses change notifications until the matching EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    // For the owning control: called after every change.
    std::function<void()> onChanged;

private:
    void Changed();
    struct Entry {
        std::string text;
        TObject *object = nullptr;
    };
    std::vector<Entry> m_items;
    int m_updating = 0;
    bool m_pending = false;
};

class TStringList : public TStrings {};

// Win32 modal results.
enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};
using TModalResult = int;
