#pragma once

#include "HelpLibrary.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The help window: contents and search on the left, the page on the right, back and
// forward. One window serves the whole program.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the one help window near `from` on the page of the context (the first page
    // of the contents when the context has none).
    static HelpViewer* showContext(int context, QWidget* from);
    static HelpViewer* showContents(QWidget* from);
    // The window if it is open, else null.
    static HelpViewer* current();

    const HelpLibrary& library() const { return m_library; }
    void open(const QString& target);
    // "page.html#anchor" of what is shown.
    QString currentTarget() const;
    void search(const QString& words);
    // The results of the last search, as listed.
    QList<HelpHit> results() const { return m_hits; }
    QTextBrowser* browser() const { return m_browser; }

private:
    static HelpViewer* showTarget(const QString& target, QWidget* from);
    void buildContents();
    void followSource();

    HelpLibrary m_library;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    QListWidget* m_resultList = nullptr;
    QTextBrowser* m_browser = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QList<HelpHit> m_hits;
};
