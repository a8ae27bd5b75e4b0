// The workspace frames' captions, shortened to the frame's width, and the
// controls that need both lists.
#include <cmath>
#include <memory>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "WorkspaceFixture.h"
#include "OrmidYRB100.h"
#include "RichTextBox.h"
#include "TestHarness.h"
#include "TextMeasure.h"
#include "Twips.h"

namespace {

using TestHarness::WriteFile;

class Captions : public WorkspaceTest {
protected:
    // Loads a two-entry list into the slot and names its file as the
    // import would.
    void LoadNamed(int32_t slot, const QString& name) {
        const QString path = WriteFile(name, "a@b.com\r\nc@d.org\r\n");
        ASSERT_EQ(YRB13(slot, QFile::encodeName(path).constData(), 1, "\t", "\r\n"), 2);
        (slot == 1 ? w->LeftListDesc : w->RightListDesc).NameSrc = path;
    }
    // The room the caption leaves for the file name, in pixels.
    int64_t Room(const QGroupBox* frame, const char* measure) const {
        const double twips = std::nearbyint(frame->width() * Twips::kPerPixel -
                                            static_cast<double>(TextMeasure::WidthTwips(w->font(), measure)));
        return static_cast<int64_t>(std::nearbyint(twips / Twips::kPerPixel));
    }
    int64_t Pixels(const QString& text) const {
        return static_cast<int64_t>(
            std::nearbyint(static_cast<double>(TextMeasure::WidthTwips(w->font(), text)) / Twips::kPerPixel));
    }
};

TEST_F(Captions, DesignCaptionsUntilAListIsLoaded) {
    w->resize(w->width() + 40, w->height() + 30);
    w->ResizeListCaptions(true, true);
    EXPECT_EQ(w->FraLeft->title(), " Left List ");
    EXPECT_EQ(w->FraRight->title(), " Right List ");
}

// The name's width against the room the frame leaves: whole, shortened to
// its longest tail that fits beside "... ", or nothing at all.
TEST_F(Captions, NameShortenedToTheFramesWidth) {
    const QString name = QStringLiteral("a rather long list of customers.mal");
    LoadNamed(1, name);
    const int64_t measure = Pixels(QStringLiteral("Left List :1234567"));
    enum Shown { Whole, Tail, Nothing };
    struct Case {
        const char* what;
        int64_t roomForName;  // pixels beside the measure string
        Shown shown;
    } cases[] = {
        {"whole, exactly fitting", Pixels(name), Whole},
        {"whole, with room to spare", Pixels(name) + 200, Whole},
        {"shortened", Pixels(name) / 2, Tail},
        {"nothing fits beside the ellipsis", 2, Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w->FraLeft->setFixedWidth(static_cast<int>(measure + c.roomForName));
        w->ResizeListCaptions(true, false);
        const int64_t room = Room(w->FraLeft, "Left List :1234567");
        const QString title = w->FraLeft->title();
        ASSERT_TRUE(title.startsWith(" Left List : ")) << title.toStdString();
        ASSERT_TRUE(title.endsWith(' '));
        const QString shown = title.mid(13).chopped(1);
        if (c.shown == Whole) {
            EXPECT_EQ(shown, name);
        } else if (c.shown == Nothing) {
            EXPECT_EQ(shown, QString());
            EXPECT_GE(Pixels(name.right(1)) + Pixels(QStringLiteral("... ")), room);
        } else {
            ASSERT_GT(Pixels(name), room);
            ASSERT_TRUE(shown.startsWith("... ")) << shown.toStdString();
            const QString tail = shown.mid(4);
            EXPECT_TRUE(name.endsWith(tail));
            EXPECT_LT(Pixels(tail) + Pixels(QStringLiteral("... ")), room);
            EXPECT_GE(Pixels(name.right(tail.size() + 1)) + Pixels(QStringLiteral("... ")), room);
        }
    }
    EXPECT_EQ(w->FraRight->title(), " Right List ");
}

TEST_F(Captions, OnlyTheFlaggedSideIsRebuilt) {
    LoadNamed(1, QStringLiteral("left.mal"));
    LoadNamed(2, QStringLiteral("right.mal"));
    w->FraLeft->setFixedWidth(600);
    w->FraRight->setFixedWidth(600);
    w->ResizeListCaptions(true, false);
    EXPECT_EQ(w->FraLeft->title(), " Left List : left.mal ");
    EXPECT_EQ(w->FraRight->title(), " Right List ");
    w->ResizeListCaptions(false, true);
    EXPECT_EQ(w->FraRight->title(), " Right List : right.mal ");
}

// A side whose list is gone names no file any more, though its descriptor
// still names the last import.
TEST_F(Captions, ClearedSideShowsTheDesignCaption) {
    LoadNamed(2, QStringLiteral("right.mal"));
    w->FraRight->setFixedWidth(600);
    w->ResizeListCaptions(true, true);
    ASSERT_EQ(w->FraRight->title(), " Right List : right.mal ");
    YRB20(2);
    w->ResizeListCaptions(true, true);
    EXPECT_EQ(w->FraRight->title(), " Right List ");
    EXPECT_TRUE(w->TxtErrors->Text().isEmpty()) << w->TxtErrors->Text().toStdString();
}

TEST_F(Captions, BothListControlsFollowTheTwoSlots) {
    struct Case {
        bool left, right, enabled;
    } cases[] = {{false, false, false}, {true, false, false}, {false, true, false}, {true, true, true}};
    EXPECT_FALSE(w->ComCompare->isEnabled()) << "disabled at load";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "left " << c.left << " right " << c.right);
        YRB20(1);
        YRB20(2);
        if (c.left) LoadNamed(1, QStringLiteral("l.mal"));
        if (c.right) LoadNamed(2, QStringLiteral("r.mal"));
        w->SetBothListPerm();
        for (QWidget* control : {static_cast<QWidget*>(w->ComSMerge), static_cast<QWidget*>(w->ChkMergeSelect),
                                 static_cast<QWidget*>(w->ComCompare), static_cast<QWidget*>(w->OptCmpCom),
                                 static_cast<QWidget*>(w->OptCmpDif)})
            EXPECT_EQ(control->isEnabled(), c.enabled) << control->objectName().toStdString();
    }
}

}  // namespace
