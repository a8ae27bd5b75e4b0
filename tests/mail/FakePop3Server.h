#pragma once

// A scripted POP3 server on 127.0.0.1 for what real servers never do: it
// answers each command line from a table, records every line it gets, and
// can answer late, in pieces, with nothing, or close.  It runs on a thread of
// its own so the session under test waits in its event loop.  Like a real
// server it answers in order: while it withholds a reply, later lines wait.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include <QByteArray>
#include <QList>

struct FakeReply {
    QByteArray bytes;
    int piece = 0;        // bytes per write; 0 = all at once
    int pauseMs = 0;      // before each piece
    bool silent = false;  // no answer at all
    bool close = false;   // close the connection after the bytes
    int firstPiece = 0;   // when set: this many bytes, a pause, then the rest
    bool held = false;    // withheld (after firstPiece bytes, if set) until Release()
};

// A reply the server withholds until the test lets it go.
inline FakeReply Held(FakeReply r) {
    r.held = true;
    return r;
}

class FakePop3Server {
public:
    // Answers by the command's first word; RETR and TOP by "RETR n" / "TOP n"
    // first, then by the word alone.
    std::map<QByteArray, FakeReply> replies;
    FakeReply greeting{QByteArrayLiteral("+OK fake ready\r\n")};

    FakePop3Server() {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        int on = 1;
        ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        ::listen(m_listen, 4);
        replies = {{"USER", {"+OK\r\n"}},
                   {"PASS", {"+OK logged in\r\n"}},
                   {"STAT", {"+OK 2 320\r\n"}},
                   {"LIST", {"+OK 2 messages\r\n1 120\r\n2 200\r\n.\r\n"}},
                   {"TOP", {Message("one")}},
                   {"RETR", {Message("one")}},
                   {"DELE", {"+OK marked\r\n"}},
                   {"QUIT", {"+OK bye\r\n", 0, 0, false, true}}};
    }
    ~FakePop3Server() { Stop(); }

    static QByteArray Message(const QByteArray& subject) {
        return "+OK\r\nFrom: A <a@b.example>\r\nSubject: " + subject +
               "\r\nMessage-ID: <" + subject + "@b.example>\r\nDate: Mon, 1 Jan 2024 10:00:00 +0000\r\n\r\nbody\r\n.\r\n";
    }

    int Port() const { return m_port; }
    void Start() {
        m_thread = std::thread([this] { Run(); });
    }
    // Lets the oldest withheld reply go (or the next one, before it is due).
    void Release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_releases;
        m_released.notify_all();
    }
    // Whether a reply is being withheld now.
    bool Holding() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_holding;
    }
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
            m_released.notify_all();
        }
        if (m_listen >= 0) ::shutdown(m_listen, SHUT_RDWR);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_conn >= 0) ::shutdown(m_conn, SHUT_RDWR);
        }
        if (m_thread.joinable()) m_thread.join();
        if (m_listen >= 0) ::close(m_listen);
        m_listen = -1;
    }
    // The lines received, without their CR LF.
    QList<QByteArray> Lines() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    // The raw bytes received.
    QByteArray Received() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }
    qsizetype ReceivedSize() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received.size();
    }
    int Connections() const { return m_connections; }
    int Closed() const { return m_closed; }

private:
    void Send(int fd, const FakeReply& r) {
        if (r.silent) return;
        if (r.held) {
            Send(fd, {r.bytes.left(r.firstPiece)});
            std::unique_lock<std::mutex> lock(m_mutex);
            m_holding = true;
            m_released.wait(lock, [this] { return m_stop || m_releases > 0; });
            m_holding = false;
            if (m_stop) return;
            --m_releases;
            lock.unlock();
            Send(fd, {r.bytes.mid(r.firstPiece)});
            return;
        }
        if (r.firstPiece > 0) {
            Send(fd, {r.bytes.left(r.firstPiece)});
            std::this_thread::sleep_for(std::chrono::milliseconds(r.pauseMs > 0 ? r.pauseMs : 50));
            Send(fd, {r.bytes.mid(r.firstPiece)});
            return;
        }
        const int piece = r.piece > 0 ? r.piece : static_cast<int>(r.bytes.size());
        for (qsizetype at = 0; at < r.bytes.size() && !m_stop; at += piece) {
            if (r.pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(r.pauseMs));
            const qsizetype n = qMin<qsizetype>(piece, r.bytes.size() - at);
            qsizetype done = 0;
            while (done < n) {
                const ssize_t w = ::send(fd, r.bytes.constData() + at + done, n - done, MSG_NOSIGNAL);
                if (w <= 0) return;
                done += w;
            }
        }
    }
    FakeReply ReplyFor(const QByteArray& line) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() >= 2) {
            auto it = replies.find(words[0] + ' ' + words[1]);
            if (it != replies.end()) return it->second;
        }
        auto it = replies.find(words.value(0));
        if (it != replies.end()) return it->second;
        return {"-ERR unknown\r\n"};
    }
    void Run() {
        while (!m_stop) {
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd < 0) return;
            ++m_connections;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_conn = fd;
            }
            Serve(fd);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_conn = -1;
            }
            ::close(fd);
            ++m_closed;
        }
    }
    void Serve(int fd) {
        Send(fd, greeting);
        if (greeting.close) return;
        QByteArray pending;
        qsizetype scanned = 0;
        char chunk[65536];
        while (!m_stop) {
            const ssize_t k = ::recv(fd, chunk, sizeof chunk, 0);
            if (k <= 0) return;
            pending.append(chunk, k);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.append(chunk, k);
            }
            qsizetype eol;
            // Only the new bytes are searched, so a long line costs no more.
            while ((eol = pending.indexOf("\r\n", qMax<qsizetype>(0, scanned - 1))) >= 0) {
                const QByteArray line = pending.left(eol);
                pending.remove(0, eol + 2);
                scanned = 0;
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_lines.append(line);
                }
                const FakeReply r = ReplyFor(line);
                Send(fd, r);
                if (r.close) return;
            }
            scanned = pending.size();
        }
    }

    int m_listen = -1;
    int m_conn = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::atomic<int> m_closed{0};
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_released;
    int m_releases = 0;
    bool m_holding = false;
    QList<QByteArray> m_lines;
    QByteArray m_received;
};
