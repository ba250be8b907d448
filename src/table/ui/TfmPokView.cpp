#include "TfmPokView.h"
#include "PickerToolBar.h"

#include "DbError.h"
#include "DbStatement.h"
#include "HelpContexts.h"
#include "HelpKey.h"
#include "Prompter.h"
#include "TdmMSSQL.h"

#include <QKeyEvent>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

TfmPokView::TfmPokView(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_prompter(prompter), trvMaster(new QTreeWidget(this)),
      lvSlave(new QTreeWidget(this)) {
    SetHelpContext(this, HelpContexts::IndicatorPicker);
    setObjectName(QStringLiteral("fmPokView"));
    setWindowTitle(QStringLiteral("Просмотр справочника показателей"));
    auto* bar = new QToolBar(this);
    auto add = [&](const char* name, const QString& hint) {
        return AddPickerAction(bar, name, hint);
    };
    SBgetpok = add("SBgetpok", QStringLiteral("Отобрать все показатели раздела"));
    SBclearpok = add("SBclearpok", QStringLiteral("Снять отбор показателей"));
    SBrefr = add("SBrefr", QStringLiteral("Обновить каталог из базы данных"));
    SBtable = add("SBtable", QStringLiteral("Перенести в таблицу"));
    trvMaster->setObjectName(QStringLiteral("trvMaster"));
    trvMaster->setHeaderHidden(true);
    lvSlave->setObjectName(QStringLiteral("lvSlave"));
    lvSlave->setHeaderLabels(
        {QStringLiteral("Наименование"), QStringLiteral("Ед. изм."), QStringLiteral("Код")});
    lvSlave->setRootIsDecorated(false);
    auto* split = new QSplitter(this);
    split->addWidget(trvMaster);
    split->addWidget(lvSlave);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(split);
    resize(760, 480);

    connect(SBgetpok, &QAction::triggered, this, &TfmPokView::SBgetpokClick);
    connect(SBclearpok, &QAction::triggered, this, &TfmPokView::SBclearpokClick);
    connect(SBrefr, &QAction::triggered, this, &TfmPokView::rebuildTree);
    connect(SBtable, &QAction::triggered, this, &TfmPokView::SBtableClick);
    connect(trvMaster, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item && item->childCount() == 0)
            openRubric(item->data(0, Qt::UserRole).toInt());
    });
    connect(lvSlave, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { toggleRow(lvSlave->indexOfTopLevelItem(item)); });
    rebuildTree();
}

void TfmPokView::rebuildTree() {
    trvMaster->clear();
    lvSlave->clear();
    m_listed.clear();
    try {
        DbStatement& q = m_dm.query(QStringLiteral("quCommonMAIN"));
        q.clearParams();
        q.setSql(QStringLiteral("SELECT KODFOLDER, NAMEFOLDER, NLEVEL FROM RUB ORDER BY NPP"));
        q.open();
        // Built by levels: a row hangs under the last row of the level above it.
        std::vector<QTreeWidgetItem*> last;
        for (q.first(); !q.eof(); q.next()) {
            const int level = std::max(1, q.value(2).toInt());
            QTreeWidgetItem* parent =
                level >= 2 && size_t(level - 1) <= last.size() ? last[size_t(level - 2)] : nullptr;
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(trvMaster);
            item->setText(0, q.value(1).toString());
            item->setData(0, Qt::UserRole, q.value(0).toInt());
            last.resize(size_t(level));
            last[size_t(level - 1)] = item;
        }
        q.close();
    } catch (const DbError& e) {
        m_prompter.error(QStringLiteral("Не удалось прочитать разделы показателей\r\n") +
                         e.message());
    }
    if (trvMaster->topLevelItemCount() == 0)
        m_prompter.info(QStringLiteral("Справочник пуст"));
    updateCommands();
}

void TfmPokView::openRubric(int kodFolder) {
    lvSlave->clear();
    m_listed.clear();
    try {
        DbStatement& q = m_dm.query(QStringLiteral("quCommonMAIN"));
        q.clearParams();
        q.setSql({QStringLiteral("SELECT KODELMT, NAMEFOLDER, NPP, KODALT, EIZ"),
                  QStringLiteral("FROM POK WHERE KodFolder = ") + QString::number(kodFolder) +
                      QStringLiteral(" ORDER BY NPP")});
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            PickedEntry e;
            e.code = q.value(0).toInt();
            e.name = q.value(1).toString().trimmed();
            e.shown = PickedEntry::displayedCode(e.code, q.value(3).toString());
            e.unit = q.value(4).toString().trimmed();
            m_listed << e;
        }
        q.close();
    } catch (const DbError& e) {
        m_prompter.error(QStringLiteral("Не удалось прочитать показатели раздела\r\n") +
                         e.message());
    }
    for (const PickedEntry& e : m_listed) {
        auto* item = new QTreeWidgetItem(lvSlave);
        item->setText(0, e.name);
        item->setText(1, e.unit);
        item->setText(2, e.shown);
    }
    showMarks();
    if (lvSlave->topLevelItemCount() > 0)
        lvSlave->setCurrentItem(lvSlave->topLevelItem(0));
    updateCommands();
}

void TfmPokView::toggleRow(int row) {
    if (row < 0 || row >= m_listed.size())
        return;
    m_marks.toggle(m_listed[row]);
    showMarks();
    updateCommands();
}

void TfmPokView::SBgetpokClick() {
    m_marks.markAll(m_listed);
    showMarks();
    updateCommands();
}

void TfmPokView::SBclearpokClick() {
    m_marks.clear();
    showMarks();
    updateCommands();
}

void TfmPokView::SBtableClick() {
    if (m_marks.isEmpty() || !m_transfer)
        return;
    if (m_transfer(m_marks.chosen()))
        accept();
}

void TfmPokView::done(int result) {
    // The choice lives until the window closes.
    m_marks.clear();
    showMarks();
    QDialog::done(result);
}

void TfmPokView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && lvSlave->hasFocus()) {
        const int row = lvSlave->indexOfTopLevelItem(lvSlave->currentItem());
        toggleRow(row);
        if (row + 1 < lvSlave->topLevelItemCount())
            lvSlave->setCurrentItem(lvSlave->topLevelItem(row + 1));
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        trvMaster->hasFocus()) {
        if (QTreeWidgetItem* item = trvMaster->currentItem()) {
            if (item->childCount() > 0)
                item->setExpanded(!item->isExpanded());
            else
                openRubric(item->data(0, Qt::UserRole).toInt());
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

// A marked indicator shows its place in the marking order.
void TfmPokView::showMarks() {
    for (int i = 0; i < lvSlave->topLevelItemCount() && i < m_listed.size(); ++i) {
        QTreeWidgetItem* item = lvSlave->topLevelItem(i);
        int order = 0;
        for (int j = 0; j < m_marks.chosen().size(); ++j)
            if (m_marks.chosen()[j].code == m_listed[i].code)
                order = j + 1;
        item->setCheckState(0, order > 0 ? Qt::Checked : Qt::Unchecked);
        item->setData(0, Qt::ToolTipRole, order > 0 ? QString::number(order) : QString());
    }
}

void TfmPokView::updateCommands() {
    SBgetpok->setEnabled(!m_listed.isEmpty());
    SBtable->setEnabled(!m_marks.isEmpty());
}
