#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The files of one export, kept in memory until all are made, then written into a
// temporary folder beside the target and moved into place, so that a failure leaves
// the folder as it was (no half-written page set).
class HtmlPageSet {
public:
    void add(const QString& fileName, const QString& html) { m_files.append({fileName, html}); }
    const QList<QPair<QString, QString>>& files() const { return m_files; }
    // Writes every file into `folder` (UTF-8); false and a Russian reason on failure.
    bool write(const QString& folder, QString* error) const;

    // Text for HTML: "<", ">", "&" and quotes escaped.
    static QString escape(const QString& text);
    // The page's opening lines up to <body>, and its closing lines.
    static QString head(const QString& title);
    static QString tail();

private:
    QList<QPair<QString, QString>> m_files;
};
