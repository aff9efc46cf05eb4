#include "Exception.h"
#include "Forms.h"
#include "KvEditConstraint.h"
#include "MessageBoxService.h"
#include "StdCtrls.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class EditConstraintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box().reset();
        m_form = std::make_unique<TForm>(nullptr);
        m_edit = new TEdit(m_form.get());
        m_edit->SetParent(m_form.get());
        m_next = new TEdit(m_form.get());
        m_next->SetParent(m_form.get());
        m_next->SetTop(40);
        m_constraints = std::make_unique<KvEditConstraint>(m_form.get(), true);
    }
    void TearDown() override
    {
        m_constraints.reset();
        m_form.reset();
        box().reset();
    }

    static kv::MessageBoxService &box() { return kv::MessageBoxService::instance(); }

    // The user leaves the edit (what the focus machinery does).
    void leave(TEdit *edit)
    {
        if (edit->OnExit)
            edit->OnExit(edit);
    }

    // Types the characters one by one, each as its own change of the text.
    void type(TEdit *edit, const std::string &keys)
    {
        for (char c : keys)
            edit->SetText(edit->Text() + c);
    }

    // Posted focus moves run from the event loop.
    int focusMovesAfterEvents()
    {
        kv::processMessages();
        return box().focusNextCount();
    }

    std::unique_ptr<TForm> m_form;
    TEdit *m_edit = nullptr;
    TEdit *m_next = nullptr;
    std::unique_ptr<KvEditConstraint> m_constraints;
};

TEST_F(EditConstraintTest, TypedLetterInNumberRemovedWithOneBeep)
{
    m_constraints->Add("%u{n1x65535}", {m_edit});
    type(m_edit, "12a");
    EXPECT_EQ(m_edit->Text(), "12");
    EXPECT_EQ(box().beepCount(), 1);
}

TEST_F(EditConstraintTest, RealKeystrokesAreFiltered)
{
    m_constraints->Add("%u{n1x65535}", {m_edit});
    m_form->Show();
    QTest::keyClicks(m_edit->Widget(), "1x2");
    EXPECT_EQ(m_edit->Text(), "12");
    EXPECT_EQ(box().beepCount(), 1);
}

TEST_F(EditConstraintTest, ManyDisallowedCharactersGoInOnePassWithOneBeep)
{
    m_constraints->Add("%h", {m_edit});
    m_edit->SetText("0g1h2Z3");
    EXPECT_EQ(m_edit->Text(), "0123");
    EXPECT_EQ(box().beepCount(), 1);
}

TEST_F(EditConstraintTest, OutOfRangeOnExitShowsMessageAndRestores)
{
    m_constraints->Add("%u{n1x65535}", {m_edit});
    m_edit->SetText("161");
    m_constraints->StoreText(m_edit); // a read showed 161
    m_edit->SetText("0");
    leave(m_edit);
    ASSERT_EQ(box().calls().size(), 1u);
    EXPECT_EQ(box().lastCall()->text, "(KvCommon) Please enter a number between 1 and 65535!");
    EXPECT_EQ(box().lastCall()->flags, unsigned(MB_OK));
    EXPECT_FALSE(box().lastCall()->caption.empty());
    EXPECT_EQ(m_edit->Text(), "161");
}

TEST_F(EditConstraintTest, FailedExitKeepsTheFocus)
{
    m_constraints->Add("%u{n1x65535}", {m_edit});
    m_form->Show();
    QApplication::setActiveWindow(m_form->Widget());
    m_edit->SetFocus();
    kv::processMessages();
    m_edit->SetText("0");
    m_next->SetFocus();
    kv::processMessages();
    EXPECT_EQ(box().calls().size(), 1u);
    EXPECT_TRUE(m_edit->Focused());
    EXPECT_EQ(m_edit->Text(), "");
}

TEST_F(EditConstraintTest, ExitChecksTable)
{
    const struct {
        const char *pattern, *text, *message; // message empty: passes
    } cases[] = {
        {"%u", "99999999999", "(KvCommon) Please enter a number between 0 and 4294967295!"},
        {"%u", "4294967295", ""},
        {"%s{l8f}", "abc", "(KvCommon) Please enter a string whose length is 8!"},
        {"%s{l8}", "abc", ""},
        {"%s{l0n}", "", "(KvCommon) Empty value is not allowed!"},
        {"%s", "", ""},
        {"%n.{l4f}", "1.2.3",
         "(KvCommon) Please enter a delimited number string with delimiter '.'.\nHere,the count of the "
         "number is "
         "equal to 4!"},
        {"%n.", "1.4294967296",
         "(KvCommon) Please enter a delimited number string with delimiter '.'.\nHere,each number is between "
         "0 and "
         "4294967295!"},
        {"%i", "-", "(KvCommon) Please enter a number between -2147483648 and 2147483647!"},
        {"%u{n1l3}", "100", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.text);
        box().reset();
        TEdit edit(m_form.get());
        KvEditConstraint constraints(m_form.get(), true);
        constraints.Add(c.pattern, {&edit});
        edit.SetText(c.text);
        leave(&edit);
        if (*c.message) {
            ASSERT_EQ(box().calls().size(), 1u);
            EXPECT_EQ(box().lastCall()->text, c.message);
        } else {
            EXPECT_TRUE(box().calls().empty());
        }
    }
}

TEST_F(EditConstraintTest, LengthOptionSetsMaxLengthExceptForNumberLists)
{
    m_constraints->Add("%s{l8}", {m_edit});
    EXPECT_EQ(m_edit->MaxLength(), 8);
    m_constraints->Add("%n.{l4}", {m_next});
    EXPECT_EQ(m_next->MaxLength(), 0);
    TEdit wide(m_form.get());
    m_constraints->Add("%s{w123}", {&wide});
    EXPECT_EQ(wide.Width(), 123);
}

TEST_F(EditConstraintTest, HexAndTextFilters)
{
    m_constraints->Add("%h%s", {m_edit, m_next});
    type(m_edit, "0ag");
    EXPECT_EQ(m_edit->Text(), "0a");
    type(m_next, "g h!");
    EXPECT_EQ(m_next->Text(), "g h!");
    EXPECT_EQ(box().beepCount(), 1);
}

TEST_F(EditConstraintTest, AutoAdvanceAtLengthUnlessTagRejects)
{
    int saved = 0;
    m_edit->OnChange = [&](TObject *) { ++saved; };
    m_constraints->Add("%s{l3a}", {m_edit});
    type(m_edit, "ab");
    EXPECT_EQ(focusMovesAfterEvents(), 0);
    type(m_edit, "c");
    EXPECT_EQ(focusMovesAfterEvents(), 1);
    EXPECT_EQ(saved, 3);

    m_edit->SetText("");
    m_edit->OnChange = [&](TObject *s) { static_cast<TEdit *>(s)->Tag = -1; };
    m_constraints->Remove(m_edit);
    m_constraints->Add("%s{l3a}", {m_edit});
    type(m_edit, "xyz");
    EXPECT_EQ(focusMovesAfterEvents(), 1);
}

TEST_F(EditConstraintTest, ExitCharacterIsRemovedAndMovesOn)
{
    m_constraints->Add("%u{e.}", {m_edit});
    type(m_edit, "12.");
    EXPECT_EQ(m_edit->Text(), "12");
    EXPECT_EQ(focusMovesAfterEvents(), 1);
    EXPECT_EQ(box().beepCount(), 0);
}

TEST_F(EditConstraintTest, EmptyAllowedTextSkipsSavedExitHandler)
{
    int exits = 0;
    m_edit->OnExit = [&](TObject *) { ++exits; };
    m_constraints->Add("%s", {m_edit});
    leave(m_edit);
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(box().calls().empty());
    m_edit->SetText("x");
    leave(m_edit);
    EXPECT_EQ(exits, 1);
}

TEST_F(EditConstraintTest, DottedNumbers)
{
    m_constraints->Add("%n.", {m_edit});
    type(m_edit, ".");
    EXPECT_EQ(m_edit->Text(), "");
    type(m_edit, "1..2");
    EXPECT_EQ(m_edit->Text(), "1.2");
    EXPECT_EQ(box().beepCount(), 2);
}

TEST_F(EditConstraintTest, PlaceholderTextsAreNeverExamined)
{
    int changes = 0;
    m_edit->OnChange = [&](TObject *) { ++changes; };
    m_constraints->Add("%u{n1x65535l3n}", {m_edit});
    for (const char *text : {"(NULL)", "(NOTDONE)"}) {
        m_edit->SetText(text);
        EXPECT_EQ(m_edit->Text(), text);
        leave(m_edit);
    }
    EXPECT_EQ(box().beepCount(), 0);
    EXPECT_TRUE(box().calls().empty());
    EXPECT_EQ(changes, 0);
}

TEST_F(EditConstraintTest, BadFormatsRaiseMinusTwo)
{
    for (const char *pattern : {"%q", "%u.", "%s{z}", "%s{l8", "%u{l3n1}"}) {
        try {
            m_constraints->Add(pattern, {m_edit});
            ADD_FAILURE() << pattern << " accepted";
        } catch (const Exception &e) {
            EXPECT_EQ(e.HelpContext, -2) << pattern;
        }
    }
    EXPECT_TRUE(m_constraints->Records().empty());
}

TEST_F(EditConstraintTest, FormatErrorKeepsEarlierPieces)
{
    TEdit third(m_form.get());
    EXPECT_THROW(m_constraints->Add("%u%q%s", {m_edit, m_next, &third}), Exception);
    ASSERT_EQ(m_constraints->Records().size(), 1u);
    EXPECT_EQ(m_constraints->Records()[0]->Edit, m_edit);
}

TEST_F(EditConstraintTest, MorePiecesThanEditsIsRefused)
{
    try {
        m_constraints->Add("%u%u", {m_edit});
        ADD_FAILURE() << "accepted";
    } catch (const Exception &e) {
        EXPECT_EQ(e.HelpContext, -2);
    }
    EXPECT_TRUE(m_constraints->Records().empty());
    EXPECT_FALSE(m_edit->OnChange);
}

TEST_F(EditConstraintTest, RestorePointIsWhatWasShownNotAnInventedEmptyText)
{
    m_edit->SetText("design");
    m_constraints->Add("%u{n1x10}", {m_edit});
    m_edit->SetText("");
    m_edit->SetText("99");
    leave(m_edit);
    EXPECT_EQ(m_edit->Text(), "");
    // Before any read the registration text was there; after a read, the read value.
    m_edit->SetText("5");
    m_constraints->StoreText(m_edit);
    m_edit->SetText("99");
    leave(m_edit);
    EXPECT_EQ(m_edit->Text(), "5");
    // A passing exit becomes the new restore point.
    m_edit->SetText("7");
    leave(m_edit);
    m_edit->SetText("0");
    leave(m_edit);
    EXPECT_EQ(m_edit->Text(), "7");
}

TEST_F(EditConstraintTest, RegistrationKeepsTheCurrentTextAsRestorePoint)
{
    m_edit->SetText("42");
    m_constraints->Add("%u{n1x100}", {m_edit});
    m_edit->SetText("500");
    leave(m_edit);
    EXPECT_EQ(m_edit->Text(), "42");
}

TEST_F(EditConstraintTest, WithoutStoreFlagOnlyStoreTextMoves)
{
    KvEditConstraint constraints(m_form.get(), false);
    constraints.Add("%u{n1x10}", {m_next});
    m_next->SetText("3");
    leave(m_next); // passes, but is no restore point without the store flag
    m_next->SetText("11");
    leave(m_next);
    EXPECT_EQ(m_next->Text(), "");
    m_next->SetText("4");
    constraints.StoreText(m_next);
    m_next->SetText("11");
    leave(m_next);
    EXPECT_EQ(m_next->Text(), "4");
}

TEST_F(EditConstraintTest, ExitHandlerTagRejectsTheText)
{
    m_edit->SetText("5");
    m_edit->OnExit = [](TObject *s) { static_cast<TEdit *>(s)->Tag = -1; };
    m_constraints->Add("%u", {m_edit});
    m_edit->SetText("8");
    leave(m_edit);
    EXPECT_EQ(m_edit->Text(), "5");
    EXPECT_TRUE(box().calls().empty());
}

TEST_F(EditConstraintTest, SavedChangeHandlerRunsOnceForAFilteredChange)
{
    std::vector<std::string> seen;
    m_edit->OnChange = [&](TObject *s) { seen.push_back(static_cast<TEdit *>(s)->Text()); };
    m_constraints->Add("%u", {m_edit});
    m_edit->SetText("1a");
    EXPECT_EQ(seen, (std::vector<std::string>{"1"}));
}

TEST_F(EditConstraintTest, RemoveAndDestructionGiveHandlersBack)
{
    int changes = 0, exits = 0;
    m_edit->OnChange = [&](TObject *) { ++changes; };
    m_edit->OnExit = [&](TObject *) { ++exits; };
    m_next->OnChange = [&](TObject *) { changes += 10; };
    m_constraints->Add("%u%u", {m_edit, m_next});
    m_constraints->Remove(m_edit);
    m_constraints->Remove(m_edit); // unknown now: nothing
    m_edit->SetText("abc");        // no filter any more
    EXPECT_EQ(m_edit->Text(), "abc");
    EXPECT_EQ(changes, 1);
    m_constraints.reset();
    m_next->SetText("xyz");
    EXPECT_EQ(m_next->Text(), "xyz");
    EXPECT_EQ(changes, 11);
    leave(m_edit);
    EXPECT_EQ(exits, 1);
}

TEST_F(EditConstraintTest, EditsDestroyedBeforeTheManagerAreSkipped)
{
    auto *edit = new TEdit(m_form.get());
    m_constraints->Add("%u", {edit});
    delete edit;
    m_constraints.reset(); // must not touch the deleted edit
    SUCCEED();
}

TEST_F(EditConstraintTest, WrappedHandlerOutlivingTheManagerIsHarmless)
{
    m_constraints->Add("%u", {m_edit});
    TNotifyEvent ours = m_edit->OnChange;
    m_edit->OnChange = [ours](TObject *s) { ours(s); };
    m_constraints.reset();
    m_edit->SetText("abc"); // the manager is gone: no filtering, no crash
    EXPECT_EQ(m_edit->Text(), "abc");
}

TEST_F(EditConstraintTest, FindEditConstraint)
{
    EXPECT_EQ(FindEditConstraint(nullptr, m_edit), nullptr);
    m_constraints->Add("%s", {m_edit});
    EXPECT_EQ(FindEditConstraint(&m_constraints->Records(), m_next), nullptr);
    ASSERT_NE(FindEditConstraint(&m_constraints->Records(), m_edit), nullptr);
    EXPECT_EQ(FindEditConstraint(&m_constraints->Records(), m_edit)->Format.Kind, 's');
    m_constraints->SetOwner(nullptr);
    EXPECT_EQ(m_constraints->Owner(), nullptr);
}

} // namespace
