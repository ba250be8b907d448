#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class TBook;

// Find (and replace) on the active sheet of a TBook.
class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    FindReplaceDialog(TBook* book, bool replace);

    QLineEdit* findLine() const { return m_find; }
    QLineEdit* replaceLine() const { return m_replace; }
    void findNext();
    void replaceAll();

private:
    TBook* m_book;
    QLineEdit* m_find;
    QLineEdit* m_replace = nullptr;
    QCheckBox* m_case;
    QCheckBox* m_whole;
    QLabel* m_status;
};
