#pragma once

#include <QFont>
#include <QPushButton>
#include <array>

// The picture button of the forms: a picture for the normal, hover and pressed looks, with its caption
// drawn over it. Its owner may mark it selected (drawn in bold). A left click inside the button first
// asks for its command (commandRequested) and then clicks as any push button; right presses do nothing.
class CHoverBitmapButton : public QPushButton
{
    Q_OBJECT

public:
    enum class Look { Normal, Hover, Pressed };

    explicit CHoverBitmapButton(QWidget* parent = nullptr);
    CHoverBitmapButton(const QString& caption, int commandId, QWidget* parent = nullptr);

    // Pictures by artwork name or resource path; until set, Velmora's standard plates are used.
    void setBitmaps(const QString& normal, const QString& hover, const QString& pressed);
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    void setCommandId(int commandId) { m_commandId = commandId; }
    int commandId() const { return m_commandId; }
    Look look() const;
    // The caption's font for the present state (bold when selected, underlined under the pointer).
    QFont captionFont() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void commandRequested(int commandId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum FontIndex { Regular, Bold, Underlined, BoldUnderlined };

    QString m_normal;
    QString m_hover;
    QString m_pressed;
    bool m_selected = false;
    bool m_hovering = false;
    int m_commandId = 0;
    std::array<QFont, 4> m_fonts;
};
