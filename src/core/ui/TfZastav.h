#pragma once

#include <QWidget>

// The splash window shown while the program connects to its databases.
class TfZastav : public QWidget {
    Q_OBJECT
public:
    explicit TfZastav(QWidget* parent = nullptr);

    static constexpr int kWidth = 529;
    static constexpr int kHeight = 345;

    void setLine(const QString& text);
    QString line() const { return m_line; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture() const;

    QString m_line;
};
