#include "TablExchangeView.h"

#include "TBook.h"

#include <QLabel>
#include <QProgressBar>

void TablExchangeView::showProgress(int maximum) {
    m_progress->setMinimum(0);
    m_progress->setMaximum(maximum);
    m_progress->setValue(0);
    m_progress->setVisible(true);
    m_progress->repaint();
    m_steps = 0;
}

void TablExchangeView::stepProgress() {
    // The control does not repaint during the work; the bar does, now and then.
    m_progress->setValue(m_progress->value() + 1);
    if (++m_steps % 64 == 0)
        m_progress->repaint();
}

void TablExchangeView::resetProgress() {
    m_progress->setValue(0);
}

void TablExchangeView::hideProgress() {
    m_progress->setVisible(false);
}

QString TablExchangeView::statusText() const {
    return m_panel->text();
}

void TablExchangeView::setStatusText(const QString& text) {
    ExchangeView::setStatusText(text);
    m_panel->setText(text);
    m_panel->repaint();
}

void TablExchangeView::suspendUpdates(bool suspended) {
    ExchangeView::suspendUpdates(suspended);
    m_book->setDoSelChange(!suspended);
    m_book->setRepaint(!suspended);
}
