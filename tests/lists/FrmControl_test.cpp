// The special-character picker, opened as the program opens it (modal, the
// owner drawn disabled under it): clicks write a row's token into the box
// that had the owner's focus; Enter and Esc close it.
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "FrmControl.h"
#include "ListTestSupport.h"
#include "ModalShade.h"

namespace {

// One step of a user at the picker.
struct Step {
    enum Kind { Token, Name, Number, Key } kind;
    int value;  // the row, or the Qt key
};

TEST(FrmControl, ClicksAndKeys) {
    struct Case {
        const char* name;
        QString text;             // the box before
        int selStart, selLength;  // the selection (length 0: caret at selStart)
        QList<Step> steps;
        QString expected;  // the box after
        int caret;         // where the caret ends
        bool open;         // the picker still up
    };
    const Case cases[] = {
        {"the name of row 00", "", 0, 0, {{Step::Name, 0}}, "^@", 2, true},
        {"the token of row 09 is two characters", "", 0, 0, {{Step::Token, 9}}, "\\t", 2, true},
        {"rows 01 then 02", "", 0, 0, {{Step::Token, 1}, {Step::Token, 2}}, "^A^B", 4, true},
        {"a selection replaced by row 13", "abcdef", 2, 3, {{Step::Token, 13}}, "ab\\rf", 4, true},
        {"at the caret", "ab", 1, 0, {{Step::Name, 28}}, "a^\\b", 3, true},
        {"Enter closes, inserts nothing", "x", 1, 0, {{Step::Key, Qt::Key_Return}}, "x", 1, false},
        {"Esc closes", "x", 1, 0, {{Step::Key, Qt::Key_Escape}}, "x", 1, false},
        {"a letter does nothing", "x", 1, 0, {{Step::Key, Qt::Key_A}}, "x", 1, true},
        {"a number label does nothing", "x", 1, 0, {{Step::Number, 5}}, "x", 1, true},
        {"closed, a click writes nothing", "", 0, 0, {{Step::Key, Qt::Key_Escape}, {Step::Token, 3}}, "", 0, false},
    };
    ModalShade::Install();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListTest::Owner owner;
        owner.window.show();
        owner.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner.window));
        owner.control->setText(c.text);
        owner.control->setFocus();
        owner.control->setSelection(c.selStart, c.selLength);
        if (c.selLength == 0) owner.control->setCursorPosition(c.selStart);
        bool drawnDisabled = false;
        bool open = false;
        bool ownerKept = false;
        TestHarness::WhenModal<FrmControl>([&](FrmControl* picker) {
            drawnDisabled = !owner.control->isEnabled();
            for (const Step& s : c.steps) {
                switch (s.kind) {
                    case Step::Token: QTest::mouseClick(picker->LabChar[s.value], Qt::LeftButton); break;
                    case Step::Name: QTest::mouseClick(picker->LabCharDesc[s.value], Qt::LeftButton); break;
                    case Step::Number: QTest::mouseClick(picker->Lab[s.value], Qt::LeftButton); break;
                    case Step::Key: QTest::keyClick(picker, static_cast<Qt::Key>(s.value)); break;
                }
            }
            open = picker->isVisible();
            ownerKept = !picker->OwnerForm.isNull();
            if (open) picker->close();
        });
        FrmControl::ShowFor(&owner.window);
        EXPECT_TRUE(drawnDisabled);
        EXPECT_EQ(owner.control->text(), c.expected);
        EXPECT_EQ(owner.control->cursorPosition(), c.caret);
        EXPECT_EQ(open, c.open);
        // Its unload lets the owner go.
        EXPECT_EQ(ownerKept, c.open);
        EXPECT_TRUE(owner.Enabled());
    }
}

TEST(FrmControl, RowsShowTheNotation) {
    FrmControl picker;
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Special characters"));
    for (int code = 0; code < ControlCodeCount; ++code) {
        const QString nn = QStringLiteral("%1").arg(code, 2, 10, QLatin1Char('0'));
        const std::string_view token = ControlCharNotation[code];
        EXPECT_EQ(picker.findChild<QLabel*>(QStringLiteral("Lab") + nn)->text(), QString::number(code));
        EXPECT_EQ(picker.findChild<QLabel*>(QStringLiteral("LabChar") + nn)->text(),
                  QString::fromLatin1(token.data(), static_cast<qsizetype>(token.size())));
        EXPECT_FALSE(picker.findChild<QLabel*>(QStringLiteral("LabCharDesc") + nn)->text().isEmpty());
    }
    EXPECT_EQ(picker.LabCharDesc[0]->text(), QStringLiteral("Null"));
    EXPECT_EQ(picker.LabCharDesc[28]->text(), QStringLiteral("File separator"));
}

TEST(FrmControl, FocusOnAnythingButATextBoxTakesNoToken) {
    ModalShade::Install();
    ListTest::Owner owner;
    auto* other = new QLabel(QStringLiteral("x"), &owner.window);
    other->setFocusPolicy(Qt::StrongFocus);
    owner.window.show();
    other->setFocus();
    bool open = false;
    TestHarness::WhenModal<FrmControl>([&](FrmControl* picker) {
        QTest::mouseClick(picker->LabChar[1], Qt::LeftButton);
        open = picker->isVisible();
        picker->close();
    });
    FrmControl::ShowFor(&owner.window);
    EXPECT_EQ(owner.control->text(), QString());
    EXPECT_TRUE(open);
}

}  // namespace
