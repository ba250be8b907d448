#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The strip above the cells that names the active cell and shows its entry; an entry
// typed here is finished with Enter and cancelled with Escape.
class EditBar : public QWidget {
    Q_OBJECT
public:
    explicit EditBar(QWidget* parent = nullptr);
    void show(const QString& cellName, const QString& entry);
    QLineEdit* line() const { return m_line; }

signals:
    void committed(const QString& text);
    void cancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_name;
    QLineEdit* m_line;
    QString m_shown;
};
