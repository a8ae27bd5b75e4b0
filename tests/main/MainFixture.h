#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTreeWidgetItem>

#include "OrmidYRB100.h"
#include "ReportListView.h"
#include "TestHarness.h"

// A program folder for the main window's load: a few lines of each
// reference file.  The four the user edits come first; the three the
// program derives from them are written here too, as the load would find
// them after an earlier run.
namespace MainFixture {

struct ReferenceFile {
    const char* name;
    QByteArray bytes;
};

inline const ReferenceFile kReferenceFiles[] = {
    {"DN_Country.cfg", "Extension|Country\r\nfr|France\r\nde|Germany\r\n"},
    {"DN_Generic.cfg", "Extension|Type\r\ncom|generic\r\norg|generic\r\nbiz|generic\r\n"},
    {"DN_Keyword.cfg", "Keyword|Reason\r\nnoreply|automatic sender\r\n"},
    {"DN_User.cfg", "Extension|Reason\r\nbiz|user's choice\r\n"},
    {"DN_All.cfg", "fr\r\nde\r\ncom\r\norg\r\nbiz\r\n"},
    {"DN_Exclude.cfg", "biz\r\n"},
    {"DN_Reject.cfg", "noreply\r\n"},
};

// Writes every reference file but the one named.
inline void WriteReferenceFiles(const char* except = nullptr) {
    for (const ReferenceFile& f : kReferenceFiles)
        if (except == nullptr || QByteArray(f.name) != except) TestHarness::WriteFile(f.name, f.bytes);
}

// What the engine's invalid check says of each address (one per line,
// loaded into list 1): "valid" or the reason.
inline QStringList Reasons(const QByteArray& addresses) {
    const QString path = TestHarness::WriteFile("addresses.txt", addresses);
    const int32_t n = YRB13(1, QFile::encodeName(path).constData(), 1, "\t", "\r\n");
    EXPECT_GE(YRB12(1, YRB_FLAG_INVALID, 0, 0, ""), 0);
    QStringList reasons;
    for (int32_t e = 0; e < n; ++e) {
        char buffer[256] = {};
        const int32_t valid = YRB29(1, e, buffer, sizeof buffer - 1);
        reasons.append(valid == 1 ? QStringLiteral("valid") : QString::fromLatin1(buffer));
    }
    return reasons;
}

// A view's rows, each as its cells joined by "|".
using TestHarness::Rows;

}  // namespace MainFixture
