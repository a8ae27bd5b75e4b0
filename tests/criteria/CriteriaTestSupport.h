#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "Rules.h"
#include "clsKeyword.h"
#include "clsMail.h"
#include "clsMatch.h"
#include "clsRule.h"

namespace CriteriaTest {

// A keyword in use, searched in the parts named by letters of "HCS"
// (header, content, subject), with the options of "WC" (whole word, case).
inline std::shared_ptr<clsKeyword> Kw(const QString& value, const char* parts, const char* options = "",
                                      bool use = true) {
    auto k = std::make_shared<clsKeyword>();
    k->Value = value;
    k->DoUse = use;
    const QString p = QString::fromLatin1(parts), o = QString::fromLatin1(options);
    k->DoHea = p.contains('H');
    k->DoCon = p.contains('C');
    k->DoSub = p.contains('S');
    k->DoWrd = o.contains('W');
    k->DoCas = o.contains('C');
    return k;
}

inline std::shared_ptr<clsRule> Set(const QString& name, std::vector<std::shared_ptr<clsKeyword>> keywords,
                                    int16_t op1 = clsOperator::kAnd, int16_t op2 = clsOperator::kAnd,
                                    bool isFirst = false) {
    auto set = std::make_shared<clsRule>();
    set->name = name;
    set->OP1 = op1;
    set->OP2 = op2;
    set->IsFirst = isFirst;
    *set->Keywords = std::move(keywords);
    return set;
}

inline clsMail Mail(const QString& header, const QString& body, const QString& subject) {
    clsMail m;
    m.mHeaders = header;
    m.mMsgBody = body;
    m.mSubject = subject;
    return m;
}

// A mail's matches as "loc:idx:siz" in their order.
inline QStringList Hits(const clsMail& m) {
    QStringList hits;
    if (!m.Matches) return hits;
    for (const std::shared_ptr<clsMatch>& h : *m.Matches)
        hits.append(QStringLiteral("%1:%2:%3").arg(h->Loc).arg(h->Idx).arg(h->Siz));
    return hits;
}

// Rules replaced for a test's life.
struct RulesScope {
    explicit RulesScope(RuleCollection sets = {}) { Rules = std::make_shared<RuleCollection>(std::move(sets)); }
    ~RulesScope() { Rules.reset(); }
};

}  // namespace CriteriaTest
