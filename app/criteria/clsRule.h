#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "clsKeyword.h"
#include "clsOperator.h"

class clsMail;
class clsMatch;

// A criteria set: its keywords, searched in the header block, the body and
// the subject of a mail, and the two operators (with their precedence) that
// join the three parts' results into the set's answer.  Initialize prepares
// the set after any change; Evaluate then judges one mail and leaves in it
// where each part had its hit.
class clsRule {
public:
    clsRule();
    ~clsRule();
    clsRule(const clsRule&) = delete;
    clsRule& operator=(const clsRule&) = delete;

    QString name;
    int16_t OP1 = clsOperator::kAnd;  // between header and body
    int16_t OP2 = clsOperator::kAnd;  // between body and subject
    // True: (header OP1 body) OP2 subject; False: header OP1 (body OP2 subject).
    bool IsFirst = false;
    std::shared_ptr<KeywordCollection> Keywords;
    // A part's scan ends at its first accepted keyword.  Never changed.
    bool DoStopOnHeaMatch = true;
    bool DoStopOnConMatch = true;
    bool DoStopOnSubMatch = true;

    // Sorts the active keywords by part and builds the operator tree; false,
    // with no part left to search, when Keywords is missing or an operator
    // is neither AND nor OR.
    bool Initialize();
    // True when the set selects the mail; the mail's Matches are replaced by
    // the hits of this evaluation.
    bool Evaluate(clsMail* mail);

    // Lower case, character by character, so that positions in the lowered
    // text are those of the original.
    static QString LowerCase(const QString& text);

private:
    struct Part;
    bool DoHea() const;
    bool DoCon() const;
    bool DoSub() const;
    // The part's operand; its match, if any, goes to the mail.
    int16_t ScanPart(const Part& part, clsMail& mail);
    void ReportError(const QString& description, const QString& routine) const;

    std::unique_ptr<KeywordCollection> HeaderKeywords;
    std::unique_ptr<KeywordCollection> ContentKeywords;
    std::unique_ptr<KeywordCollection> SubjectKeywords;
    std::unique_ptr<clsOperator> RootOperator;
    // The precedence the tree was built for: a later change of IsFirst
    // counts only from the next Initialize.
    bool TreeIsFirst = false;
};
