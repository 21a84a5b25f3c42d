// The text form of object streams, as project and page form sources are
// written:
//
//   object Install1: TInstall
//     Title = 'My program'#13#10 +
//       'second line'
//     InstallTypes = [itFull, itAlways]
//     Description.Strings = (
//       'one'
//       'two')
//     Entries = <
//       item
//         Name = 'Path'
//       end>
//     Picture.Data = {
//       0754426974...}
//     Ratio = 1.5         (1.5s single, 1.5c currency, 1.5d date)
//     object Label1: TLabel [2]
//     end
//   end
//
// `inherited` or `inline` may stand for `object`; `//` starts a comment.  The
// conversion is purely syntactic: no class needs to be known.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Offsets into the binary stream paired with the text line that produced
// them: one entry per object record, property entry and collection item,
// in increasing offset order.
using TOffsetLines = std::vector<std::pair<size_t, int>>;

// Parses the text form into a "TPF0" stream.  Errors are EParserError with
// the message "Line %d: ..." naming the line of the offending token.
std::string ObjectTextToBinary(const std::string& Text, TOffsetLines* OffsetLines = nullptr);

// Prints a "TPF0" stream as text; the output converts back to the same bytes
// for any stream the parser produced.  Malformed input fails with EReadError.
std::string ObjectBinaryToText(const std::string& Binary);

// The text line of the entry that contains the binary offset (0 when none),
// e.g. for the failure offset reported by ReadRootComponent.
int TextLineOfOffset(const TOffsetLines& OffsetLines, int64_t Offset);
