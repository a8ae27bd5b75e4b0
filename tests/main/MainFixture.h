#pragma once

#include <QByteArray>
#include <QString>

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

}  // namespace MainFixture
