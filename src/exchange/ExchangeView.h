#pragma once

#include <QString>
#include <QStringList>

// What filling and storing show while they run: the progress bar, the status
// panel, and the window's repainting and selection events, off during the work.
// The defaults only remember the status texts, which is all a batch run needs.
class ExchangeView {
public:
    virtual ~ExchangeView() = default;

    virtual void showProgress(int maximum) { (void)maximum; }
    virtual void stepProgress() {}
    virtual void resetProgress() {}
    virtual void hideProgress() {}

    virtual QString statusText() const { return m_status; }
    virtual void setStatusText(const QString& text) {
        m_status = text;
        m_history << text;
    }
    const QStringList& statusHistory() const { return m_history; }

    // Repainting and selection events off (true) or back on (false).
    virtual void suspendUpdates(bool suspended) { m_suspended = suspended; }
    bool updatesSuspended() const { return m_suspended; }

private:
    QString m_status;
    QStringList m_history;
    bool m_suspended = false;
};
