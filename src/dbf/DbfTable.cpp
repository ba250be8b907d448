#include "DbfTable.h"

#include "DbfError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const std::array<char16_t, 256>& DecodeTable(CodePage page) {
    static const auto build = [](CodePage p) {
        std::array<char16_t, 256> table{};
        for (int b = 0; b < 256; ++b)
            table[size_t(b)] = DecodeByte(p, uchar(b)).unicode();
        return table;
    };
    static const std::array<char16_t, 256> cp866 = build(CodePage::Cp866);
    static const std::array<char16_t, 256> win1251 = build(CodePage::Win1251);
    return page == CodePage::Cp866 ? cp866 : win1251;
}

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

DbfTable DbfTable::open(const QString& path, DbfText text) {
    QFile file(path);
    if (!file.exists())
        throw DbfError(QStringLiteral("Файл \"%1\" не найден").arg(native(path)));
    if (!file.open(QIODevice::ReadOnly))
        throw DbfError(QStringLiteral("Не удалось открыть файл \"%1\": %2")
                           .arg(native(path), file.errorString()));
    const QByteArray image = file.readAll();
    DbfTable t;
    t.m_path = path;
    t.m_h = DbfHeader::parse(image, path);
    t.m_headerBytes = image.left(t.m_h.headerLength);
    t.m_data = image.mid(t.m_h.headerLength, qsizetype(t.m_h.recordCount * t.m_h.recordLength));
    t.m_page = text == DbfText::Raw || IsWin1251Driver(t.m_h.languageDriver) ? CodePage::Win1251
                                                                             : CodePage::Cp866;
    t.m_decode = &DecodeTable(t.m_page);
    if (t.m_h.hasMemo())
        t.m_memo = DbfMemo::load(path, t.m_h.version);
    t.countLive();
    t.first();
    return t;
}

DbfTable DbfTable::create(const QString& path, const QList<DbfField>& fields) {
    DbfTable t;
    t.m_path = path;
    t.m_h = DbfHeader::forFields(fields);
    t.m_headerBytes = t.m_h.bytes();
    t.m_dirty = true;
    t.m_decode = &DecodeTable(t.m_page);
    t.first();
    return t;
}

int DbfTable::fieldIndex(const QString& name) const {
    for (int i = 0; i < fieldCount(); ++i)
        if (m_h.fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DbfTable::fieldByName(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbfError(QStringLiteral("В файле \"%1\" нет поля %2").arg(native(m_path), name));
    return i;
}

QStringList DbfTable::fieldNames() const {
    QStringList names;
    for (const DbfField& f : m_h.fields)
        names << f.name;
    return names;
}

void DbfTable::countLive() {
    m_live = 0;
    for (qint64 r = 0; r < m_h.recordCount; ++r)
        if (!isDeleted(r))
            ++m_live;
}

bool DbfTable::isDeleted(qint64 record) const {
    return record >= 0 && record < m_h.recordCount && m_data.at(record * m_h.recordLength) == '*';
}

qint64 DbfTable::nextLive(qint64 from) const {
    qint64 r = from;
    while (r < m_h.recordCount && isDeleted(r))
        ++r;
    return r;
}

bool DbfTable::first() {
    cancel();
    m_pos = nextLive(0);
    m_bof = true;
    return !eof();
}

bool DbfTable::next() {
    post();
    if (m_pos < m_h.recordCount)
        m_pos = nextLive(m_pos + 1);
    m_bof = false;
    return !eof();
}

bool DbfTable::goToPhysical(qint64 record) {
    post();
    if (record < 0 || record >= m_h.recordCount)
        return false;
    m_pos = record;
    m_bof = false;
    return !isDeleted(record);
}

const char* DbfTable::record() const {
    if (m_editing)
        return m_edit.constData();
    if (m_pos < 0 || m_pos >= m_h.recordCount)
        throw DbfError(QStringLiteral("Нет текущей записи в файле \"%1\"").arg(native(m_path)));
    return m_data.constData() + m_pos * m_h.recordLength;
}

char* DbfTable::editRecord() {
    if (!m_editing) {
        m_edit = QByteArray(record(), m_h.recordLength);
        m_editing = true;
    }
    return m_edit.data();
}

QByteArray DbfTable::raw(int field) const {
    const DbfField& f = m_h.fields.at(field);
    return QByteArray(record() + f.offset, f.length);
}

QString DbfTable::text(int field) const {
    const DbfField& f = m_h.fields.at(field);
    if (f.type == 'M') {
        const QByteArray bytes = raw(field);
        bool ok = false;
        const qint64 block = f.length == 4
                                 ? qint64(quint32(uchar(bytes[0]) | uchar(bytes[1]) << 8 |
                                                  uchar(bytes[2]) << 16 | uchar(bytes[3]) << 24))
                                 : bytes.trimmed().toLongLong(&ok);
        return decode(m_memo.read(block));
    }
    return decode(QByteArrayView(record() + f.offset, f.length));
}

// Right blanks and zero bytes removed, the rest through the file's code page.
QString DbfTable::decode(QByteArrayView bytes) const {
    qsizetype end = bytes.size();
    while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0'))
        --end;
    QString text(end, Qt::Uninitialized);
    QChar* out = text.data();
    const auto& table = *m_decode;
    for (qsizetype i = 0; i < end; ++i)
        out[i] = QChar(table[uchar(bytes[i])]);
    return text;
}

double DbfTable::number(int field) const {
    const DbfField& f = m_h.fields.at(field);
    const char* p = record() + f.offset;
    const char* end = p + f.length;
    while (p < end && *p == ' ')
        ++p;
    while (end > p && end[-1] == ' ')
        --end;
    if (p == end || end - p > 63)
        return 0;
    char buffer[64];
    std::memcpy(buffer, p, size_t(end - p));
    buffer[end - p] = '\0';
    for (char* c = buffer; *c; ++c)
        if (*c == ',')
            *c = '.';
    char* stop = nullptr;
    const double v = std::strtod(buffer, &stop);
    return stop == buffer + (end - p) && std::isfinite(v) ? v : 0;
}

qint64 DbfTable::integer(int field) const {
    const double v = m_h.fields.at(field).isNumeric() ? number(field) : text(field).toDouble();
    return std::isfinite(v) && std::fabs(v) < 9.2e18 ? qint64(std::llround(v)) : 0;
}

QVariant DbfTable::value(int field) const {
    const DbfField& f = m_h.fields.at(field);
    switch (f.type) {
    case 'N':
    case 'F':
        return number(field);
    case 'L': {
        const char c = raw(field).at(0);
        if (QByteArrayLiteral("TtYy").contains(c))
            return true;
        if (QByteArrayLiteral("FfNn").contains(c))
            return false;
        return QVariant();
    }
    case 'D': {
        const QDate d =
            QDate::fromString(QString::fromLatin1(raw(field)), QStringLiteral("yyyyMMdd"));
        return d.isValid() ? QVariant(d) : QVariant();
    }
    default:
        return text(field);
    }
}

void DbfTable::append() {
    post();
    m_edit = QByteArray(m_h.recordLength, ' ');
    m_editing = true;
    m_appending = true;
    m_pos = m_h.recordCount;
    m_bof = false;
}

void DbfTable::writeRaw(int field, const QByteArray& bytes) {
    const DbfField& f = m_h.fields.at(field);
    char* r = editRecord() + f.offset;
    const int n = int(qMin<qsizetype>(bytes.size(), f.length));
    memcpy(r, bytes.constData(), size_t(n));
    memset(r + n, ' ', size_t(f.length - n));
}

void DbfTable::setText(int field, const QString& text) {
    const DbfField& f = m_h.fields.at(field);
    if (f.type == 'M')
        throw DbfError(QStringLiteral("Поле %1 (примечание) не записывается").arg(f.name));
    if (f.type != 'C') {
        setValue(field, text);
        return;
    }
    QByteArray bytes = EncodeText(m_page, text);
    while (bytes.size() > f.length && bytes.endsWith(' '))
        bytes.chop(1);
    if (bytes.size() > f.length)
        ++m_cutTexts;
    writeRaw(field, bytes);
}

void DbfTable::setNumber(int field, double number) {
    const DbfField& f = m_h.fields.at(field);
    if (!f.isNumeric()) {
        setValue(field, number);
        return;
    }
    QByteArray digits = QByteArray::number(number, 'f', f.decimals);
    if (!std::isfinite(number) || digits.size() > f.length)
        throw DbfError(QStringLiteral("Число %1 не помещается в поле %2 (ширина %3)")
                           .arg(QString::fromLatin1(digits), f.name)
                           .arg(f.length));
    writeRaw(field, QByteArray(f.length - digits.size(), ' ') + digits);
}

void DbfTable::setValue(int field, const QVariant& value) {
    const DbfField& f = m_h.fields.at(field);
    if (value.isNull()) {
        writeRaw(field, f.type == 'L' ? QByteArray("?") : QByteArray());
        return;
    }
    switch (f.type) {
    case 'N':
    case 'F': {
        bool ok = true;
        const double v = value.typeId() == QMetaType::QString
                             ? value.toString()
                                   .trimmed()
                                   .replace(QLatin1Char(','), QLatin1Char('.'))
                                   .toDouble(&ok)
                             : value.toDouble(&ok);
        if (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty()) {
            writeRaw(field, {});
            return;
        }
        if (!ok)
            throw DbfError(QStringLiteral("Значение \"%1\" поля %2 не является числом")
                               .arg(value.toString(), f.name));
        setNumber(field, v);
        return;
    }
    case 'L':
        writeRaw(field, value.toBool() ? QByteArray("T") : QByteArray("F"));
        return;
    case 'D': {
        const QDate d = value.toDate();
        writeRaw(field,
                 d.isValid() ? d.toString(QStringLiteral("yyyyMMdd")).toLatin1() : QByteArray());
        return;
    }
    default:
        setText(field, value.toString());
    }
}

void DbfTable::post() {
    if (!m_editing)
        return;
    if (m_appending) {
        m_data.append(m_edit);
        ++m_h.recordCount;
        ++m_live;
        m_appending = false;
    } else {
        memcpy(m_data.data() + m_pos * m_h.recordLength, m_edit.constData(),
               size_t(m_h.recordLength));
    }
    m_editing = false;
    m_dirty = true;
}

void DbfTable::cancel() {
    if (m_appending)
        m_pos = m_h.recordCount;
    m_editing = false;
    m_appending = false;
}

void DbfTable::deleteCurrent() {
    post();
    if (m_pos < 0 || m_pos >= m_h.recordCount || isDeleted(m_pos))
        return;
    m_data[m_pos * m_h.recordLength] = '*';
    --m_live;
    m_dirty = true;
    m_pos = nextLive(m_pos + 1);
}

void DbfTable::deleteAll() {
    cancel();
    for (qint64 r = 0; r < m_h.recordCount; ++r)
        m_data[r * m_h.recordLength] = '*';
    m_live = 0;
    m_pos = m_h.recordCount;
    m_dirty = true;
}

void DbfTable::setTableFlags(unsigned char flags) {
    m_h.tableFlags = flags;
    m_dirty = true;
}

void DbfTable::save() {
    post();
    const QDate today = QDate::currentDate();
    char* h = m_headerBytes.data();
    h[1] = char(qBound(0, today.year() - 1900, 255));
    h[2] = char(today.month());
    h[3] = char(today.day());
    const quint32 count = quint32(m_h.recordCount);
    for (int i = 0; i < 4; ++i)
        h[4 + i] = char((count >> (8 * i)) & 0xFF);
    h[28] = char(m_h.tableFlags);
    // Unbuffered, each write checked: a buffered write that fails at the final
    // flush would still be renamed over the original.
    QSaveFile file(m_path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
              file.write(m_headerBytes) == m_headerBytes.size() &&
              file.write(m_data) == m_data.size() && file.write("\x1A", 1) == 1;
    if (!ok)
        file.cancelWriting();
    ok = file.commit() && ok;
    if (!ok)
        throw DbfError(QStringLiteral("Не удалось записать файл \"%1\": %2")
                           .arg(native(m_path), file.errorString()));
    m_h.updated = today;
    m_dirty = false;
}

QString DbfConnectionString(const QString& folder) {
    return QStringLiteral("Provider=MSDASQL.1;Extended Properties=\"DSN=Файлы dBASE;DBQ=") +
           folder + QStringLiteral(";DriverId=533;\"");
}
