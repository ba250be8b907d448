#include "EditBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

EditBar::EditBar(QWidget* parent) : QWidget(parent) {
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(2, 2, 2, 2);
    box->setSpacing(4);
    m_name = new QLabel(this);
    m_name->setMinimumWidth(60);
    m_name->setFrameShape(QFrame::StyledPanel);
    m_line = new QLineEdit(this);
    box->addWidget(m_name);
    box->addWidget(m_line, 1);
    m_line->installEventFilter(this);
    connect(m_line, &QLineEdit::returnPressed, this, [this] {
        if (m_line->text() != m_shown)
            emit committed(m_line->text());
    });
}

void EditBar::show(const QString& cellName, const QString& entry) {
    m_name->setText(cellName);
    m_shown = entry;
    if (!m_line->hasFocus() || !m_line->isModified()) {
        m_line->setText(entry);
        m_line->setModified(false);
    }
}

bool EditBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_line && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_line->setText(m_shown);
        m_line->setModified(false);
        emit cancelled();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
