#include "FormBinding.h"

#include "ExtCtrls.h"
#include "StdCtrls.h"

#include <stdexcept>
#include <string>

int32_t WritableItemCount(const KvSNMPVarList &list)
{
    int32_t count = 0;
    for (int32_t i = 0; i < list.Count(); ++i)
        if (!(list.IsTable() && i < list.KeyCount) && list.IsSetItem(i))
            ++count;
    return count;
}

void ClearBoundControls(KvSNMPRequest2Edits &binding)
{
    // By position, and each control looked up again: a control's change handler may change
    // the associations.
    for (std::size_t i = 0; i < binding.Associations.size(); ++i) {
        for (std::size_t k = 0;
             i < binding.Associations.size() && k < binding.Associations[i]->Controls.size(); ++k) {
            KvSNMPAssociation &a = *binding.Associations[i];
            TControl *control = a.Controls[k];
            if (!control || k >= a.Widgets.size() || a.Widgets[k].isNull())
                continue;
            if (auto *combo = dynamic_cast<TComboBox *>(control)) {
                combo->SetItemIndex(-1);
            } else if (auto *box = dynamic_cast<TCheckBox *>(control)) {
                // Neither on nor off: unread is not "disabled".
                box->SetNeither();
            } else if (auto *group = dynamic_cast<TRadioGroup *>(control)) {
                group->SetItemIndex(-1);
            } else if (auto *radio = dynamic_cast<TRadioButton *>(control)) {
                radio->SetChecked(false);
            } else {
                control->SetText("");
                // A refused entry goes back to what the read left: nothing.
                if (auto *edit = dynamic_cast<TEdit *>(control); edit && binding.Constraints)
                    binding.Constraints->StoreText(edit);
            }
        }
    }
}

WriteResult WriteGroup(KvSNMPRequest2Controls &binding, bool wasRead, bool reGetAfterSet,
                       bool takeFromControls)
{
    // A failed read must not come back as "off", an empty password or a blank server.
    if (!wasRead)
        return WriteResult::Unread;
    if (WritableItemCount(binding.Request.VarList) == 0)
        return WriteResult::Empty;
    const bool ok = binding.Set(reGetAfterSet, takeFromControls);
    if (!ok)
        return WriteResult::Failed;
    return binding.Mode == 0 ? WriteResult::Written : WriteResult::Started;
}

AnsiString FirstReadFailure(std::initializer_list<const ReadOutcome *> groups)
{
    for (const ReadOutcome *g : groups)
        if (g != nullptr && g->LastRead() == ReadState::Failed)
            return g->ReadFailure();
    return AnsiString();
}

std::vector<AnsiString> UnreadLabels(std::initializer_list<const ReadOutcome *> groups)
{
    std::vector<AnsiString> labels;
    for (const ReadOutcome *g : groups)
        if (g != nullptr && g->LastRead() == ReadState::Failed)
            labels.push_back(g->Label());
    return labels;
}

FormBinding *UnlessLacking(const std::unique_ptr<FormBinding> &group, bool supported)
{
    if (!group || (!supported && group->LastRead() == ReadState::Failed && !group->FailedUnanswered()))
        return nullptr;
    return group.get();
}

void ConfigureBinding(KvSNMPRequest2Controls &binding, const BindingSetup &setup)
{
    binding.Request.VarList = KvSNMPVarList(setup.Items, setup.Type, setup.KeyCount);
    binding.Mode = static_cast<uint8_t>(setup.Mode);
    if (setup.Timeout > 0)
        binding.Request.Timeout = setup.Timeout;
    binding.OnGetDone = setup.OnGetDone;
    binding.OnSetDone = setup.OnSetDone;
    if (setup.Log == nullptr)
        return;
    binding.SetStatusBar(setup.Log);
    KvSNMPRequest2Controls *b = &binding;
    // Every outcome the request reports itself, failures and successes alike.
    b->Request.OnResult = [b](KvSNMPError *e) {
        if (b->Operation == 1)
            b->ShowSetResult(*e);
        else
            b->ShowGetResult(*e);
    };
    // A failed asynchronous answer reaches only the done handlers.
    auto logFailure = [b](bool set, KvSNMPDoneEvent handler) {
        return [b, set, handler](KvSNMPRequest2Controls *sender, KvSNMPError *e) {
            if (e != nullptr && e->Code != 0) {
                if (set)
                    b->ShowSetResult(*e);
                else
                    b->ShowGetResult(*e);
            }
            if (handler)
                handler(sender, e);
        };
    };
    binding.OnGetDone = logFailure(false, setup.OnGetDone);
    binding.OnSetDone = logFailure(true, setup.OnSetDone);
}

AccessPatch::AccessPatch(KvSNMPRequest2Controls &binding,
                         std::initializer_list<std::pair<int, uint32_t>> flags)
    : AccessPatch(binding, std::vector<std::pair<int, uint32_t>>(flags))
{
}

AccessPatch::AccessPatch(KvSNMPRequest2Controls &binding, const std::vector<std::pair<int, uint32_t>> &flags)
    : m_list(binding.Request.VarList)
{
    // Checked before any change: a constructor that raises leaves nothing to restore.
    for (const auto &patch : flags)
        if (patch.first < 0 || patch.first >= m_list.Count())
            throw std::out_of_range("access patch of item " + std::to_string(patch.first) +
                                    " outside the list");
    for (const auto &[item, access] : flags) {
        m_saved.emplace_back(item, m_list.GetItem(item)->Access);
        m_list.GetItem(item)->Access = access;
    }
}

AccessPatch::~AccessPatch()
{
    // Last patched first, so an item named twice gets its first flags back.
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        if (it->first < m_list.Count())
            m_list.GetItem(it->first)->Access = it->second;
}

// Both kinds are built here once, so a change that breaks either shows at once.
template class TFormBinding<KvSNMPRequest2Edits>;
template class TFormBinding<New_req2Edit>;
