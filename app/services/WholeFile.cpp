#include "WholeFile.h"

#include <cerrno>

#include <QFile>

#include "ReportError.h"

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

void FormerContent::Drop() {
    (void)m_call.Commit();
    ReportNotPutBack();
}

void FormerContent::PutBack() {
    m_call.Undo();
    ReportNotPutBack();
}

void FormerContent::ReportNotPutBack() {
    const std::vector<filereplace::Unrestored>& all = m_call.NotPutBack();
    for (; m_reported < all.size(); ++m_reported) {
        const filereplace::Unrestored& u = all[m_reported];
        modGlobalFunctions::ReportError(QStringLiteral("The former content of ") +
                                            QFile::decodeName(QByteArray::fromStdString(u.asked)) +
                                            QStringLiteral(" could not be put back: it is kept in ") +
                                            QFile::decodeName(QByteArray::fromStdString(u.kept)),
                                        QString(), QStringLiteral("FormerContent"), QStringLiteral("PutBack"), false,
                                        true);
    }
}
