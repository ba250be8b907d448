#include "TfmKisObj0.h"

#include "HelpContexts.h"
#include "HelpKey.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfmKisObj0::TfmKisObj0(TdmMSSQL& dm, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_controller(dm, prompter) {
    setObjectName(QStringLiteral("fmKisObj0"));
    SetHelpContext(this, HelpContexts::Composition);
    setWindowTitle(QStringLiteral("Состав  справочников  объектов"));
    resize(440, 420);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Справочники  независимых  объектов"), this));
    clbAgr = new QListWidget(this);
    clbAgr->setObjectName(QStringLiteral("clbAgr"));
    clbAgr->setEditTriggers(QAbstractItemView::EditKeyPressed);
    layout->addWidget(clbAgr, 1);
    bAddAgr = new QPushButton(QStringLiteral("Добавить"), this);
    bAddAgr->setObjectName(QStringLiteral("bAddAgr"));
    bAddAgr->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(bAddAgr);
    layout->addLayout(row);
    layout->addWidget(new QLabel(QStringLiteral("Справочник подчиненных объектов"), this));
    edNameElm = new QLineEdit(this);
    edNameElm->setObjectName(QStringLiteral("edNameElm"));
    edNameElm->setMaxLength(50);
    layout->addWidget(edNameElm);
    connect(bAddAgr, &QPushButton::clicked, this, [this] { addDirectory(); });
    connect(clbAgr, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { itemChanged(item); });
    edNameElm->installEventFilter(this);
    m_controller.load();
    fill();
    edNameElm->setText(m_controller.objectsName().trimmed());
}

void TfmKisObj0::fill() {
    m_filling = true;
    clbAgr->clear();
    for (int i = 0; i < m_controller.names().size(); ++i) {
        auto* item = new QListWidgetItem(m_controller.names()[i].trimmed(), clbAgr);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
        item->setCheckState(m_controller.attached(i) ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
    edNameElm->setEnabled(m_controller.objectsEnabled());
    if (clbAgr->count() > 0)
        clbAgr->setCurrentRow(0);
    else
        bAddAgr->setFocus();
}

void TfmKisObj0::itemChanged(QListWidgetItem* item) {
    if (m_filling)
        return;
    const int position = clbAgr->row(item);
    const bool checked = item->checkState() == Qt::Checked;
    m_filling = true;
    if (checked != m_controller.attached(position)) {
        if (!m_controller.setAttached(position, checked))
            item->setCheckState(m_controller.attached(position) ? Qt::Checked : Qt::Unchecked);
        edNameElm->setEnabled(m_controller.objectsEnabled());
    } else if (item->text() != m_controller.names().value(position).trimmed()) {
        m_controller.rename(position, item->text());
        item->setText(m_controller.names().value(position).trimmed());
    }
    m_filling = false;
}

void TfmKisObj0::addDirectory() {
    const int position = m_controller.addDirectory();
    fill();
    if (position < 0)
        return;
    clbAgr->setCurrentRow(position);
    clbAgr->editItem(clbAgr->item(position));
}

void TfmKisObj0::done(int result) {
    m_controller.close(edNameElm->text().trimmed());
    QDialog::done(result);
}

TfmKisObj0::Outcome TfmKisObj0::run(TdmMSSQL& dm, Prompter& prompter, QWidget* parent) {
    TfmKisObj0 dialog(dm, prompter, parent);
    dialog.exec();
    return {dialog.controller().directoriesAdded(), dialog.controller().objectsLayoutChanged()};
}

bool TfmKisObj0::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edNameElm && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            bAddAgr->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
