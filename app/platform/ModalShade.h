#pragma once

#include <vector>

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// Draws the windows a modal window blocks as disabled.  Qt blocks their
// input without changing their look, so under a message box or the file
// dialog the main window's buttons looked usable.  Their content is disabled
// through OwnerEnabler (never the window itself, which would disable the
// modal window with it) and enabled again when the modal window goes.
class ModalShade : public QObject {
    Q_OBJECT
public:
    // Watches every window of the application from now on; once is enough.
    static void Install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ModalShade(QObject* parent);
    void Shade(QWidget* modal);
    void Unshade(const QObject* modal);

    struct Shaded {
        const QObject* modal;
        QList<QPointer<QWidget>> windows;
        QList<QPointer<QWidget>> focus;  // each window's focused control, given back
        QMetaObject::Connection destroyed;
    };
    std::vector<Shaded> m_shaded;
};
