#include "FrmName.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "DialogControls.h"
#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "OwnerEnabler.h"
#include "ReportError.h"
#include "Rules.h"
#include "Twips.h"
#include "clsRule.h"
#include "modGlobalFunctions.h"
#include "modGlobalFunctionsForms.h"

namespace {

const QString kModule = QStringLiteral("FrmName");
const QString kInvalidTitle = QStringLiteral("Invalid Set Name");

// Blanks off both ends, as the name is kept.
QString TrimBlanks(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == QLatin1Char(' ')) ++from;
    while (to > from && text[to - 1] == QLatin1Char(' ')) --to;
    return text.mid(from, to - from);
}

// The criteria file cuts its fields at these: a name holding one would
// come back as another set.
bool HoldsFileSeparator(const QString& text) {
    for (QChar c : text)
        if (c == QLatin1Char('|') || c == QLatin1Char(';') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return true;
    return false;
}

}  // namespace

FrmName::FrmName(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmName"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Provide a Criteria Set Name"));
    setFont(FontFamilies::SansSerif(8.25));
    FraBack = NewControl<QGroupBox>(this, "FraBack", QStringLiteral(" Criteria Set name "), {0, 0, 5415, 1215});
    TxtName = NewControl<QLineEdit>(FraBack, "TxtName", QString(), {120, 360, 5175, 285});
    ComSelect = NewControl<QPushButton>(FraBack, "ComSelect", QStringLiteral("Select"), {4080, 760, 1215, 300});
    ComSelect->setDefault(true);
    setFixedSize(Twips::ToPixels(5415), Twips::ToPixels(1215));
    connect(ComSelect, &QPushButton::clicked, this, &FrmName::ComSelect_Click);
}

FrmName::~FrmName() {
    // A caller that skips the unload still gets its window back.
    if (!m_unloaded) OwnerEnabler::SetEnabled(OwnerForm, true);
}

void FrmName::Report(const QString& description, const QString& context, const QString& routine) {
    modGlobalFunctions::ReportError(description, context, kModule, routine, false, true);
}

void FrmName::Initialize() {
    Trap(
        [&] {
            modGlobalFunctions::CenterForm(this, OwnerForm);
            OwnerEnabler::SetEnabled(OwnerForm, false);
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("Initialize")); });
}

void FrmName::Refuse(const QString& message, const QString& title) {
    modGlobalFunctions::DisplayMessage({.message = message,
                                        .Title = title,
                                        .IconNb = MsgBoxIcon::Error,
                                        .ShowOk = true,
                                        .CForm = this,
                                        .OForm = this});
}

void FrmName::ComSelect_Click() {
    Trap(
        [&] {
            const QString typed = TxtName->text();
            if (typed.isEmpty()) {
                Refuse(QStringLiteral("A name must be provided for the new set of criteria"), kInvalidTitle);
                return;
            }
            if (HoldsFileSeparator(typed)) {
                Refuse(QStringLiteral("A set name cannot contain '|', ';' or a line break"), kInvalidTitle);
                return;
            }
            const QString text = TrimBlanks(typed);
            TxtName->setText(text);
            if (Rules) {
                const QString lowered = text.toLower();
                for (const std::shared_ptr<clsRule>& set : *Rules) {
                    if (!set || set->name.toLower() != lowered) continue;
                    Refuse(QStringLiteral("Another set of criteria is already named as '") + text + QStringLiteral("'"),
                           QStringLiteral("Duplicate Set Name"));
                    return;
                }
            }
            // Hidden, not unloaded: the caller reads the name, then unloads.
            hide();
        },
        [&](const QString& d) { Report(d, QString(), QStringLiteral("ComSelect_Click")); });
}

void FrmName::Unload() { close(); }

void FrmName::reject() { close(); }

void FrmName::closeEvent(QCloseEvent* event) {
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
}

void FrmName::Form_Unload() {
    Trap(
        [&] {
            Cancel = true;
            OwnerEnabler::SetEnabled(OwnerForm, true);
        },
        [&](const QString& d) { Report(d, QStringLiteral("Error Unloading Form"), QStringLiteral("Form_Unload")); });
}
