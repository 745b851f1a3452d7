#include "Checks.h"

#include <QSize>
#include <algorithm>
#include <cmath>

namespace ButtonChecks {

namespace {

QString Fmt(double ratio) {
    return QString::number(ratio, 'f', 2) + QStringLiteral(":1");
}

// The worse end of a state's fill for its text.
QColor WorseFill(const ButtonStyle& s, int state) {
    const StateLook& look = s.states[state];
    if (s.fill != FillKind::Gradient)
        return look.fill;
    return ButtonColors::ContrastRatio(look.text, look.fill) <= ButtonColors::ContrastRatio(look.text, look.fill2)
               ? look.fill
               : look.fill2;
}

// A text colour that passes against both ends of the fill, as near the
// current one as steps allow.
QColor PassingText(const ButtonStyle& s, int state, double required) {
    QColor text = s.states[state].text;
    for (int round = 0; round < 4 && ButtonColors::StateContrast(s, static_cast<ButtonState>(state)) < required;
         ++round) {
        ButtonStyle probe = s;
        text = ButtonColors::NearestPassing(text, WorseFill(probe, state), required);
        probe.states[state].text = text;
        if (ButtonColors::StateContrast(probe, static_cast<ButtonState>(state)) >= required)
            return text;
        probe.states[state].text = ButtonColors::Partner(WorseFill(probe, state));
        if (ButtonColors::StateContrast(probe, static_cast<ButtonState>(state)) >= required)
            return probe.states[state].text;
    }
    return text;
}

const char* const kStateNames[3] = {"Normal", "Hover", "Pressed"};

}  // namespace

double RequiredTextContrast(const ButtonStyle& s) {
    const bool large = s.fontSize >= 24 || (s.bold && s.fontSize >= 19);
    return large ? 3.0 : ButtonColors::kMinimumContrast;
}

QString Ratio(double ratio, double required) {
    // 4.496 must not read as the 4.50 it falls short of.
    const double rounded = std::round(ratio * 100.0);
    const double shown = (ratio < required ? std::min(rounded, std::ceil(required * 100.0) - 1) : rounded) / 100.0;
    return Fmt(shown);
}

QList<ButtonCheck> Run(const ButtonStyle& s) {
    QList<ButtonCheck> checks;
    const double required = RequiredTextContrast(s);
    // Focus shows the normal look (or the hover look under the pointer, the
    // pressed look while pressed): its text is checked with those.
    const int order[4] = {0, 1, -1, 2};
    for (const int state : order) {
        if (state < 0)
            continue;
        ButtonCheck check;
        const double ratio = ButtonColors::StateContrast(s, static_cast<ButtonState>(state));
        check.what = QStringLiteral("%1: text on fill").arg(QLatin1String(kStateNames[state]));
        check.measured = QStringLiteral("%1 (needs %2)").arg(Ratio(ratio, required), Fmt(required));
        if (ratio < required) {
            check.level = ButtonCheck::Level::Fail;
            ButtonStyle fixed = s;
            fixed.states[state].text = PassingText(s, state, required);
            check.fix = fixed;
            check.fixText = QStringLiteral("Use %1 for the %2 text")
                                .arg(fixed.states[state].text.name(), QLatin1String(kStateNames[state]).toString().toLower());
        }
        checks << check;
    }

    // The ring: of its two tones, the better one counts against what is
    // around it.
    const auto tones = ButtonColors::FocusTones(s);
    const auto best = [&](const QColor& against) {
        return std::max(ButtonColors::ContrastRatio(tones[0], against), ButtonColors::ContrastRatio(tones[1], against));
    };
    const struct {
        const char* name;
        QColor page;
    } pages[2] = {{"light", kLightPage}, {"dark", kDarkPage}};
    for (const auto& page : pages) {
        ButtonCheck check;
        const double ratio = best(page.page);
        check.what = QStringLiteral("Focus: ring on a %1 page").arg(QLatin1String(page.name));
        check.measured = QStringLiteral("%1 (needs 3.00:1)").arg(Ratio(ratio, 3.0));
        if (ratio < ButtonColors::kMinimumNonText) {
            check.level = ButtonCheck::Level::Fail;
            ButtonStyle fixed = s;
            fixed.focusColor = ButtonColors::NearestPassing(s.focusColor, page.page, 3.0);
            check.fix = fixed;
            check.fixText = QStringLiteral("Use %1 for the focus ring").arg(fixed.focusColor.name());
        }
        checks << check;
    }
    {
        double worst = 21;
        for (int state = 0; state < 3; ++state) {
            worst = std::min(worst, best(s.states[state].fill));
            if (s.fill == FillKind::Gradient)
                worst = std::min(worst, best(s.states[state].fill2));
        }
        ButtonCheck check;
        check.what = QStringLiteral("Focus: ring against the button");
        check.measured = QStringLiteral("%1 (needs 3.00:1)").arg(Ratio(worst, 3.0));
        if (worst < ButtonColors::kMinimumNonText) {
            check.level = ButtonCheck::Level::Fail;
            ButtonStyle fixed = s;
            fixed.focusColor = ButtonColors::NearestPassing(s.focusColor, WorseFill(s, 0), 3.0);
            check.fix = fixed;
            check.fixText = QStringLiteral("Use %1 for the focus ring").arg(fixed.focusColor.name());
        }
        checks << check;
    }

    const QSize size = ButtonOutput::EffectiveSize(s);
    {
        // Two rings of 2 px around the button: four times its perimeter,
        // where a 2 px line around it (twice the perimeter) is asked for.
        const int perimeter = 2 * (size.width() + size.height());
        const int area = 2 * (2 * (size.width() + 8) + 2 * (size.height() + 8)) + 2 * (2 * (size.width() + 4) + 2 * (size.height() + 4));
        ButtonCheck check;
        check.what = QStringLiteral("Focus: ring area");
        check.measured = QStringLiteral("%1 px\u00b2 (needs %2 px\u00b2)").arg(area).arg(2 * perimeter);
        check.level = area >= 2 * perimeter ? ButtonCheck::Level::Pass : ButtonCheck::Level::Fail;
        checks << check;
    }
    {
        ButtonCheck check;
        check.what = QStringLiteral("Target size");
        check.measured = QStringLiteral("%1 \u00d7 %2 px (needs 24 \u00d7 24, 44 \u00d7 44 advised)")
                             .arg(size.width())
                             .arg(size.height());
        if (size.width() < 24 || size.height() < 24)
            check.level = ButtonCheck::Level::Fail;
        else if (size.width() < 44 || size.height() < 44)
            check.level = ButtonCheck::Level::Advice;
        if (check.level == ButtonCheck::Level::Fail) {
            ButtonStyle fixed = s;
            fixed.width = std::max(fixed.width, 24);
            fixed.height = std::max(fixed.height, 24);
            check.fix = fixed;
            check.fixText = QStringLiteral("Make it at least 24 \u00d7 24");
        }
        checks << check;
    }
    {
        ButtonCheck check;
        check.what = QStringLiteral("Label length");
        check.measured = QStringLiteral("%1 characters (40 or fewer advised)").arg(s.label.size());
        if (s.label.trimmed().isEmpty())
            check.level = ButtonCheck::Level::Fail;
        else if (s.label.size() > 40)
            check.level = ButtonCheck::Level::Advice;
        checks << check;
    }
    return checks;
}

bool AllPass(const QList<ButtonCheck>& checks) {
    return std::none_of(checks.begin(), checks.end(),
                        [](const ButtonCheck& c) { return c.level == ButtonCheck::Level::Fail; });
}

}  // namespace ButtonChecks
