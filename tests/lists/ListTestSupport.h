#pragma once

// Helpers of the descriptor and list-dialog tests: a console that collects
// reports, every field of a descriptor as text, an owner window, and the
// dialog seam reset around each test.
#include <QDialog>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include "ListDialogSeam.h"
#include "OwnerEnabler.h"
#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "clsEmailList.h"
#include "clsError.h"

namespace ListTest {

// A fresh ErrorObj whose console collects every report made while it lives.
struct Console {
    QWidget form;
    RichTextBox* text;
    Console() {
        ReleaseErrorObj();
        text = new RichTextBox(&form);
        text->setObjectName(QStringLiteral("TxtErrors"));
        ErrorObj()->LogScreen = &form;
    }
    bool Has(const QString& message) const { return text->Text().contains(QStringLiteral("Message : ") + message); }
    bool Empty() const { return text->Text().isEmpty(); }
};

// Every field as name=value, in declaration order.
inline QStringList Describe(const clsEmailList& l) {
    auto b = [](bool v) { return QString::fromLatin1(v ? "True" : "False"); };
    return {
        "NameSrc=" + l.NameSrc,
        "NameOut=" + l.NameOut,
        "NameDup=" + l.NameDup,
        "NameInv=" + l.NameInv,
        "NameSta=" + l.NameSta,
        "Domain=" + l.Domain,
        "extension=" + l.extension,
        "RecSep=" + l.RecSep,
        "FldSep=" + l.FldSep,
        "ColNbr=" + QString::number(l.ColNbr),
        "FldTab=" + b(l.FldTab),
        "FldCol=" + b(l.FldCol),
        "FldCom=" + b(l.FldCom),
        "FldSpc=" + b(l.FldSpc),
        "FldOth=" + b(l.FldOth),
        "RecCr=" + b(l.RecCr),
        "RecLf=" + b(l.RecLf),
        "RecCrLF=" + b(l.RecCrLF),
        "RecOth=" + b(l.RecOth),
        "ByDomain=" + b(l.ByDomain),
        "ByDomNam=" + b(l.ByDomNam),
        "ByDomExt=" + b(l.ByDomExt),
        "ByRecNbr=" + b(l.ByRecNbr),
        "KeepAllCols=" + b(l.KeepAllCols),
        "ChunkSize=" + QString::number(l.ChunkSize),
    };
}

// The fields that differ between two descriptors, as "name=before -> after".
inline QStringList Changed(const clsEmailList& before, const clsEmailList& after) {
    const QStringList a = Describe(before);
    const QStringList b = Describe(after);
    QStringList changed;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a.at(i) != b.at(i)) changed << a.at(i) + " -> " + b.at(i).section(QLatin1Char('='), 1);
    return changed;
}

// The calling window of a dialog, with a control of its own.
struct Owner {
    QWidget window;
    QLineEdit* control;
    Owner() {
        window.setObjectName(QStringLiteral("FrmOwner"));
        control = new QLineEdit(&window);
        window.resize(800, 600);
    }
    bool Enabled() const { return OwnerEnabler::IsEnabled(&window) && control->isEnabled(); }
};

// Every modal list dialog must be expected by the test.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ListDialogSeam::Install(
            [](QDialog* d) { ADD_FAILURE() << "unexpected dialog: " << d->objectName().toStdString(); });
    }
    void TearDown() override { ListDialogSeam::Install(nullptr); }
};

}  // namespace ListTest
