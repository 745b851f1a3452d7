#pragma once
// lanyx-cli and what users do to lines after they were said: reply, react,
// edit and delete, and what others did as listen events.
#include "CliPeer.h"
#include "LineVerbs.h"

#include <functional>
#include <iosfwd>

namespace lanyx::cli {

// Prints what others did to lines: reaction, reaction-removed, edited,
// deleted, each with re= and the line's id.
class VerbEvents final : public verbs::VerbObserver {
public:
    VerbEvents(ChatNode& node, EventPrinter& printer) : node_(node), printer_(printer) {}
    void reacted(const verbs::LineRef& line, const std::string& who, const std::string& emoji, bool added) override;
    void edited(const verbs::LineRef& line) override;
    void deleted(const verbs::LineRef& line) override;

private:
    ChatNode& node_;
    EventPrinter& printer_;
};

// Whether `o` is one of the verbs on a line.
bool IsVerbCommand(const CliOptions& o);
// Does reply, react, edit or delete as `o` says. `waitFor` runs the
// network until its condition holds or a few seconds passed (the line's
// people are heard with their keys). 0; 5 when the line is not known here,
// is not the user's (edit, delete), was said too long ago, or nobody it
// concerns can be told; kWithheld as a chat line to a changed key.
int RunVerb(ChatNode& node, verbs::LineVerbs& verbs, EventPrinter& printer, const CliOptions& o,
            const std::function<void(const std::function<bool()>&)>& waitFor, std::ostream& err);

}  // namespace lanyx::cli
