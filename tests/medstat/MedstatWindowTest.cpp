#include "DbfGridModel.h"
#include "DbfTable.h"
#include "MedstatParams.h"
#include "MedstatTemplates.h"
#include "ScriptedPrompter.h"
#include "TfmProtocol.h"
#include "TfmViewCtrl.h"
#include "format/BookLocale.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <shapefil.h>

namespace {

class MedstatWindows : public ::testing::Test {
protected:
    void SetUp() override {
        BookLocale::setDecimalSeparator(u',');
        MedstatTemplates::create(m_dir.path(),
                                 {QStringLiteral("01000001|  001,1001,1,1>'11'*"),
                                  QStringLiteral("02000001|  001,1001,1,1='11'*")},
                                 {QStringLiteral("002|Без ошибок|02000001|02000001"),
                                  QStringLiteral("001|С ошибкой|01000001|01000001")});
        DbfTable t = DbfTable::open(file());
        t.append();
        for (int i = 0; i < 5; ++i)
            t.setText(i, QStringList{"04", "25", "0010000", "001001", "001"}[i]);
        t.setNumber(5, 11);
        t.save();
        MedstatParams::current().object = QStringLiteral("25");
        MedstatParams::current().year = QStringLiteral("04");
        MedstatParams::current().objectName = QStringLiteral("ЦРБ");
    }
    QString file() const { return QDir(m_dir.path()).filePath(QStringLiteral("MEDCTAT.DBF")); }
    // Runs `action`, which opens a modal window, and returns that window's text.
    QString modalText(const std::function<void()>& action) {
        QString text;
        QTimer::singleShot(0, [&] {
            if (auto* p = qobject_cast<TfmProtocol*>(QApplication::activeModalWidget())) {
                text = p->windowTitle() + u'|' + p->Editor->toPlainText();
                p->close();
            }
        });
        action();
        return text;
    }
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
};

} // namespace

TEST_F(MedstatWindows, ControlWindowRunsTheTickedKindsAndShowsTheProtocol) {
    TfmViewCtrl window(m_dir.path(), m_prompter);
    ASSERT_TRUE(window.load());
    ASSERT_EQ(window.lvwPok->topLevelItemCount(), 2);
    EXPECT_EQ(window.lvwPok->topLevelItem(0)->text(1), QStringLiteral("С ошибкой"));
    EXPECT_EQ(window.EditOb->text(), QStringLiteral("25"));
    EXPECT_EQ(window.EditGod->text(), QStringLiteral("04"));

    window.bnCtrl->click();
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Не выбран вид контроля"));
    window.lvwPok->topLevelItem(0)->setCheckState(0, Qt::Checked);
    const QString shown = modalText([&] { window.bnCtrl->click(); });
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Ошибки|Ведомость контроля:")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Год: 2004")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Ошибка[1]: 11 > 11")));
    EXPECT_EQ(modalText([&] { window.SpeedButton1->click(); }), shown);

    // A clean run: the old protocol is not offered as its result.
    window.lvwPok->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    window.lvwPok->topLevelItem(1)->setCheckState(0, Qt::Checked);
    window.bnCtrl->click();
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Ошибок не найдено."));
    window.SpeedButton1->click();
    EXPECT_TRUE(
        m_prompter.lastText().endsWith(QStringLiteral(" с сообщениями об ошибках не найден!")));

    window.EditGod->setText(QStringLiteral("x"));
    window.bnCtrl->click();
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Год \"x\" не читается: контроль не выполнен"));
}

TEST_F(MedstatWindows, ViewerGridRefusesAWideNumberAndWritesAnEdit) {
    DbfTable table = DbfTable::open(file());
    DbfGridModel model(table, m_prompter);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("A81"));
    EXPECT_FALSE(model.setData(model.index(0, 5), QStringLiteral("1234567890123"), Qt::EditRole));
    EXPECT_EQ(m_prompter.texts().size(), 1);
    EXPECT_EQ(model.data(model.index(0, 5), Qt::DisplayRole).toString(), QStringLiteral("11.00"));
    EXPECT_TRUE(model.setData(model.index(0, 6), QStringLiteral("2,5"), Qt::EditRole));
    table.save();
    DBFHandle h = DBFOpen(file().toLocal8Bit().constData(), "rb");
    ASSERT_NE(h, nullptr);
    EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(h, 0, 5), 11.0);
    EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(h, 0, 6), 2.5);
    DBFClose(h);
}
