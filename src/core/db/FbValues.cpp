#include "FbValues.h"

#include "FbClient.h"

#include <QDateTime>

#include <ibase.h>

#include <cmath>
#include <cstring>

namespace fb {

namespace {

constexpr unsigned kOctets = 1;
constexpr unsigned kUtf8 = 4;
// Blob segments are at most 64 KB - 1.
constexpr unsigned kSegment = 65535;
// Days from 1858-11-17 (the server's day 0) to the Julian day count Qt uses.
constexpr qint64 kJulianOffset = 2400001;

template <class T> T load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T> void store(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

double power10(int exponent) {
    static const double table[] = {1,    1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    return exponent >= 0 && exponent <= 18 ? table[exponent] : std::pow(10.0, exponent);
}

QVariant scaled(qint64 raw, int scale, QMetaType plain) {
    if (scale < 0)
        return double(raw) / power10(-scale);
    if (plain.id() == QMetaType::Int)
        return int(raw);
    return raw;
}

QTime timeOf(ISC_TIME t) {
    return QTime::fromMSecsSinceStartOfDay(int(t / 10));
}

QDate dateOf(ISC_DATE d) {
    return QDate::fromJulianDay(d + kJulianOffset);
}

QMetaType typeOf(const Field& f) {
    switch (f.type) {
    case SQL_VARYING:
    case SQL_TEXT:
        return QMetaType::fromType<QString>();
    case SQL_SHORT:
    case SQL_LONG:
        return f.scale < 0 ? QMetaType::fromType<double>() : QMetaType::fromType<int>();
    case SQL_INT64:
        return f.scale < 0 ? QMetaType::fromType<double>() : QMetaType::fromType<qlonglong>();
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return QMetaType::fromType<double>();
    case SQL_TIMESTAMP:
        return QMetaType::fromType<QDateTime>();
    case SQL_TYPE_DATE:
        return QMetaType::fromType<QDate>();
    case SQL_TYPE_TIME:
        return QMetaType::fromType<QTime>();
    case SQL_BLOB:
        return f.subType == 1 ? QMetaType::fromType<QString>() : QMetaType::fromType<QByteArray>();
    case SQL_BOOLEAN:
        return QMetaType::fromType<bool>();
    default:
        return {};
    }
}

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool isWhole(const QVariant& v) {
    return isNumber(v) && v.typeId() != QMetaType::Double && v.typeId() != QMetaType::Float;
}

} // namespace

std::vector<Field> readFields(Firebird::ThrowStatusWrapper* status,
                              Firebird::IMessageMetadata* metadata) {
    std::vector<Field> fields(metadata->getCount(status));
    for (unsigned i = 0; i < fields.size(); ++i) {
        Field& f = fields[i];
        f.type = metadata->getType(status, i) & ~1u;
        f.subType = metadata->getSubType(status, i);
        f.scale = metadata->getScale(status, i);
        f.length = metadata->getLength(status, i);
        f.charSet = metadata->getCharSet(status, i) & 0xFF;
        f.offset = metadata->getOffset(status, i);
        f.nullOffset = metadata->getNullOffset(status, i);
        f.name = QString::fromUtf8(metadata->getAlias(status, i));
    }
    return fields;
}

bool isNullValue(const QVariant& value) {
    if (value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString().isNull();
    case QMetaType::QByteArray:
        return value.toByteArray().isNull();
    case QMetaType::QDate:
        return value.toDate().isNull();
    case QMetaType::QTime:
        return value.toTime().isNull();
    case QMetaType::QDateTime:
        return value.toDateTime().isNull();
    default:
        return false;
    }
}

QVariant decode(const Field& f, const unsigned char* message,
                const std::vector<QByteArray>& blobs) {
    if (load<short>(message + f.nullOffset) != 0)
        return QVariant(typeOf(f));
    const unsigned char* p = message + f.offset;
    switch (f.type) {
    case SQL_VARYING: {
        const auto size = load<unsigned short>(p);
        const auto* text = reinterpret_cast<const char*>(p + 2);
        if (f.charSet == kOctets)
            return QByteArray(text, size);
        return QString::fromUtf8(text, size);
    }
    case SQL_TEXT: {
        const auto* text = reinterpret_cast<const char*>(p);
        if (f.charSet == kOctets)
            return QByteArray(text, f.length);
        QString s = QString::fromUtf8(text, f.length);
        // The server pads to the byte length, four bytes a character in UTF8.
        if (f.charSet == kUtf8)
            s.truncate(f.length / 4);
        return s;
    }
    case SQL_SHORT:
        return scaled(load<short>(p), f.scale, QMetaType::fromType<int>());
    case SQL_LONG:
        return scaled(load<ISC_LONG>(p), f.scale, QMetaType::fromType<int>());
    case SQL_INT64:
        return scaled(load<ISC_INT64>(p), f.scale, QMetaType::fromType<qlonglong>());
    case SQL_FLOAT:
        return double(load<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return load<double>(p);
    case SQL_TYPE_DATE:
        return dateOf(load<ISC_DATE>(p));
    case SQL_TYPE_TIME:
        return timeOf(load<ISC_TIME>(p));
    case SQL_TIMESTAMP: {
        const auto ts = load<ISC_TIMESTAMP>(p);
        return QDateTime(dateOf(ts.timestamp_date), timeOf(ts.timestamp_time));
    }
    case SQL_BLOB: {
        const auto index = load<quint64>(p);
        const QByteArray& bytes = index < blobs.size() ? blobs[index] : QByteArray();
        if (f.subType == 1)
            return QString::fromUtf8(bytes);
        return bytes;
    }
    case SQL_BOOLEAN:
        return *p != 0;
    default:
        return {};
    }
}

QByteArray bytesOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    return value.toString().toUtf8();
}

bool encode(const Field& f, const QVariant& value, unsigned char* message) {
    unsigned char* p = message + f.offset;
    switch (f.type) {
    case SQL_VARYING:
    case SQL_TEXT: {
        const QByteArray bytes = bytesOf(value);
        if (unsigned(bytes.size()) > f.length)
            return false;
        if (f.type == SQL_VARYING) {
            store(p, static_cast<unsigned short>(bytes.size()));
            std::memcpy(p + 2, bytes.constData(), size_t(bytes.size()));
        } else {
            std::memcpy(p, bytes.constData(), size_t(bytes.size()));
            std::memset(p + bytes.size(), ' ', f.length - unsigned(bytes.size()));
        }
        break;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        if (!isNumber(value))
            return false;
        qint64 raw = 0;
        if (f.scale == 0 && isWhole(value))
            raw = value.toLongLong();
        else
            raw = qint64(std::llround(value.toDouble() * power10(-f.scale)));
        if (f.type == SQL_SHORT) {
            if (raw < -32768 || raw > 32767)
                return false;
            store(p, short(raw));
        } else if (f.type == SQL_LONG) {
            if (raw < INT32_MIN || raw > INT32_MAX)
                return false;
            store(p, ISC_LONG(raw));
        } else {
            store(p, ISC_INT64(raw));
        }
        break;
    }
    case SQL_FLOAT:
        if (!isNumber(value))
            return false;
        store(p, value.toFloat());
        break;
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        if (!isNumber(value))
            return false;
        store(p, value.toDouble());
        break;
    case SQL_TYPE_DATE:
        if (value.typeId() != QMetaType::QDate && value.typeId() != QMetaType::QDateTime)
            return false;
        store(p, ISC_DATE(value.toDate().toJulianDay() - kJulianOffset));
        break;
    case SQL_TYPE_TIME:
        if (value.typeId() != QMetaType::QTime && value.typeId() != QMetaType::QDateTime)
            return false;
        store(p, ISC_TIME(value.toTime().msecsSinceStartOfDay() * 10));
        break;
    case SQL_TIMESTAMP: {
        if (value.typeId() != QMetaType::QDateTime && value.typeId() != QMetaType::QDate)
            return false;
        const QDateTime dt = value.toDateTime();
        ISC_TIMESTAMP ts;
        ts.timestamp_date = ISC_DATE(dt.date().toJulianDay() - kJulianOffset);
        ts.timestamp_time = ISC_TIME(dt.time().msecsSinceStartOfDay() * 10);
        store(p, ts);
        break;
    }
    case SQL_BOOLEAN:
        if (!isNumber(value))
            return false;
        *p = value.toBool() ? 1 : 0;
        break;
    default:
        return false;
    }
    store(message + f.nullOffset, short(0));
    return true;
}

QByteArray readBlob(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
                    Firebird::ITransaction* transaction, ISC_QUAD id) {
    Firebird::IBlob* blob = attachment->openBlob(status, transaction, &id, 0, nullptr);
    QByteArray bytes;
    try {
        const unsigned char items[] = {isc_info_blob_total_length};
        unsigned char info[16] = {};
        blob->getInfo(status, sizeof items, items, sizeof info, info);
        if (info[0] == isc_info_blob_total_length) {
            const int len = int(isc_vax_integer(reinterpret_cast<const char*>(info + 1), 2));
            bytes.reserve(
                int(isc_vax_integer(reinterpret_cast<const char*>(info + 3), short(len))));
        }
        char buffer[kSegment];
        for (;;) {
            unsigned got = 0;
            const int result = blob->getSegment(status, sizeof buffer, buffer, &got);
            if (result != Firebird::IStatus::RESULT_OK &&
                result != Firebird::IStatus::RESULT_SEGMENT)
                break;
            bytes.append(buffer, qsizetype(got));
        }
        blob->close(status);
    } catch (...) {
        blob->release();
        throw;
    }
    return bytes;
}

ISC_QUAD writeBlob(Firebird::ThrowStatusWrapper* status, Firebird::IAttachment* attachment,
                   Firebird::ITransaction* transaction, const QByteArray& bytes) {
    ISC_QUAD id{};
    Firebird::IBlob* blob = attachment->createBlob(status, transaction, &id, 0, nullptr);
    try {
        for (qsizetype at = 0; at < bytes.size(); at += kSegment) {
            const auto part = unsigned(std::min<qsizetype>(kSegment, bytes.size() - at));
            blob->putSegment(status, part, bytes.constData() + at);
        }
        blob->close(status);
    } catch (...) {
        blob->release();
        throw;
    }
    return id;
}

} // namespace fb
