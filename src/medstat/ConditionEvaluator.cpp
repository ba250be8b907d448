#include "ConditionEvaluator.h"

#include "ReportTree.h"
#include "format/BookLocale.h"

#include <cmath>

OperandFailure::OperandFailure(const QString& text)
    : std::runtime_error(text.toStdString()), m_text(text) {}

QString ControlNumber(double x) {
    double r = std::round(x * 100.0) / 100.0;
    if (r == 0)
        r = 0; // no "-0"
    QString s = QString::number(r, 'f', 2);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    s.replace(u'.', BookLocale::decimalSeparator());
    return s;
}

QString WrittenForm(const ConditionNode& node) {
    switch (node.kind) {
    case NodeKind::Literal:
        return node.token;
    case NodeKind::Operand: {
        const OperandRef& o = node.operand;
        if (o.formText.isEmpty() && o.rowsText.isEmpty())
            return node.token;
        QString s = QStringLiteral("ф") + o.formText + QStringLiteral(" таб. ") + o.tableText +
                    QStringLiteral(" стр. ") + o.rowsText + QStringLiteral(" гр. ") + o.colsText;
        if (o.yearForm)
            s += o.currentYear ? QStringLiteral(" Тек.год") : QStringLiteral(" Пред.год");
        return s;
    }
    case NodeKind::Negate:
        return QStringLiteral("(-") + WrittenForm(*node.right) + u')';
    default:
        return u'(' + WrittenForm(*node.left) + node.token + WrittenForm(*node.right) + u')';
    }
}

QString WrittenForm(const ConditionCheck& check) {
    if (check.op == CompareOp::Interval)
        return u'(' + WrittenForm(*check.left) + QStringLiteral(") не попадает в интервал от ") +
               check.loText + QStringLiteral(" до ") + check.hiText;
    return u'(' + WrittenForm(*check.left) + check.opToken + WrittenForm(*check.right) + u')';
}

ConditionValue ConditionEvaluator::operand(const OperandRef& ref) const {
    auto fail = [&]() {
        return OperandFailure(QStringLiteral("Ошибка в условии ") + ref.written +
                              QStringLiteral("\r\n"));
    };
    if (!ref.readable)
        throw fail();
    const int year = ref.currentYear ? m_year : m_year - 1;
    const ReportTable* table = m_report.find(year, m_object, ref.form, ref.table);
    if (!table)
        throw fail();
    // The rows the operand names, with their signs, found once for every column.
    thread_local std::vector<std::pair<const ReportRow*, int>> rows;
    rows.clear();
    for (const ReportRow& row : table->rows) {
        int sign = 0;
        for (const SpecItem& it : ref.rows) {
            if (!row.numeric)
                throw fail(); // a row the operand could name needs its code
            if (row.number >= it.lo && row.number <= it.hi) {
                sign = it.sign;
                break;
            }
        }
        if (sign != 0)
            rows.emplace_back(&row, sign);
    }
    if (rows.empty())
        throw fail();
    ConditionValue out;
    out.reserve(ref.cols.size());
    for (int c : ref.cols) {
        if (c < 1 || c > kReportColumns)
            throw fail();
        ValueColumn col;
        col.number = c;
        if (ref.sum) {
            double total = 0;
            for (const auto& [row, sign] : rows)
                total += row->values[size_t(c - 1)] * sign;
            col.values.assign(1, total);
        } else {
            col.values.reserve(rows.size());
            for (const auto& [row, sign] : rows)
                col.values.push_back(row->values[size_t(c - 1)] * sign);
        }
        out.push_back(std::move(col));
    }
    if (out.empty())
        throw fail();
    return out;
}

ConditionValue ConditionEvaluator::value(const ConditionNode& node) const {
    switch (node.kind) {
    case NodeKind::Literal:
        return ConditionValue{ValueColumn{1, {node.literal}}};
    case NodeKind::Operand:
        return operand(node.operand);
    case NodeKind::Negate: {
        ConditionValue v = value(*node.right);
        for (ValueColumn& c : v)
            for (double& x : c.values)
                x = -x;
        return v;
    }
    default:
        break;
    }
    ConditionValue left = value(*node.left);
    const ConditionValue right = value(*node.right);
    for (size_t k = 0; k < left.size(); ++k) {
        const std::vector<double>& r = right[k % right.size()].values;
        std::vector<double>& l = left[k].values;
        for (size_t i = 0; i < l.size(); ++i) {
            const double b = r[i % r.size()];
            switch (node.kind) {
            case NodeKind::Add:
                l[i] += b;
                break;
            case NodeKind::Sub:
                l[i] -= b;
                break;
            case NodeKind::Mul:
                l[i] *= b;
                break;
            default:
                l[i] = b == 0 ? 0 : l[i] / b;
                break;
            }
        }
    }
    return left;
}

QString ConditionEvaluator::failures(const Condition& condition) const {
    QString lines;
    for (const ConditionCheck& check : condition.checks) {
        const ConditionValue left = value(*check.left);
        ConditionValue right;
        if (check.op != CompareOp::Interval)
            right = value(*check.right);
        for (size_t k = 0; k < left.size(); ++k) {
            auto head = [k] { return QStringLiteral(" Ошибка[%1]: ").arg(k + 1); };
            const std::vector<double>& l = left[k].values;
            for (size_t i = 0; i < l.size(); ++i) {
                const double a = l[i];
                if (check.op == CompareOp::Interval) {
                    if (a < check.lo || a > check.hi)
                        lines += check.written + head() + ControlNumber(check.lo) +
                                 QStringLiteral(" <= ") + ControlNumber(a) +
                                 QStringLiteral(" <= ") + ControlNumber(check.hi) +
                                 QStringLiteral("\r\n");
                    continue;
                }
                const std::vector<double>& rc = right[k % right.size()].values;
                const double b = rc[i % rc.size()];
                bool holds = true;
                const char* op = " = ";
                switch (check.op) {
                case CompareOp::Less:
                    holds = a < b;
                    op = " < ";
                    break;
                case CompareOp::Greater:
                    holds = a > b;
                    op = " > ";
                    break;
                case CompareOp::LessEqual:
                    holds = a <= b;
                    op = " <= ";
                    break;
                case CompareOp::GreaterEqual:
                    holds = a >= b;
                    op = " >= ";
                    break;
                default:
                    holds = a == b;
                    break;
                }
                if (holds)
                    continue;
                if (check.op == CompareOp::Equal && b == 0)
                    lines += check.leftWritten + u'=' + ControlNumber(a) + QStringLiteral("\r\n");
                else
                    lines += check.written + head() + ControlNumber(a) + QLatin1String(op) +
                             ControlNumber(b) + QStringLiteral("\r\n");
            }
        }
    }
    return lines;
}
