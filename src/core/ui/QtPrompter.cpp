#include "QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString captionOr(const QString& caption) {
    return caption.isEmpty() ? QApplication::applicationDisplayName() : caption;
}

QMessageBox::Icon qtIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    }
    return QMessageBox::NoButton;
}

} // namespace

QString ScreenText(const QString& text) {
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return out;
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out.isEmpty() ? filter : out.join(QStringLiteral(";;"));
}

void QtPrompter::message(const QString& text, const QString& caption, PromptIcon icon) {
    QMessageBox box(qtIcon(icon), captionOr(caption), ScreenText(text), QMessageBox::Ok, m_parent);
    box.exec();
}

Answer QtPrompter::ask(const QString& text, QuestionButtons buttons, Answer defaultButton,
                       const QString& caption) {
    QMessageBox::StandardButtons set;
    switch (buttons) {
    case QuestionButtons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        break;
    case QuestionButtons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case QuestionButtons::OkCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    }
    QMessageBox box(QMessageBox::Question, captionOr(caption), ScreenText(text), set, m_parent);
    box.setDefaultButton(qtButton(defaultButton));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

QString QtPrompter::openFileName(const QString& caption, const QString& folder,
                                 const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, caption, folder, QtFileFilter(filter));
}

QString QtPrompter::openTypedFileName(const QString& caption, const QString& folder,
                                      const QString& filter, int* chosenType) {
    const QString qtFilter = QtFileFilter(filter);
    QString selected;
    const QString path =
        QFileDialog::getOpenFileName(m_parent, caption, folder, qtFilter, &selected);
    *chosenType = int(qtFilter.split(QStringLiteral(";;")).indexOf(selected));
    return path;
}

QString QtPrompter::saveFileName(const QString& caption, const QString& folder,
                                 const QString& filter) {
    return QFileDialog::getSaveFileName(m_parent, caption, folder, QtFileFilter(filter));
}

int QtPrompter::choose(const QString& caption, const QStringList& items, int current) {
    bool ok = false;
    const QString picked =
        QInputDialog::getItem(m_parent, captionOr(caption), QString(), items, current, false, &ok);
    return ok ? int(items.indexOf(picked)) : -1;
}

bool QtPrompter::inputText(const QString& caption, const QString& label, QString& text) {
    bool ok = false;
    const QString entered =
        QInputDialog::getText(m_parent, captionOr(caption), label, QLineEdit::Normal, text, &ok);
    if (ok)
        text = entered;
    return ok;
}
