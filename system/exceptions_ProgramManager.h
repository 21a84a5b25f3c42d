// Failures of the conversation with Program Manager.  The group, item and
// command exceptions carry what they were about besides the message.
#pragma once

#include <string>

#include "rtl/exceptions_Quorvane.h"

class EQIPMError : public EQI {
 public:
  EQIPMError();  // "The TProgramManager object was unable to communicate with Program Manager"
  explicit EQIPMError(const std::string& Message) : EQI(Message) {}
  const char* ClassName() const override { return "EQIPMError"; }
};

class EQIPMCannotOpen : public EQIPMError {
 public:
  EQIPMCannotOpen();
  const char* ClassName() const override { return "EQIPMCannotOpen"; }
};

// The fields of the group, item and command exceptions.
class EQIPMGroupError : public EQIPMError {
 public:
  EQIPMGroupError(const std::string& Message, std::string AGroup, std::string AItem,
                  std::string ACommand)
      : EQIPMError(Message),
        Group(std::move(AGroup)),
        Item(std::move(AItem)),
        Command(std::move(ACommand)) {}
  std::string Group, Item, Command;
};

class EQIPMCannotOpenGroup : public EQIPMGroupError {
 public:
  EQIPMCannotOpenGroup(const std::string& AGroup, const std::string& ACommand);
  using EQIPMGroupError::EQIPMGroupError;
  const char* ClassName() const override { return "EQIPMCannotOpenGroup"; }
};

class EQIPMCannotCreateGroup : public EQIPMGroupError {
 public:
  EQIPMCannotCreateGroup(const std::string& AGroup, const std::string& ACommand);
  using EQIPMGroupError::EQIPMGroupError;
  const char* ClassName() const override { return "EQIPMCannotCreateGroup"; }
};

class EQIPMCannotAddItem : public EQIPMGroupError {
 public:
  EQIPMCannotAddItem(const std::string& AGroup, const std::string& AItem, const std::string& ACommand);
  using EQIPMGroupError::EQIPMGroupError;
  const char* ClassName() const override { return "EQIPMCannotAddItem"; }
};

class EQIPMCannotReplaceItem : public EQIPMGroupError {
 public:
  EQIPMCannotReplaceItem(const std::string& AGroup, const std::string& AItem,
                         const std::string& ACommand);
  using EQIPMGroupError::EQIPMGroupError;
  const char* ClassName() const override { return "EQIPMCannotReplaceItem"; }
};
