#include "FontSizeBox.h"

#include "FormatKinds.h"
#include "Prompter.h"

#include <QKeyEvent>
#include <QLineEdit>

FontSizeBox::FontSizeBox(Prompter& prompter, QWidget* parent)
    : QComboBox(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("BoxSize"));
    setToolTip(QStringLiteral("Размер шрифта"));
    setEditable(true);
    // A typed size is never added to the list: Enter is handled here.
    setInsertPolicy(QComboBox::NoInsert);
    for (int n : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 28, 36})
        addItem(QString::number(n));
    showSize(10);
    lineEdit()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this](int index) {
        m_remembered = itemText(index);
        emit sizeChosen(itemText(index).toInt());
    });
}

void FontSizeBox::showSize(int points) {
    m_remembered = QString::number(points);
    setEditText(m_remembered);
}

void FontSizeBox::restore() {
    setEditText(m_remembered);
}

void FontSizeBox::enterPressed() {
    const QString text = currentText().trimmed();
    if (text.isEmpty()) {
        restore();
        return;
    }
    int size = 0;
    if (!FormatKinds::fontSizeValid(text, &size)) {
        m_prompter.error(FormatKinds::fontSizeMessage());
        restore(); // the previous size stays in force
        return;
    }
    m_remembered = QString::number(size);
    emit sizeChosen(size);
}

bool FontSizeBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit()) {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_remembered = currentText();
            break;
        case QEvent::FocusOut:
            if (currentText().trimmed().isEmpty())
                restore();
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                enterPressed();
                return true;
            }
            if (key == Qt::Key_Escape) {
                restore();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QComboBox::eventFilter(watched, event);
}
