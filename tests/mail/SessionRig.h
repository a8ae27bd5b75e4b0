#pragma once

// A POP3 session wired as the main window wires it: error console, trace
// box, interrupt, and an inactivity timer whose tick closes the connection.
#include <memory>

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "IntervalTimer.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "clsError.h"
#include "clsInterrupt.h"
#include "clsPOP3Session.h"
#include "clsTrace.h"
#include "modCrypto.h"

struct SessionRig {
    QWidget consoleForm;
    RichTextBox* console;
    RichTextBox traceBox;
    IntervalTimer tmr;
    std::unique_ptr<clsPOP3Session> s = std::make_unique<clsPOP3Session>();
    QStringList errors;
    QStringList states;
    int timeOuts = 0;
    // Cancels a conversation that would otherwise hang: it counts from the
    // session's last step, so a long run on a busy machine is never cut, and
    // outlasts the session's own time-out, which it must never stand in for.
    QTimer safety;
    static constexpr int kSafetyMs = 60000;
    int safetyMs = kSafetyMs;

    SessionRig(const QString& server, int port, int timeoutMs = 0, const QByteArray& password = "secret") {
        console = new RichTextBox(&consoleForm);
        console->setObjectName(QStringLiteral("TxtErrors"));
        ErrorObj()->LogScreen = &consoleForm;
        auto trace = std::make_shared<clsTrace>();
        trace->TraceCtl = &traceBox;
        trace->DoTraceToScreen = true;
        s->MyError = ErrorObj();
        s->MyTrace = trace;
        s->Interrupt = InterruptObj();
        s->Tmr = &tmr;
        tmr.SetInterval(timeoutMs);
        safetyMs += timeoutMs;
        QObject::connect(&tmr, &IntervalTimer::Timer, [this] {
            tmr.SetEnabled(false);
            ++timeOuts;
            s->POP3Interrupt(false);
        });
        QObject::connect(s.get(), &clsPOP3Session::OnPOP3Error, [this](const QString& t) { errors << t; });
        QObject::connect(s.get(), &clsPOP3Session::OnPOP3StateChange, [this](const QString& t) {
            states << t;
            safety.start(safetyMs);
        });
        QObject::connect(s.get(), &clsPOP3Session::OnPOP3RetrieveMail, [this] { safety.start(safetyMs); });
        s->POP3Server = server;
        s->POP3Port = port;
        s->POP3User = QStringLiteral("user");
        s->POP3Password = modCrypto::EncryptPassword(QString::fromLatin1(password));
        QObject::connect(&safety, &QTimer::timeout, [] { InterruptObj()->ISet(QStringLiteral("Test")); });
        safety.start(safetyMs);
    }
    ~SessionRig() { ErrorObj()->LogScreen = nullptr; }

    clsTrace& Trace() { return *s->MyTrace; }
    QString Console() const { return console->Text(); }
    QString TraceText() const { return traceBox.Text(); }

    // The retrieval as the mail pane runs it, stopping at the first False.
    bool Retrieve() {
        if (!s->POP3Connect(true) || !s->POP3Login(true) || !s->POP3GetStat(true)) return false;
        if (s->MsgCnt >= 1 && (!s->POP3GetList(true) || !s->POP3GetMessages(true))) return false;
        return s->POP3Disconnect(true);
    }
};
