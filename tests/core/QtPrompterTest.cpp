#include "QtPrompter.h"
#include "Localization.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

TEST(QtPrompter, ScreenTextAndFilters) {
    EXPECT_EQ(ScreenText("a\r\nb\r\n\r\nc"), "a\nb\n\nc");
    EXPECT_EQ(QtFileFilter(QStringLiteral("Базы данных: *.gdb|*.gdb")),
              QStringLiteral("Базы данных: *.gdb (*.gdb)"));
    EXPECT_EQ(QtFileFilter("Text|*.txt;*.csv|All|*.*"), "Text (*.txt *.csv);;All (*.*)");
}

TEST(QtPrompter, StandardButtonsSpeakRussian) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    ASSERT_TRUE(InstallRussianTranslation(*app));
    QMessageBox box(QMessageBox::Question, "t", "x",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Да"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Нет"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(u'&'), QStringLiteral("Отмена"));
}
