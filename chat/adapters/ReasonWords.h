#pragma once
// A failure's words in the language the program installed. Translations are
// looked up by the reason's key (context "lanyx::Reason"), never by the
// English words, so that rewording a reason in the code cannot silently
// drop its translation.
#include "Error.h"

#include <QString>

namespace lanyx {

// The translation of `error`'s reason filled with its details; its own words
// where there is none (and for a failure without a reason).
QString reasonWords(const Error& error);

}  // namespace lanyx
