// Entry tips: an entry's flags in words over each cell of the two panes,
// and the sort hints over their headers.
#include "OwnerDataListView.h"
#include "WorkspaceFixture.h"

namespace {

class Tips : public WorkspaceTest {
protected:
    QString Left(int32_t row, int32_t column) {
        int32_t r = row, c = column;
        const QString tip = w->GetLeftListItemTip(r, c);
        EXPECT_EQ(r, row);
        EXPECT_EQ(c, column);
        return tip;
    }
};

const QByteArray kLong = QByteArray(150, 'u') + "@b.com";

TEST_F(Tips, FlagsInWordsByColumn) {
    // 0 plain; 1 excluded extension, also duplicate; 2 valid but flagged
    // invalid by hand; 3 deleted; 4 both compare marks; 5 a long address.
    Load(1, "a@b.com\r\nx@y.biz\r\nok@b.com\r\nd@b.com\r\nc@b.com\r\n" + kLong + "\r\n", 6);
    YRB03(1, 1, YRB_FLAG_INVALID | YRB_FLAG_DUPLICATE, 1);
    YRB03(1, 2, YRB_FLAG_INVALID, 1);
    YRB03(1, 3, YRB_FLAG_DELETED | YRB_FLAG_SELECTED, 1);
    YRB03(1, 4, YRB_MASK_COMPARE, 1);
    YRB03(1, 5, YRB_FLAG_DUPLICATE, 1);
    char reason[256] = {};
    ASSERT_EQ(YRB29(1, 1, reason, sizeof reason - 1), 0);
    const QString excluded = QStringLiteral("[x@y.biz] ") + QString::fromLatin1(reason) + QLatin1Char(' ');
    const QString shortened = QLatin1Char('[') + QString::fromLatin1(kLong.left(128)) + QLatin1Char(']');
    struct Case {
        int32_t row;
        QStringList columns;  // 0 to 6
    } cases[] = {
        {0, {"", "", "", "", "", "", ""}},
        {1, {"", excluded, excluded, excluded, "[x@y.biz] is flagged as 'duplicate' ", "", ""}},
        {2,
         {"", "[ok@b.com] has been flagged as 'invalid' ", "[ok@b.com] has been flagged as 'invalid' ",
          "[ok@b.com] has been flagged as 'invalid' ", "", "", ""}},
        {3, {"", "[d@b.com] is flagged as 'deleted' ", "[d@b.com] is flagged as 'deleted' ", "", "",
             "[d@b.com] is flagged as 'deleted' ", ""}},
        {4, {"", "", "", "", "", "", "[c@b.com] does not exist in right list "}},
        {5, {"", shortened + " is flagged as 'duplicate' ", shortened + " is flagged as 'duplicate' ", "",
             shortened + " is flagged as 'duplicate' ", "", ""}},
        // No entry at that row: no tip.
        {6, {"", "", "", "", "", "", ""}},
    };
    for (const Case& c : cases)
        for (int32_t column = 0; column < 7; ++column)
            EXPECT_EQ(Left(c.row, column), c.columns[column]) << "row " << c.row << " column " << column;
    EXPECT_FALSE(QString::fromLatin1(reason).isEmpty());
}

TEST_F(Tips, RightPaneNamesTheLeftList) {
    Load(2, "a@b.com\r\nc@b.com\r\n", 2);
    YRB03(2, 0, YRB_FLAG_IN_BOTH, 1);
    YRB03(2, 1, YRB_FLAG_NOT_IN_OTHER, 1);
    EXPECT_EQ(w->GetRightListItemTip(0, 6), QStringLiteral("[a@b.com] also exists in left list "));
    EXPECT_EQ(w->GetRightListItemTip(1, 6), QStringLiteral("[c@b.com] does not exist in left list "));
    // A side without a list has no tips.
    EXPECT_EQ(w->GetLeftListItemTip(0, 1), QString());
}

TEST_F(Tips, HeaderTipsOverTheTextAndFlagColumns) {
    const char* tips[] = {"",
                          "Click here to sort Email addresses by User",
                          "Click here to sort Email addresses by Domain",
                          "Click here to sort Email addresses by Invalid flag",
                          "Click here to sort Email addresses by Duplicate flag",
                          "Click here to sort Email addresses by Deleted flag",
                          "Click here to sort Email addresses by Comparison flag"};
    for (int32_t column = 0; column < 7; ++column) {
        EXPECT_EQ(w->GetHeaderItemTip(0, column - 1), QLatin1String(tips[column]));
        for (int32_t slot : {1, 2}) EXPECT_EQ(Pane(slot)->ListWindow()->HeaderToolTip(column), QLatin1String(tips[column]));
        const QVariant shown = Pane(1)->ListWindow()->model()->headerData(column, Qt::Horizontal, Qt::ToolTipRole);
        EXPECT_EQ(shown.toString(), QLatin1String(tips[column]));
    }
    EXPECT_EQ(w->GetHeaderItemTip(0, 6), QString());
}

}  // namespace
