#pragma once
// The owner-drawn menus: icons, titled separators, three-dimensional check
// and radio marks, full-width selection, embossed disabled items, and the
// items' help texts raised to the window while they are highlighted.
#include <QColor>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QProxyStyle>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace lanyx::ui {

class CoolMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    CoolMenuStyle();
    bool ComplexChecks = true;
    bool ColorEmbossed = true;
    bool FullSelect = true;
    QColor SelectColor;  // invalid: the palette's highlight
    QColor ForeColor;    // invalid: the palette's text

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;

    static void drawCheckBox(QPainter* p, const QRect& r, bool complex);
    static void drawRadio(QPainter* p, const QRect& r, bool complex);
};

// Sets an action from a caption in the menu format. In safe mode only the
// visible caption is used. Separators keep their title as text.
void ApplyMenuCaption(QAction* action, const QString& caption, bool safeMode = false);
// The help text that ApplyMenuCaption stored.
QString MenuHelp(const QAction* action);

class CoolMenu : public QObject {
    Q_OBJECT
public:
    using HelpFn = std::function<void(const QString& caption, const QString& help)>;
    using Images = QList<QPair<QString, QIcon>>;  // tag (a visible caption) and image

    // Takes over the menus (and their sub-menus): draws them and raises help
    // texts. Icons come from `images`: the first image whose tag is not empty
    // and equals an item's visible caption.
    CoolMenu(QWidget* window, const QList<QMenu*>& menus, Images images, HelpFn help);
    ~CoolMenu() override;

    // Gives the items their icons again after their captions changed.
    void refreshIcons();
    void setImages(Images images);
    void uninstall();
    CoolMenuStyle* style() const { return style_; }

private:
    void installOn(QMenu* menu);
    void applyIcons(QMenu* menu);

    QPointer<QWidget> window_;
    QList<QPointer<QMenu>> menus_;
    Images images_;
    HelpFn help_;
    CoolMenuStyle* style_;
};

}  // namespace lanyx::ui
