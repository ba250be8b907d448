#include "ConditionEvaluator.h"
#include "DbfTable.h"
#include "MedstatControl.h"
#include "MedstatTemplates.h"
#include "ScriptedPrompter.h"
#include "format/BookLocale.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A MEDCTAT folder with the template files, its report filled with rows of year 4,
// object 25, form 1, table 1001: row r, column c holds r * 10 + c.
class ControlRun : public ::testing::Test {
protected:
    void SetUp() override {
        BookLocale::setDecimalSeparator(u',');
        m_folder = m_dir.path();
    }
    void make(const QStringList& conditions, const QStringList& kinds) {
        MedstatTemplates::create(m_folder, conditions, kinds);
        DbfTable t = DbfTable::open(QDir(m_folder).filePath(QStringLiteral("MEDCTAT.DBF")));
        for (int r = 1; r <= 3; ++r) {
            t.append();
            t.setText(0, QStringLiteral("04"));
            t.setText(1, QStringLiteral("25"));
            t.setText(2, QStringLiteral("0010000"));
            t.setText(3, QStringLiteral("001001"));
            t.setText(4, QStringLiteral("00%1").arg(r));
            for (int c = 1; c <= 50; ++c)
                t.setNumber(4 + c, r * 10 + c);
        }
        t.save();
    }
    QString errText() {
        QFile f(QDir(m_folder).filePath(QStringLiteral("err.txt")));
        return f.open(QIODevice::ReadOnly) ? DecodeText(CodePage::Win1251, f.readAll()) : QString();
    }
    QTemporaryDir m_dir;
    QString m_folder;
    ScriptedPrompter m_prompter;
};

const QStringList kKinds{QStringLiteral("002|Вторая|02000001|02999999"),
                         QStringLiteral("001|Первая|01000001|01000002"),
                         QStringLiteral("003|Пустая|05000001|05000009")};

} // namespace

TEST_F(ControlRun, FailuresGoToErrTxtAndAGoodRunRemovesTheOldOne) {
    make({QStringLiteral("01000001|  001,1001,1,1>'11'*"),
          QStringLiteral("01000002|  001,1001,1,1='11'*"),
          QStringLiteral("01000003|  001,1001,1,1>'100'*"),
          QStringLiteral("02000001|  001,1009,1,1>'0'*")},
         kKinds);
    MedstatControl control(m_folder, m_prompter);
    ASSERT_TRUE(control.open());
    ASSERT_EQ(control.kinds().size(), 3);
    EXPECT_EQ(control.kinds()[0].name, QStringLiteral("Первая")); // sorted by form
    EXPECT_EQ(
        control.run(QStringLiteral("25"), QStringLiteral("4"), QStringLiteral("ЦРБ"), {0, 1, 2}),
        MedstatControl::Outcome::Errors);
    EXPECT_EQ(errText(),
              QStringLiteral("Ведомость контроля:\r\nНаименование объекта: ЦРБ\r\nГод: 2004\r\n\r\n"
                             "(ф001 таб. 1001 стр. 1 гр. 1>011) Ошибка[1]: 11 > 11\r\n\r\n"
                             "Ошибка в условии 001,1009,1,1\r\n\r\n"
                             "Пустой список условий.\r\n"));
    ASSERT_TRUE(control.lastProtocolExists());
}

TEST_F(ControlRun, AStaleProtocolIsNotLeftForTheNextLook) {
    make({QStringLiteral("01000001|  001,1001,1,1='11'*"),
          QStringLiteral("02000001|  001,1001,1,1='0'*")},
         kKinds);
    MedstatControl control(m_folder, m_prompter);
    ASSERT_TRUE(control.open());
    ASSERT_EQ(control.run(QStringLiteral("25"), QStringLiteral("4"), {}, {1}),
              MedstatControl::Outcome::Errors);
    ASSERT_TRUE(QFile::exists(control.errFile()));
    EXPECT_EQ(control.run(QStringLiteral("25"), QStringLiteral("4"), {}, {0}),
              MedstatControl::Outcome::NoErrors);
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Ошибок не найдено."));
    EXPECT_FALSE(control.lastProtocolExists());
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Файл ") + control.errFile() +
                                         QStringLiteral(" с сообщениями об ошибках не найден!"));
}

TEST_F(ControlRun, RefusedInputsRunNothing) {
    make({QStringLiteral("01000001|  001,1001,1,1='11'*")}, kKinds);
    MedstatControl control(m_folder, m_prompter);
    ASSERT_TRUE(control.open());
    using O = MedstatControl::Outcome;
    EXPECT_EQ(control.run({}, QStringLiteral("4"), {}, {0}), O::NotRun);
    EXPECT_EQ(control.run(QStringLiteral("25"), {}, {}, {0}), O::NotRun);
    EXPECT_EQ(control.run(QStringLiteral("25"), QStringLiteral("200"), {}, {0}), O::NotRun);
    EXPECT_EQ(control.run(QStringLiteral("2x"), QStringLiteral("4"), {}, {0}), O::NotRun);
    EXPECT_EQ(control.run(QStringLiteral("25"), QStringLiteral("4"), {}, {}), O::NotRun);
    EXPECT_EQ(m_prompter.texts(),
              (QStringList{QStringLiteral("Не задан объект"), QStringLiteral("Не задан год"),
                           QStringLiteral("Год \"200\" не читается: контроль не выполнен"),
                           QStringLiteral("Код объекта \"2x\" не читается: контроль не выполнен"),
                           QStringLiteral("Не выбран вид контроля")}));
    EXPECT_FALSE(QFile::exists(control.errFile()));

    QString shown;
    int code = 0;
    ASSERT_TRUE(MedstatControl::readYear(QStringLiteral("3"), shown, code));
    EXPECT_EQ(shown + QString::number(code), QStringLiteral("20033"));
    ASSERT_TRUE(MedstatControl::readYear(QStringLiteral("98"), shown, code));
    EXPECT_EQ(shown + QString::number(code), QStringLiteral("199898"));
    ASSERT_TRUE(MedstatControl::readYear(QStringLiteral("15"), shown, code));
    EXPECT_EQ(shown, QStringLiteral("2015"));
    ASSERT_TRUE(MedstatControl::readYear(QStringLiteral("2004"), shown, code));
    EXPECT_EQ(shown + QString::number(code), QStringLiteral("20044"));
}

TEST_F(ControlRun, ABadConditionStopsLoadingAndMissingFilesAreNamed) {
    make({QStringLiteral("01000001|  001,1001,1,1='11'*"), QStringLiteral("01000002|  ('1'='1'*"),
          QStringLiteral("01000003|  001,1001,1,1='11'*")},
         kKinds);
    MedstatControl control(m_folder, m_prompter);
    ASSERT_TRUE(control.open());
    EXPECT_EQ(control.conditions().size(), 1u);
    EXPECT_EQ(m_prompter.lastText(),
              QStringLiteral("Синтаксическая ошибка в позиции 7: нет закрывающей скобки\r\n"
                             "Условие 01000002 (позиция 7):   ('1'='1'*"));

    for (const char* name : {"MEDCTAT.DBF", "POKAZ.DBF", "USLOV.DBF"}) {
        QFile::remove(QDir(m_folder).filePath(QString::fromLatin1(name)));
        MedstatControl missing(m_folder, m_prompter);
        EXPECT_FALSE(missing.open());
        EXPECT_EQ(m_prompter.lastText(),
                  QStringLiteral("Файл %1 не найден.").arg(QString::fromLatin1(name)));
    }
}
