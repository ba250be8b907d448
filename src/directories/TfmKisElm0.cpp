#include "TfmKisElm0.h"
#include "DirectoryWindowParts.h"

#include "HelpContexts.h"
#include "HelpKey.h"
#include "Prompter.h"
#include "TMyDBGrid.h"
#include "TdmMSSQL.h"
#include "TfmKisFilterAgr.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

TfmKisElm0::TfmKisElm0(TdmMSSQL& dm, Prompter& prompter, const QString& caption, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_rows(dm.query(QStringLiteral("quElm"))),
      m_controller(dm, prompter, m_rows) {
    setObjectName(QStringLiteral("fmKisElm0"));
    SetHelpContext(this, HelpContexts::Objects);
    setWindowTitle(caption.trimmed());
    resize(760, 520);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_toolPanel = new QWidget(this);
    m_toolPanel->setObjectName(QStringLiteral("paTop"));
    auto* panel = new QHBoxLayout(m_toolPanel);
    panel->setContentsMargins(2, 2, 2, 2);
    sbAdd = toolButton(QStringLiteral("Добавить"), QStyle::SP_FileIcon);
    sbDelete = toolButton(QStringLiteral("Удалить"), QStyle::SP_TrashIcon);
    sbFindAgr = toolButton(QStringLiteral("Отбор независимого объекта"), QStyle::SP_DirLinkIcon);
    sbDeleteFilter = toolButton(QStringLiteral("Снять фильтр"), QStyle::SP_DialogResetButton);
    panel->addStretch(1);
    buildMenu(layout);
    layout->addWidget(m_toolPanel);
    dgElm = new TMyDBGrid(this);
    dgElm->setObjectName(QStringLiteral("dgElm"));
    dgElm->setMouseTracking(true);
    layout->addWidget(dgElm, 1);
    pbImport = new QProgressBar(this);
    pbImport->setObjectName(QStringLiteral("pbImport"));
    pbImport->hide();
    layout->addWidget(pbImport);
    tmGetAgr = new QTimer(this);
    tmGetAgr->setObjectName(QStringLiteral("tmGetAgr"));
    tmGetAgr->setSingleShot(true);
    tmGetAgr->setInterval(500);

    m_controller.attachGridEditing();
    m_controller.setProgress([this](int done, int total) {
        pbImport->setVisible(total > 0);
        pbImport->setMaximum(qMax(total, 1));
        pbImport->setValue(done);
    });
    try {
        m_controller.load();
    } catch (const std::exception& e) {
        m_prompter.error(QString::fromUtf8(e.what()));
    }
    dgElm->setRowSet(&m_rows);
    applyColumns();

    connect(sbAdd, &QToolButton::clicked, this, [this] {
        m_controller.addObject();
        updateControls();
        dgElm->setFocus();
    });
    connect(sbDelete, &QToolButton::clicked, this, [this] {
        m_controller.deleteObject();
        updateControls();
    });
    connect(sbFindAgr, &QToolButton::clicked, this, [this] { chooseMembership(); });
    connect(sbDeleteFilter, &QToolButton::clicked, this, [this] {
        m_controller.removeFilter();
        updateControls();
    });
    connect(dgElm->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (ObjectsController::directoryOfColumn(column) >= 0)
            chooseFilter(ObjectsController::directoryOfColumn(column));
    });
    connect(dgElm, &TMyDBGrid::rowDropped, this,
            [this](int source, int target) { m_controller.moveObject(source, target); });
    connect(&m_rows, &ElementRowSet::dataChanged, this, [this] {
        // After the grid's edit has finished with the row.
        QTimer::singleShot(0, this, [this] {
            if (m_controller.followFilterAfterEdit())
                updateControls();
        });
    });
    connect(dgElm, &TMyDBGrid::mouseDown, this, [this](Qt::MouseButton, const QPoint& point) {
        const QModelIndex index = dgElm->indexAt(point);
        if (index.isValid() && ObjectsController::directoryOfColumn(index.column()) >= 0) {
            m_hintRow = index.row();
            m_hintColumn = index.column();
            tmGetAgr->start();
        }
    });
    connect(tmGetAgr, &QTimer::timeout, this, [this] {
        const QPoint at = dgElm->viewport()->mapFromGlobal(QCursor::pos());
        const QModelIndex index = dgElm->indexAt(at);
        if (index.row() != m_hintRow || index.column() != m_hintColumn)
            return;
        const QString name = hintAt(m_hintRow, m_hintColumn);
        if (!name.isEmpty())
            QToolTip::showText(QCursor::pos(), name, dgElm);
    });
    connect(dgElm->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { updateControls(); });
    dgElm->installEventFilter(this);
    updateControls();
}

TfmKisElm0::~TfmKisElm0() = default;

QToolButton* TfmKisElm0::toolButton(const QString& hint, QStyle::StandardPixmap pixmap) {
    return DirectoryWindowParts::addToolButton(m_toolPanel, hint, pixmap);
}

void TfmKisElm0::buildMenu(QVBoxLayout* layout) {
    m_ops = DirectoryWindowParts::operationsMenu(this, layout);
    auto item = [this](const QString& caption, const QKeySequence& key = {}) {
        return DirectoryWindowParts::addItem(m_ops, caption, key);
    };
    m_add = item(QStringLiteral("Добавить"), QKeySequence(Qt::CTRL | Qt::Key_A));
    m_delete = item(QStringLiteral("Удалить"), QKeySequence(Qt::CTRL | Qt::Key_D));
    m_findAgr = item(QStringLiteral("Независимый объект"));
    m_filter = item(QStringLiteral("Фильтр"));
    m_filter->setCheckable(true);
    m_ops->addSeparator();
    m_export = item(QStringLiteral("Экспорт"));
    m_import = item(QStringLiteral("Импорт"));
    m_ops->addSeparator();
    QAction* exit = item(QStringLiteral("Выход"));
    connect(m_add, &QAction::triggered, this, [this] { sbAdd->click(); });
    connect(m_delete, &QAction::triggered, this, [this] { sbDelete->click(); });
    connect(m_findAgr, &QAction::triggered, this, [this] { chooseMembership(); });
    connect(m_filter, &QAction::triggered, this, [this] {
        if (m_controller.filter().isActive())
            sbDeleteFilter->click();
        else if (currentDirectory() >= 0)
            chooseFilter(currentDirectory());
        updateControls();
    });
    connect(m_export, &QAction::triggered, this, [this] { m_controller.exportObjects(); });
    connect(m_import, &QAction::triggered, this, [this] {
        m_controller.importObjects();
        updateControls();
    });
    connect(exit, &QAction::triggered, this, &QDialog::reject);
}

QAction* TfmKisElm0::action(const QString& caption) const {
    for (QAction* a : m_ops->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

void TfmKisElm0::applyColumns() {
    const QFontMetrics fm = dgElm->fontMetrics();
    const int codeWidth = fm.horizontalAdvance(QStringLiteral("2222222222")) + 3;
    dgElm->setColumnWidth(0, codeWidth);
    dgElm->setColumnWidth(1, 150);
    for (int j = 0; j < m_controller.attached().size(); ++j)
        dgElm->setColumnWidth(
            ObjectsController::membershipColumn(j),
            qMax(codeWidth, fm.horizontalAdvance(m_controller.attachedNames()[j]) + 8));
}

int TfmKisElm0::currentDirectory() const {
    return ObjectsController::directoryOfColumn(dgElm->currentIndex().column());
}

void TfmKisElm0::updateControls() {
    const bool any = !m_rows.isEmpty();
    dgElm->setEnabled(any);
    if (any && !dgElm->currentIndex().isValid())
        dgElm->setCurrentIndex(m_rows.index(qMax(0, m_rows.currentRow()), 1));
    const bool filtered = m_controller.filter().isActive();
    const bool membership = currentDirectory() >= 0;
    sbDelete->setEnabled(any && !m_rows.editing());
    m_delete->setEnabled(sbDelete->isEnabled());
    sbAdd->setEnabled(!m_rows.editing());
    m_add->setEnabled(sbAdd->isEnabled());
    sbFindAgr->setEnabled(any && membership);
    m_findAgr->setEnabled(sbFindAgr->isEnabled());
    sbDeleteFilter->setEnabled(filtered);
    m_filter->setChecked(filtered);
    m_filter->setEnabled(membership || filtered);
}

void TfmKisElm0::showModal() {
    try {
        if (!m_rows.isOpen())
            m_controller.reopenAt({});
    } catch (const std::exception& e) {
        m_prompter.error(QString::fromUtf8(e.what()));
    }
    updateControls();
    exec();
}

void TfmKisElm0::done(int result) {
    m_rows.cancel();
    m_rows.close();
    QDialog::done(result);
}

void TfmKisElm0::chooseFilter(int j) {
    const QString title = m_controller.attachedNames().value(j);
    const QList<AgrNode> nodes = m_controller.nodesOf(j, QStringLiteral("Справочник \"") + title +
                                                             QStringLiteral("\" пуст"));
    if (nodes.isEmpty())
        return;
    double key = ObjectFilter::kNone;
    QString name;
    if (!TfmKisFilterAgr::choose(title, nodes, key, name, this))
        return;
    m_controller.applyFilter(j, key, name);
    updateControls();
}

void TfmKisElm0::chooseMembership() {
    const int j = currentDirectory();
    if (j < 0 || m_rows.isEmpty() || !m_controller.mayChangeMemberships())
        return;
    const QList<AgrNode> nodes = m_controller.nodesOf(j, QStringLiteral("Справочник пуст"));
    if (nodes.isEmpty())
        return;
    TfmKisSelectAgr dialog(m_controller.attachedNames().value(j), nodes, this);
    if (dialog.exec() == QDialog::Accepted)
        m_controller.setMembership(j, dialog.chosenKey());
    updateControls();
}

QString TfmKisElm0::hintAt(int row, int column) {
    const int j = ObjectsController::directoryOfColumn(column);
    if (j < 0)
        return {};
    return m_controller.nodeName(
        j, m_rows.value(row, QStringLiteral("KOD%1").arg(m_controller.attached()[j])));
}

bool TfmKisElm0::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dgElm && event->type() == QEvent::KeyPress && !dgElm->cellEditing()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab)
            return true;
        if (key->key() == Qt::Key_Down && (m_rows.isEmpty() || m_rows.isLast())) {
            sbAdd->click();
            return true;
        }
        const int column = qMax(0, dgElm->currentIndex().column());
        if (key->key() == Qt::Key_End && (key->modifiers() & Qt::ControlModifier)) {
            m_rows.last();
            dgElm->setCurrentIndex(m_rows.index(m_rows.currentRow(), column));
            return true;
        }
        if (key->key() == Qt::Key_Home && (key->modifiers() & Qt::ControlModifier)) {
            m_rows.first();
            dgElm->setCurrentIndex(m_rows.index(m_rows.currentRow(), column));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
