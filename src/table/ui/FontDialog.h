#pragma once

#include <QDialog>
#include <QFont>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The font dialog FontDlg: name, size, the four styles and the colour of the text. It only
// shows and collects; the editor applies what OK returns.
class FontDialog : public QDialog {
    Q_OBJECT
public:
    FontDialog(const QFont& font, quint32 color, QWidget* parent = nullptr);

    QFont currentFont() const;
    void setCurrentFont(const QFont& font);
    quint32 color() const { return m_color; } // 0xRRGGBB
    void setColor(quint32 rgb);

private:
    void chooseColor();
    void updateSample();

    QComboBox* m_name = nullptr;
    QSpinBox* m_size = nullptr;
    QCheckBox* m_bold = nullptr;
    QCheckBox* m_italic = nullptr;
    QCheckBox* m_underline = nullptr;
    QCheckBox* m_strikeout = nullptr;
    QPushButton* m_colorButton = nullptr;
    QLabel* m_sample = nullptr;
    quint32 m_color = 0;
};
