#include "WholeFile.h"

#include <cerrno>

#include <QFile>

#include "ReportError.h"

namespace {

// Says on the console where each former content of the call that could not
// be put back is kept, those no message has named yet.
void TellUntold(filereplace::Call& call) {
    for (const std::string& text : call.Untold())
        modGlobalFunctions::ReportError(QFile::decodeName(QByteArray::fromStdString(text)), QString(),
                                        QStringLiteral("FormerContent"), QStringLiteral("PutBack"), false, true);
}

}  // namespace

bool WholeFile::Open(QString* failure) {
    m_fd = m_call.Open(QFile::encodeName(m_name).toStdString(), filereplace::Mode::kFromStart, m_bits);
    if (m_fd >= 0) return true;
    *failure = Failure("Could not open file for writing : ");
    return false;
}

bool WholeFile::Write(const char* bytes, qint64 size, QString* failure) {
    if (m_fd < 0) {
        m_call.Fail(EBADF);
    } else if (!filereplace::WriteAll(m_fd, bytes, static_cast<size_t>(size))) {
        m_call.Fail(errno);
        m_fd = -1;
    } else {
        return true;
    }
    *failure = Failure("Could not write to file : ");
    return false;
}

bool WholeFile::Commit(QString* failure) {
    m_fd = -1;
    if (m_call.Commit()) return true;
    *failure = Failure("Could not write to file : ");
    return false;
}

QString WholeFile::Failure(const char* what) const {
    return QFile::decodeName(QByteArray::fromStdString(m_call.Describe(what)));
}

void WholeFile::Discard() {
    m_fd = -1;
    m_call.Undo();
    TellUntold(m_call);
}

bool FormerContent::SetAsideReport(const QString& name) {
    const filereplace::Aside done = m_call.SetAside(QFile::encodeName(name).toStdString(), filereplace::Unkept::kClear);
    if (done == filereplace::Aside::kSetAside) return true;
    const QString what = done == filereplace::Aside::kRemoved   ? QStringLiteral("it was removed before the new one was written")
                         : done == filereplace::Aside::kEmptied ? QStringLiteral("it was emptied before the new one was written")
                                                                : QStringLiteral("no new report is written there");
    modGlobalFunctions::ReportError(QStringLiteral("The former report %1 could not be kept (%2): %3")
                                        .arg(name, QFile::decodeName(QByteArray::fromStdString(m_call.Cause())), what),
                                    QString(), QStringLiteral("FormerContent"), QStringLiteral("SetAsideReport"), false,
                                    true);
    return done != filereplace::Aside::kLeft;
}

void FormerContent::Drop() {
    (void)m_call.Commit();
    TellUntold(m_call);
}

void FormerContent::PutBack() {
    m_call.Undo();
    TellUntold(m_call);
}
