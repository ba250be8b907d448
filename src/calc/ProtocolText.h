#pragma once

#include <QDate>
#include <QString>

// What a long check writes for the protocol window: its caption and its text, built
// line by line. Lines end with "\r\n" as the protocol is saved; the window shows them
// as paragraphs.
struct ProtocolText {
    QString caption;
    QString text;

    void start(const QString& newCaption, const QString& firstLines) {
        caption = newCaption;
        text = firstLines;
    }
    void addLine(const QString& line) { text += line + QStringLiteral("\r\n"); }
};

// Today as the protocols date their header ("09/12/2026" with the program's separator).
QString ProtocolDate(const QDate& date = QDate::currentDate());
