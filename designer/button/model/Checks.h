#pragma once
// The accessibility checks of a button, as the editor shows them and the
// command line prints them: text contrast of every state, the focus ring
// against light and dark pages and against the button, the ring's area, the
// size of the target, whether the keyboard can press it and the label's
// length. A failing colour check carries the nearest colour that passes.

#include "ButtonStyle.h"

#include <QList>
#include <QString>
#include <optional>

struct ButtonCheck {
    enum class Level { Pass, Advice, Fail };
    QString state;     // "normal", "hover", "focus", "pressed"; empty: every state
    QString page;      // "light", "dark": the page it is judged on; empty: any page
    QString what;      // "text on fill"
    QString value;     // "2.84:1", "20 × 20 px"
    QString required;  // "4.50:1", "24 × 24 px"; empty: only advised
    QString measured;  // as the editor shows it: "4.83:1 (needs 4.50:1)"
    Level level = Level::Pass;
    // For a failing check that has one: the look that passes, nearest to
    // the author's.
    std::optional<ButtonStyle> fix;
    QString fixText;  // "Use #1f5fb8 for the hover text"

    // The editor's line: "Hover: text on fill: 4.83:1 (needs 4.50:1)".
    QString Text() const;
};

namespace ButtonChecks {
// Pages the checks assume: a white one and the dark one of dark styles.
inline const QColor kLightPage = QColor(0xff, 0xff, 0xff);
inline const QColor kDarkPage = QColor(0x12, 0x12, 0x12);
// Bold text from 14 pt (18.66 px) and any text from 18 pt (24 px) is large:
// it needs 3:1 rather than 4.5:1.
double RequiredTextContrast(const ButtonStyle& style);
QList<ButtonCheck> Run(const ButtonStyle& style);
// "4.83:1": two decimals, never rounded up to a threshold it misses.
QString Ratio(double ratio, double required);
}  // namespace ButtonChecks
