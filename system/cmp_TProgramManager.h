// The client of Program Manager's DDE command interface: groups and items
// on platforms without shell links.  One conversation per program, opened
// on first use.
#pragma once

#include <memory>
#include <string>

#include "rtl/cmp_TComponent.h"
#include "rtl/cmp_TStrings.h"
#include "system/exceptions_ProgramManager.h"

// One DDE client conversation.  The Program Manager component talks only
// through this, so that a conversation with another server can stand in.
class TDdeClientConv {
 public:
  virtual ~TDdeClientConv() = default;
  // Opens the conversation (manual connection); true when it is open.
  virtual bool OpenLink(const std::string& Service, const std::string& Topic) = 0;
  virtual void CloseLink() = 0;
  // Executes a command without waiting for more than the acknowledgement.
  virtual bool ExecuteMacro(const std::string& Command) = 0;
  // The item's data as text; false when the server has none.
  virtual bool RequestData(const std::string& Item, std::string& Data) = 0;
};

// The conversation over DDEML.
std::unique_ptr<TDdeClientConv> NewDdemlConversation();

class TProgramManager : public TComponent {
  QV_CLASS()
 public:
  // Without a conversation, one over DDEML is made.
  explicit TProgramManager(TComponent* AOwner, std::unique_ptr<TDdeClientConv> Conv = nullptr);
  ~TProgramManager() override;

  bool Connected() const { return FConnected; }
  virtual void Connect();

  void SelectGroup(const std::string& Group);
  void CreateGroup(const std::string& Group);
  void GetGroups(TStrings& List);

  // The current group: its name (empty when none) and description lines.
  const std::string& CurrentGroup() const { return FGroup; }
  const TStrings& Description() const { return FDescription; }

  int ItemCount();
  // Field 1..8 of item 1..ItemCount; empty for any other item.
  std::string ItemField(int Item, int Field);
  std::string ItemName(int Item);
  std::string ItemCommandLine(int Item);
  std::string ItemDefaultDir(int Item) { return ItemField(Item, 3); }
  std::string ItemIconPath(int Item) { return ItemField(Item, 4); }
  std::string ItemXPos(int Item) { return ItemField(Item, 5); }
  std::string ItemYPos(int Item) { return ItemField(Item, 6); }
  std::string ItemIconIndex(int Item) { return ItemField(Item, 7); }
  std::string ItemHotKey(int Item) { return ItemField(Item, 8); }
  int IndexOfItem(const std::string& Name);

  void AddItem(const std::string& CommandLine, const std::string& Name, const std::string& IconPath,
               int IconIndex, const std::string& DefaultDir, const std::string& HotKey);
  void ReplaceItem(const std::string& Name);

  // Program Manager takes a command in a buffer of this many bytes, the
  // terminating zero included; longer commands are refused.
  static constexpr size_t CommandBufferSize = 256;

 private:
  // Re-reads the current group's description after a change.
  void RefreshGroup();
  void ShowCurrentGroup();

  std::unique_ptr<TDdeClientConv> FConv;
  bool FConnected = false;
  std::string FGroup;
  TStrings FDescription;
};

// The one Program Manager client of the program.
TProgramManager& ProgramManager();
