#pragma once

// Helpers of the application-service tests: a form with an error console
// that collects every report, and a settings file in the test's folder.
#include <QDir>
#include <QString>
#include <QWidget>

#include "RichTextBox.h"
#include "ServiceObjects.h"
#include "TestHarness.h"
#include "clsError.h"
#include "modRegistry.h"

namespace ServiceTest {

// Every report made while it lives lands in its console.
struct Console {
    QWidget form;
    RichTextBox* text;
    Console() {
        form.setObjectName(QStringLiteral("ConsoleForm"));
        text = new RichTextBox(&form);
        text->setObjectName(QStringLiteral("TxtErrors"));
        ErrorObj()->LogScreen = &form;
    }
    QString Text() const { return text->Text(); }
    // Number of entries whose message line holds the text.
    int Count(const QString& message) const {
        return static_cast<int>(Text().count(QStringLiteral("Message : ") + message));
    }
    bool Has(const QString& message) const { return Count(message) > 0; }
    bool Empty() const { return Text().isEmpty(); }
};

// A new settings file in the test's folder, config<n>/OrmidYRB100.conf.
struct TempSettings {
    QString path;
    QString before;
    TempSettings() {
        static int count = 0;
        before = modRegistry::SettingsFile();
        path = QDir(TestHarness::Folder()).filePath(QStringLiteral("config%1/OrmidYRB100.conf").arg(++count));
        modRegistry::SetSettingsFile(path);
    }
    ~TempSettings() { modRegistry::SetSettingsFile(before); }
};

}  // namespace ServiceTest
