#include "HelpLibrary.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace {

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QString plain(const QString& html) {
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

const QRegularExpression& h2Pattern() {
    static const QRegularExpression re(QStringLiteral("<h2([^>]*)>(.*?)</h2>"),
                                       QRegularExpression::DotMatchesEverythingOption |
                                           QRegularExpression::CaseInsensitiveOption);
    return re;
}

QString idOf(const QString& attributes) {
    static const QRegularExpression re(QStringLiteral("\\bid\\s*=\\s*\"([^\"]*)\""));
    return re.match(attributes).captured(1);
}

// Non-empty lines without the comments ("#" at the start of a line), with their numbers.
QList<std::pair<int, QString>> listLines(const QString& text) {
    QList<std::pair<int, QString>> lines;
    const QStringList all = text.split(QLatin1Char('\n'));
    for (int i = 0; i < all.size(); ++i) {
        const QString line = all[i].trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            lines.append({i + 1, line});
    }
    return lines;
}

QString snippetAround(const QString& text, qsizetype at) {
    const qsizetype from = std::max<qsizetype>(0, at - 40);
    QString s = text.mid(from, 140);
    if (from > 0)
        s.prepend(QStringLiteral("…"));
    if (from + 140 < text.size())
        s.append(QStringLiteral("…"));
    return s;
}

} // namespace

HelpLibrary::HelpLibrary(const QString& root) : m_root(root) {
    const QStringList pages = QDir(root).entryList({QStringLiteral("*.html")}, QDir::Files);
    for (const QString& file : pages)
        readPage(file);
    readContents();
    readContexts();
}

QString HelpLibrary::defaultRoot() {
    return QStringLiteral(":/help/ru");
}

const HelpPage* HelpLibrary::page(const QString& file) const {
    auto it = m_pages.constFind(file);
    return it == m_pages.constEnd() ? nullptr : &it.value();
}

void HelpLibrary::readPage(const QString& file) {
    HelpPage p;
    p.file = file;
    p.html = readText(m_root + QLatin1Char('/') + file);
    static const QRegularExpression h1(QStringLiteral("<h1[^>]*>(.*?)</h1>"),
                                       QRegularExpression::DotMatchesEverythingOption |
                                           QRegularExpression::CaseInsensitiveOption);
    p.title = plain(h1.match(p.html).captured(1));
    if (p.title.isEmpty())
        p.title = file;

    // The body is cut at each <h2>: the part before the first one belongs to the page.
    static const QRegularExpression bodyStart(QStringLiteral("</h1>"),
                                              QRegularExpression::CaseInsensitiveOption);
    qsizetype pos = p.html.indexOf(bodyStart);
    pos = pos < 0 ? 0 : pos + 5;
    HelpSection current{QString(), p.title, QString()};
    auto it = h2Pattern().globalMatch(p.html, pos);
    while (it.hasNext()) {
        const auto m = it.next();
        current.text = plain(p.html.mid(pos, m.capturedStart() - pos));
        p.sections.append(current);
        current = HelpSection{idOf(m.captured(1)), plain(m.captured(2)), QString()};
        pos = m.capturedEnd();
    }
    current.text = plain(p.html.mid(pos));
    p.sections.append(current);
    m_pages.insert(file, p);
}

void HelpLibrary::readContents() {
    for (const auto& [number, line] : listLines(readText(m_root + "/contents.txt"))) {
        if (m_pages.contains(line))
            m_contents.append(line);
        else
            m_problems.append(QStringLiteral("contents.txt:%1: no page %2").arg(number).arg(line));
    }
}

void HelpLibrary::readContexts() {
    static const QRegularExpression re(QStringLiteral("^(\\d+)\\s+(\\S+)"));
    for (const auto& [number, line] : listLines(readText(m_root + "/contexts.txt"))) {
        const auto m = re.match(line);
        const int context = m.hasMatch() ? m.captured(1).toInt() : 0;
        if (context <= 0 || m_contexts.contains(context))
            m_problems.append(QStringLiteral("contexts.txt:%1: %2").arg(number).arg(line));
        else
            m_contexts.insert(context, m.captured(2));
    }
}

bool HelpLibrary::resolves(const QString& target) const {
    const QString file = target.section(QLatin1Char('#'), 0, 0);
    const QString anchor = target.section(QLatin1Char('#'), 1);
    const HelpPage* p = page(file);
    return p && (anchor.isEmpty() || anchorsOf(p->html).contains(anchor));
}

QList<HelpHit> HelpLibrary::search(const QString& words) const {
    const QStringList wanted = words.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<HelpHit> inTitles, inText;
    if (wanted.isEmpty())
        return {};
    QStringList order = m_contents;
    for (const QString& file : m_pages.keys())
        if (!order.contains(file))
            order.append(file);
    for (const QString& file : order) {
        const HelpPage& p = m_pages[file];
        for (const HelpSection& s : p.sections) {
            const QString all = s.title + QLatin1Char(' ') + s.text;
            bool every = true, titled = true;
            for (const QString& w : wanted) {
                every = every && all.contains(w, Qt::CaseInsensitive);
                titled = titled && s.title.contains(w, Qt::CaseInsensitive);
            }
            if (!every)
                continue;
            HelpHit hit;
            hit.target = s.anchor.isEmpty() ? file : file + QLatin1Char('#') + s.anchor;
            hit.title = s.anchor.isEmpty() ? p.title : p.title + QStringLiteral(": ") + s.title;
            const qsizetype at = s.text.indexOf(wanted.first(), 0, Qt::CaseInsensitive);
            hit.snippet = snippetAround(s.text, std::max<qsizetype>(at, 0));
            (titled ? inTitles : inText).append(hit);
        }
    }
    return inTitles + inText;
}

QUrl HelpLibrary::url(const QString& target) const {
    QString path = m_root;
    QUrl u;
    if (path.startsWith(QLatin1Char(':'))) {
        u.setScheme(QStringLiteral("qrc"));
        path.remove(0, 1);
    } else {
        u.setScheme(QStringLiteral("file"));
    }
    u.setPath(path + QLatin1Char('/') + target.section(QLatin1Char('#'), 0, 0));
    const QString anchor = target.section(QLatin1Char('#'), 1);
    if (!anchor.isEmpty())
        u.setFragment(anchor);
    return u;
}

QStringList HelpLibrary::anchorsOf(const QString& html) {
    static const QRegularExpression re(QStringLiteral("\\b(?:id|name)\\s*=\\s*\"([^\"]*)\""));
    QStringList anchors;
    auto it = re.globalMatch(html);
    while (it.hasNext())
        anchors.append(it.next().captured(1));
    return anchors;
}

QStringList HelpLibrary::linksOf(const QString& html) {
    static const QRegularExpression re(QStringLiteral("\\b(?:href|src)\\s*=\\s*\"([^\"]*)\""));
    QStringList links;
    auto it = re.globalMatch(html);
    while (it.hasNext())
        links.append(it.next().captured(1));
    return links;
}
