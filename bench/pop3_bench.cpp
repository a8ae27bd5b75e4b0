// pop3_bench [megabytes] [messages]: the POP3 session's speed and memory.
//  1. One message of the given size (default 50 MB) by RETR from the
//     scripted server in this process, parsed: wall time and peak resident
//     memory added, per message byte.
//  2. The given number (default 2000) of 5 KB messages, headers only (TOP n
//     0), from a private dovecot: wall time; skipped, saying why, when
//     dovecot cannot run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <QApplication>

#include "DovecotServer.h"
#include "FakePop3Server.h"
#include "SessionRig.h"
#include "clsMail.h"

namespace {

long StatusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::strtol(line.c_str() + std::char_traits<char>::length(key), nullptr, 10);
    return -1;
}

// Lets VmHWM start again from the current resident size.
void ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

QByteArray Body(qsizetype bytes) {
    QByteArray line(76, 'a');
    line += "\r\n";
    QByteArray body;
    body.reserve(bytes + 80);
    while (body.size() < bytes) body += line;
    return body;
}

void BigRetr(int megabytes) {
    const qsizetype size = qsizetype(megabytes) * 1024 * 1024;
    const QByteArray message = "From: Big <big@example.org>\r\nSubject: big\r\n\r\n" + Body(size);
    FakePop3Server server;
    server.replies["STAT"] = {"+OK 1 " + QByteArray::number(message.size()) + "\r\n"};
    server.replies["LIST"] = {"+OK\r\n1 " + QByteArray::number(message.size()) + "\r\n.\r\n"};
    server.replies["RETR"] = {"+OK\r\n" + message + ".\r\n"};
    server.Start();
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port());
    rig.Trace().DoTraceToScreen = false;
    rig.s->POP3Full = true;
    const long before = StatusKb("VmRSS:");
    ResetPeak();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = rig.Retrieve();
    if (ok) rig.s->Mails->at(0)->ParseMail();
    const double seconds = Seconds(start);
    const long peak = StatusKb("VmHWM:");
    const bool bodyOk = ok && rig.s->Mails->at(0)->mMsgBody.size() >= size;
    std::printf("RETR of %d MB, parsed: %s, %.3f s, peak memory added %.2f bytes per message byte\n", megabytes,
                bodyOk ? "ok" : "FAILED", seconds, double(peak - before) * 1024.0 / double(message.size()));
}

void DovecotHeaders(int count) {
    DovecotServer server;
    server.AddUser("user", "secret");
    const QByteArray header = "X-Filler: " + QByteArray(5000, 'h') + "\r\n";
    for (int n = 1; n <= count; ++n)
        server.AddMessage("user", "From: S <s@example.org>\r\nSubject: m" + QByteArray::number(n) + "\r\n" + header +
                                      "\r\nbody line\r\n");
    const QString why = server.Start();
    if (!why.isEmpty()) {
        std::printf("dovecot headers-only: skipped, %s\n", qPrintable(why));
        return;
    }
    SessionRig rig(QStringLiteral("127.0.0.1"), server.Port(), 60000);
    rig.Trace().DoTraceToScreen = false;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = rig.Retrieve();
    if (ok)
        for (auto& m : *rig.s->Mails) m->ParseMail();
    const double seconds = Seconds(start);
    std::printf("dovecot, %d messages of 5 KB, headers only, parsed: %s, %.3f s\n", count,
                ok && rig.s->Mails->size() == size_t(count) ? "ok" : "FAILED", seconds);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const int messages = argc > 2 ? std::atoi(argv[2]) : 2000;
    BigRetr(megabytes);
    DovecotHeaders(messages);
    return 0;
}
