// Scoped Win32 resources: one class per kind, each releasing what it holds
// when the scope ends, on success and on failure alike, and each usable
// where the raw handle is expected.  None can be copied; those that travel
// can be moved.  Registry keys have TRegKey (routines_Registry.h); portable
// scope guards (TFinally) live in rtl/routines_Scope.h.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <utility>

// What the owning wrappers below share: one resource, let go at the end or
// when Reset, passed on by moving.  Traits names the empty value, tells a
// held resource from none and lets one go.
template <class T, class Traits>
class TOwned {
 public:
  TOwned() = default;
  explicit TOwned(T Value) : FValue(Value) {}
  ~TOwned() { Reset(); }
  TOwned(TOwned&& O) noexcept : FValue(std::exchange(O.FValue, Traits::None())) {}
  TOwned& operator=(TOwned&& O) noexcept {
    if (this != &O) {
      Reset();
      FValue = std::exchange(O.FValue, Traits::None());
    }
    return *this;
  }
  TOwned(const TOwned&) = delete;
  TOwned& operator=(const TOwned&) = delete;

  operator T() const { return FValue; }
  bool Valid() const { return Traits::Valid(FValue); }
  // For the functions that hand a new resource out through a pointer.
  T* Out() {
    Reset();
    return &FValue;
  }
  void Reset() {
    if (Traits::Valid(FValue)) Traits::Release(FValue);
    FValue = Traits::None();
  }

 protected:
  T FValue = Traits::None();
};

struct TKernelHandleTraits {
  static HANDLE None() { return nullptr; }
  // The API answers either for "no handle".
  static bool Valid(HANDLE H) { return H && H != INVALID_HANDLE_VALUE; }
  static void Release(HANDLE H) { CloseHandle(H); }
};

// A kernel handle (process, thread, token, file ...), closed at the end.
class TKernelHandle : public TOwned<HANDLE, TKernelHandleTraits> {
 public:
  using TOwned::TOwned;
  void Close() { Reset(); }
};

// FindFirstFile answers INVALID_HANDLE_VALUE for "none"; FindClose lets go.
struct TFindHandleTraits : TKernelHandleTraits {
  static HANDLE None() { return INVALID_HANDLE_VALUE; }
  static void Release(HANDLE H) { FindClose(H); }
};

// A folder listing of FindFirstFile, closed at the end.
class TFindHandle : public TOwned<HANDLE, TFindHandleTraits> {
 public:
  using TOwned::TOwned;
};

struct TLibraryTraits {
  static HMODULE None() { return nullptr; }
  static bool Valid(HMODULE M) { return M != nullptr; }
  static void Release(HMODULE M) { FreeLibrary(M); }
};

// A loaded library, freed at the end.
class TLibrary : public TOwned<HMODULE, TLibraryTraits> {
 public:
  using TOwned::TOwned;
};

// OLE or COM initialised on this thread for the scope.  The call answers
// S_FALSE when the thread had it already, which must be balanced too; a
// failure (another apartment model) must not be.
template <class Traits>
class TInitialized {
 public:
  TInitialized() : FResult(Traits::Initialize()) {}
  ~TInitialized() {
    if (SUCCEEDED(FResult)) Traits::Uninitialize();
  }
  TInitialized(const TInitialized&) = delete;
  TInitialized& operator=(const TInitialized&) = delete;
  operator HRESULT() const { return FResult; }

 private:
  HRESULT FResult;
};

struct TOleTraits {
  static HRESULT Initialize() { return OleInitialize(nullptr); }
  static void Uninitialize() { OleUninitialize(); }
};
struct TComTraits {
  static HRESULT Initialize() { return CoInitialize(nullptr); }
  static void Uninitialize() { CoUninitialize(); }
};
using TOleInitialized = TInitialized<TOleTraits>;
using TComInitialized = TInitialized<TComTraits>;

template <class I>
struct TComPtrTraits {
  static I* None() { return nullptr; }
  static bool Valid(I* P) { return P != nullptr; }
  static void Release(I* P) { P->Release(); }
};

// One reference to a COM interface, released at the end.
template <class I>
class TComPtr : public TOwned<I*, TComPtrTraits<I>> {
 public:
  I* operator->() const { return this->FValue; }
  // For CoCreateInstance and QueryInterface.
  void** Out() { return reinterpret_cast<void**>(TOwned<I*, TComPtrTraits<I>>::Out()); }
};

// A temporary file, deleted at the end unless kept.  It owns the name only:
// a file that is no longer there (moved into place, say) is no failure.
class TTempFile {
 public:
  explicit TTempFile(std::string Path) : FPath(std::move(Path)) {}
  ~TTempFile() {
    if (!FPath.empty()) DeleteFileA(FPath.c_str());
  }
  TTempFile(TTempFile&& O) noexcept : FPath(std::exchange(O.FPath, std::string())) {}
  TTempFile& operator=(TTempFile&&) = delete;
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;

  operator const std::string&() const { return FPath; }
  const std::string& Path() const { return FPath; }
  // Leave the file where it is.
  void Keep() { FPath.clear(); }

 private:
  std::string FPath;
};

// Dir is the current folder while the scope lasts, then the folder before
// comes back (a self-registering component runs in its own folder, where
// it finds the libraries beside it).  A folder that cannot be entered is
// no failure: the work then runs where the process stands.
class TCurrentDirScope {
 public:
  explicit TCurrentDirScope(const std::string& Dir) {
    char Buf[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, Buf);
    FOld = Buf;
    SetCurrentDirectoryA(Dir.c_str());
  }
  ~TCurrentDirScope() { SetCurrentDirectoryA(FOld.c_str()); }
  TCurrentDirScope(const TCurrentDirScope&) = delete;
  TCurrentDirScope& operator=(const TCurrentDirScope&) = delete;

 private:
  std::string FOld;
};
