#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class NumberFormat;

// An empty font name or a zero size means "the sheet's default font".
struct CellFont {
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    quint32 color = 0; // 0xRRGGBB
    int charset = 1;   // 1 = default, 204 = Cyrillic
    bool strikeout = false;
    bool operator==(const CellFont&) const = default;
};

enum class HAlign : uint8_t { General, Left, Center, Right, Fill, Justify, CenterAcross };
enum class VAlign : uint8_t { Top, Center, Bottom };
enum class BorderStyle : uint8_t { None, Thin, Medium, Dashed, Dotted, Thick, Double, Hair };

struct BorderSide {
    BorderStyle style = BorderStyle::None;
    quint32 color = 0;
    bool operator==(const BorderSide&) const = default;
};

// Pattern 0 is no fill, 1 solid (foreground colour); higher numbers are hatchings.
struct CellFormat {
    QString numberFormat = QStringLiteral("General");
    CellFont font;
    HAlign hAlign = HAlign::General;
    VAlign vAlign = VAlign::Bottom;
    bool wordWrap = false;
    BorderSide left, top, right, bottom;
    int pattern = 0;
    quint32 patternFg = 0;
    quint32 patternBg = 0xFFFFFF;
    bool locked = true;
    bool operator==(const CellFormat&) const = default;
};

size_t qHash(const CellFont& f, size_t seed = 0);
size_t qHash(const CellFormat& f, size_t seed = 0);

// Formats are stored once per workbook and cells refer to them by index; index 0 is the
// default format and is always present.
class FormatTable {
public:
    FormatTable();
    uint32_t intern(const CellFormat& format);
    const CellFormat& at(uint32_t index) const;
    const NumberFormat& numberFormat(uint32_t index) const;
    uint32_t size() const { return uint32_t(m_formats.size()); }
    void clear();

private:
    std::vector<CellFormat> m_formats;
    QHash<CellFormat, uint32_t> m_index;
    mutable std::vector<std::shared_ptr<NumberFormat>> m_parsed;
};
