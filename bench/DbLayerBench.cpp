// The database layer against the bare Firebird client interface on the same
// embedded database: prepared point look-ups and one-transaction inserts, and a
// bulk SELECT. Each figure is rows per second; the ceiling is the bare interface.
#include "BenchSupport.h"
#include "DbTestHelpers.h"
#include "TestDatabases.h"

#include <QCoreApplication>

#include <firebird/Interface.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

using namespace Firebird;

constexpr int kRows = 20000;
constexpr int kLookups = 20000;
constexpr int kRuns = 5;

// The bare client: one attachment, one transaction per operation, statements
// prepared once, values read and written straight in the message buffers.
class Bare {
public:
    explicit Bare(const QString& path) {
        m_master = fb_get_master_interface();
        m_status = m_master->getStatus();
        ThrowStatusWrapper st(m_status);
        IXpbBuilder* dpb =
            m_master->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&st, isc_dpb_user_name, TestDatabases::user().toUtf8().constData());
        dpb->insertString(&st, isc_dpb_password, TestDatabases::password().toUtf8().constData());
        dpb->insertString(&st, isc_dpb_lc_ctype, "UTF8");
        IProvider* provider = m_master->getDispatcher();
        m_att = provider->attachDatabase(&st, path.toUtf8().constData(), dpb->getBufferLength(&st),
                                         dpb->getBuffer(&st));
        dpb->dispose();
        provider->release();
    }
    ~Bare() {
        ThrowStatusWrapper st(m_status);
        m_att->detach(&st);
        m_status->dispose();
    }

    void start() {
        ThrowStatusWrapper st(m_status);
        static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                                            isc_tpb_rec_version, isc_tpb_wait};
        m_tra = m_att->startTransaction(&st, sizeof tpb, tpb);
    }
    void commit() {
        ThrowStatusWrapper st(m_status);
        m_tra->commit(&st);
        m_tra = nullptr;
    }

    struct Prepared {
        IStatement* stmt = nullptr;
        IMessageMetadata* in = nullptr;
        IMessageMetadata* out = nullptr;
        std::vector<unsigned char> inBuf, outBuf;
    };
    Prepared prepare(const char* sql) {
        ThrowStatusWrapper st(m_status);
        Prepared p;
        p.stmt = m_att->prepare(&st, m_tra, 0, sql, 3, IStatement::PREPARE_PREFETCH_METADATA);
        p.in = p.stmt->getInputMetadata(&st);
        p.out = p.stmt->getOutputMetadata(&st);
        p.inBuf.resize(p.in->getMessageLength(&st));
        p.outBuf.resize(p.out->getMessageLength(&st));
        return p;
    }
    void free(Prepared& p) {
        ThrowStatusWrapper st(m_status);
        p.in->release();
        p.out->release();
        p.stmt->free(&st);
    }

    // INSERT INTO t (ID, NAME, VAL) VALUES (?, ?, ?)
    void insert(const char* table, int from) {
        ThrowStatusWrapper st(m_status);
        start();
        const QByteArray sql =
            QByteArray("INSERT INTO ") + table + " (ID, NAME, VAL) VALUES (?, ?, ?)";
        Prepared p = prepare(sql.constData());
        unsigned char* b = p.inBuf.data();
        std::memset(b, 0, p.inBuf.size());
        for (int i = from; i < from + kRows; ++i) {
            *reinterpret_cast<int*>(b + p.in->getOffset(&st, 0)) = i;
            const QByteArray name = QStringLiteral("Строка номер %1").arg(i).toUtf8();
            auto* vary = b + p.in->getOffset(&st, 1);
            *reinterpret_cast<unsigned short*>(vary) = static_cast<unsigned short>(name.size());
            std::memcpy(vary + 2, name.constData(), size_t(name.size()));
            *reinterpret_cast<double*>(b + p.in->getOffset(&st, 2)) = i * 0.5;
            p.stmt->execute(&st, m_tra, p.in, b, nullptr, nullptr);
        }
        free(p);
        commit();
    }

    double lookups(const char* table) {
        ThrowStatusWrapper st(m_status);
        start();
        const QByteArray sql = QByteArray("SELECT NAME, VAL FROM ") + table + " WHERE ID = ?";
        Prepared p = prepare(sql.constData());
        double sum = 0;
        for (int i = 0; i < kLookups; ++i) {
            *reinterpret_cast<int*>(p.inBuf.data() + p.in->getOffset(&st, 0)) = (i * 7919) % kRows;
            IResultSet* rs = p.stmt->openCursor(&st, m_tra, p.in, p.inBuf.data(), p.out, 0);
            // The whole result is read, as the layer reads it.
            while (rs->fetchNext(&st, p.outBuf.data()) == IStatus::RESULT_OK) {
                const auto* vary = p.outBuf.data() + p.out->getOffset(&st, 0);
                sum += QString::fromUtf8(reinterpret_cast<const char*>(vary + 2),
                                         *reinterpret_cast<const unsigned short*>(vary))
                           .size();
                sum += *reinterpret_cast<const double*>(p.outBuf.data() + p.out->getOffset(&st, 1));
            }
            rs->close(&st);
        }
        free(p);
        commit();
        return sum;
    }

    double scan(const char* table, int* rows) {
        ThrowStatusWrapper st(m_status);
        start();
        const QByteArray sql = QByteArray("SELECT ID, NAME, VAL FROM ") + table;
        Prepared p = prepare(sql.constData());
        double sum = 0;
        *rows = 0;
        IResultSet* rs = p.stmt->openCursor(&st, m_tra, nullptr, nullptr, p.out, 0);
        const unsigned idOff = p.out->getOffset(&st, 0), nameOff = p.out->getOffset(&st, 1),
                       valOff = p.out->getOffset(&st, 2);
        while (rs->fetchNext(&st, p.outBuf.data()) == IStatus::RESULT_OK) {
            const unsigned char* b = p.outBuf.data();
            sum += *reinterpret_cast<const int*>(b + idOff);
            sum += QString::fromUtf8(reinterpret_cast<const char*>(b + nameOff + 2),
                                     *reinterpret_cast<const unsigned short*>(b + nameOff))
                       .size();
            sum += *reinterpret_cast<const double*>(b + valOff);
            ++*rows;
        }
        rs->close(&st);
        free(p);
        commit();
        return sum;
    }

private:
    IMaster* m_master = nullptr;
    IStatus* m_status = nullptr;
    IAttachment* m_att = nullptr;
    ITransaction* m_tra = nullptr;
};

void layerInsert(DbConnection& c, const char* table, int from) {
    DbStatement& st = c.statement(QStringLiteral("benchInsert"));
    st.setSql(QStringLiteral("INSERT INTO %1 (ID, NAME, VAL) VALUES (:ID, :NAME, :VAL)")
                  .arg(QLatin1String(table)));
    RunInTransaction(c, [&] {
        for (int i = from; i < from + kRows; ++i) {
            st.setParam(QStringLiteral("ID"), i);
            st.setParam(QStringLiteral("NAME"), QStringLiteral("Строка номер %1").arg(i));
            st.setParam(QStringLiteral("VAL"), i * 0.5);
            st.execute();
        }
    });
}

double layerLookups(DbConnection& c, const char* table) {
    DbStatement& st = c.statement(QStringLiteral("benchLookup"));
    st.setSql(QStringLiteral("SELECT NAME, VAL FROM %1 WHERE ID = :ID").arg(QLatin1String(table)));
    double sum = 0;
    RunInTransaction(c, [&] {
        for (int i = 0; i < kLookups; ++i) {
            st.setParam(QStringLiteral("ID"), (i * 7919) % kRows);
            st.open();
            if (!st.eof()) {
                sum += st.value(0).toString().size();
                sum += st.value(1).toDouble();
            }
        }
    });
    return sum;
}

double layerScan(DbConnection& c, const char* table, int* rows) {
    DbStatement& st = c.statement(QStringLiteral("benchScan"));
    st.setSql(QStringLiteral("SELECT ID, NAME, VAL FROM %1").arg(QLatin1String(table)));
    double sum = 0;
    *rows = 0;
    RunInTransaction(c, [&] {
        st.open();
        for (st.first(); !st.eof(); st.next()) {
            sum += st.value(0).toInt();
            sum += st.value(1).toString().size();
            sum += st.value(2).toDouble();
            ++*rows;
        }
        st.close();
    });
    return sum;
}

double perSecond(double count, double ms) {
    return ms > 0 ? count * 1000.0 / ms : 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestDatabases dbs;
    auto layer = dbs.connect(0);
    for (const char* table : {"BENCH_LAYER", "BENCH_BARE"})
        dbtest::exec(*layer, QStringLiteral("CREATE TABLE %1 (ID INTEGER NOT NULL PRIMARY KEY, "
                                            "NAME VARCHAR(100), VAL DOUBLE PRECISION)")
                                 .arg(QLatin1String(table)));
    // The first run of each side fills its table with 0..kRows-1, which the look-ups read.
    Bare bare(dbs.factPath());
    int layerFrom = 0, bareFrom = 0;
    double layerMs = 1e300, bareMs = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        bareMs = std::min(bareMs, bestMs(1, [&] { bare.insert("BENCH_BARE", bareFrom); }));
        bareFrom += kRows;
        layerMs =
            std::min(layerMs, bestMs(1, [&] { layerInsert(*layer, "BENCH_LAYER", layerFrom); }));
        layerFrom += kRows;
    }
    report("db_insert_one_transaction", perSecond(kRows, layerMs), "rows/s",
           perSecond(kRows, bareMs));

    double check = 0;
    layerMs = bareMs = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        bareMs = std::min(bareMs, bestMs(1, [&] { check += bare.lookups("BENCH_BARE"); }));
        layerMs =
            std::min(layerMs, bestMs(1, [&] { check -= layerLookups(*layer, "BENCH_LAYER"); }));
    }
    report("db_point_lookups", perSecond(kLookups, layerMs), "lookups/s",
           perSecond(kLookups, bareMs));

    int bareRows = 0, layerRows = 0;
    layerMs = bareMs = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        bareMs = std::min(bareMs, bestMs(1, [&] { check += bare.scan("BENCH_BARE", &bareRows); }));
        layerMs = std::min(
            layerMs, bestMs(1, [&] { check -= layerScan(*layer, "BENCH_LAYER", &layerRows); }));
    }
    if (bareRows != layerRows || check != 0)
        throw std::runtime_error("the layer and the bare client read different rows");
    report("db_bulk_select", perSecond(layerRows, layerMs), "rows/s", perSecond(bareRows, bareMs));
    return 0;
}
