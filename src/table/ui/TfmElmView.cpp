#include "TfmElmView.h"
#include "PickerToolBar.h"

#include "DbError.h"
#include "HelpContexts.h"
#include "HelpKey.h"
#include "Prompter.h"
#include "TfmKisFilterAgr.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

TfmElmView::TfmElmView(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), dgElm(new QTableWidget(this)), m_prompter(prompter), m_picking(dm) {
    SetHelpContext(this, HelpContexts::ObjectsPicker);
    setObjectName(QStringLiteral("fmElmView"));
    setWindowTitle(QStringLiteral("Просмотр подчиненных объектов"));
    auto* bar = new QToolBar(this);
    auto add = [&](const char* name, const QString& hint) {
        return AddPickerAction(bar, name, hint);
    };
    sbDeleteFilter = add("sbDeleteFilter", QStringLiteral("Снять фильтр"));
    SBrefr = add("SBrefr", QStringLiteral("Обновить справочник из базы данных"));
    SBtable = add("SBtable", QStringLiteral("Перенести в таблицу"));
    dgElm->setObjectName(QStringLiteral("dgElm"));
    dgElm->setSelectionBehavior(QAbstractItemView::SelectRows);
    dgElm->setSelectionMode(QAbstractItemView::ExtendedSelection);
    dgElm->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgElm->verticalHeader()->setVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(dgElm, 1);
    resize(720, 480);

    connect(sbDeleteFilter, &QAction::triggered, this, &TfmElmView::sbDeleteFilterClick);
    connect(SBrefr, &QAction::triggered, this, &TfmElmView::SBrefrClick);
    connect(SBtable, &QAction::triggered, this, &TfmElmView::SBtableClick);
    connect(dgElm->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TfmElmView::filterColumn);
    load();
}

bool TfmElmView::read(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const DbError& e) {
        m_prompter.error(QStringLiteral("Не удалось прочитать справочник объектов\r\n") +
                         e.message());
        return false;
    }
}

void TfmElmView::load() {
    if (!read([this] { m_picking.load(); }))
        return;
    fill(0);
    if (m_picking.rows().isEmpty())
        m_prompter.info(QStringLiteral("Справочник пуст"));
}

void TfmElmView::filterColumn(int col) {
    const int j = col - 2;
    if (j < 0 || j >= m_picking.attached().size())
        return;
    const QList<AgrNode> nodes = m_picking.nodesOf(j);
    if (nodes.isEmpty()) {
        m_prompter.info(QStringLiteral("Справочник пуст"));
        return;
    }
    double key = ObjectFilter::kNone;
    QString name;
    if (!TfmKisFilterAgr::choose(m_picking.directoryName(j), nodes, key, name, this))
        return;
    const double current = currentCode();
    if (read([&] { m_picking.filterBy(j, key, name); }))
        fill(current);
}

void TfmElmView::sbDeleteFilterClick() {
    const double current = currentCode();
    if (read([this] { m_picking.removeFilter(); }))
        fill(current);
}

void TfmElmView::SBrefrClick() {
    const double current = currentCode();
    if (read([this] { m_picking.reread(); }))
        fill(current);
}

void TfmElmView::SBtableClick() {
    QList<int> rows;
    for (const QModelIndex& index : dgElm->selectionModel()->selectedRows())
        rows << index.row();
    const QList<PickedEntry> chosen = m_picking.chosen(rows);
    if (chosen.isEmpty()) {
        m_prompter.info(ObjectPicking::noObjects());
        return;
    }
    if (m_transfer && m_transfer(chosen))
        accept();
}

void TfmElmView::done(int result) {
    dgElm->clearSelection();
    QDialog::done(result);
}

void TfmElmView::fill(double current) {
    const int n = int(m_picking.attached().size());
    QStringList titles{QStringLiteral("Код"), QStringLiteral("Наименование")};
    for (int j = 0; j < n; ++j)
        titles << m_picking.columnTitle(j);
    dgElm->clear();
    dgElm->setColumnCount(int(titles.size()));
    dgElm->setHorizontalHeaderLabels(titles);
    const QList<ObjectPicking::Row>& rows = m_picking.rows();
    dgElm->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        dgElm->setItem(r, 0, new QTableWidgetItem(QString::number(rows[r].code, 'f', 0)));
        dgElm->setItem(r, 1, new QTableWidgetItem(rows[r].name));
        for (int j = 0; j < n; ++j)
            dgElm->setItem(r, 2 + j, new QTableWidgetItem(m_picking.membershipText(r, j)));
    }
    const int at = std::max(0, m_picking.indexOf(current));
    if (!rows.isEmpty())
        dgElm->setCurrentCell(at, 1, QItemSelectionModel::NoUpdate);
    dgElm->clearSelection();
    const bool any = !rows.isEmpty();
    SBtable->setEnabled(any);
    sbDeleteFilter->setEnabled(m_picking.filter().isActive());
}

double TfmElmView::currentCode() const {
    const int r = dgElm->currentRow();
    return r >= 0 && r < m_picking.rows().size() ? m_picking.rows()[r].code : 0;
}
