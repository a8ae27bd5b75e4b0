// The prompt for a new set's name.
#include "FrmName.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "CriteriaTestSupport.h"
#include "OwnerEnabler.h"
#include "TestHarness.h"

using namespace CriteriaTest;

namespace {

struct PromptCase {
    const char* what;
    QString typed;
    const char* title;  // the refusal's title; null when accepted
    QString message;
    QString boxAfter;
};

TEST(FrmName, Select) {
    const RulesScope rules({Set("weekly", {}), Set("Daily", {})});
    const PromptCase cases[] = {
        {"empty", "", "Invalid Set Name", "A name must be provided for the new set of criteria", ""},
        {"trimmed and accepted", "  Weekly report  ", nullptr, "", "Weekly report"},
        {"duplicate whatever the case", "WEEKLY", "Duplicate Set Name",
         "Another set of criteria is already named as 'WEEKLY'", "WEEKLY"},
        {"duplicate once trimmed", "  daily ", "Duplicate Set Name",
         "Another set of criteria is already named as 'daily'", "daily"},
        {"blanks only pass, emptied", "   ", nullptr, "", ""},
        {"field separator", "a|b", "Invalid Set Name", "A set name cannot contain '|', ';' or a line break", "a|b"},
        {"piece separator", "a;b", "Invalid Set Name", "A set name cannot contain '|', ';' or a line break", "a;b"},
        {"line break", "a\nb", "Invalid Set Name", "A set name cannot contain '|', ';' or a line break", "a\nb"},
    };
    for (const PromptCase& c : cases) {
        SCOPED_TRACE(c.what);
        QWidget owner;
        new QLineEdit(&owner);
        FrmName prompt;
        prompt.OwnerForm = &owner;
        prompt.Initialize();
        EXPECT_FALSE(OwnerEnabler::IsEnabled(&owner));
        prompt.show();
        prompt.TxtName->setText(c.typed);
        const qsizetype asked = TestHarness::AskedMessages().size();
        if (c.title) TestHarness::AnswerMessages({MsgBoxButton::Ok});
        prompt.ComSelect->click();
        EXPECT_EQ(prompt.isVisible(), c.title != nullptr);
        EXPECT_FALSE(prompt.Cancel);
        EXPECT_EQ(prompt.TxtName->text(), c.boxAfter);
        if (c.title) {
            ASSERT_EQ(TestHarness::AskedMessages().size(), asked + 1);
            const MsgBoxRequest& r = TestHarness::AskedMessages().last();
            EXPECT_EQ(r.Title, QString::fromLatin1(c.title));
            EXPECT_EQ(r.message, c.message);
            EXPECT_EQ(r.IconNb, MsgBoxIcon::Error);
            EXPECT_TRUE(r.ShowOk);
            EXPECT_FALSE(r.ShowYes || r.ShowNo || r.ShowCancel);
        } else {
            EXPECT_EQ(TestHarness::AskedMessages().size(), asked);
        }
        prompt.Unload();
        EXPECT_TRUE(prompt.Cancel);
        EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
    }
}

TEST(FrmName, ClosedWithoutSelect) {
    QWidget owner;
    new QLineEdit(&owner);
    FrmName prompt;
    prompt.OwnerForm = &owner;
    prompt.Initialize();
    prompt.show();
    prompt.TxtName->setText(QStringLiteral("New"));
    QTest::keyClick(prompt.TxtName, Qt::Key_Escape);
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_TRUE(prompt.Cancel);
    EXPECT_TRUE(OwnerEnabler::IsEnabled(&owner));
}

}  // namespace
