#include "TfZastav.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TfZastav::TfZastav(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_line(QStringLiteral("Загрузка программы…")) {
    setObjectName(QStringLiteral("fZastav"));
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfZastav::setLine(const QString& text) {
    m_line = text;
    repaint();
}

// The picture is drawn rather than shipped: a table grid over a deep-blue ground.
QPixmap TfZastav::picture() const {
    QPixmap pixmap(kWidth, kHeight);
    QPainter p(&pixmap);
    QLinearGradient ground(0, 0, 0, kHeight);
    ground.setColorAt(0, QColor(24, 54, 104));
    ground.setColorAt(1, QColor(8, 22, 48));
    p.fillRect(pixmap.rect(), ground);
    const QRect sheet(60, 70, 300, 170);
    p.fillRect(sheet, QColor(245, 247, 250));
    p.setPen(QColor(160, 170, 190));
    for (int y = sheet.top(); y <= sheet.bottom(); y += 17)
        p.drawLine(sheet.left(), y, sheet.right(), y);
    for (int x = sheet.left() + 90; x <= sheet.right(); x += 42)
        p.drawLine(x, sheet.top(), x, sheet.bottom());
    p.fillRect(QRect(sheet.left(), sheet.top(), sheet.width(), 17), QColor(192, 192, 192));
    QFont title(QStringLiteral("Times New Roman"), 34, QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(370, 80, 150, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Земрак"));
    p.setFont(QFont(QStringLiteral("Times New Roman"), 12));
    p.drawText(QRect(370, 140, 150, 80), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Таблицы статистической отчётности"));
    return pixmap;
}

void TfZastav::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, picture());
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("Times New Roman"), 10));
    p.drawText(QRect(0, kHeight - 40, kWidth, 24), Qt::AlignCenter, m_line);
}
