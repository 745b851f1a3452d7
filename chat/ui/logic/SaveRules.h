#pragma once
// The decisions of the export file dialog, without its widgets.
#include <filesystem>
#include <functional>
#include <string>

namespace lanyx::ui {

// ".txt" from "Text Files (*.txt)": the four characters before the bracket.
std::string TypeExtension(const std::string& typeItem);

// The name box after a change of type: a name that ends in the old
// pattern's extension gets the new one instead; anything else gets the new
// extension appended (an empty box becomes just the extension).
std::string NameAfterTypeChange(const std::string& name, const std::string& oldPattern, const std::string& newExt);

struct SaveDecision {
    enum Kind { Nothing, ShowPattern, Locate, Accept } kind = Nothing;
    std::string value;  // the pattern, the existing path, or the chosen file
};

// Save pressed with `name` in the box, the type's extension and the folder
// shown. An existing file or folder is never chosen: the dialog moves to it.
SaveDecision DecideSave(const std::string& name, const std::string& ext, const std::filesystem::path& folder,
                        const std::function<bool(const std::filesystem::path&)>& exists);

}  // namespace lanyx::ui
