// The card's record as a contact a phone can keep: a vCard 3.0 text, which the card's QR code
// holds.
#pragma once

#include <QString>

#include "core/cardrecord.h"

namespace quarzello {

// The record as a vCard 3.0, lines ended by CR LF, each property only when it has a value (N and
// FN always); empty when every field is empty, for such a record has no contact to give.
QString cardVCard(const CardRecord& record);

}  // namespace quarzello
