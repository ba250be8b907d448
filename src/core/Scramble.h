#pragma once

#include <QByteArray>
#include <QString>

// Obfuscation of the passwords kept in Zemrak.INI: not encryption, only a guard
// against reading a password over someone's shoulder. Works on 8-bit characters;
// texts longer than 255 characters are processed modulo 256 as the stored files are.
constexpr quint16 kScrambleStartKey = 763;
constexpr quint16 kScrambleMultiplier = 29347;
constexpr quint16 kScrambleAddend = 40163;

QByteArray ScrambleText(const QByteArray& plain, quint16 startKey = kScrambleStartKey,
                        quint16 multiplier = kScrambleMultiplier, quint16 addend = kScrambleAddend);
QByteArray UnscrambleText(const QByteArray& scrambled, quint16 startKey = kScrambleStartKey,
                          quint16 multiplier = kScrambleMultiplier,
                          quint16 addend = kScrambleAddend);

// Passwords as Unicode text, through their Windows-1251 bytes.
QByteArray ScramblePassword(const QString& password);
QString UnscramblePassword(const QByteArray& scrambled);
