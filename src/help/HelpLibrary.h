#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

// One part of a page: the text before the first section (empty anchor) or one
// <h2 id="..."> section.
struct HelpSection {
    QString anchor;
    QString title;
    QString text; // plain text, for search
};

struct HelpPage {
    QString file; // "filling.html"
    QString title;
    QString html;
    QList<HelpSection> sections;
};

// Where a search word was found.
struct HelpHit {
    QString target; // "page.html#anchor" or "page.html"
    QString title;  // page title, then the section's
    QString snippet;
};

// The guide's pages in one folder (the resource ":/help/ru" in the program): the pages,
// their order in the contents ("contents.txt": one file a line), the table of help
// contexts ("contexts.txt": "NUMBER page.html#anchor"), and search over titles and text.
class HelpLibrary {
public:
    explicit HelpLibrary(const QString& root = defaultRoot());
    static QString defaultRoot();

    const QString& root() const { return m_root; }
    QStringList contents() const { return m_contents; }
    QStringList files() const { return m_pages.keys(); }
    const HelpPage* page(const QString& file) const;
    const QMap<int, QString>& contexts() const { return m_contexts; }
    // The page and anchor of a help context; empty when the table has no such number.
    QString target(int context) const { return m_contexts.value(context); }
    // True when the target's page exists and holds the anchor (if one is named).
    bool resolves(const QString& target) const;
    // Lines of the two lists that could not be read, with their numbers.
    const QStringList& problems() const { return m_problems; }
    // Sections holding every word (case ignored); title hits first.
    QList<HelpHit> search(const QString& words) const;
    QUrl url(const QString& target) const;

    static QStringList anchorsOf(const QString& html);
    static QStringList linksOf(const QString& html);

private:
    void readPage(const QString& file);
    void readContents();
    void readContexts();

    QString m_root;
    QMap<QString, HelpPage> m_pages;
    QStringList m_contents;
    QMap<int, QString> m_contexts;
    QStringList m_problems;
};
