#include "BookViewTestUtil.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

BookFixture::BookFixture() {
    book.setPrompter(&prompter);
    book.resize(640, 420);
    book.show();
    QApplication::processEvents();
}

static QWidget* keyTarget(TBook& book) {
    return book.isEditing() ? static_cast<QWidget*>(book.editor()) : &book;
}

void BookFixture::key(Qt::Key k, Qt::KeyboardModifiers mods) {
    QTest::keyClick(keyTarget(book), k, mods);
}

void BookFixture::type(const QString& text) {
    for (QChar c : text)
        QTest::keyClick(keyTarget(book), c.toLatin1() ? c.toLatin1() : 'x');
}

QPoint BookFixture::cellCenter(int row, int col) const {
    return book.cellRect(row, col).center();
}

void BookFixture::click(int row, int col, Qt::KeyboardModifiers mods) {
    QTest::mouseClick(book.viewport(), Qt::LeftButton, mods, cellCenter(row, col));
}

QImage BookFixture::render() {
    QApplication::processEvents();
    return book.viewport()->grab().toImage();
}
