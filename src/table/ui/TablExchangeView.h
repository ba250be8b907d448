#pragma once

#include "ExchangeView.h"

class QLabel;
class QProgressBar;
class TBook;

// Filling and storing as the table editor shows them: pbLoad, the second panel of
// the status bar, and the control's repainting and selection events.
class TablExchangeView : public ExchangeView {
public:
    TablExchangeView(TBook* book, QProgressBar* progress, QLabel* statusPanel)
        : m_book(book), m_progress(progress), m_panel(statusPanel) {}

    void showProgress(int maximum) override;
    void stepProgress() override;
    void resetProgress() override;
    void hideProgress() override;
    QString statusText() const override;
    void setStatusText(const QString& text) override;
    void suspendUpdates(bool suspended) override;

private:
    TBook* m_book;
    QProgressBar* m_progress;
    QLabel* m_panel;
    int m_steps = 0;
};
