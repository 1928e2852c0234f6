// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/receiver.h"

// The AR8600's answers as this panel reads them: every answer the receiver
// gives is found among the bytes that arrived and read into the panel's own
// words here, so its language can be read in one place.
namespace voxrig::receiver {

// Ten channels come with each "MA".
inline constexpr std::size_t kChannelsPerBankRead = 10;

// The answers the panel knows by their keyword, in the order of search: when
// several have piled up, the first keyword of "LC", "MW", "VS", "LM" that
// occurs anywhere decides, and its answer is cut to that keyword's length
// (30, 13, 18 and 6 characters). Nothing when none occurs.
std::optional<std::string> FindKnownAnswer(std::string_view arrived);

// A level answer ("LM 120", "LC%000 ... RF0145125000 ..."): the third
// character "%" means nothing is heard, the fourth to sixth are the level
// (kept within 0 to 255). A scan holds at the frequency after "RF" when its
// nine characters are all digits. Nothing for an answer that is no level
// answer.
std::optional<Reception> ParseLevelAnswer(std::string_view answer);

// The first line that carries a frequency field ("RF" and ten digits) and is
// no level report, whatever keyword it starts with: the answer to "RX"
// starts "VA", "MR", "MS" or, during a search, a keyword that is not settled
// ("VS" or "SS").
std::optional<std::string> FindReceiveStateLine(std::string_view arrived);

// An answer to "RX" ("VA RF0146500000 ST025000 AU0 MD3 AT1"). The frequency
// is the run of digits after the first "RF" (ten, or eleven with seven
// decimals), shown with a point after the fourth and without leading and
// trailing zeros (RF0145512500 gives 145.5125, RF0145000000 145.0); a field
// that is missing or malformed is left empty.
ReceiveState ParseReceiveState(std::string_view line);

// The line from the first "MX" to its end: the answer to a bare "MR" ("MXA05
// MP0 RF0145500000 ST012500 AU0 MD1 AT0 TM" and the name), or the part of
// the answer to "RX" during a memory scan that names the channel.
std::optional<std::string> FindChannelLine(std::string_view arrived);

// The channel such a line names (a bank A to J, or a to j for a partner
// bank, and two digits), with its fields and name when the line reads whole;
// nothing when it names no channel.
std::optional<MemoryChannel> ParseNamedChannel(std::string_view line);

// One answer line of a bank read such as "MXA05 MP0 RF0145500000 ST012500
// AU0 MD1 AT0 TMRepeater    " (the name is the rest of the line), or "---"
// for a channel that holds nothing. Nothing when the line is cut short,
// names another bank, or a field the panel relies on (RF, MD) is missing or
// malformed: a channel read wrong must not end up in a bank file.
std::optional<MemoryChannel> ParseMemoryLine(std::string_view line, char bank);

// The share of its pair a bank reports in the answer to "MW" + bank ("MW
// A:90 a:10" gives 90). Nothing without "MW", or when the answer names
// another bank (a late answer to an earlier question).
std::optional<BankSize> ParseBankSize(std::string_view answer, char bank);

}  // namespace voxrig::receiver
