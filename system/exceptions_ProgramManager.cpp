#include "system/exceptions_ProgramManager.h"

namespace {
// The item name becomes part of a format string: its percent signs must
// stay text.
std::string EscapePercent(const std::string& S) {
  std::string R;
  for (char C : S) {
    R += C;
    if (C == '%') R += '%';
  }
  return R;
}
}  // namespace

EQIPMError::EQIPMError()
    : EQI(TranslateMessageText("The TProgramManager object was unable to communicate with Program Manager")) {}

EQIPMCannotOpen::EQIPMCannotOpen()
    : EQIPMError(TranslateMessageText(
          "The TProgramManager object was unable to establish a link with Program Manager")) {}

EQIPMCannotOpenGroup::EQIPMCannotOpenGroup(const std::string& AGroup, const std::string& ACommand)
    : EQIPMGroupError(
          TranslatedFormat("The TProgramManager object was unable to open the following group: %s", AGroup),
          AGroup, "", ACommand) {}

EQIPMCannotCreateGroup::EQIPMCannotCreateGroup(const std::string& AGroup, const std::string& ACommand)
    : EQIPMGroupError(
          TranslatedFormat("The TProgramManager object was unable to create the following group: %s", AGroup),
          AGroup, "", ACommand) {}

EQIPMCannotAddItem::EQIPMCannotAddItem(const std::string& AGroup, const std::string& AItem,
                                       const std::string& ACommand)
    : EQIPMGroupError(
          TranslatedFormat("The TProgramManager object was unable to add the following program item: " +
                               EscapePercent(AItem) + " to the following group: %s. The arguments passed to " +
                               " Program Manager were: %s",
                           AGroup, ACommand),
          AGroup, AItem, ACommand) {}

EQIPMCannotReplaceItem::EQIPMCannotReplaceItem(const std::string& AGroup, const std::string& AItem,
                                               const std::string& ACommand)
    : EQIPMGroupError(
          TranslatedFormat(std::string("The TProgramManager object was unable to replace the following "
                                       "program item: %s") +
                               " to the following group: %s",
                           AItem, AGroup),
          AGroup, AItem, ACommand) {}
