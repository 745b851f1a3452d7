#include "MenuCaption.h"

namespace lanyx::ui {

MenuCaption ParseMenuCaption(std::string_view caption) {
    MenuCaption c;
    if (!caption.empty() && caption.front() == '-') {
        c.separator = true;
        c.text = std::string(caption.substr(1));
        return c;
    }
    const auto first = caption.find('|');
    if (first == std::string_view::npos) {
        c.text = std::string(caption);
        return c;
    }
    const auto flag = caption.substr(0, first);
    if (flag == "#") c.mark = MenuCaption::Mark::CheckBox;
    else if (flag == "*") c.mark = MenuCaption::Mark::Radio;
    const auto second = caption.find('|', first + 1);
    if (second == std::string_view::npos) {
        // Only one "|": what follows it is the caption, there is no help.
        c.text = std::string(caption.substr(first + 1));
        return c;
    }
    c.help = std::string(caption.substr(first + 1, second - first - 1));
    c.text = std::string(caption.substr(second + 1));
    return c;
}

}  // namespace lanyx::ui
