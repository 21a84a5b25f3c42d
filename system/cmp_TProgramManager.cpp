#include "system/cmp_TProgramManager.h"

#include <windows.h>

#include <dde.h>
#include <ddeml.h>

#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Strings.h"

// --- the conversation over DDEML ----------------------------------------------------------

namespace {

// Program Manager may open a window for a group before it answers.
constexpr DWORD TransactionTimeout = 20000;
// How long a request waits for an acknowledgement that follows its data.
constexpr DWORD LateAcknowledgementWait = 250;

HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;  // a client only: nothing to serve
}

class TDdeString {
 public:
  TDdeString(DWORD Inst, const std::string& S)
      : FInst(Inst), FHandle(DdeCreateStringHandleA(Inst, S.c_str(), CP_WINANSI)) {}
  ~TDdeString() {
    if (FHandle) DdeFreeStringHandle(FInst, FHandle);
  }
  TDdeString(const TDdeString&) = delete;
  TDdeString& operator=(const TDdeString&) = delete;
  HSZ Handle() const { return FHandle; }

 private:
  DWORD FInst;
  HSZ FHandle;
};

class TDdemlConversation : public TDdeClientConv {
 public:
  ~TDdemlConversation() override { CloseLink(); }

  bool OpenLink(const std::string& Service, const std::string& Topic) override {
    CloseLink();
    if (DdeInitializeA(&FInst, DdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
      FInst = 0;
      return false;
    }
    {
      TDdeString S(FInst, Service), T(FInst, Topic);
      if (S.Handle() && T.Handle()) FConv = DdeConnect(FInst, S.Handle(), T.Handle(), nullptr);
    }
    if (!FConv) {
      CloseLink();
      return false;
    }
    CONVINFO Info{};
    Info.cb = sizeof Info;
    if (DdeQueryConvInfo(FConv, QID_SYNC, &Info)) FWindow = Info.hwnd;
    return true;
  }

  void CloseLink() override {
    if (FConv) DdeDisconnect(FConv);
    FConv = nullptr;
    FWindow = nullptr;
    if (FInst) DdeUninitialize(FInst);
    FInst = 0;
  }

  bool ExecuteMacro(const std::string& Command) override {
    if (!FConv) return false;
    DropStaleReplies();
    std::string Buffer = Command;  // handed over with its terminating zero
    HDDEDATA R = DdeClientTransaction(reinterpret_cast<LPBYTE>(&Buffer[0]),
                                      static_cast<DWORD>(Buffer.size() + 1), FConv, nullptr, 0,
                                      XTYP_EXECUTE, TransactionTimeout, nullptr);
    return R != nullptr;
  }

  bool RequestData(const std::string& Item, std::string& Data) override {
    Data.clear();
    if (!FConv) return false;
    DropStaleReplies();
    TDdeString I(FInst, Item);
    if (!I.Handle()) return false;
    HDDEDATA R = DdeClientTransaction(nullptr, 0, FConv, I.Handle(), CF_TEXT, XTYP_REQUEST,
                                      TransactionTimeout, nullptr);
    if (!R) return false;
    DWORD Size = 0;
    const auto* P = reinterpret_cast<const char*>(DdeAccessData(R, &Size));
    if (P) {
      // CF_TEXT ends at its first zero; the block may be longer.
      size_t N = 0;
      while (N < Size && P[N] != '\0') ++N;
      Data.assign(P, N);
      DdeUnaccessData(R);
    }
    DdeFreeDataHandle(R);
    AwaitLateAcknowledgement();
    return P != nullptr && !Data.empty();
  }

 private:
  // Wine's server acknowledges a request after sending its data; that late
  // acknowledgement would be taken as the answer to the next transaction.
  // Replies that arrive while no transaction waits are dropped by DDEML's
  // own window, so they are handed to it first.
  void DropStaleReplies() {
    if (!FWindow) return;
    MSG M;
    while (PeekMessageA(&M, FWindow, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) DispatchMessageA(&M);
  }

  // The acknowledgement may still be on its way when the data is in; it is
  // waited for briefly, so that it cannot answer the next transaction.
  void AwaitLateAcknowledgement() {
    if (!FWindow) return;
    const DWORD Start = GetTickCount();
    for (;;) {
      MSG M;
      if (PeekMessageA(&M, FWindow, WM_DDE_ACK, WM_DDE_ACK, PM_REMOVE)) {
        DispatchMessageA(&M);
        return;
      }
      const DWORD Waited = GetTickCount() - Start;
      if (Waited >= LateAcknowledgementWait) return;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, LateAcknowledgementWait - Waited, QS_POSTMESSAGE);
    }
  }

  DWORD FInst = 0;
  HCONV FConv = nullptr;
  HWND FWindow = nullptr;
};

}  // namespace

std::unique_ptr<TDdeClientConv> NewDdemlConversation() {
  return std::make_unique<TDdemlConversation>();
}

// --- TProgramManager ------------------------------------------------------------------------

const TClassInfo& TProgramManager::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TProgramManager>("TProgramManager", &TComponent::StaticClass()).Build();
  return Info;
}

TProgramManager::TProgramManager(TComponent* AOwner, std::unique_ptr<TDdeClientConv> Conv)
    : TComponent(AOwner), FConv(Conv ? std::move(Conv) : NewDdemlConversation()) {}

TProgramManager::~TProgramManager() {
  if (FConnected) FConv->CloseLink();
}

TProgramManager& ProgramManager() {
  static TProgramManager PM(nullptr);
  return PM;
}

void TProgramManager::Connect() {
  if (FConnected) return;
  FConnected = FConv->OpenLink("PROGMAN", "PROGMAN");
  if (!FConnected) throw EQIPMCannotOpen();
}

namespace {
// Refuses what Program Manager's command buffer cannot hold; E is the
// exception of the operation, with its group and item.
template <class E>
void CheckCommandLength(const std::string& Command, const std::string& Group,
                        const std::string& Item) {
  if (Command.size() < TProgramManager::CommandBufferSize) return;
  throw E(TranslatedFormat(
              "The command for Program Manager is longer than %d characters and was not sent: %s",
              static_cast<int>(TProgramManager::CommandBufferSize - 1), Command),
          Group, Item, Command);
}
}  // namespace

void TProgramManager::SelectGroup(const std::string& Group) {
  Connect();
  FGroup.clear();
  FDescription.Clear();
  std::string Data;
  if (!FConv->RequestData(Group, Data)) return;
  FDescription.SetText(Data);
  FGroup = Group;
}

void TProgramManager::CreateGroup(const std::string& Group) {
  if (Group.empty()) return;
  Connect();
  const std::string Command = "[CreateGroup(\"" + Group + "\")]";
  CheckCommandLength<EQIPMCannotCreateGroup>(Command, Group, "");
  if (!FConv->ExecuteMacro(Command)) throw EQIPMCannotCreateGroup(Group, Command);
  SelectGroup(Group);
  // Program Manager accepted the group; a server that does not describe
  // its groups (Wine's) still has it, so it stays the current group.
  if (FGroup.empty()) FGroup = Group;
}

void TProgramManager::GetGroups(TStrings& List) {
  Connect();
  std::string Data;
  FConv->RequestData("Groups", Data);
  List.SetText(Data);
}

int TProgramManager::ItemCount() {
  Connect();
  return FDescription.Count() >= 2 ? FDescription.Count() - 1 : 0;
}

namespace {
std::string StripQuotes(std::string S) {
  if (!S.empty() && S.front() == '"') S.erase(0, 1);
  if (!S.empty() && S.back() == '"') S.pop_back();
  return S;
}
}  // namespace

std::string TProgramManager::ItemField(int Item, int Field) {
  Connect();
  if (Item <= 0 || Item >= FDescription.Count()) return "";
  return StripQuotes(GetField(FDescription[Item], Field, ','));
}

std::string TProgramManager::ItemName(int Item) { return StripQuotes(ItemField(Item, 1)); }

std::string TProgramManager::ItemCommandLine(int Item) { return StripQuotes(ItemField(Item, 2)); }

int TProgramManager::IndexOfItem(const std::string& Name) {
  const int N = ItemCount();
  for (int i = 1; i <= N; ++i)
    if (ItemName(i) == Name) return i;
  return -1;
}

void TProgramManager::ShowCurrentGroup() {
  const std::string Command = "[ShowGroup(" + FGroup + "," + "8)]";
  CheckCommandLength<EQIPMCannotOpenGroup>(Command, FGroup, "");
  if (!FConv->ExecuteMacro(Command)) throw EQIPMCannotOpenGroup(FGroup, Command);
}

void TProgramManager::RefreshGroup() {
  const std::string Group = FGroup;
  SelectGroup(Group);
  if (FGroup.empty()) FGroup = Group;  // see CreateGroup
}

void TProgramManager::AddItem(const std::string& CommandLine, const std::string& Name,
                              const std::string& IconPath, int IconIndex,
                              const std::string& DefaultDir, const std::string& HotKey) {
  Connect();
  if (FGroup.empty()) return;
  const std::string Command = "[AddItem(" + CommandLine + "," + Name + "," + IconPath + "," +
                              std::to_string(IconIndex) + ",," + "," + DefaultDir + "," + HotKey +
                              ")]";
  // Checked before anything is sent, so a refused item changes nothing.
  CheckCommandLength<EQIPMCannotAddItem>(Command, FGroup, Name);
  ShowCurrentGroup();
  if (!FConv->ExecuteMacro(Command)) throw EQIPMCannotAddItem(FGroup, Name, Command);
  RefreshGroup();
}

void TProgramManager::ReplaceItem(const std::string& Name) {
  Connect();
  if (FGroup.empty()) return;
  const std::string Command = "[ReplaceItem(\"" + Name + "\")]";
  CheckCommandLength<EQIPMCannotReplaceItem>(Command, FGroup, Name);
  ShowCurrentGroup();
  if (!FConv->ExecuteMacro(Command)) throw EQIPMCannotReplaceItem(FGroup, Name, Command);
  RefreshGroup();
}
