// The list-file descriptor: separators from flags and back, the token
// notation both ways, the output pattern, result files and copies.
#include <functional>

#include <QDir>
#include <QWidget>

#include "ListTestSupport.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "clsEmailList.h"
#include "clsError.h"

namespace {

using TestHarness::Folder;

// Every byte of a literal, embedded NULs included.
template <size_t N>
QString Bytes(const char (&s)[N]) {
    return QString::fromLatin1(s, N - 1);
}

QString TokenText(int code) {
    return QString::fromLatin1(ControlCharNotation[code].data(), static_cast<qsizetype>(ControlCharNotation[code].size()));
}

using Change = std::function<void(clsEmailList&)>;
using ListTest::Console;
using ListTest::Describe;

QStringList FieldFlags(const clsEmailList& l) {
    QStringList set;
    if (l.FldTab) set << "FldTab";
    if (l.FldCol) set << "FldCol";
    if (l.FldCom) set << "FldCom";
    if (l.FldSpc) set << "FldSpc";
    if (l.FldOth) set << "FldOth";
    return set;
}

QStringList RecordFlags(const clsEmailList& l) {
    QStringList set;
    if (l.RecCr) set << "RecCr";
    if (l.RecLf) set << "RecLf";
    if (l.RecCrLF) set << "RecCrLF";
    if (l.RecOth) set << "RecOth";
    return set;
}

TEST(clsEmailList, NewDescriptor) {
    Console console;
    clsEmailList l;
    EXPECT_EQ(l.FieldSep(), QStringLiteral("\t"));
    EXPECT_EQ(l.RecordSep(), QStringLiteral("\r\n"));
    EXPECT_EQ(l.ColNbr, 1);
    EXPECT_EQ(l.NameOutCast(), QString());
    EXPECT_FALSE(l.HasResults());
    EXPECT_TRUE(console.Empty());
}

TEST(clsEmailList, FieldSepTable) {
    struct Row {
        const char* name;
        Change setup;
        QString expected;
    };
    const Row rows[] = {
        {"tab and other: other wins",
         [](clsEmailList& l) {
             l.FldOth = true;
             l.FldSep = "|";
         },
         "|"},
        {"other with an empty text wins with nothing",
         [](clsEmailList& l) {
             l.FldCol = l.FldCom = l.FldSpc = l.FldOth = true;
         },
         ""},
        {"no flag", [](clsEmailList& l) { l.FldTab = false; }, ""},
        {"semicolon after tab", [](clsEmailList& l) { l.FldCol = true; }, ";"},
        {"comma after semicolon", [](clsEmailList& l) { l.FldCol = l.FldCom = true; }, ","},
        {"blank after comma", [](clsEmailList& l) { l.FldCom = l.FldSpc = true; }, " "},
        {"other in notation",
         [](clsEmailList& l) {
             l.FldOth = true;
             l.FldSep = "\\t|";
         },
         "\t|"},
        {"caret-at is a NUL",
         [](clsEmailList& l) {
             l.FldOth = true;
             l.FldSep = "^@";
         },
         Bytes("\0")},
        {"other refused: empty",
         [](clsEmailList& l) {
             l.FldOth = true;
             l.FldSep = "^G";
         },
         ""},
    };
    for (const Row& r : rows) {
        clsEmailList l;
        r.setup(l);
        EXPECT_EQ(l.FieldSep(), r.expected) << r.name;
    }
}

TEST(clsEmailList, RecordSepTable) {
    struct Row {
        const char* name;
        Change setup;
        QString expected;
    };
    const Row rows[] = {
        {"CR and LF: LF alone",
         [](clsEmailList& l) {
             l.RecCrLF = false;
             l.RecCr = l.RecLf = true;
         },
         "\n"},
        {"CR, LF and CRLF: CRLF", [](clsEmailList& l) { l.RecCr = l.RecLf = true; }, "\r\n"},
        {"CR alone",
         [](clsEmailList& l) {
             l.RecCrLF = false;
             l.RecCr = true;
         },
         "\r"},
        {"other last",
         [](clsEmailList& l) {
             l.RecOth = true;
             l.RecSep = "\\n\\r";
         },
         "\n\r"},
        {"no flag", [](clsEmailList& l) { l.RecCrLF = false; }, ""},
    };
    for (const Row& r : rows) {
        clsEmailList l;
        r.setup(l);
        EXPECT_EQ(l.RecordSep(), r.expected) << r.name;
    }
}

TEST(clsEmailList, SetFieldSepTable) {
    struct Row {
        const char* name;
        Change before;
        QString sep;
        QStringList flags;
        QString other;
    };
    const Row rows[] = {
        {"tab clears other",
         [](clsEmailList& l) {
             l.FldOth = true;
             l.FldSep = "|";
         },
         "\t", {"FldTab"}, ""},
        {"empty changes nothing",
         [](clsEmailList& l) {
             l.FldOth = true;
             l.FldSep = "|";
         },
         "", {"FldTab", "FldOth"}, "|"},
        {"two bars are other", [](clsEmailList&) {}, "||", {"FldOth"}, "||"},
        {"semicolon", [](clsEmailList&) {}, ";", {"FldCol"}, ""},
        {"comma", [](clsEmailList&) {}, ",", {"FldCom"}, ""},
        {"blank", [](clsEmailList&) {}, " ", {"FldSpc"}, ""},
        {"control character kept as is", [](clsEmailList&) {}, Bytes("\001"), {"FldOth"}, Bytes("\001")},
    };
    for (const Row& r : rows) {
        clsEmailList l;
        r.before(l);
        l.SetFieldSep(r.sep);
        EXPECT_EQ(FieldFlags(l), r.flags) << r.name;
        EXPECT_EQ(l.FldSep, r.other) << r.name;
    }
}

TEST(clsEmailList, SetRecordSepTable) {
    struct Row {
        const char* name;
        QString sep;
        QStringList flags;
        QString other;
    };
    const Row rows[] = {
        {"CRLF", "\r\n", {"RecCrLF"}, ""},
        {"LFCR is other", "\n\r", {"RecOth"}, "\n\r"},
        {"CR", "\r", {"RecCr"}, ""},
        {"LF", "\n", {"RecLf"}, ""},
        {"empty changes nothing", "", {"RecCrLF"}, ""},
    };
    for (const Row& r : rows) {
        clsEmailList l;
        l.SetRecordSep(r.sep);
        EXPECT_EQ(RecordFlags(l), r.flags) << r.name;
        EXPECT_EQ(l.RecSep, r.other) << r.name;
    }
}

TEST(clsEmailList, SeparatorsComeBackThroughTheSetters) {
    const QString seps[] = {"\t", ";", ",", " ", "|", Bytes("\001\002"), "\r\n", "\n\r", "\r", "\n"};
    for (const QString& sep : seps) {
        clsEmailList stored;
        stored.SetFieldSep(sep);
        stored.SetRecordSep(sep);
        clsEmailList restored;
        restored.SetFieldSep(stored.FieldSep());
        restored.SetRecordSep(stored.RecordSep());
        EXPECT_EQ(restored.FieldSep(), sep) << sep.toStdString();
        EXPECT_EQ(restored.RecordSep(), sep) << sep.toStdString();
    }
}

TEST(clsEmailList, SubstituteTable) {
    struct Row {
        QString text;
        QString expected;
    };
    const Row rows[] = {
        {"\\t", "\t"},
        {"\\tA", "\tA"},
        {"A\\t", "A\t"},
        {"^A,", Bytes("\001,")},
        {"^^", Bytes("\036")},
        {"^\\", Bytes("\034")},
        {"^\\t", Bytes("\034t")},  // no token is looked for inside a token
        {"a\\t|\\n", "a\t|\n"},
        {"ab\\", "ab"},
        {"^", ""},
        {"|", "|"},
        {"", ""},
        {"^@|", Bytes("\0|")},
        {"x^[y\\rz", Bytes("x\033y\rz")},
    };
    Console console;
    clsEmailList l;
    for (const Row& r : rows) EXPECT_EQ(l.Substitute(r.text), r.expected) << r.text.toStdString();
    EXPECT_TRUE(console.Empty());
}

TEST(clsEmailList, ExpandTable) {
    struct Row {
        QString text;
        QString expected;
    };
    const Row rows[] = {
        {"\t|", "\\t|"},
        {Bytes("\007"), "\\a"},
        {Bytes("\0a\037"), "^@a^_"},
        {"plain text", "plain text"},
        {"", ""},
        {Bytes("\xe9\x7f "), Bytes("\xe9\x7f ")},  // 127 and above are no control characters
    };
    clsEmailList l;
    for (const Row& r : rows) EXPECT_EQ(l.Expand(r.text), r.expected) << r.text.toStdString();
}

TEST(clsEmailList, EveryTokenBothWays) {
    Console console;
    clsEmailList l;
    for (int code = 0; code < ControlCodeCount; ++code) {
        const QString character(QChar(static_cast<char16_t>(code)));
        EXPECT_EQ(l.Substitute(TokenText(code)), character) << code;
        EXPECT_EQ(l.Expand(character), TokenText(code)) << code;
        EXPECT_EQ(l.Substitute(l.Expand(character)), character) << code;
    }
    EXPECT_TRUE(console.Empty());
}

TEST(clsEmailList, RefusedTokensAreReported) {
    struct Row {
        QString text;
        QString token;  // empty: nothing refused
        int position;
        QString result;
    };
    QList<Row> rows = {
        {"ab\\T", "\\T", 3, ""},
        {"^a", "^a", 1, ""},
        {"|^z", "^z", 2, ""},
        {"\\\\", "\\\\", 1, ""},
        {"\\|", "\\|", 1, ""},
        {"\\A", "\\A", 1, ""},
        {"^", "", 0, ""},
        {"\\", "", 0, ""},
        {"ab^", "", 0, "ab"},
    };
    // Codes 7 to 13 have only their backslash tokens.
    for (char letter = 'G'; letter <= 'M'; ++letter)
        rows.append({QStringLiteral("^") + QLatin1Char(letter), QStringLiteral("^") + QLatin1Char(letter), 1, ""});

    clsEmailList l;
    for (const Row& r : rows) {
        Console console;
        EXPECT_EQ(l.Substitute(r.text), r.result) << r.text.toStdString();
        if (r.token.isEmpty()) {
            EXPECT_TRUE(console.Empty()) << r.text.toStdString();
            EXPECT_FALSE(ErrorObj()->IsPending()) << r.text.toStdString();
            continue;
        }
        const QString message = QStringLiteral("Invalid argument : '%1' at position %2 is no control-character token")
                                    .arg(r.token)
                                    .arg(r.position);
        EXPECT_EQ(ErrorObj()->Message(), message) << r.text.toStdString();
        EXPECT_EQ(ErrorObj()->Module(), QStringLiteral("clsEmailList"));
        EXPECT_EQ(ErrorObj()->Routine(), QStringLiteral("Substitute"));
        EXPECT_EQ(ErrorObj()->Context(), QStringLiteral("Error !"));  // the reporter's word for no context
        EXPECT_TRUE(console.Has(message)) << r.text.toStdString();
    }
    EXPECT_TRUE(TestHarness::AskedMessages().isEmpty());
}

TEST(clsEmailList, LongTextRoundTrip) {
    // Every Latin-1 character but the two leads, over and over.
    const qsizetype length = 100000;
    QString text;
    text.reserve(length);
    for (qsizetype i = 0; text.size() < length; ++i) {
        const QChar c(static_cast<char16_t>(i % 256));
        if (c != QLatin1Char('^') && c != QLatin1Char('\\')) text += c;
    }
    Console console;
    clsEmailList l;
    const QString notation = l.Expand(text);
    EXPECT_GT(notation.size(), length);
    EXPECT_EQ(l.Substitute(notation), text);
    EXPECT_TRUE(console.Empty());
}

TEST(clsEmailList, NameOutCastTable) {
    struct Row {
        QString nameOut;
        QString expected;
    };
    const Row rows[] = {
        {"", ""},
        {"/d/", ""},
        {"/d/a.out", "/d/a*.out"},
        {"/d/list", "/d/list*"},
        {"/d.x/list", "/d.x/list*"},  // a point in a folder name is no extension
        {"/d.x/a.b.out", "/d.x/a.b*.out"},
        {"list.txt", "list*.txt"},
        {"/d/.hidden", "/d/.hidden*"},
        {"/d/a*b?.out", "/d/a\\*b\\?*.out"},  // the user's characters stay literal
    };
    clsEmailList l;
    for (const Row& r : rows) {
        l.NameOut = r.nameOut;
        EXPECT_EQ(l.NameOutCast(), r.expected) << r.nameOut.toStdString();
    }
}

TEST(clsEmailList, HasResultsTable) {
    struct Row {
        const char* name;
        QStringList files;    // made in the row's folder
        QStringList folders;  // likewise
        Change names;          // paths relative to the row's folder
        bool expected;
    };
    const Row rows[] = {
        {"statistics", {"l.sta"}, {}, [](clsEmailList& l) { l.NameSta = "l.sta"; }, true},
        {"duplicates", {"l.dup"}, {}, [](clsEmailList& l) { l.NameDup = "l.dup"; }, true},
        {"invalid addresses", {"l.inv"}, {}, [](clsEmailList& l) { l.NameInv = "l.inv"; }, true},
        {"output itself", {"l.out"}, {}, [](clsEmailList& l) { l.NameOut = "l.out"; }, true},
        {"split from an output with extension", {"l_2.out"}, {}, [](clsEmailList& l) { l.NameOut = "l.out"; },
         true},
        {"split from an output without extension", {"list_1"}, {}, [](clsEmailList& l) { l.NameOut = "list"; },
         true},
        {"split by domain in a folder with a point",
         {"d.x/list_I"},
         {},
         [](clsEmailList& l) { l.NameOut = "d.x/list"; },
         true},
        {"no files",
         {},
         {},
         [](clsEmailList& l) {
             l.NameSta = "l.sta";
             l.NameDup = "l.dup";
             l.NameInv = "l.inv";
             l.NameOut = "l.out";
         },
         false},
        {"other names only", {"other", "l.sta2"}, {}, [](clsEmailList& l) {
             l.NameSta = "l.sta";
             l.NameOut = "list";
         },
         false},
        {"folders do not count",
         {},
         {"l.sta", "list_dir"},
         [](clsEmailList& l) {
             l.NameSta = "l.sta";
             l.NameOut = "list";
         },
         false},
        {"names empty", {"l.sta"}, {}, [](clsEmailList&) {}, false},
    };
    int n = 0;
    for (const Row& r : rows) {
        const QDir dir(QDir(Folder()).filePath(QStringLiteral("row%1").arg(++n)));
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        for (const QString& f : r.files) TestHarness::WriteFile(dir.filePath(f), "x");
        for (const QString& f : r.folders) ASSERT_TRUE(dir.mkpath(f));
        clsEmailList l;
        r.names(l);
        for (QString* name : {&l.NameSta, &l.NameDup, &l.NameInv, &l.NameOut})
            if (!name->isEmpty()) *name = dir.filePath(*name);
        EXPECT_EQ(l.HasResults(), r.expected) << r.name;
    }
}

TEST(clsEmailList, CopyToCarriesEveryField) {
    clsEmailList source;
    source.NameSrc = "src.txt";
    source.NameOut = "src.out";
    source.NameDup = "src.dup";
    source.NameInv = "src.inv";
    source.NameSta = "src.sta";
    source.Domain = "example.com";
    source.extension = "org";
    source.RecSep = "^A";
    source.FldSep = "||";
    source.ColNbr = 3;
    source.FldTab = false;
    source.FldCol = source.FldCom = source.FldSpc = source.FldOth = true;
    source.RecCr = source.RecLf = source.RecOth = true;
    source.RecCrLF = false;
    source.ByDomain = true;
    source.ByDomNam = false;
    source.ByDomExt = true;
    source.ByRecNbr = true;
    source.KeepAllCols = false;
    source.ChunkSize = 500;

    // Each field differs from a new descriptor's, so a field left out shows.
    const QStringList fresh = Describe(clsEmailList());
    const QStringList changed = Describe(source);
    for (qsizetype i = 0; i < fresh.size(); ++i) EXPECT_NE(changed[i], fresh[i]);

    clsEmailList target;
    EXPECT_TRUE(source.CopyTo(&target));
    EXPECT_EQ(Describe(target), changed);
    EXPECT_EQ(Describe(source), changed);
}

TEST(clsEmailList, CopyToNothing) {
    Console console;
    EXPECT_FALSE(clsEmailList().CopyTo(nullptr));
    EXPECT_TRUE(console.Empty());
}

}  // namespace
