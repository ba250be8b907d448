#include "HelpViewer.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QPointer<HelpViewer>& theViewer() {
    static QPointer<HelpViewer> viewer;
    return viewer;
}

const int targetRole = Qt::UserRole;

} // namespace

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Помощь"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_back = new QToolButton;
    m_back->setObjectName(QStringLiteral("SBback"));
    m_back->setText(QStringLiteral("Назад"));
    m_back->setEnabled(false);
    m_forward = new QToolButton;
    m_forward->setObjectName(QStringLiteral("SBforward"));
    m_forward->setText(QStringLiteral("Вперёд"));
    m_forward->setEnabled(false);
    auto* home = new QToolButton;
    home->setText(QStringLiteral("Начало"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(home);
    bar->addStretch();

    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("tvContents"));
    m_contents->setHeaderHidden(true);
    m_searchEdit = new QLineEdit;
    m_searchEdit->setObjectName(QStringLiteral("edSearch"));
    m_searchEdit->setPlaceholderText(QStringLiteral("Слова для поиска"));
    auto* find = new QPushButton(QStringLiteral("Найти"));
    m_resultList = new QListWidget;
    m_resultList->setObjectName(QStringLiteral("lbResults"));
    m_resultList->setWordWrap(true);
    auto* searchPage = new QWidget;
    auto* searchBox = new QVBoxLayout(searchPage);
    auto* searchLine = new QHBoxLayout;
    searchLine->addWidget(m_searchEdit);
    searchLine->addWidget(find);
    searchBox->addLayout(searchLine);
    searchBox->addWidget(m_resultList);
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("pcLeft"));
    tabs->addTab(m_contents, QStringLiteral("Содержание"));
    tabs->addTab(searchPage, QStringLiteral("Поиск"));

    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("tbPage"));
    m_browser->setOpenExternalLinks(true);
    auto* split = new QSplitter;
    split->addWidget(tabs);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split);
    resize(1280, 760); // the screenshots in the pages are up to 980 pixels wide
    split->setSizes({260, 1020});

    buildContents();
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    // A jump inside the page changes no source, but it changes the history.
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] { followSource(); });
    connect(m_browser, &QTextBrowser::historyChanged, this, [this] { followSource(); });
    connect(home, &QToolButton::clicked, this, [this] {
        if (!m_library.contents().isEmpty())
            open(m_library.contents().first());
    });
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { open(item->data(0, targetRole).toString()); });
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { open(item->data(0, targetRole).toString()); });
    auto runSearch = [this] {
        search(m_searchEdit->text());
        if (!m_hits.isEmpty())
            open(m_hits.first().target);
    };
    connect(m_searchEdit, &QLineEdit::returnPressed, this, runSearch);
    connect(find, &QPushButton::clicked, this, runSearch);
    connect(m_resultList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < m_hits.size())
            open(m_hits[row].target);
    });
}

void HelpViewer::buildContents() {
    for (const QString& file : m_library.contents()) {
        const HelpPage* p = m_library.page(file);
        auto* item = new QTreeWidgetItem(m_contents, {p->title});
        item->setData(0, targetRole, file);
        for (const HelpSection& s : p->sections) {
            if (s.anchor.isEmpty())
                continue;
            auto* sub = new QTreeWidgetItem(item, {s.title});
            sub->setData(0, targetRole, file + QLatin1Char('#') + s.anchor);
        }
    }
}

HelpViewer* HelpViewer::current() {
    return theViewer();
}

HelpViewer* HelpViewer::showTarget(const QString& target, QWidget* from) {
    // A window opened beside a modal one must belong to it, or the modal one blocks it.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner && from)
        owner = from->window();
    QPointer<HelpViewer>& viewer = theViewer();
    if (!viewer)
        viewer = new HelpViewer(owner);
    else if (QApplication::activeModalWidget() && viewer->parentWidget() != owner)
        viewer->setParent(owner, Qt::Window);
    viewer->open(target);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

HelpViewer* HelpViewer::showContext(int context, QWidget* from) {
    HelpLibrary library;
    const QString target = library.target(context);
    return showTarget(target.isEmpty() && !library.contents().isEmpty() ? library.contents().first()
                                                                        : target,
                      from);
}

HelpViewer* HelpViewer::showContents(QWidget* from) {
    HelpLibrary library;
    return showTarget(library.contents().value(0), from);
}

void HelpViewer::open(const QString& target) {
    if (target.isEmpty() || target == currentTarget())
        return;
    m_browser->setSource(m_library.url(target));
}

QString HelpViewer::currentTarget() const {
    const QUrl u = m_browser->source();
    if (u.isEmpty())
        return {};
    const QString file = u.fileName();
    return u.hasFragment() ? file + QLatin1Char('#') + u.fragment() : file;
}

void HelpViewer::search(const QString& words) {
    m_searchEdit->setText(words);
    m_hits = m_library.search(words);
    const QSignalBlocker quiet(m_resultList);
    m_resultList->clear();
    for (const HelpHit& hit : m_hits) {
        auto* item = new QListWidgetItem(hit.title + QLatin1Char('\n') + hit.snippet);
        item->setToolTip(hit.snippet);
        m_resultList->addItem(item);
    }
    if (m_hits.isEmpty())
        m_resultList->addItem(QStringLiteral("Ничего не найдено"));
}

// The contents follow the page shown, whichever way it was reached.
void HelpViewer::followSource() {
    const QString target = currentTarget();
    const QString file = target.section(QLatin1Char('#'), 0, 0);
    QTreeWidgetItem* best = nullptr;
    for (int i = 0; i < m_contents->topLevelItemCount() && !best; ++i) {
        QTreeWidgetItem* page = m_contents->topLevelItem(i);
        if (page->data(0, targetRole).toString() != file)
            continue;
        best = page;
        for (int j = 0; j < page->childCount(); ++j)
            if (page->child(j)->data(0, targetRole).toString() == target)
                best = page->child(j);
    }
    const QSignalBlocker quiet(m_contents);
    if (best) {
        if (best->parent())
            best->parent()->setExpanded(true);
        m_contents->setCurrentItem(best);
    }
    const HelpPage* p = m_library.page(file);
    setWindowTitle(p ? QStringLiteral("Помощь — ") + p->title : QStringLiteral("Помощь"));
}
