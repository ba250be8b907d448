#pragma once

#include "ByteStream.h"
#include "model/CellAddress.h"
#include "model/CellFormat.h"

#include <QString>

#include <cstdint>

// Pieces shared by the native writer and reader.
namespace NativeCodec {

inline constexpr char kMagic[8] = {'Z', 'M', 'B', 'O', 'O', 'K', '\0', '\x1A'};
inline constexpr int kHeaderSize = 8 + 2 + 2 + 4 + 4 + 4;
inline constexpr uint32_t kMaxBody = 1u << 30;
inline constexpr int kMaxSheets = 4096;
inline constexpr uint32_t kMaxFormats = 1u << 20;

// How a number cell is stored: raw double, whole number, or hundredths.
enum NumberCoding : uint8_t { Raw = 0, Whole = 1, Cents = 2 };

QString badFile();
void writeFont(ByteWriter& w, const CellFont& f);
CellFont readFont(ByteReader& r);
void writeRange(ByteWriter& w, const CellRange& c);
CellRange readRange(ByteReader& r, bool allowInvalid);

} // namespace NativeCodec
