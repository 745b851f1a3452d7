#pragma once
// What the History window and the chat windows show of the history, without
// widgets: which conversation a list of names is, how a kept line reads,
// and a selection as the export writes it.
#include "HistoryStore.h"
#include "Export.h"
#include "Message.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lanyx::ui {

// The conversation of a "|"-terminated list of names, seen by `ownName`:
// "(All)" anywhere: everybody; one other name: that person; several: their
// chat; none (an empty list): everything.
history::Scope ScopeOfList(const std::string& list, const std::string& ownName);

// "09:30" today, "Mon 09:30" within the last week, "2024-05-01 09:30" before.
// Local time; `nowMs` is the reference.
std::string WhenText(std::int64_t timeMs, std::int64_t nowMs);
// Who wrote it: the own name for ours, else the other user.
std::string SpeakerOf(const history::HistoryRow& row, const std::string& ownName);
// One line of a result list: when, who to whom, the text (a transfer as
// its names and size), and what became of ours.
std::string ResultText(const history::HistoryRow& row, const std::string& ownName, std::int64_t nowMs);
// "delivered", "not confirmed", "waiting", "sent", "queued"...; empty for
// messages received and those to everybody.
std::string DeliveryWord(HistoryDelivery delivery);

// A line of ours sent to several members is kept once per member: shown once.
std::vector<history::HistoryRow> CollapseGroupSends(std::vector<history::HistoryRow> rows);

// Rows as a conversation for the export: "date time sender" and the text,
// in the sender's colour.
Transcript TranscriptOf(const std::vector<history::HistoryRow>& rows, const std::string& ownName,
                        const std::function<std::uint32_t(const std::string&)>& colourOf);
// One message of them: "date time speaker", its text as shown (a transfer
// as its files), in `colour`.
ChatLine TranscriptLineOf(const Message& message, const std::string& speaker, std::uint32_t colour);

}  // namespace lanyx::ui
