#pragma once

#include <functional>
#include <memory>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "OwnerDataListView.h"
#include "SystemMetrics.h"
#include "clsError.h"
#include "clsVirtualListview.h"

// A form with a picture box holding a list view pane, shown offscreen.
template <class Pane>
struct PaneForm {
    QWidget form;
    QWidget* pic;
    Pane pane;

    explicit PaneForm(int width = 400, int height = 300) {
        form.setObjectName(QStringLiteral("FrmTest"));
        form.resize(width + 20, height + 20);
        pic = new QWidget(&form);
        pic->setObjectName(QStringLiteral("PicVL"));
        pic->setGeometry(10, 10, width, height);
        pane.MyError = std::make_shared<clsError>();
        pane.Initialize(pic);
    }
    OwnerDataListView* list() const { return pane.ListWindow(); }
    void Show() {
        form.show();
        QApplication::setActiveWindow(&form);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

// Fixed system metrics for the test's lifetime.
struct MetricsScope {
    explicit MetricsScope(std::function<int(int)> source) { SystemMetrics::Install(std::move(source)); }
    ~MetricsScope() { SystemMetrics::Install(nullptr); }
};
