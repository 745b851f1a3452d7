#pragma once
// A text link: blue while the mouse is away, red and underlined while it is
// over the text; a click emits Clicked().

#include <QCursor>
#include <QLabel>
#include <optional>

class CHyperlinkStatic : public QLabel {
    Q_OBJECT
public:
    static constexpr int kAutoSize = 0x1;
    static constexpr int kBold = 0x10000;
    static constexpr int kItalic = 0x20000;
    static constexpr int kUnderline = 0x40000;

    explicit CHyperlinkStatic(const QString& text = QString(), QWidget* parent = nullptr);

    void SetLinkStyle(int flags);
    void SetLinkCursor(const QCursor& cursor);
    void SetLinkText(const QString& text);
    bool IsHovering() const { return m_hover; }

    static QColor NormalColor() { return QColor(0, 0, 255); }
    static QColor HoverColor() { return QColor(255, 0, 0); }

Q_SIGNALS:
    void Clicked();

protected:
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void changeEvent(QEvent*) override;

private:
    void ApplyLook();

    int m_flags = 0;
    bool m_hover = false;
    bool m_applying = false;
    std::optional<QCursor> m_cursor;
};
