#include "StatusMeter.h"

#include "ReportError.h"

StatusMeter::StatusMeter(const QString& module) : m_module(module) {}

StatusMeter::~StatusMeter() = default;

void StatusMeter::Start(bool DoTimer) {
    m_running = true;
    if (Timer) Timer->SetEnabled(DoTimer);
}

void StatusMeter::Stop() {
    m_running = false;
    if (Timer) Timer->SetEnabled(false);
}

void StatusMeter::Show(const QString& text) {
    if (Panel) Panel->SetText(text);
    if (Label) Label->setText(text);
}

void StatusMeter::ReportError(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportErrorOn(MyError.get(), description, context, m_module, routine, false, true);
}
