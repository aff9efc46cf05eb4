// Associations of items with real controls of the GUI layer: showing and taking values.
#include "BindingSupport.h"
#include "ExtCtrls.h"
#include "KvOptionList.h"
#include "KvSNMPErrors.h"
#include "StdCtrls.h"

using namespace bindtest;

namespace {

const KvOptionPair kThree[] = {{0, "Off"}, {1, "On"}, {2, "Auto"}, {}};
const KvOptionPair kOne[] = {{0, "Only"}, {}};
const KvOptionPair kPrefix[] = {{"1.3.6.1", "abc"}, {"1.3.9", "xyz"}, {}};

class BindingEdits : public BindingTest {
protected:
    void SetUp() override
    {
        BindingTest::SetUp();
        enginetest::ensureGlobalSession();
        binding = std::make_unique<KvSNMPRequest2Edits>(form);
    }
    void TearDown() override
    {
        binding.reset();
        BindingTest::TearDown();
    }
    // One readwrite scalar of that syntax (and option list) as item 0.
    void useItem(int syntax, KvOptionList *options = nullptr, const std::string &value = {})
    {
        binding->Request.VarList = makeList(
            {{"1.3.6.1.4.1.32473.11.37.4.97.9", "Item", syntax, KvAccess::ReadWrite, options, value}}, SVT_SV,
            0);
    }
    KvSNMPItem &item() { return *binding->Request.VarList.GetItem(0); }
    std::vector<TEdit *> edits(int n)
    {
        std::vector<TEdit *> out;
        for (int i = 0; i < n; ++i) {
            out.push_back(new TEdit(form));
            out.back()->SetParent(form);
        }
        return out;
    }

    static AnsiString formatOf(int n)
    {
        AnsiString format;
        for (int i = 0; i < n; ++i)
            format += "%s";
        return format;
    }

    std::unique_ptr<KvSNMPRequest2Edits> binding;
    KvOptionList three{kThree, okNumber, 0};
};

TEST_F(BindingEdits, CheckBoxWithThreePairList)
{
    useItem(KvSyntax::Integer, &three);
    auto *box = new TCheckBox(form);
    binding->Associate(0, box);
    // The item's text is the display name, as a read leaves it.
    const struct {
        const char *value;
        bool checked;
    } cases[] = {{"Off", false}, {"On", true}, {"Auto", true}, {"7", false}, {"0", false}, {"2", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        box->SetChecked(!c.checked);
        item().Value = c.value;
        binding->ValuesToControls(-1);
        EXPECT_EQ(box->Checked(), c.checked);
    }
    box->SetChecked(true);
    binding->TakeValues();
    EXPECT_EQ(item().Value, "On");
    box->SetChecked(false);
    binding->TakeValues();
    EXPECT_EQ(item().Value, "Off");
}

TEST_F(BindingEdits, CheckBoxWithTooShortListRaises)
{
    KvOptionList one(kOne, okNumber, 0);
    useItem(KvSyntax::Integer, &one, "0");
    auto *box = new TCheckBox(form);
    binding->Associate(0, box);
    box->SetChecked(true);
    expectCode(KvSNMPCode::BadPartialSyntax, [&] { binding->TakeValues(); });
}

TEST_F(BindingEdits, CheckBoxOfOtherSyntaxRaises)
{
    useItem(KvSyntax::Integer, nullptr, "1");
    auto *box = new TCheckBox(form);
    binding->Associate(0, box);
    expectCode(KvSNMPCode::BadPartialSyntax, [&] { binding->ValuesToControls(-1); });
    useItem(KvSyntax::Boolean, nullptr, "true");
    binding->Disassociate(0);
    binding->Associate(0, box);
    binding->ValuesToControls(-1);
    EXPECT_TRUE(box->Checked());
}

TEST_F(BindingEdits, BitListReadsAndKeepsUnnamedBits)
{
    useItem(KvSyntax::OctetStr, nullptr, "8040");
    auto *b0 = new TCheckBox(form);
    auto *b9 = new TCheckBox(form);
    binding->AssociateList(0, "0,9", {b0, b9});
    binding->ValuesToControls(-1);
    EXPECT_TRUE(b0->Checked());
    EXPECT_TRUE(b9->Checked());

    item().Value = "FF";
    expectCode(KvSNMPCode::PartialIndexOutOfRange, [&] { binding->ValuesToControls(-1); });

    // The value last shown was FF: bits 1 to 7 keep it, bit 9 adds a second octet.
    b0->SetChecked(true);
    b9->SetChecked(false);
    binding->TakeValues();
    EXPECT_EQ(item().Value, "FF00");
}

TEST_F(BindingEdits, BitListChangesOnlyItsBits)
{
    useItem(KvSyntax::OctetStr, nullptr, "A055");
    auto *b3 = new TCheckBox(form);
    binding->AssociateList(0, "3", {b3});
    binding->ValuesToControls(-1);
    EXPECT_FALSE(b3->Checked());
    b3->SetChecked(true);
    binding->TakeValues();
    EXPECT_EQ(item().Value, "B055");
    expectCode(KvSNMPCode::NotEnoughControls, [&] { binding->AssociateList(0, "1,2", {b3}); });
}

TEST_F(BindingEdits, SplitEditsLeaveMissingOrShortValues)
{
    struct Case {
        int syntax;
        int count;
        const char *value;
    } cases[] = {
        {KvSyntax::IpAddress, 4, "(NULL)"},
        {KvSyntax::IpAddress, 4, "10.0.0"},
        {KvSyntax::MacAddress, 6, "AABBCC"},
        {KvSyntax::TimeTicks, 5, "(NULL)"},
        {KvSyntax::DateTime, 10, "(NULL)"},
        {KvSyntax::BcDateTime, 7, "(NULL)"},
        // A column that ended before the others in a walk: nothing to split.
        {KvSyntax::BcDateTime, 7, "(NOTDONE)"},
        {KvSyntax::OctetStr, 2, "(NOTDONE)"},
        {KvSyntax::IpAddress, 4, "(NOTDONE)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        useItem(c.syntax, nullptr, c.value);
        binding->Associations.clear();
        auto list = edits(c.count);
        for (auto *e : list)
            e->SetText("keep");
        binding->AssociateEdits(0, formatOf(c.count), list);
        binding->ValuesToControls(-1);
        for (auto *e : list)
            EXPECT_EQ(e->Text(), "keep");
    }
}

TEST_F(BindingEdits, SplitAndJoinByValueSyntax)
{
    struct Case {
        int syntax;
        int count;
        const char *value;
        std::vector<std::string> shown;
    } cases[] = {
        {KvSyntax::IpAddress, 4, "192.168.0.1", {"192", "168", "0", "1"}},
        {KvSyntax::MacAddress, 6, "00A0C9112233", {"00", "A0", "C9", "11", "22", "33"}},
        {KvSyntax::OctetStr, 3, "0A000F", {"0A", "00", "0F"}},
        {KvSyntax::ObjectId, 4, "1.3.6.1", {"1", "3", "6", "1"}},
        {KvSyntax::TimeTicks, 5, "1 day 2:03:04.05", {"1", "2", "3", "4", "5"}},
        {KvSyntax::DateTime,
         10,
         "2024-5-6,7:8:9.1,-2:30",
         {"2024", "5", "6", "7", "8", "9", "1", "-", "2", "30"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        useItem(c.syntax, nullptr, c.value);
        binding->Associations.clear();
        auto list = edits(c.count);
        binding->AssociateEdits(0, formatOf(c.count), list);
        binding->ValuesToControls(-1);
        for (int i = 0; i < c.count; ++i)
            EXPECT_EQ(list[static_cast<std::size_t>(i)]->Text(), c.shown[static_cast<std::size_t>(i)]);
        binding->TakeValues();
        EXPECT_EQ(item().Value, c.value);
    }
}

TEST_F(BindingEdits, JoinOctetEditsAndTimeTicks)
{
    useItem(KvSyntax::OctetStr);
    auto oct = edits(3);
    binding->AssociateEdits(0, "%h%h%h", oct);
    oct[0]->SetText("A");
    oct[1]->SetText("");
    oct[2]->SetText("0F");
    binding->TakeValues();
    EXPECT_EQ(item().Value, "0A000F");

    useItem(KvSyntax::TimeTicks);
    binding->Associations.clear();
    auto ticks = edits(5);
    binding->AssociateEdits(0, "%u%u%u%u%u", ticks);
    for (int i = 0; i < 5; ++i)
        ticks[static_cast<std::size_t>(i)]->SetText(std::to_string(i + 1));
    binding->TakeValues();
    const OctetStr data = KvSNMPRequest2Controls::TextToPartialData(item().Value, KvSyntax::TimeTicks);
    EXPECT_EQ(KvSNMPRequest2Controls::PartialDataToText(data, KvSyntax::UInteger), "9378405");
}

TEST_F(BindingEdits, NotEnoughEditsRaise)
{
    useItem(KvSyntax::IpAddress, nullptr, "10.0.0.1");
    binding->AssociateEdits(0, "%u%u", edits(2));
    expectCode(KvSNMPCode::NotEnoughControls, [&] { binding->ValuesToControls(-1); });
    expectCode(KvSNMPCode::NotEnoughControls, [&] { binding->TakeValues(); });
}

TEST_F(BindingEdits, ShowingRecordsTheRestorePoint)
{
    useItem(KvSyntax::Integer, nullptr, "42");
    auto e = edits(1);
    binding->AssociateEdits(0, "%u{n1x65535}", e);
    binding->ValuesToControls(-1);
    const _EditConstraint_s *record = binding->Constraints->Find(e[0]);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->LastText, "42");
}

TEST_F(BindingEdits, PrefixComboWithSecondControl)
{
    KvOptionList prefix(kPrefix, okPrefix, 0);
    useItem(KvSyntax::ObjectId, &prefix, "1.3.6.1.4");
    auto *combo = new TComboBox(form);
    auto *rest = new TEdit(form);
    expectCode(KvSNMPCode::NotEnoughControls,
               [&] { binding->AddAssociation(0, 0, KvSyntax::ObjectId, nullptr, combo); });
    binding->AddAssociation(0, 0, KvSyntax::ObjectId, nullptr, combo, rest);
    item().Value = prefix.ValueToName("1.3.6.1.4"); // "abc.4", as a read leaves it
    binding->ValuesToControls(-1);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(rest->Text(), "4");
    rest->SetText("7.8");
    binding->TakeValues();
    EXPECT_EQ(prefix.NameToValue(item().Value), "1.3.6.1.7.8");
}

TEST_F(BindingEdits, ChoiceWithoutSelectionKeepsTheValueRead)
{
    useItem(KvSyntax::Integer, &three, "9"); // a value the list does not offer
    auto *combo = new TComboBox(form);
    binding->AssociateCombo(0, combo);
    EXPECT_EQ(combo->Style(), csDropDownList);
    EXPECT_EQ(combo->Items()->Count(), 3);
    binding->ValuesToControls(-1);
    EXPECT_EQ(combo->ItemIndex(), -1);
    binding->TakeValues();
    EXPECT_EQ(item().Value, "9");

    binding->Disassociate(0);
    auto *radio = new TRadioGroup(form);
    binding->AssociateOptions(0, radio, 3);
    EXPECT_EQ(radio->Items()->Count(), 3);
    item().Value = "12";
    binding->ValuesToControls(-1);
    EXPECT_EQ(radio->ItemIndex(), -1);
    binding->TakeValues();
    EXPECT_EQ(item().Value, "12");
    radio->SetItemIndex(2);
    binding->TakeValues();
    EXPECT_EQ(item().Value, "Auto");
}

TEST_F(BindingEdits, ChoiceControlsNeedAnOptionList)
{
    useItem(KvSyntax::Integer, nullptr, "1");
    expectCode(KvSNMPCode::NoOptionList, [&] { binding->AssociateCombo(0, new TComboBox(form)); });
    expectCode(KvSNMPCode::NoOptionList, [&] { binding->AssociateOptions(0, new TRadioGroup(form), 2); });
    expectCode(KvSNMPCode::BadAssociatedItemType, [&] { binding->Associate(5, new TEdit(form)); });
}

TEST_F(BindingEdits, DisassociateRestoresOwnHandlers)
{
    binding->Request.VarList =
        makeList({{"1.3.6.1.4.1.32473.9.1", "A", KvSyntax::Integer, KvAccess::ReadWrite, &three},
                  {"1.3.6.1.4.1.32473.9.2", "B", KvSyntax::Integer, KvAccess::ReadWrite, &three}},
                 SVT_SV, 0);
    auto *c1 = new TComboBox(form);
    auto *c2 = new TComboBox(form);
    auto *c3 = new TComboBox(form);
    int own = 0;
    c1->OnChange = [&](TObject *) { ++own; };
    c2->OnChange = [&](TObject *) { own += 10; };
    binding->AddAssociation(0, 0, KvSyntax::Integer, nullptr, c1);
    binding->AddAssociation(0, 0, KvSyntax::Integer, nullptr, c2);
    binding->AssociateCombo(1, c3);
    ASSERT_EQ(binding->Associations.size(), 3u);
    c1->OnChange(c1);
    EXPECT_EQ(own, 1);
    EXPECT_TRUE(binding->Modified);
    binding->Disassociate(0);
    EXPECT_EQ(binding->Associations.size(), 1u);
    binding->Modified = false;
    c1->OnChange(c1);
    c2->OnChange(c2);
    EXPECT_EQ(own, 12);
    EXPECT_FALSE(binding->Modified);
}

TEST_F(BindingEdits, ModifiedOnlyThroughOwnHandlers)
{
    useItem(KvSyntax::Boolean, nullptr, "false");
    auto e = edits(1);
    auto *plain = new TCheckBox(form);
    binding->AssociateEdits(0, "%s", e);
    binding->Associate(0, plain);
    e[0]->SetText("typed");
    EXPECT_FALSE(binding->Modified);
    plain->Click();
    EXPECT_FALSE(binding->Modified);

    auto *handled = new TCheckBox(form);
    int clicks = 0;
    handled->OnClick = [&](TObject *) { ++clicks; };
    binding->Associate(0, handled);
    handled->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(binding->Modified);
}

TEST_F(BindingEdits, OtherControlClassRaisesOnShowOnly)
{
    useItem(KvSyntax::Integer, nullptr, "5");
    auto *picker = new TDateTimePicker(form);
    binding->Associate(0, picker);
    expectCode(KvSNMPCode::BadControlType, [&] { binding->ValuesToControls(-1); });
    item().Value = "5";
    binding->ControlsToValues(-1);
    EXPECT_EQ(item().Value, "5");
}

TEST_F(BindingEdits, LabelsStaticTextsAndPartsOfValues)
{
    useItem(KvSyntax::OctetStr, nullptr, "00112233");
    auto *label = new TLabel(form);
    auto *stat = new TStaticText(form);
    auto *half = new TEdit(form);
    binding->Associate(0, label);
    binding->Associate(0, stat);
    binding->AddAssociation(0, 2, KvSyntax::UInt16, nullptr, half);
    binding->ValuesToControls(-1);
    EXPECT_EQ(label->Text(), "00112233");
    EXPECT_EQ(stat->Text(), "00112233");
    EXPECT_EQ(half->Text(), "8755");
    // Written in order: the label, the static text, then the part at offset 2.
    half->SetText("258");
    binding->ControlsToValues(-1);
    EXPECT_EQ(item().Value, "00110102");
}

TEST_F(BindingEdits, EnableControlsAndInvalidItems)
{
    useItem(KvSyntax::DisplayStr, nullptr, "abc");
    auto e = edits(1);
    binding->AssociateEdits(0, "%s", e);
    binding->EnableControls(false);
    EXPECT_FALSE(e[0]->Enabled());
    binding->EnableControls(true);
    EXPECT_TRUE(e[0]->Enabled());
    item().Access |= KvAccess::Invalid;
    binding->ValuesToControls(-1);
    EXPECT_EQ(e[0]->Text(), "");
}

TEST_F(BindingEdits, ControlsDestroyedBeforeTheBinding)
{
    useItem(KvSyntax::Integer, &three, "On");
    auto *combo = new TComboBox(form);
    auto *box = new TCheckBox(form);
    binding->AssociateCombo(0, combo);
    binding->Associate(0, box);
    delete combo;
    delete box;
    binding->ValuesToControls(-1);
    binding->TakeValues();
    binding.reset(); // unhooks only what still exists
}

TEST_F(BindingEdits, SplitEditsOfWhichOneIsGone)
{
    useItem(KvSyntax::IpAddress, nullptr, "10.1.2.3");
    auto list = edits(4);
    binding->AssociateEdits(0, formatOf(4), list);
    delete list[2];
    binding->ValuesToControls(-1);
    EXPECT_EQ(list[3]->Text(), "3");
    binding->TakeValues();
    EXPECT_EQ(item().Value, "10.1.0.3");
}

} // namespace
