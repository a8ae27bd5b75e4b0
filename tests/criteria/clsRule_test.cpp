// Criteria sets judging mails: the operator nodes, the search of each part
// with its case and whole-word options, the stop at the first accepted
// keyword, precedence, and the hit positions left in the mail.
#include <gtest/gtest.h>

#include "CriteriaTestSupport.h"
#include "TestHarness.h"
#include "OperatorForCode.h"
#include "clsOprAND.h"
#include "clsOprOR.h"

using namespace CriteriaTest;

namespace {

constexpr int16_t N = clsOperator::kNoPart;
constexpr int16_t AND = clsOperator::kAnd;
constexpr int16_t OR = clsOperator::kOr;

TEST(clsOperator, TruthTable) {
    struct Case {
        int16_t left, right, viaAnd, viaOr;
    } cases[] = {
        {N, N, N, N}, {N, 0, 0, 0}, {N, 1, 1, 1}, {0, N, 0, 0}, {1, N, 1, 1},
        {1, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << " op " << c.right);
        clsOprAND a;
        a.OpdLeft = c.left;
        a.OpdRight = c.right;
        EXPECT_EQ(a.Evaluate(), c.viaAnd);
        clsOprOR o;
        o.OpdLeft = c.left;
        o.OpdRight = c.right;
        EXPECT_EQ(o.Evaluate(), c.viaOr);
    }
}

// A child node's result stands in for the operand it replaces.
TEST(clsOperator, ChildNodeReplacesItsOperand) {
    clsOprAND root;
    root.OpdLeft = 0;  // ignored: the child decides
    root.OprLeft = OperatorForCode(OR);
    root.OprLeft->OpdLeft = 0;
    root.OprLeft->OpdRight = 1;
    root.OpdRight = 1;
    EXPECT_EQ(root.Evaluate(), 1);
    root.OpdRight = 0;
    EXPECT_EQ(root.Evaluate(), 0);
    EXPECT_EQ(OperatorForCode(0), nullptr);
    EXPECT_EQ(OperatorForCode(3), nullptr);
}

struct SearchCase {
    const char* what;
    std::vector<std::shared_ptr<clsKeyword>> keywords;
    QString header, body, subject;
    bool selected;
    QStringList hits;  // "loc:idx:siz"
};

// One set per case, all operators AND, precedence False.
TEST(clsRule, SearchOfTheParts) {
    const SearchCase cases[] = {
        // A one-character text is searched: 'x' finds 'X'.
        {"one character", {Kw("x", "S")}, "", "", "X", true, {"3:1:1"}},
        {"last of two", {Kw("b", "S")}, "", "", "ab", true, {"3:2:1"}},
        {"empty subject", {Kw("x", "S")}, "", "", "", false, {}},
        {"case ignored", {Kw("Invoice", "S")}, "", "", "Your INVOICE", true, {"3:6:7"}},
        {"case kept", {Kw("Invoice", "S", "C")}, "", "", "Your INVOICE", false, {}},
        {"case kept, found", {Kw("INVOICE", "S", "C")}, "", "", "Your INVOICE", true, {"3:6:7"}},
        {"Latin-1 lowered in place", {Kw("\u00e9t\u00e9", "S")}, "", "", "Prix \u00c9T\u00c9", true, {"3:6:3"}},
        {"word after a hyphen", {Kw("mail", "S", "W")}, "", "", "e-mail", true, {"3:3:4"}},
        {"word before an underscore", {Kw("mail", "S", "W")}, "", "", "mail_box", true, {"3:1:4"}},
        {"word at the end", {Kw("mail", "S", "W")}, "", "", "my mail", true, {"3:4:4"}},
        {"word is the text", {Kw("mail", "S", "W")}, "", "", "mail", true, {"3:1:4"}},
        {"part of a word, after", {Kw("mail", "S", "W")}, "", "", "mailbox", false, {}},
        {"part of a word, before", {Kw("mail", "S", "W")}, "", "", "email", false, {}},
        {"second occurrence", {Kw("mail", "S", "W")}, "", "", "mailbox mail", true, {"3:9:4"}},
        {"digits join words", {Kw("mail", "S", "W")}, "", "", "mail2 2mail", false, {}},
        {"non-ASCII letters separate", {Kw("mail", "S", "W")}, "", "", "\u00e9mail\u00e9", true, {"3:2:4"}},
        // A rejected occurrence on the last but one character, a hit on the last.
        {"hit on the last character", {Kw("-", "S", "W")}, "", "", "a--", true, {"3:3:1"}},
        {"overlapping occurrences", {Kw("aa", "S", "W")}, "", "", "xaaa aa", true, {"3:6:2"}},
        {"not in use", {Kw("x", "HCS", "", false)}, "x x", "x x", "x x", false, {}},
        {"in no part", {Kw("x", "")}, "x x", "x x", "x x", false, {}},
        // An empty text would be found everywhere: it matches nothing.
        {"empty keyword", {Kw("", "HCS")}, "abc", "abc", "abc", false, {}},
        {"blank keyword still searched", {Kw(" ", "S")}, "", "", "a b", true, {"3:2:1"}},
        {"characters beyond Latin-1", {Kw("\u03a9", "S", "W")}, "", "", "a \u03c9", true, {"3:3:1"}},
        // Not turned into "?" for a byte search.
        {"keyword beyond Latin-1 in Latin-1 text", {Kw("\u03a9", "S")}, "", "", "a?", false, {}},
        {"first keyword in list order wins", {Kw("b", "H"), Kw("a", "H")}, "a b", "", "", true, {"1:3:1"}},
        {"later keyword when the first misses", {Kw("z", "H"), Kw("a", "H")}, "a b", "", "", true, {"1:1:1"}},
        {"one record per part, in part order",
         {Kw("ab", "HCS")},
         "xab",
         "ab",
         "zzab",
         true,
         {"1:2:2", "2:1:2", "3:3:2"}},
        {"a part without a hit gives no record", {Kw("ab", "HC")}, "ab", "cd", "", false, {"1:1:2"}},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto set = Set("s", c.keywords);
        ASSERT_TRUE(set->Initialize());
        clsMail m = Mail(c.header, c.body, c.subject);
        EXPECT_EQ(set->Evaluate(&m), c.selected);
        EXPECT_EQ(Hits(m), c.hits);
    }
}

// Which operator joins which parts: the three results combine by the
// precedence, a part without keywords drops out.
TEST(clsRule, OperatorsAndPrecedence) {
    struct Case {
        const char* what;
        const char* parts;  // where the keyword 'k' is searched
        int16_t op1, op2;
        bool isFirst;
        const char* hitIn;  // parts whose text holds 'k'
        bool selected;
    } cases[] = {
        {"(0 AND 0) OR 1", "HCS", AND, OR, true, "S", true},
        {"0 AND (0 OR 1)", "HCS", AND, OR, false, "S", false},
        {"(1 OR 0) AND 0", "HCS", OR, AND, true, "H", false},
        {"1 OR (0 AND 0)", "HCS", OR, AND, false, "H", true},
        {"header and body by OP1", "HC", OR, AND, false, "C", true},
        {"header and body by OP1, precedence", "HC", OR, AND, true, "C", true},
        {"body and subject by OP2", "CS", AND, OR, false, "S", true},
        {"body and subject by OP2, precedence", "CS", AND, OR, true, "S", true},
        {"header and subject by OP1", "HS", AND, OR, false, "H", false},
        {"header and subject by OP2 with precedence", "HS", AND, OR, true, "H", true},
        {"header and subject by OP1, OR", "HS", OR, AND, false, "S", true},
        {"header and subject by OP2 with precedence, AND", "HS", OR, AND, true, "S", false},
        {"one part decides alone", "C", AND, AND, false, "C", true},
        {"one part missed", "C", OR, OR, true, "H", false},
        {"all three hit", "HCS", AND, AND, false, "HCS", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto set = Set("s", {Kw("k", c.parts)}, c.op1, c.op2, c.isFirst);
        ASSERT_TRUE(set->Initialize());
        const QString hits = QString::fromLatin1(c.hitIn);
        clsMail m =
            Mail(hits.contains('H') ? "k" : "-", hits.contains('C') ? "k" : "-", hits.contains('S') ? "k" : "-");
        EXPECT_EQ(set->Evaluate(&m), c.selected);
    }
}

TEST(clsRule, InitializeRefusesUnknownOperators) {
    auto set = Set("s", {Kw("k", "HCS")});
    ASSERT_TRUE(set->Initialize());
    clsMail m = Mail("k", "k", "k");
    EXPECT_TRUE(set->Evaluate(&m));
    for (int16_t bad : {int16_t(0), int16_t(3), int16_t(-1)}) {
        set->OP1 = bad;
        EXPECT_FALSE(set->Initialize()) << bad;
        // Even after an earlier success the set selects nothing.
        EXPECT_FALSE(set->Evaluate(&m));
        ASSERT_TRUE(m.Matches);
        EXPECT_TRUE(m.Matches->empty());
        set->OP1 = AND;
    }
    set->Keywords.reset();
    EXPECT_FALSE(set->Initialize());
}

TEST(clsRule, EvaluateReplacesTheMatches) {
    auto set = Set("s", {Kw("ab", "HS")}, OR);
    ASSERT_TRUE(set->Initialize());
    clsMail m = Mail("ab", "", "ab");
    EXPECT_TRUE(set->Evaluate(&m));
    EXPECT_EQ(Hits(m), QStringList({"1:1:2", "3:1:2"}));
    m.mHeaders = "xxab";
    m.mSubject = "none";
    EXPECT_TRUE(set->Evaluate(&m));
    EXPECT_EQ(Hits(m), QStringList({"1:3:2"}));
    EXPECT_FALSE(set->Evaluate(nullptr));
}

// Before its first Initialize a set has no part to search.
TEST(clsRule, UnpreparedSetSelectsNothing) {
    auto set = Set("s", {Kw("a", "HCS")});
    clsMail m = Mail("a", "a", "a");
    EXPECT_FALSE(set->Evaluate(&m));
    EXPECT_EQ(Hits(m), QStringList());
}

// The tree keeps the precedence it was built for until the next Initialize.
TEST(clsRule, PrecedenceChangedAfterInitializeWaitsForTheNext) {
    auto set = Set("s", {Kw("k", "HCS")}, AND, OR, true);
    ASSERT_TRUE(set->Initialize());
    clsMail m = Mail("-", "-", "k");
    EXPECT_TRUE(set->Evaluate(&m));
    set->IsFirst = false;
    EXPECT_TRUE(set->Evaluate(&m));
    ASSERT_TRUE(set->Initialize());
    EXPECT_FALSE(set->Evaluate(&m));
}

TEST(clsRule, LowerCaseKeepsEveryPosition) {
    const QString text = QString::fromUtf8("A\u00c0\u00de\u00dfZ\u0178\u03a9x");
    const QString lowered = clsRule::LowerCase(text);
    ASSERT_EQ(lowered.size(), text.size());
    EXPECT_EQ(lowered, QString::fromUtf8("a\u00e0\u00fe\u00dfz\u00ff\u03c9x"));
}

}  // namespace
