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
    if (s.fill != FillKind::Gradient) return look.fill;
    return ButtonColors::ContrastRatio(look.text, look.fill) <= ButtonColors::ContrastRatio(look.text, look.fill2)
               ? look.fill
               : look.fill2;
}

// The nearest colour to text, mixed towards black or towards white, that
// reads at required against both a and b; none when neither way gets there
// (a gradient whose ends want opposite text colours).
std::optional<QColor> TextForBoth(const QColor& text, const QColor& a, const QColor& b, double required) {
    std::optional<QColor> best;
    int bestStep = 101;
    for (const QColor& target : {QColor(Qt::black), QColor(Qt::white)}) {
        for (int step = 0; step < bestStep; ++step) {
            const QColor c = ButtonColors::Mix(text, target, step / 100.0);
            if (std::min(ButtonColors::ContrastRatio(c, a), ButtonColors::ContrastRatio(c, b)) >= required) {
                best = c;
                bestStep = step;
                break;
            }
        }
    }
    return best;
}

// A look for one state whose text reads at required: the text moved, else
// (on a gradient whose ends want opposite text colours) the fill's ends
// moved away from the text. The label for the fix goes to what.
std::optional<ButtonStyle> PassingLook(const ButtonStyle& s, int state, double required, QString* what) {
    const StateLook& look = s.states[state];
    const QString name = QLatin1String(state == 0 ? "normal" : state == 1 ? "hover" : "pressed");
    const QColor second = s.fill == FillKind::Gradient ? look.fill2 : look.fill;
    if (const auto text = TextForBoth(look.text, look.fill, second, required)) {
        ButtonStyle fixed = s;
        fixed.states[state].text = *text;
        *what = QStringLiteral("Use %1 for the %2 text").arg(text->name(), name);
        return fixed;
    }
    if (s.fill != FillKind::Gradient) return std::nullopt;
    // Both ends move away from the text towards black or towards white,
    // each as little as it must; the way that moves them less wins. Either
    // black or white reads at 4.58:1 or more against any text colour.
    std::optional<std::pair<QColor, QColor>> best;
    int bestCost = 1 << 20;
    for (const QColor& target : {QColor(Qt::black), QColor(Qt::white)}) {
        const auto moved = [&](const QColor& stop) -> std::optional<std::pair<QColor, int>> {
            for (int step = 0; step <= 100; ++step) {
                const QColor c = ButtonColors::Mix(stop, target, step / 100.0);
                if (ButtonColors::ContrastRatio(c, look.text) >= required) return std::pair{c, step};
            }
            return std::nullopt;
        };
        const auto top = moved(look.fill);
        const auto bottom = moved(look.fill2);
        if (!top || !bottom || top->second + bottom->second >= bestCost) continue;
        bestCost = top->second + bottom->second;
        best = std::pair{top->first, bottom->first};
    }
    if (!best) return std::nullopt;
    ButtonStyle fixed = s;
    fixed.states[state].fill = best->first;
    fixed.states[state].fill2 = best->second;
    if (best->first == look.fill)
        *what = QStringLiteral("Use %1 for the %2 fill (bottom)").arg(best->second.name(), name);
    else if (best->second == look.fill2)
        *what = QStringLiteral("Use %1 for the %2 fill (top)").arg(best->first.name(), name);
    else *what = QStringLiteral("Use %1 and %2 for the %3 fill").arg(best->first.name(), best->second.name(), name);
    return fixed;
}

const char* const kStateNames[3] = {"normal", "hover", "pressed"};

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

namespace {

QList<ButtonCheck> RunChecks(const ButtonStyle& s) {
    QList<ButtonCheck> checks;
    const auto needs = [](ButtonCheck& check, const QString& value, const QString& required) {
        check.value = value;
        check.required = required;
        check.measured = QStringLiteral("%1 (needs %2)").arg(value, required);
    };
    const double required = RequiredTextContrast(s);
    // Focus shows the normal look (or the hover look under the pointer, the
    // pressed look while pressed): its text is checked with those.
    for (int state = 0; state < 3; ++state) {
        ButtonCheck check;
        const double ratio = ButtonColors::StateContrast(s, static_cast<ButtonState>(state));
        check.state = QLatin1String(kStateNames[state]);
        check.what = QStringLiteral("text on fill");
        needs(check, Ratio(ratio, required), Fmt(required));
        if (ratio < required) {
            check.level = ButtonCheck::Level::Fail;
            check.fix = PassingLook(s, state, required, &check.fixText);
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
        check.state = QStringLiteral("focus");
        check.page = QLatin1String(page.name);
        check.what = QStringLiteral("ring on a %1 page").arg(check.page);
        needs(check, Ratio(ratio, 3.0), Fmt(3.0));
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
            if (s.fill == FillKind::Gradient) worst = std::min(worst, best(s.states[state].fill2));
        }
        ButtonCheck check;
        check.state = QStringLiteral("focus");
        check.what = QStringLiteral("ring against the button");
        needs(check, Ratio(worst, 3.0), Fmt(3.0));
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
        // The rings as drawn: 2 px of the partner tone against the button,
        // 3 px of the author's colour around it. A 2 px line around the
        // button (twice its perimeter) is asked for.
        const int perimeter = 2 * (size.width() + size.height());
        const int area = (size.width() + 10) * (size.height() + 10) - size.width() * size.height();
        ButtonCheck check;
        check.state = QStringLiteral("focus");
        check.what = QStringLiteral("ring area");
        needs(check, QStringLiteral("%1 px\u00b2").arg(area), QStringLiteral("%1 px\u00b2").arg(2 * perimeter));
        check.level = area >= 2 * perimeter ? ButtonCheck::Level::Pass : ButtonCheck::Level::Fail;
        checks << check;
    }
    {
        ButtonCheck check;
        check.what = QStringLiteral("target size");
        check.value = QStringLiteral("%1 \u00d7 %2 px").arg(size.width()).arg(size.height());
        check.required = QStringLiteral("24 \u00d7 24 px");
        check.measured = QStringLiteral("%1 (needs 24 \u00d7 24, 44 \u00d7 44 advised)").arg(check.value);
        if (size.width() < 24 || size.height() < 24) check.level = ButtonCheck::Level::Fail;
        else if (size.width() < 44 || size.height() < 44) check.level = ButtonCheck::Level::Advice;
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
        // The SVG form can only go somewhere: without an address the page
        // gets a picture of a button that nothing can press.
        ButtonCheck check;
        check.what = QStringLiteral("keyboard");
        const bool picture = s.form == OutputForm::Svg && s.link.isEmpty();
        const bool button = s.form == OutputForm::Button || s.link.isEmpty();
        check.value = picture  ? QStringLiteral("a picture without an address, nothing to press")
                      : button ? (s.form == OutputForm::Button && s.buttonType != QLatin1String("button")
                                      ? QStringLiteral("a %1 button for its form").arg(s.buttonType)
                                      : QStringLiteral("a button for the page's script"))
                               : QStringLiteral("a link");
        check.required = QStringLiteral("an address, or the HTML <button> form");
        check.measured = picture ? check.value + QStringLiteral(" (needs %1)").arg(check.required)
                                 : QStringLiteral("Tab reaches it, Enter presses it");
        if (picture) {
            check.level = ButtonCheck::Level::Fail;
            ButtonStyle fixed = s;
            fixed.form = OutputForm::Button;
            check.fix = fixed;
            check.fixText = QStringLiteral("Publish as an HTML <button>");
        }
        checks << check;
    }
    {
        ButtonCheck check;
        check.what = QStringLiteral("label length");
        check.value = QStringLiteral("%1 characters").arg(s.label.size());
        check.measured = QStringLiteral("%1 (40 or fewer advised)").arg(check.value);
        if (s.label.trimmed().isEmpty()) {
            check.level = ButtonCheck::Level::Fail;
            check.required = QStringLiteral("a visible label");
        } else if (s.label.size() > 40) {
            check.level = ButtonCheck::Level::Advice;
        }
        checks << check;
    }
    return checks;
}

bool SameCheck(const ButtonCheck& a, const ButtonCheck& b) {
    return a.state == b.state && a.page == b.page && a.what == b.what;
}

}  // namespace

QList<ButtonCheck> Run(const ButtonStyle& s) {
    QList<ButtonCheck> checks = RunChecks(s);
    // A fix is offered only when it fixes: its own check passes with it, and
    // no check that passed fails.
    for (ButtonCheck& check : checks) {
        if (!check.fix) continue;
        const QList<ButtonCheck> after = RunChecks(*check.fix);
        bool good = true;
        for (const ButtonCheck& a : after) {
            if (a.level != ButtonCheck::Level::Fail) continue;
            const auto was = std::find_if(checks.cbegin(), checks.cend(),
                                          [&a](const ButtonCheck& c) { return SameCheck(a, c); });
            if (SameCheck(a, check) || was == checks.cend() || was->level != ButtonCheck::Level::Fail) good = false;
        }
        if (!good) {
            check.fix.reset();
            check.fixText.clear();
        }
    }
    return checks;
}

}  // namespace ButtonChecks

QString ButtonCheck::Text() const {
    const auto capital = [](const QString& text) { return text.left(1).toUpper() + text.mid(1); };
    const QString subject = state.isEmpty() ? capital(what) : capital(state) + QStringLiteral(": ") + what;
    return subject + QStringLiteral(": ") + measured;
}
