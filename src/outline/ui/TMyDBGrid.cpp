#include "TMyDBGrid.h"

#include "ElementRowSet.h"
#include "TableGridWidths.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

namespace {

const QString kRowMime = QStringLiteral("application/x-zemrak-grid-row");

// Cell editors take no more characters than the column holds, and a refused
// entry comes back into the editor instead of being lost.
class LimitedDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void offerAgain(const QModelIndex& index, const QString& typed) {
        m_again = index;
        m_typed = typed;
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        const auto* rows = qobject_cast<const ElementRowSet*>(index.model());
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && rows)
            if (const int length = rows->columnLength(index.column()); length > 0)
                line->setMaxLength(length);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && m_again.isValid() && m_again == index) {
            line->setText(m_typed);
            m_again = QPersistentModelIndex();
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

private:
    mutable QPersistentModelIndex m_again;
    QString m_typed;
};

} // namespace

TMyDBGrid::TMyDBGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    verticalHeader()->hide();
    horizontalHeader()->setAcceptDrops(true);
    horizontalHeader()->installEventFilter(this);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new LimitedDelegate(this));
}

void TMyDBGrid::setRowSet(ElementRowSet* rows) {
    if (rows == m_rows)
        return;
    if (m_rows)
        disconnect(m_rows, nullptr, this, nullptr);
    m_rows = rows;
    setModel(rows);
    if (!rows)
        return;
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_rows && current.isValid() && current.row() != m_rows->currentRow())
                    m_rows->setCurrentRow(current.row());
            });
    connect(rows, &ElementRowSet::currentRowChanged, this, [this](int row) {
        if (row >= 0 && currentIndex().row() != row)
            setCurrentIndex(model()->index(row, std::max(0, currentIndex().column())));
    });
    connect(rows, &ElementRowSet::editRefused, this,
            [this](const QModelIndex& index, const QVariant& typed) {
                const QPersistentModelIndex cell(index);
                // After the refused editor has closed.
                QMetaObject::invokeMethod(
                    this,
                    [this, cell, typed] {
                        if (!cell.isValid() || !isEnabled())
                            return;
                        static_cast<LimitedDelegate*>(itemDelegate())
                            ->offerAgain(cell, typed.toString());
                        setCurrentIndex(cell);
                        edit(cell);
                    },
                    Qt::QueuedConnection);
            });
    connect(rows, &QAbstractItemModel::modelReset, this, [this] {
        if (m_rows && m_rows->currentRow() >= 0)
            setCurrentIndex(model()->index(m_rows->currentRow(), 0));
    });
}

void TMyDBGrid::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    if (m_rows)
        m_rows->setReadOnly(readOnly);
}

int TMyDBGrid::rowAtPoint(const QPoint& point) const {
    return rowAt(point.y());
}

void TMyDBGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseDown(event->button(), p);
    if (m_readOnly)
        return;
    if (rowAtPoint(p) >= 0) {
        m_x = p.x();
        m_y = p.y();
    }
    QTableView::mousePressEvent(event);
    m_armed = event->button() == Qt::LeftButton && rowAtPoint(p) >= 0;
    m_pressPos = p;
}

void TMyDBGrid::mouseMoveEvent(QMouseEvent* event) {
    if (m_armed && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - m_pressPos).manhattanLength() >=
            QApplication::startDragDistance()) {
        m_armed = false;
        beginDrag();
        return;
    }
    if (!m_armed)
        QTableView::mouseMoveEvent(event);
}

void TMyDBGrid::mouseReleaseEvent(QMouseEvent* event) {
    m_armed = false;
    QTableView::mouseReleaseEvent(event);
}

void TMyDBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    m_armed = false;
    if (m_readOnly)
        return;
    QTableView::mouseDoubleClickEvent(event);
    m_armed = false;
}

void TMyDBGrid::beginDrag() {
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(kRowMime, QByteArray::number(rowAt(dragStartY())));
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

bool TMyDBGrid::acceptsFrom(QObject* source) const {
    return qobject_cast<TMyDBGrid*>(source) != nullptr;
}

void TMyDBGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (acceptsFrom(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMyDBGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (acceptsFrom(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMyDBGrid::dropEvent(QDropEvent* event) {
    auto* source = qobject_cast<TMyDBGrid*>(event->source());
    if (!source) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    emit rowDropped(source->rowAt(source->dragStartY()), rowAtPoint(event->position().toPoint()));
}

// Drops on the title row arrive at the header.
bool TMyDBGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDragMoveEvent*>(event);
            if (acceptsFrom(e->source()))
                e->acceptProposedAction();
            else
                e->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            auto* source = qobject_cast<TMyDBGrid*>(e->source());
            if (!source)
                return false;
            e->setDropAction(Qt::IgnoreAction);
            e->accept();
            emit rowDropped(source->rowAt(source->dragStartY()), -1);
            return true;
        }
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void SetupElementColumns(ElementRowSet& rows, TMyDBGrid& grid, bool indicators) {
    const QFontMetrics fm(grid.font());
    const int twenty = TableGridWidths::twentyDigits(fm);
    QList<ElementRowSet::Column> columns;
    if (!indicators) {
        const TableGridWidths widths = TableGridWidths::forWidth(grid.width(), twenty);
        columns = {{QStringLiteral("NameFolder"), QStringLiteral("Наименование"), widths.name},
                   {QStringLiteral("KodAlt"), QStringLiteral("Идентификатор"), widths.identifier}};
    } else {
        const int unit = fm.horizontalAdvance(QStringLiteral("Ед.измер."));
        const int ten = fm.horizontalAdvance(QStringLiteral("2222222222"));
        columns = {{QStringLiteral("NameFolder"), QStringLiteral("Наименование"),
                    grid.width() - twenty - unit - ten - 44},
                   {QStringLiteral("KodAlt"), QStringLiteral("Альт.код"), twenty},
                   {QStringLiteral("Eiz"), QStringLiteral("Ед.изм."),
                    fm.horizontalAdvance(QStringLiteral("Ед.изм.")) + 22},
                   {QStringLiteral("KodElmt"), QStringLiteral("Внутр.код"),
                    fm.horizontalAdvance(QStringLiteral("Внутр.код")) + 22}};
    }
    if (grid.rowSet() != &rows)
        grid.setRowSet(&rows);
    rows.setColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        grid.setColumnWidth(i, std::max(columns[i].width, 16));
}
