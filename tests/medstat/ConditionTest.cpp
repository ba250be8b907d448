#include "ConditionCompiler.h"
#include "ConditionEvaluator.h"
#include "ReportTree.h"
#include "format/BookLocale.h"

#include <gtest/gtest.h>

namespace {

// Year 4, object 25, form 1, table 1001: rows "001" … "005" whose column c holds
// row * 10 + c; year 3 holds the same rows times 2.
class Conditions : public ::testing::Test {
protected:
    void SetUp() override {
        BookLocale::setDecimalSeparator(u',');
        for (int year : {3, 4})
            for (int r = 1; r <= 5; ++r) {
                std::array<double, kReportColumns> v{};
                for (int c = 0; c < kReportColumns; ++c)
                    v[size_t(c)] = (r * 10 + c + 1) * (year == 3 ? 2 : 1);
                m_report.add(year, 25, 1, 1001, QStringLiteral("00%1").arg(r), v);
            }
    }
    ConditionValue value(const QString& expr) {
        const Condition c = CompileCondition(QStringLiteral("  ") + expr + QStringLiteral("='0'*"));
        return ConditionEvaluator(m_report, 25, 4).value(*c.checks[0].left);
    }
    QString failures(const QString& text) {
        return ConditionEvaluator(m_report, 25, 4).failures(CompileCondition(text));
    }
    std::vector<double> first(const QString& expr) { return value(expr).at(0).values; }
    ReportTree m_report;
};

} // namespace

TEST_F(Conditions, RowListsSumAndSubtract) {
    EXPECT_EQ(first("001,1001,1.3,2"), (std::vector<double>{12, 32}));
    EXPECT_EQ(first("001,1001,1+3,2"), (std::vector<double>{44}));
    EXPECT_EQ(first("001,1001,1-3,2"), (std::vector<double>{12 - 32}));
    EXPECT_EQ(first("001,1001,1П5,1"), (std::vector<double>{11 + 21 + 31 + 41 + 51}));
    EXPECT_EQ(first("001,1001,1:5,1"), (std::vector<double>{11, 21, 31, 41, 51}));
    // After a range the next item counts positively whatever came before.
    EXPECT_EQ(first("001,1001,1:2+4,1"), (std::vector<double>{11, 21, 41}));
    const ConditionValue cols = value("001,1001,2,3:4.1");
    ASSERT_EQ(cols.size(), 3u);
    EXPECT_EQ(cols[0].number, 3);
    EXPECT_EQ(cols[2].number, 1);
    EXPECT_EQ(cols[2].values, (std::vector<double>{21}));
}

TEST_F(Conditions, PrecedenceParenthesesAndUnaryMinus) {
    EXPECT_EQ(first("001,1001,1,1+001,1001,2,1X'2'"), (std::vector<double>{11 + 21 * 2}));
    EXPECT_EQ(first("(001,1001,1,1+001,1001,2,1)X'2'"), (std::vector<double>{(11 + 21) * 2}));
    EXPECT_EQ(first("'10'-'4'-'3'"), (std::vector<double>{3}));
    EXPECT_EQ(first("'12'/'3'/'2'"), (std::vector<double>{2}));
    EXPECT_EQ(first("'5'/'0'"), (std::vector<double>{0}));
    EXPECT_EQ(first("-'5'+'2'"), (std::vector<double>{-3}));
    EXPECT_EQ(first("'2'X-('1'+'2')"), (std::vector<double>{-6}));
    EXPECT_EQ(first("'1,5'X'2'"), (std::vector<double>{3}));
}

TEST_F(Conditions, ShorterRightSidesRepeatCyclically) {
    // Two columns of two rows against one column of one row.
    const ConditionValue v = value("001,1001,1.2,1:2-001,1001,1,1");
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].values, (std::vector<double>{0, 10}));
    EXPECT_EQ(v[1].values, (std::vector<double>{1, 11}));
}

TEST_F(Conditions, FailureLinesOfEachOperator) {
    EXPECT_EQ(failures("  001,1001,1,1>'11'*"),
              QStringLiteral("(ф001 таб. 1001 стр. 1 гр. 1>011) Ошибка[1]: 11 > 11\r\n"));
    EXPECT_TRUE(failures("  001,1001,1,1=<'11'*").isEmpty());
    EXPECT_EQ(
        failures("  001,1001,1:2,1=>'12,345'*"),
        QStringLiteral("(ф001 таб. 1001 стр. 1:2 гр. 1=>012,345) Ошибка[1]: 11 >= 12,35\r\n"));
    EXPECT_EQ(failures("  001,1001,1,1.2<'12'*"),
              QStringLiteral("(ф001 таб. 1001 стр. 1 гр. 1.2<012) Ошибка[2]: 12 < 12\r\n"));
    // "=" against 0: the left side, "=", the value, without the word "Ошибка".
    EXPECT_EQ(failures("  001,1001,1,1='0'*"),
              QStringLiteral("ф001 таб. 1001 стр. 1 гр. 1=11\r\n"));
    EXPECT_EQ(failures("  001,1001,1,1='5'*"),
              QStringLiteral("(ф001 таб. 1001 стр. 1 гр. 1=05) Ошибка[1]: 11 = 5\r\n"));
    EXPECT_EQ(failures("  001,1001,1:2,1;0;20,5*"),
              QStringLiteral("(ф001 таб. 1001 стр. 1:2 гр. 1) не попадает в интервал от 0 до 20,5 "
                             "Ошибка[1]: 0 <= 21 <= 20,5\r\n"));
    // A chain compares neighbours: 11 <= 21 holds, 21 <= 15 does not.
    EXPECT_EQ(failures("  001,1001,1,1<=001,1001,2,1<='15'*"),
              QStringLiteral("(ф001 таб. 1001 стр. 2 гр. 1<=015) Ошибка[1]: 21 <= 15\r\n"));
}

TEST_F(Conditions, YearFormSelectsThePreviousYear) {
    EXPECT_TRUE(IsYearForm(QStringLiteral("  (1,1,1001,1,1")));
    EXPECT_FALSE(IsYearForm(QStringLiteral("  001,1001,1,1")));
    // With a one-character form the plain form reads as the year form.
    EXPECT_TRUE(IsYearForm(QStringLiteral("  1,1001,1,1")));
    EXPECT_EQ(failures("  1,1,1001,1,1>=0,1,1001,1,1*"),
              QStringLiteral("(ф1 таб. 1001 стр. 1 гр. 1 Тек.год>=ф1 таб. 1001 стр. 1 гр. 1 "
                             "Пред.год) Ошибка[1]: 11 >= 22\r\n"));
    // The fifth component's "+" ends the operand only after the fourth comma.
    EXPECT_TRUE(failures("  1,1,1001,1+2,1=0,1,1001,1,1+'10'*").isEmpty());
}

TEST_F(Conditions, OperandsWithoutValuesFailWithTheirText) {
    for (const char* bad : {"  1,1002,1,1>'0'*", "  001,1001,9,1>'0'*", "  001,1001,1,51>'0'*",
                            "  001,1001,a,1>'0'*", "  001,1001,1>'0'*"}) {
        const Condition c = CompileCondition(QString::fromUtf8(bad));
        try {
            ConditionEvaluator(m_report, 25, 4).failures(c);
            ADD_FAILURE() << bad;
        } catch (const OperandFailure& e) {
            const QString op = QString::fromUtf8(bad).mid(2).section(u'>', 0, 0);
            EXPECT_EQ(e.text(), QStringLiteral("Ошибка в условии ") + op + QStringLiteral("\r\n"));
        }
    }
    // Another object has no report.
    EXPECT_THROW(ConditionEvaluator(m_report, 26, 4)
                     .failures(CompileCondition(QStringLiteral("  001,1001,1,1>'0'*"))),
                 OperandFailure);
}

TEST_F(Conditions, SyntaxErrorsNameTheirPosition) {
    auto error = [](const char* text) {
        try {
            CompileCondition(QString::fromUtf8(text));
        } catch (const ConditionError& e) {
            return QStringLiteral("%1@%2").arg(e.message()).arg(e.position());
        }
        return QStringLiteral("compiled");
    };
    EXPECT_EQ(error("  >'1'*"), QStringLiteral("Неверное условие\r\n@3"));
    EXPECT_EQ(error("  'a'='1'*"),
              QStringLiteral("Синтаксическая ошибка в позиции 3: неверное число\r\n@3"));
    EXPECT_EQ(error("  ('1'+'2'='3'*"),
              QStringLiteral("Синтаксическая ошибка в позиции 11: нет закрывающей скобки\r\n@11"));
    EXPECT_EQ(error("  '1'='2'"),
              QStringLiteral("Синтаксическая ошибка в позиции 10: нет знака \"*\" в конце "
                             "условия\r\n@10"));
    EXPECT_EQ(error("  1,1,1,1;1;2"),
              QStringLiteral("Синтаксическая ошибка в позиции 14: нет знака \"*\" в конце "
                             "условия\r\n@14"));
    EXPECT_EQ(error("  '1'+'2'*"), QStringLiteral("Синтаксическая ошибка в позиции 10: нет знака "
                                                  "сравнения или интервала\r\n@10"));
    EXPECT_EQ(error("  '1'='2')*"),
              QStringLiteral("Синтаксическая ошибка в позиции 10: лишнее после условия\r\n@10"));
    EXPECT_EQ(error("  '1'=X'2'*"), QStringLiteral("Неверное условие\r\n@7"));
    EXPECT_EQ(
        error("  '1';a;2*"),
        QStringLiteral("Синтаксическая ошибка в позиции 7: неверные границы интервала\r\n@7"));
}
