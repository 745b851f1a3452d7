#pragma once
// Menu captions carry their own help text and mark style:
//   [flag] "|" help "|" caption      flag "#" check box, "*" radio, none plain
//   "-Title"                         a separator with a title; "-" alone a plain one
// A caption without "|" is used as it is, with no help text.
#include <string>
#include <string_view>

namespace lanyx::ui {

struct MenuCaption {
    enum class Mark { None, CheckBox, Radio };
    std::string text;  // the visible caption (or the separator's title)
    std::string help;
    Mark mark = Mark::None;
    bool separator = false;
};

MenuCaption ParseMenuCaption(std::string_view caption);

// What a menu shows in safe mode: the visible caption alone.
inline std::string VisibleCaption(std::string_view caption) {
    return ParseMenuCaption(caption).text;
}

}  // namespace lanyx::ui
