#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include <QString>

// Characters with codes 0 to 31 have a token each in the separator boxes'
// notation.
inline constexpr int ControlCodeCount = 32;

// The token of each control character, indexed by its code.  Codes 7 to 13
// use a backslash and a letter, the others a caret and the character 64
// higher.  A caret or a backslash always begins a token, so the notation has
// no literal caret or backslash.
inline constexpr std::array<std::string_view, ControlCodeCount> ControlCharNotation = {
    "^@", "^A", "^B", "^C", "^D", "^E", "^F", "\\a",  //
    "\\b", "\\t", "\\n", "\\v", "\\f", "\\r", "^N", "^O",  //
    "^P", "^Q", "^R", "^S", "^T", "^U", "^V", "^W",  //
    "^X", "^Y", "^Z", "^[", "^\\", "^]", "^^", "^_",
};

// One address-list file as the program handles it: the source, the result
// files made from it, how its records and fields are separated, which field
// holds the address, and how a save is written and split.  It holds no
// entries.  Callers read and write the fields directly.  Failures are
// reported on ErrorObj, never raised.
class clsEmailList {
public:
    QString NameSrc;
    QString NameOut;
    QString NameDup;
    QString NameInv;
    QString NameSta;
    QString Domain;
    QString extension;  // without the point
    QString RecSep;     // the "other" record separator, in notation or plain
    QString FldSep;     // the "other" field separator, in notation or plain
    int32_t ColNbr = 1;  // counted from 1
    // The flags of a group need not be exclusive: the later one in
    // FieldSep's and RecordSep's order wins.
    bool FldTab = true;
    bool FldCol = false;
    bool FldCom = false;
    bool FldSpc = false;
    bool FldOth = false;
    bool RecCr = false;
    bool RecLf = false;
    bool RecCrLF = true;
    bool RecOth = false;
    bool ByDomain = false;
    bool ByDomNam = true;
    bool ByDomExt = false;
    bool ByRecNbr = false;
    bool KeepAllCols = true;
    int32_t ChunkSize = 0;  // entries per file when ByRecNbr

    // A pattern for FilePattern::Wild that matches NameOut and every file a
    // save splits from it ("/d/a.out" -> "/d/a*.out", "/d/list" ->
    // "/d/list*"); "" when NameOut names no file.
    QString NameOutCast() const;
    // The separators as characters; "" when no flag is set.
    QString RecordSep() const;
    QString FieldSep() const;
    // The flag, or the "other" text, that gives back this separator; an
    // empty one changes nothing.
    void SetFieldSep(const QString& SepVal);
    void SetRecordSep(const QString& SepVal);
    // Notation to characters; "" (reported) when a caret or backslash
    // starts no token.  A caret or backslash standing last is dropped.
    QString Substitute(const QString& Text) const;
    // The same with only the caret starting a token: a backslash stands
    // for itself.
    QString SubstituteCaretTokens(const QString& Text) const;
    // Characters to notation.
    QString Expand(const QString& Text) const;
    // True when a report file or a file of the output pattern exists.
    bool HasResults() const;
    // Copies every field into Lst; False when there is none.
    bool CopyTo(clsEmailList* Lst) const;

private:
    QString Convert(const QString& Text, bool BackslashLeads) const;
    // -1 when the text is no token.
    static int16_t GetCode(QStringView Token);
    // "" for a code outside 0 to 31.
    static QString GetName(int16_t Code);
    static void ReportError(const QString& Description, const QString& Context, const QString& Routine);
};
