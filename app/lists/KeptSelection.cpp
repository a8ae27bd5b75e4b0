#include "KeptSelection.h"

#include <QEvent>
#include <QLineEdit>

KeptSelection::KeptSelection(QLineEdit* box) : QObject(box), m_box(box) {
    setObjectName(QStringLiteral("KeptSelection"));
    box->installEventFilter(this);
}

void KeptSelection::Keep(QLineEdit* box) {
    if (box != nullptr && box->findChild<KeptSelection*>(QString(), Qt::FindDirectChildrenOnly) == nullptr)
        new KeptSelection(box);
}

void KeptSelection::Focus(QLineEdit* box) {
    if (box == nullptr) return;
    box->setFocus();
    const auto* kept = box->findChild<KeptSelection*>(QString(), Qt::FindDirectChildrenOnly);
    if (kept == nullptr || kept->m_anchor < 0 || box->hasSelectedText() || kept->m_text != box->text()) return;
    // The caret goes back to the end the user dragged to.
    box->setSelection(kept->m_anchor, kept->m_caret - kept->m_anchor);
}

bool KeptSelection::eventFilter(QObject* watched, QEvent* event) {
    // Runs before the box's own handler, which clears the selection.
    if (watched == m_box && event->type() == QEvent::FocusOut) {
        m_text = m_box->text();
        m_caret = m_box->cursorPosition();
        if (m_box->hasSelectedText()) {
            const int start = m_box->selectionStart();
            m_anchor = m_caret == start ? start + m_box->selectedText().size() : start;
        } else {
            m_anchor = -1;
        }
    }
    return QObject::eventFilter(watched, event);
}
