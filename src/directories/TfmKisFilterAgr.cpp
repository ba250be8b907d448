#include "TfmKisFilterAgr.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kKeyRole = Qt::UserRole;

} // namespace

TfmKisFilterAgr::TfmKisFilterAgr(const QString& directoryName, const QList<AgrNode>& nodes,
                                 QWidget* parent)
    : TfmKisFilterAgr(QStringLiteral("Задание фильтра"), true, directoryName, nodes, parent) {}

TfmKisFilterAgr::TfmKisFilterAgr(const QString& caption, bool withRoot, const QString& rootText,
                                 const QList<AgrNode>& nodes, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("fmKisFilterAgr"));
    setWindowTitle(caption);
    resize(420, 460);
    auto* layout = new QVBoxLayout(this);
    trvAgr = new QTreeWidget(this);
    trvAgr->setObjectName(QStringLiteral("trvAgr"));
    trvAgr->setHeaderHidden(true);
    trvAgr->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(trvAgr, 1);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("Отобрать"), this);
    ok->setObjectName(QStringLiteral("bOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отменить"), this);
    cancel->setObjectName(QStringLiteral("bCancel"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (trvAgr->currentItem())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(trvAgr, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item && item->childCount() == 0)
            accept();
    });
    trvAgr->installEventFilter(this);
    build(withRoot, rootText, nodes);
}

void TfmKisFilterAgr::build(bool withRoot, const QString& rootText, const QList<AgrNode>& nodes) {
    QTreeWidgetItem* root = nullptr;
    if (withRoot) {
        root = new QTreeWidgetItem(trvAgr, QStringList{rootText.trimmed()});
        root->setData(0, kKeyRole, ObjectFilter::kNone);
    }
    // A node goes under the last node of the level above it.
    std::vector<QTreeWidgetItem*> path;
    for (const AgrNode& n : nodes) {
        const int level = std::clamp(n.level, 1, int(path.size()) + 1);
        path.resize(size_t(level - 1));
        QTreeWidgetItem* parent = level == 1 ? root : path.back();
        auto* item = parent ? new QTreeWidgetItem(parent, QStringList{n.name.trimmed()})
                            : new QTreeWidgetItem(trvAgr, QStringList{n.name.trimmed()});
        item->setData(0, kKeyRole, n.key);
        path.push_back(item);
    }
    if (root) {
        root->setExpanded(true);
        trvAgr->setCurrentItem(root);
    } else if (trvAgr->topLevelItemCount() > 0) {
        trvAgr->setCurrentItem(trvAgr->topLevelItem(0));
    }
}

double TfmKisFilterAgr::chosenKey() const {
    const QTreeWidgetItem* item = trvAgr->currentItem();
    return item ? item->data(0, kKeyRole).toDouble() : ObjectFilter::kNone;
}

QString TfmKisFilterAgr::chosenName() const {
    const QTreeWidgetItem* item = trvAgr->currentItem();
    return item ? item->text(0) : QString();
}

bool TfmKisFilterAgr::choose(const QString& directoryName, const QList<AgrNode>& nodes, double& key,
                             QString& name, QWidget* parent) {
    TfmKisFilterAgr dialog(directoryName, nodes, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    key = dialog.chosenKey();
    name = dialog.chosenName();
    return true;
}

bool TfmKisFilterAgr::eventFilter(QObject* watched, QEvent* event) {
    if (watched == trvAgr && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QTreeWidgetItem* item = trvAgr->currentItem();
            if (item && item->childCount() > 0)
                item->setExpanded(!item->isExpanded());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

TfmKisSelectAgr::TfmKisSelectAgr(const QString& directoryName, const QList<AgrNode>& nodes,
                                 QWidget* parent)
    : TfmKisFilterAgr(directoryName.trimmed(), false, QString(), nodes, parent) {
    setObjectName(QStringLiteral("fmKisSelectAgr"));
}
