#include "WholeFile.h"

#include <cerrno>

#include <QFile>

#include "ReportError.h"

namespace {

QString Text(const filereplace::Call& call, const char* what) {
    return QFile::decodeName(QByteArray::fromStdString(call.Describe(what)));
}

}  // namespace

bool WholeFile::Open(QString* failure) {
    m_fd = m_call.Open(QFile::encodeName(m_name).toStdString(), filereplace::Mode::kFromStart);
    if (m_fd >= 0) return true;
    *failure = Text(m_call, "Could not open file for writing : ");
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
    *failure = Text(m_call, "Could not write to file : ");
    return false;
}

bool WholeFile::Commit(QString* failure) {
    m_fd = -1;
    if (m_call.Commit()) return true;
    *failure = Text(m_call, "Could not write to file : ");
    return false;
}

void FormerContent::PutBack() {
    for (const std::string& name : m_call.LostNames())
        modGlobalFunctions::ReportError(QStringLiteral("The former content of ") +
                                            QFile::decodeName(QByteArray::fromStdString(name)) +
                                            QStringLiteral(" could not be kept"),
                                        QString(), QStringLiteral("FormerContent"), QStringLiteral("PutBack"), false,
                                        true);
    m_call.Undo();
}
