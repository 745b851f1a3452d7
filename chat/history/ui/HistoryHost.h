#pragma once
// What the History window asks of the program around it, and nothing more:
// the user's own name (whose lines are "ours"), the colour a sender writes
// in (for the export) and the export's file dialog. The window reads and
// deletes through the history itself.
#include <QString>

#include <cstdint>
#include <string>

namespace lanyx::ui {

class HistoryHost {
public:
    virtual ~HistoryHost() = default;
    virtual std::string ownName() const = 0;
    virtual std::uint32_t colourOf(const std::string& name) const = 0;
    // The export file dialog with the language file's file types; "" when
    // the user closed it.
    virtual QString chooseTranscriptFile() = 0;
};

}  // namespace lanyx::ui
