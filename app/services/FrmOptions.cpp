#include "FrmOptions.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ErrorTrap.h"
#include "FontFamilies.h"
#include "ProgramFolder.h"
#include "ReportError.h"
#include "Twips.h"
#include "modDialog.h"
#include "modGlobalFunctionsFiles.h"
#include "modGlobalFunctionsForms.h"
#include "modProcess.h"
#include "modRegistry.h"

namespace {
template <class T>
T* Named(T* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
}  // namespace

FrmOptions::FrmOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmOptions"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(Twips::ToPixels(6600), Twips::ToPixels(2700));
    setFont(FontFamilies::SansSerif(8.25));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    FraBack = Named(new QFrame(this), "FraBack");
    FraBack->setFrameStyle(QFrame::Panel | QFrame::Raised);
    outer->addWidget(FraBack);

    auto* back = new QVBoxLayout(FraBack);
    SSTabOptions = Named(new QTabWidget(FraBack), "SSTabOptions");
    auto* general = Named(new QWidget(SSTabOptions), "TabGeneral");
    auto* row = new QHBoxLayout(general);
    LabEditor = Named(new QLabel(QStringLiteral("Editor"), general), "LabEditor");
    TxtEditor = Named(new QLineEdit(general), "TxtEditor");
    ComEditor = Named(new QPushButton(QStringLiteral("..."), general), "ComEditor");
    ComEditor->setFixedWidth(Twips::ToPixels(450));
    row->addWidget(LabEditor);
    row->addWidget(TxtEditor, 1);
    row->addWidget(ComEditor);
    SSTabOptions->addTab(general, QStringLiteral("General"));
    back->addWidget(SSTabOptions, 1);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    ComOK = Named(new QPushButton(QStringLiteral("Ok"), FraBack), "ComOK");
    ComOK->setDefault(true);
    buttons->addWidget(ComOK);
    back->addLayout(buttons);

    connect(ComEditor, &QPushButton::clicked, this, &FrmOptions::ComEditor_Click);
    connect(ComOK, &QPushButton::clicked, this, &FrmOptions::ComOK_Click);
}

void FrmOptions::Report(const QString& description, const QString& routine) {
    modGlobalFunctions::ReportError(description, QString(), QStringLiteral("FrmOptions"), routine, false, true);
}

void FrmOptions::Form_Load() {
    Trap(
        [&] {
            QWidget* main = parentWidget() ? parentWidget()->window()
                                           : modGlobalFunctions::IsFormLoaded(QStringLiteral("FrmMain"));
            modGlobalFunctions::CenterForm(this, main);
            TxtEditor->setText(EditorPath);
        },
        [&](const QString& d) { Report(d, QStringLiteral("Form_Load")); });
}

void FrmOptions::ComEditor_Click() {
    Trap(
        [&] {
            QString folder = modRegistry::GetSetting(QStringLiteral("WrkDir"), ProgramFolder::Path());
            if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
            QString fileName;
            QString dir;
            // Linux programs have no ".exe": the dialog opens on "All files"
            // and adds no extension to a typed name.
            modDialog::ShowDialog(modDialog::OFN_HIDEREADONLY, 2, 4096,
                                  QStringLiteral("Exe files (*.exe)|*.exe|All files (*.*)|*.*|"), folder, fileName,
                                  QString(), QStringLiteral("Select a File Editor Application"), nullptr,
                                  QStringLiteral("Select"), QStringLiteral("Cancel"), dir, this);
            // A program path with blanks stays one word of the command.
            if (!fileName.isEmpty()) TxtEditor->setText(modProcess::QuoteWord(fileName));
        },
        [&](const QString& d) { Report(d, QStringLiteral("ComEditor_Click")); });
}

void FrmOptions::ComOK_Click() {
    Trap(
        [&] {
            EditorPath = TxtEditor->text();
            modRegistry::SetSetting(QStringLiteral("Editor"), EditorPath);
            accept();
        },
        [&](const QString& d) { Report(d, QStringLiteral("ComOk_Click")); });
}
