// Associations of items with form controls: showing values and taking them back.
#include "KvSNMPRequest2Edits.h"

#include "DateTime.h"
#include "Exception.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "KvDateTime.h"
#include "KvNumList.h"
#include "KvOptionList.h"
#include "KvPartialValue.h"
#include "KvSNMPErrors.h"
#include "KvSNMPValues.h"
#include "KvValueText.h"
#include "Oid.h"
#include "StdCtrls.h"

#include <cstdio>

using kvsnmp::readDecimal32;

namespace {

// The change handler the binding puts on a hooked control.
struct BindingHook {
    KvSNMPRequest2Edits *binding = nullptr;
    std::weak_ptr<int> life;
    void operator()(TObject *sender) const
    {
        if (!life.expired())
            binding->ControlChanged(sender);
    }
};

bool isOurHook(const TNotifyEvent &event, const KvSNMPRequest2Edits *binding)
{
    const auto *hook = event.target<BindingHook>();
    return hook && hook->binding == binding;
}

bool isBooleanSyntax(int syntax)
{
    return syntax == KvSyntax::Boolean || syntax == KvSyntax::Bool8 || syntax == KvSyntax::Bool16;
}

AnsiString hex2(uint8_t byte)
{
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned>(byte));
    return buffer;
}

// Edits holding hex bytes, concatenated: an empty one counts as "00", one digit gets a "0".
AnsiString hexOf(const std::vector<TControl *> &controls, std::size_t count)
{
    AnsiString text;
    for (std::size_t k = 0; k < count && k < controls.size(); ++k) {
        AnsiString piece = controls[k] ? controls[k]->Text() : AnsiString();
        if (piece.empty())
            piece = "00";
        else if (piece.size() == 1)
            piece = "0" + piece;
        text += piece;
    }
    return text;
}

AnsiString textOf(const TControl *control)
{
    return control ? control->Text() : AnsiString();
}
uint32_t numberOf(const TControl *control)
{
    return readDecimal32(textOf(control));
}

void setText(TControl *control, const AnsiString &text)
{
    if (control)
        control->SetText(text);
}

// The association's controls, with those already destroyed as null (read as empty).
std::vector<TControl *> liveControls(const KvSNMPAssociation &a)
{
    std::vector<TControl *> out(a.Controls.size(), nullptr);
    for (std::size_t k = 0; k < a.Controls.size(); ++k)
        if (k < a.Widgets.size() && !a.Widgets[k].isNull())
            out[k] = a.Controls[k];
    return out;
}

void needControls(const KvSNMPAssociation &a, int count)
{
    if (a.ControlCount < count)
        KvSNMPRaise(KvSNMPCode::NotEnoughControls);
}

} // namespace

KvSNMPRequest2Edits::KvSNMPRequest2Edits(TForm *owner)
    : KvSNMPRequest2Controls(owner), Constraints(std::make_unique<KvEditConstraint>(owner, true))
{
}

KvSNMPRequest2Edits::~KvSNMPRequest2Edits()
{
    // Nothing may reach this binding any more, whatever runs while the request waits.
    Detach();
    for (auto &a : Associations)
        releaseAssociation(*a);
    Associations.clear();
    if (ListView && m_listWidget && IsOurSelectHook(ListView->OnSelectItem))
        ListView->OnSelectItem = SavedSelectItem;
    Constraints.reset();
}

bool KvSNMPRequest2Edits::controlAlive(const KvSNMPAssociation &a, int position) const
{
    const auto k = static_cast<std::size_t>(position);
    return k < a.Controls.size() && a.Controls[k] && k < a.Widgets.size() && !a.Widgets[k].isNull();
}

void KvSNMPRequest2Edits::releaseAssociation(KvSNMPAssociation &a)
{
    for (int k = 0; k < a.ControlCount; ++k) {
        if (!controlAlive(a, k))
            continue;
        if (auto *edit = dynamic_cast<TEdit *>(a.Controls[static_cast<std::size_t>(k)]))
            if (Constraints)
                Constraints->Remove(edit);
        UnhookControlEvent(a, k);
    }
}

// ---- making associations ----------------------------------------------------------------

KvSNMPAssociation *KvSNMPRequest2Edits::AddAssociation(int item, int part, int syntax, KvOptionList *options,
                                                       TControl *first, TControl *second)
{
    std::vector<TControl *> controls{first};
    if (second)
        controls.push_back(second);
    if (item < 0 || item >= Request.VarList.Count())
        KvSNMPRaise(KvSNMPCode::BadAssociatedItemType);
    KvSNMPItem *record = Request.VarList.GetItem(item);
    if (!options && part == 0 && syntax == record->Syntax)
        options = record->Options;
    if (dynamic_cast<TComboBox *>(first) || dynamic_cast<TRadioGroup *>(first)) {
        if (!options)
            KvSNMPRaise(KvSNMPCode::NoOptionList);
        if (auto *combo = dynamic_cast<TComboBox *>(first)) {
            if (options->Kind() == okPrefix && !second)
                KvSNMPRaise(KvSNMPCode::NotEnoughControls);
            options->FillComboItems(combo);
        } else {
            options->FillRadioItems(static_cast<TRadioGroup *>(first));
        }
    }
    return AddAssociations(item, part, syntax, options, controls);
}

KvSNMPAssociation *KvSNMPRequest2Edits::AddAssociations(int item, int part, int syntax, KvOptionList *options,
                                                        const std::vector<TControl *> &controls)
{
    if (item < 0 || item >= Request.VarList.Count())
        KvSNMPRaise(KvSNMPCode::BadAssociatedItemType);
    auto a = std::make_unique<KvSNMPAssociation>();
    a->Item = item;
    a->Part = part;
    a->Syntax = syntax;
    a->Options = options;
    a->ControlCount = static_cast<int>(controls.size());
    a->Controls = controls;
    a->SavedEvents.resize(controls.size());
    for (TControl *c : controls)
        a->Widgets.emplace_back(c ? c->Widget() : nullptr);
    for (int k = 0; k < a->ControlCount; ++k)
        HookControlEvent(*a, k);
    Associations.push_back(std::move(a));
    return Associations.back().get();
}

KvSNMPAssociation *KvSNMPRequest2Edits::AddIndexedAssociations(int item, int part, int syntax,
                                                               KvOptionList *options,
                                                               const AnsiString &indexList,
                                                               const std::vector<TControl *> &controls)
{
    KvNumList<int> indexes;
    indexes.Delimiter = ',';
    indexes.Parse(indexList.c_str());
    const auto n = static_cast<std::size_t>(indexes.Count);
    // Every index needs its control; a shorter list would leave bits without one.
    if (controls.size() < n)
        KvSNMPRaise(KvSNMPCode::NotEnoughControls);
    std::vector<TControl *> used(controls.begin(), controls.begin() + static_cast<std::ptrdiff_t>(n));
    KvSNMPAssociation *a = AddAssociations(item, part, syntax, options, used);
    a->PartIndexes.assign(indexes.Numbers.begin(), indexes.Numbers.end());
    return a;
}

void KvSNMPRequest2Edits::Associate(int item, TControl *control)
{
    if (item < 0 || item >= Request.VarList.Count())
        KvSNMPRaise(KvSNMPCode::BadAssociatedItemType);
    AddAssociation(item, 0, Request.VarList.GetItem(item)->Syntax, nullptr, control);
}

void KvSNMPRequest2Edits::AssociateCombo(int item, TComboBox *combo)
{
    if (combo)
        combo->SetStyle(csDropDownList);
    Associate(item, combo);
}

void KvSNMPRequest2Edits::AssociateOptions(int item, TControl *control, int)
{
    Associate(item, control);
}

void KvSNMPRequest2Edits::AssociateEdits(int item, const AnsiString &format,
                                         const std::vector<TEdit *> &edits)
{
    if (item < 0 || item >= Request.VarList.Count())
        KvSNMPRaise(KvSNMPCode::BadAssociatedItemType);
    std::vector<TEdit *> taken;
    std::size_t next = 0;
    for (std::size_t at = format.find('%'); at != AnsiString::npos && at + 1 < format.size();
         at = format.find('%', at + 2)) {
        const char kind = format[at + 1];
        if (kind == 's' || kind == 'h' || kind == 'i' || kind == 'u' || kind == 'f' || kind == 'n') {
            // A format with more letters than edits takes the edits there are.
            if (next < edits.size())
                taken.push_back(edits[next++]);
        }
    }
    Constraints->Add(format, taken);
    std::vector<TControl *> controls(taken.begin(), taken.end());
    AddAssociations(item, 0, Request.VarList.GetItem(item)->Syntax, nullptr, controls);
}

void KvSNMPRequest2Edits::AssociateList(int item, const AnsiString &indexList,
                                        const std::vector<TControl *> &controls)
{
    if (item < 0 || item >= Request.VarList.Count())
        KvSNMPRaise(KvSNMPCode::BadAssociatedItemType);
    AddIndexedAssociations(item, 0, Request.VarList.GetItem(item)->Syntax, nullptr, indexList, controls);
}

void KvSNMPRequest2Edits::Disassociate(int item)
{
    for (std::size_t i = 0; i < Associations.size();) {
        if (Associations[i]->Item != item) {
            ++i;
            continue;
        }
        releaseAssociation(*Associations[i]);
        Associations.erase(Associations.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void KvSNMPRequest2Edits::SetConstraintOwner(TForm *owner)
{
    Constraints->SetOwner(owner);
}

void KvSNMPRequest2Edits::HookControlEvent(KvSNMPAssociation &a, int position)
{
    const auto k = static_cast<std::size_t>(position);
    a.SavedEvents[k] = nullptr;
    TControl *c = a.Controls[k];
    TNotifyEvent *slot = nullptr;
    if (auto *combo = dynamic_cast<TComboBox *>(c))
        slot = &combo->OnChange;
    else if (dynamic_cast<TRadioGroup *>(c) || dynamic_cast<TCheckBox *>(c))
        slot = &c->OnClick;
    if (!slot)
        return;
    // A control bound twice keeps one hook; the first association holds its own handler.
    if (isOurHook(*slot, this))
        return;
    a.SavedEvents[k] = *slot;
    BindingHook hook;
    hook.binding = this;
    hook.life = LifeToken();
    *slot = hook;
}

void KvSNMPRequest2Edits::UnhookControlEvent(KvSNMPAssociation &a, int position)
{
    const auto k = static_cast<std::size_t>(position);
    if (!controlAlive(a, position))
        return;
    TControl *c = a.Controls[k];
    TNotifyEvent *slot = nullptr;
    if (auto *combo = dynamic_cast<TComboBox *>(c))
        slot = &combo->OnChange;
    else if (dynamic_cast<TRadioGroup *>(c) || dynamic_cast<TCheckBox *>(c))
        slot = &c->OnClick;
    if (slot && isOurHook(*slot, this))
        *slot = a.SavedEvents[k];
}

void KvSNMPRequest2Edits::ControlChanged(TObject *sender)
{
    if (Detached())
        return;
    std::vector<TNotifyEvent> handlers;
    for (auto &a : Associations)
        for (int k = 0; k < a->ControlCount; ++k)
            if (a->Controls[static_cast<std::size_t>(k)] == sender &&
                a->SavedEvents[static_cast<std::size_t>(k)])
                handlers.push_back(a->SavedEvents[static_cast<std::size_t>(k)]);
    std::weak_ptr<int> life = LifeToken();
    for (auto &h : handlers) {
        h(sender);
        if (life.expired())
            return;
        Modified = true;
    }
}

void KvSNMPRequest2Edits::EnableControls(bool enabled)
{
    for (auto &a : Associations)
        for (int k = 0; k < a->ControlCount; ++k)
            if (controlAlive(*a, k))
                a->Controls[static_cast<std::size_t>(k)]->SetEnabled(enabled);
}

// ---- values into controls ---------------------------------------------------------------

void KvSNMPRequest2Edits::ValuesToControls(int item)
{
    // By position: a handler run while showing may add or remove associations.
    for (std::size_t i = 0; i < Associations.size(); ++i) {
        KvSNMPAssociation &a = *Associations[i];
        if (item >= 0 && a.Item != item)
            continue;
        if (a.Item < 0 || a.Item >= Request.VarList.Count())
            continue;
        KvSNMPItem &record = *Request.VarList.GetItem(a.Item);
        if (record.Access & KvAccess::Invalid)
            continue;
        AnsiString text = record.Value;
        if (record.Options)
            text = record.Options->NameToValue(text);
        m_lastShown[a.Item] = text;
        std::weak_ptr<int> life = LifeToken();
        showAssociation(a, record, text);
        if (life.expired())
            return;
        noteInexact(a, record);
    }
}

namespace {
const char kInexactHint[] = "The device holds more than this text shows (a character it cannot show, such "
                            "as a zero byte). It keeps its value unless you change this text.";
} // namespace

void KvSNMPRequest2Edits::noteInexact(KvSNMPAssociation &a, const KvSNMPItem &item)
{
    auto *edit = a.Controls.empty() || !controlAlive(a, 0) ? nullptr : dynamic_cast<TEdit *>(a.Controls[0]);
    const bool whole = a.Part == 0 && a.Syntax == item.Syntax && a.ControlCount == 1;
    // A list view's rows reach the controls without a read: the flag tells of the last row read.
    a.ShowsInexact = edit && whole && item.Inexact && !ListView;
    a.InexactText = a.ShowsInexact ? edit->Text() : AnsiString();
    if (!edit)
        return;
    if (a.ShowsInexact) {
        edit->SetHint(kInexactHint);
        edit->SetShowHint(true);
    } else if (edit->Hint() == kInexactHint) {
        edit->SetHint("");
        edit->SetShowHint(false);
    }
}

bool KvSNMPRequest2Edits::keepsInexact(KvSNMPAssociation &a)
{
    return a.ShowsInexact && controlAlive(a, 0) && a.Controls[0]->Text() == a.InexactText;
}

void KvSNMPRequest2Edits::showAssociation(KvSNMPAssociation &a, KvSNMPItem &record, const AnsiString &rawText)
{
    AnsiString text = rawText;
    const bool whole = a.Part == 0 && a.Syntax == record.Syntax;
    // The data is made only where it is used, so a text that has none (an unfinished
    // date-time value) can still be shown as it is.
    OctetStr raw;
    bool haveRaw = false;
    auto data = [&]() -> const OctetStr & {
        if (!haveRaw) {
            raw = TextToPartialData(rawText, record.Syntax);
            haveRaw = true;
        }
        return raw;
    };
    KvOptionList *options = a.Options;
    if (whole) {
        if (!options)
            options = record.Options;
    } else {
        raw = GetPartialData(data(), a.Part, a.Syntax);
        haveRaw = true;
        text = PartialDataToText(raw, a.Syntax);
    }
    if (options)
        text = options->ValueToName(text);

    TControl *first = a.Controls.empty() ? nullptr : a.Controls[0];
    if (!first || !controlAlive(a, 0))
        return;
    if (dynamic_cast<TLabel *>(first) || dynamic_cast<TStaticText *>(first)) {
        first->SetText(text);
    } else if (auto *box = dynamic_cast<TCheckBox *>(first)) {
        if (!a.PartIndexes.empty()) {
            const OctetStr &bits = data();
            std::weak_ptr<int> life = LifeToken();
            for (std::size_t j = 0; j < a.PartIndexes.size() && j < a.Controls.size(); ++j) {
                const int b = a.PartIndexes[j];
                if (b < 0 || static_cast<std::size_t>(b / 8) >= bits.len())
                    KvSNMPRaise(KvSNMPCode::PartialIndexOutOfRange);
                auto *each = dynamic_cast<TCheckBox *>(a.Controls[j]);
                if (each && controlAlive(a, static_cast<int>(j)))
                    each->SetChecked((bits[static_cast<std::size_t>(b / 8)] & kvpartial::bitMask(b)) != 0);
                if (life.expired())
                    return;
            }
        } else if (options) {
            int index = options->IndexOfName(text);
            if (index < 0)
                index = options->IndexOfValue(text);
            box->SetChecked(index > 0);
        } else if (isBooleanSyntax(a.Syntax)) {
            box->SetChecked(text == "true");
        } else {
            KvSNMPRaise(KvSNMPCode::BadPartialSyntax);
        }
    } else if (auto *combo = dynamic_cast<TComboBox *>(first)) {
        if (!options)
            KvSNMPRaise(KvSNMPCode::NoOptionList);
        options->SelectComboItem(combo, text);
        if (a.ControlCount > 1 && controlAlive(a, 1)) {
            AnsiString rest = text;
            const AnsiString chosen =
                combo->ItemIndex() >= 0 ? combo->Items()->Strings(combo->ItemIndex()) : "";
            rest.erase(0, std::min(rest.size(), chosen.size()));
            if (!rest.empty() && a.Syntax == KvSyntax::ObjectId)
                rest.erase(0, 1);
            a.Controls[1]->SetText(rest);
        }
    } else if (auto *radio = dynamic_cast<TRadioGroup *>(first)) {
        if (!options)
            KvSNMPRaise(KvSNMPCode::NoOptionList);
        options->SelectRadioItem(radio, text);
    } else if (dynamic_cast<TEdit *>(first)) {
        if (a.ControlCount == 1)
            first->SetText(text);
        else if (text != "(NOTDONE)") // an unfinished value has no data: the edits stay
            splitIntoEdits(a, text, whole ? data() : raw);
        // What was shown is what a refused entry goes back to.
        for (int k = 0; k < a.ControlCount; ++k)
            if (controlAlive(a, k))
                if (auto *edit = dynamic_cast<TEdit *>(a.Controls[static_cast<std::size_t>(k)]))
                    Constraints->StoreText(edit);
    } else {
        KvSNMPRaise(KvSNMPCode::BadControlType);
    }
}

void KvSNMPRequest2Edits::splitIntoEdits(KvSNMPAssociation &a, const AnsiString &text, const OctetStr &raw)
{
    const std::vector<TControl *> edits = liveControls(a);
    const std::size_t fixed = kvpartial::partSize(a.Syntax);
    // Data shorter than its syntax needs is shown like a missing value: the edits stay.
    const bool missing = text == "(NULL)" || (fixed > 0 && raw.len() < fixed);
    switch (a.Syntax) {
    case KvSyntax::BitStr:
    case KvSyntax::OctetStr:
    case KvSyntax::Opaque:
        needControls(a, static_cast<int>(raw.len()));
        for (std::size_t i = 0; i < raw.len(); ++i)
            setText(edits[i], hex2(raw[i]));
        break;
    case KvSyntax::ObjectId: {
        std::vector<uint32_t> ids;
        if (!Oid::parse(text, ids))
            ids.clear();
        needControls(a, static_cast<int>(ids.size()));
        for (std::size_t i = 0; i < ids.size(); ++i)
            setText(edits[i], std::to_string(ids[i]));
        break;
    }
    case KvSyntax::IpAddress:
    case KvSyntax::NsapAddr:
        needControls(a, 4);
        if (missing)
            break;
        for (std::size_t i = 0; i < 4; ++i)
            setText(edits[i], std::to_string(raw[i]));
        break;
    case KvSyntax::TimeTicks: {
        needControls(a, 5);
        if (missing)
            break;
        const uint32_t t = static_cast<uint32_t>(raw[0]) | static_cast<uint32_t>(raw[1]) << 8 |
                           static_cast<uint32_t>(raw[2]) << 16 | static_cast<uint32_t>(raw[3]) << 24;
        setText(edits[0], std::to_string(t / 8640000u));
        setText(edits[1], std::to_string((t % 8640000u) / 360000u));
        setText(edits[2], std::to_string((t % 360000u) / 6000u));
        setText(edits[3], std::to_string((t % 6000u) / 100u));
        setText(edits[4], std::to_string(t % 100u));
        break;
    }
    case KvSyntax::DateTime: {
        needControls(a, 10);
        if (missing)
            break;
        KvDateTime dt;
        dt.Parse(text);
        const int fields[] = {dt.Year, dt.Month, dt.Day, dt.Hour, dt.Minutes, dt.Seconds, dt.DeciSeconds};
        for (std::size_t i = 0; i < 7; ++i)
            setText(edits[i], std::to_string(fields[i]));
        setText(edits[7], AnsiString(1, dt.Direction ? dt.Direction : '+'));
        setText(edits[8], std::to_string(dt.UtcHours));
        setText(edits[9], std::to_string(dt.UtcMinutes));
        break;
    }
    case KvSyntax::BcDateTime: {
        needControls(a, 7);
        if (missing)
            break;
        const TDateTime value(kvsnmp::bytesToDouble(raw.data()));
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
        DecodeDate(value, year, month, day);
        DecodeTime(value, hour, minute, second, msec);
        const int fields[] = {year, month, day, hour, minute, second, msec};
        for (std::size_t i = 0; i < 7; ++i)
            setText(edits[i], std::to_string(fields[i]));
        break;
    }
    case KvSyntax::MacAddress:
        needControls(a, 6);
        if (missing)
            break;
        for (std::size_t i = 0; i < edits.size() && i < raw.len(); ++i)
            setText(edits[i], hex2(raw[i]));
        break;
    default:
        setText(edits[0], text);
        break;
    }
}

// ---- controls into values ---------------------------------------------------------------

AnsiString KvSNMPRequest2Edits::joinEdits(KvSNMPAssociation &a)
{
    const std::vector<TControl *> edits = liveControls(a);
    switch (a.Syntax) {
    case KvSyntax::BitStr:
    case KvSyntax::OctetStr:
    case KvSyntax::Opaque:
        return hexOf(edits, edits.size());
    case KvSyntax::ObjectId: {
        AnsiString text;
        for (std::size_t i = 0; i < edits.size(); ++i)
            text += (i ? "." : "") + std::to_string(numberOf(edits[i]));
        return text;
    }
    case KvSyntax::IpAddress:
    case KvSyntax::NsapAddr: {
        needControls(a, 4);
        AnsiString text;
        for (std::size_t i = 0; i < 4; ++i)
            text += (i ? "." : "") + std::to_string(numberOf(edits[i]));
        return text;
    }
    case KvSyntax::TimeTicks: {
        needControls(a, 5);
        const uint32_t t = numberOf(edits[0]) * 8640000u + numberOf(edits[1]) * 360000u +
                           numberOf(edits[2]) * 6000u + numberOf(edits[3]) * 100u + numberOf(edits[4]);
        return kvsnmp::formatTimeTicks(t);
    }
    case KvSyntax::DateTime: {
        needControls(a, 10);
        KvDateTime dt;
        dt.Year = static_cast<uint16_t>(numberOf(edits[0]));
        dt.Month = static_cast<uint8_t>(numberOf(edits[1]));
        dt.Day = static_cast<uint8_t>(numberOf(edits[2]));
        dt.Hour = static_cast<uint8_t>(numberOf(edits[3]));
        dt.Minutes = static_cast<uint8_t>(numberOf(edits[4]));
        dt.Seconds = static_cast<uint8_t>(numberOf(edits[5]));
        dt.DeciSeconds = static_cast<uint8_t>(numberOf(edits[6]));
        const AnsiString direction = textOf(edits[7]);
        dt.Direction = direction.empty() ? '+' : direction[0];
        dt.UtcHours = static_cast<uint8_t>(numberOf(edits[8]));
        dt.UtcMinutes = static_cast<uint8_t>(numberOf(edits[9]));
        return dt.Format();
    }
    case KvSyntax::BcDateTime: {
        needControls(a, 7);
        const double date =
            EncodeDate(static_cast<int>(numberOf(edits[0])), static_cast<int>(numberOf(edits[1])),
                       static_cast<int>(numberOf(edits[2])));
        const double time =
            EncodeTime(static_cast<int>(numberOf(edits[3])), static_cast<int>(numberOf(edits[4])),
                       static_cast<int>(numberOf(edits[5])), static_cast<int>(numberOf(edits[6])));
        return kvsnmp::formatDateTime(date + time);
    }
    case KvSyntax::MacAddress:
        needControls(a, 6);
        return hexOf(edits, 6);
    default:
        return textOf(edits[0]);
    }
}

void KvSNMPRequest2Edits::ControlsToValues(int index)
{
    KvSNMPVarList &list = Request.VarList;
    for (int i = 0; i < list.Count(); ++i) {
        if ((index >= 0 && i != index) || !list.IsSetItem(i))
            continue;
        KvSNMPItem &record = *list.GetItem(i);
        AnsiString text = record.Value;
        if (record.Options)
            text = record.Options->NameToValue(text);
        // An emptied date-time item has no data yet; its controls give it one.
        OctetStr value = record.Syntax == KvSyntax::BcDateTime && text.empty()
                             ? OctetStr()
                             : TextToPartialData(text, record.Syntax);
        const auto last = m_lastShown.find(i);
        bool any = false;
        bool unchanged = true; // every control of the item still shows an inexact value read
        for (std::size_t n = 0; n < Associations.size(); ++n) {
            KvSNMPAssociation &a = *Associations[n];
            if (a.Item != i)
                continue;
            if (!any && record.Syntax == KvSyntax::DisplayStr)
                value.clear();
            any = true;
            unchanged = unchanged && keepsInexact(a);
            const bool whole = a.Part == 0 && a.Syntax == record.Syntax;
            KvOptionList *options = a.Options ? a.Options : (whole ? record.Options : nullptr);
            // The part as the device gave it last (or as the item holds it), for what the
            // controls leave unchanged.
            auto lastPart = [&]() -> OctetStr {
                OctetStr base = value;
                if (last != m_lastShown.end() &&
                    !(record.Syntax == KvSyntax::BcDateTime && last->second.empty()))
                    base = TextToPartialData(last->second, record.Syntax);
                if (a.Part <= 0)
                    return base;
                if (static_cast<std::size_t>(a.Part) >= base.len())
                    return OctetStr();
                return OctetStr(base.data() + a.Part, base.len() - static_cast<std::size_t>(a.Part));
            };
            TControl *first = a.Controls.empty() ? nullptr : a.Controls[0];
            if (!first || !controlAlive(a, 0))
                continue;
            OctetStr part;
            if (dynamic_cast<TLabel *>(first) || dynamic_cast<TStaticText *>(first)) {
                AnsiString t = first->Text();
                if (options)
                    t = options->NameToValue(t);
                part = TextToPartialData(t, a.Syntax);
            } else if (dynamic_cast<TCheckBox *>(first) && !a.PartIndexes.empty()) {
                // Only the named bits change; the others keep the device's value.
                std::vector<uint8_t> bits = lastPart().bytes();
                for (std::size_t j = 0; j < a.PartIndexes.size() && j < a.Controls.size(); ++j) {
                    const int b = a.PartIndexes[j];
                    if (b < 0)
                        continue;
                    const auto at = static_cast<std::size_t>(b / 8);
                    if (bits.size() <= at)
                        bits.resize(at + 1, 0);
                    auto *box = dynamic_cast<TCheckBox *>(a.Controls[j]);
                    const bool checked = box && controlAlive(a, static_cast<int>(j)) && box->Checked();
                    if (checked)
                        bits[at] = static_cast<uint8_t>(bits[at] | kvpartial::bitMask(b));
                    else
                        bits[at] = static_cast<uint8_t>(bits[at] & ~kvpartial::bitMask(b));
                }
                part = OctetStr(std::move(bits));
            } else if (auto *box = dynamic_cast<TCheckBox *>(first)) {
                AnsiString t;
                if (options) {
                    // The box stands for the first two pairs: unchecked, checked.
                    if (options->Count() < 2)
                        KvSNMPRaise(KvSNMPCode::BadPartialSyntax);
                    t = options->NameToValue(options->GetPair(box->Checked() ? 1 : 0)->Name);
                } else if (isBooleanSyntax(a.Syntax)) {
                    t = box->Checked() ? "true" : "false";
                } else {
                    KvSNMPRaise(KvSNMPCode::BadPartialSyntax);
                }
                part = TextToPartialData(t, a.Syntax);
            } else if (dynamic_cast<TComboBox *>(first) || dynamic_cast<TRadioGroup *>(first)) {
                auto *combo = dynamic_cast<TComboBox *>(first);
                auto *radio = dynamic_cast<TRadioGroup *>(first);
                const int chosen = combo ? combo->ItemIndex() : radio->ItemIndex();
                if (chosen < 0) {
                    // No choice (the device's value is not offered): keep the value last read.
                    if (last == m_lastShown.end())
                        continue;
                    OctetStr kept = lastPart();
                    if (!whole) {
                        const std::size_t size = kvpartial::partSize(a.Syntax);
                        if (size > 0 && kept.len() > size)
                            kept = OctetStr(kept.data(), size);
                    }
                    part = kept;
                } else {
                    AnsiString t = combo ? combo->Items()->Strings(chosen) : radio->Items()->Strings(chosen);
                    if (combo && a.ControlCount > 1 && controlAlive(a, 1)) {
                        if (a.Syntax == KvSyntax::ObjectId)
                            t += ".";
                        t += a.Controls[1]->Text();
                    }
                    if (options)
                        t = options->NameToValue(t);
                    part = TextToPartialData(t, a.Syntax);
                }
            } else if (dynamic_cast<TEdit *>(first)) {
                AnsiString t = a.ControlCount == 1 ? first->Text() : joinEdits(a);
                if (options)
                    t = options->NameToValue(t);
                part = TextToPartialData(t, a.Syntax);
            } else {
                continue; // other controls give nothing
            }
            kvpartial::writePart(value, a.Part, part);
        }
        if (!any)
            continue;
        record.Kept = unchanged;
        AnsiString result = PartialDataToText(value, record.Syntax);
        if (record.Options)
            result = record.Options->ValueToName(result);
        record.Value = result;
    }
}

// ---- the steps around Get and Set -------------------------------------------------------

void KvSNMPRequest2Edits::DoBeforeGet()
{
    if (ListView && m_listWidget) {
        SetupListColumns();
        ListView->Items()->Clear();
    }
    if (OnBeforeGet)
        OnBeforeGet();
}

void KvSNMPRequest2Edits::DoBeforeSet()
{
    // Only the controls, when the values are taken from them, keep a value from the write.
    for (int i = 0; i < Request.VarList.Count(); ++i)
        Request.VarList.GetItem(i)->Kept = false;
    if (OnBeforeSet)
        OnBeforeSet();
}

void KvSNMPRequest2Edits::ShowValues()
{
    if (ListView && m_listWidget) {
        AddListRow();
        // The list grows visibly during a long walk, repainted a few times a second.
        kv::processMessagesEvery(ListRepaintInterval(ListView->Items()->Count()));
    } else {
        ValuesToControls(-1);
    }
}

void KvSNMPRequest2Edits::TakeValues()
{
    for (int i = 0; i < Request.VarList.Count(); ++i)
        Request.VarList.GetItem(i)->Value.clear();
    if (ListView && m_listWidget)
        SelectedRowToValues();
    ControlsToValues(-1);
}

void KvSNMPRequest2Edits::DoAfterGet()
{
    Modified = false;
    if (ListView && EnableOnSelect && Request.VarList.Type == MVT_FMV)
        EnableControls(false);
    if (OnAfterGet)
        OnAfterGet();
}

void KvSNMPRequest2Edits::DoAfterSet()
{
    if (OnAfterSet)
        OnAfterSet();
}
