#include "TfmAgrView.h"
#include "PickerToolBar.h"

#include "DbError.h"
#include "HelpContexts.h"
#include "HelpKey.h"
#include "Prompter.h"

#include <QKeyEvent>
#include <QProgressBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

TfmAgrView::TfmAgrView(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), TrvMaster(new QTreeWidget(this)), m_dm(dm), m_prompter(prompter),
      pbKod(new QProgressBar(this)) {
    SetHelpContext(this, HelpContexts::NodePicker);
    setObjectName(QStringLiteral("fmAgrView"));
    setWindowTitle(QStringLiteral("Справочник объектов"));
    auto* bar = new QToolBar(this);
    auto add = [&](const char* name, const QString& hint) {
        return AddPickerAction(bar, name, hint);
    };
    SBtree1 = add("SBtree1", QStringLiteral("Весь справочник объектов"));
    SBtree2 = add("SBtree2", QStringLiteral("Убрать отметки"));
    sbKod = add("sbKod", QStringLiteral("Показать код объекта"));
    sbKod->setCheckable(true);
    SBrefr = add("SBrefr", QStringLiteral("Обновить справочник из базы данных"));
    SBtable = add("SBtable", QStringLiteral("Перенести в таблицу"));
    TrvMaster->setObjectName(QStringLiteral("TrvMaster"));
    TrvMaster->setHeaderHidden(true);
    TrvMaster->setContextMenuPolicy(Qt::CustomContextMenu);
    TrvMaster->installEventFilter(this);
    pbKod->setObjectName(QStringLiteral("pbKod"));
    pbKod->setVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(TrvMaster, 1);
    layout->addWidget(pbKod);
    resize(520, 520);

    connect(SBtree1, &QAction::triggered, this, &TfmAgrView::SBtree1Click);
    connect(SBtree2, &QAction::triggered, this, &TfmAgrView::SBtree2Click);
    connect(sbKod, &QAction::toggled, this, &TfmAgrView::sbKodClick);
    connect(SBrefr, &QAction::triggered, this, &TfmAgrView::reload);
    connect(SBtable, &QAction::triggered, this, &TfmAgrView::SBtableClick);
    // The marks follow what is shown, so the model learns every opening and closing.
    connect(TrvMaster, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* it) { m_marks.setExpanded(indexOf(it), true); });
    connect(TrvMaster, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* it) { m_marks.setExpanded(indexOf(it), false); });
    connect(TrvMaster, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QTreeWidgetItem* it = TrvMaster->itemAt(pos))
            toggleNode(indexOf(it));
    });
}

void TfmAgrView::activate(int numAgr, const QString& caption) {
    setWindowTitle(caption.trimmed().isEmpty() ? QStringLiteral("Справочник объектов")
                                               : caption.trimmed());
    if (!m_loaded || numAgr != m_marks.numAgr()) {
        m_marks.load(numAgr, {});
        reload();
    }
}

void TfmAgrView::reload() {
    const int numAgr = m_marks.numAgr();
    QList<AgrNode> nodes;
    try {
        nodes = ReadAgrNodes(m_dm, numAgr);
        m_loaded = true;
    } catch (const DbError& e) {
        m_loaded = false;
        m_prompter.error(QStringLiteral("Не удалось прочитать справочник объектов\r\n") +
                         e.message());
    }
    m_marks.load(numAgr, nodes);
    buildTree();
    if (m_loaded && nodes.isEmpty())
        m_prompter.info(QStringLiteral("Справочник пуст"));
}

void TfmAgrView::buildTree() {
    TrvMaster->clear();
    m_items.clear();
    for (int i = 0; i < m_marks.size(); ++i) {
        const int p = m_marks.parent(i);
        auto* it = p >= 0 ? new QTreeWidgetItem(m_items[p]) : new QTreeWidgetItem(TrvMaster);
        // Marks change only through the marking rule, never by the box alone.
        it->setFlags(it->flags() & ~Qt::ItemIsUserCheckable);
        m_items << it;
    }
    showTexts();
    showMarks();
    if (!m_items.isEmpty())
        TrvMaster->setCurrentItem(m_items.first());
    updateCommands();
}

void TfmAgrView::toggleNode(int i) {
    if (i < 0 || i >= m_marks.size())
        return;
    const int next = m_marks.toggle(i);
    showMarks();
    TrvMaster->setCurrentItem(m_items[next]);
    updateCommands();
}

void TfmAgrView::SBtree1Click() {
    m_marks.markAll();
    TrvMaster->expandAll();
    showMarks();
    updateCommands();
}

void TfmAgrView::SBtree2Click() {
    m_marks.clearMarks();
    showMarks();
    updateCommands();
}

void TfmAgrView::sbKodClick(bool withCodes) {
    sbKod->setToolTip(withCodes ? QStringLiteral("Убрать код объекта")
                                : QStringLiteral("Показать код объекта"));
    showTexts();
}

void TfmAgrView::SBtableClick() {
    if (m_marks.markedCount() == 0 || !m_transfer)
        return;
    if (m_transfer(m_marks.chosen()))
        accept();
}

void TfmAgrView::done(int result) {
    m_marks.clearMarks();
    showMarks();
    updateCommands();
    QDialog::done(result);
}

bool TfmAgrView::eventFilter(QObject* watched, QEvent* event) {
    QTreeWidgetItem* it = TrvMaster->currentItem();
    if (watched == TrvMaster && it && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space) {
            toggleNode(indexOf(it));
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            it->setExpanded(!it->isExpanded());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmAgrView::showTexts() {
    const bool withCodes = sbKod->isChecked();
    pbKod->setRange(0, m_marks.size());
    pbKod->setVisible(withCodes && m_marks.size() > 0);
    for (int i = 0; i < m_items.size(); ++i) {
        m_items[i]->setText(0, withCodes ? m_marks.prefixedText(i) : m_marks.node(i).name);
        pbKod->setValue(i + 1);
    }
    pbKod->setVisible(false);
}

void TfmAgrView::showMarks() {
    for (int i = 0; i < m_items.size(); ++i)
        m_items[i]->setCheckState(0, m_marks.isMarked(i) ? Qt::Checked : Qt::Unchecked);
}

void TfmAgrView::updateCommands() {
    const bool any = m_marks.size() > 0;
    SBtree1->setEnabled(any);
    SBtree2->setEnabled(any);
    sbKod->setEnabled(any);
    SBtable->setEnabled(m_marks.markedCount() > 0);
}

int TfmAgrView::indexOf(QTreeWidgetItem* item) const {
    return int(m_items.indexOf(item));
}
