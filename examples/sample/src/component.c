/* QvSampleComponent.dll: the sample product's self-registering component, a
 * small in-process COM server.  Its one class answers IUnknown and tells the
 * product's program which edition is installed.  DllRegisterServer enters
 * the class under HKEY_CLASSES_ROOT; DllUnregisterServer takes it out again. */
#define COBJMACROS
#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>
#include <stdio.h>
#include <string.h>

#include "component.h"

static HMODULE Module;
static LONG Locks;

/* --- the component's object: reference counting only --------------------- */

typedef struct {
  IUnknown Unknown;
  LONG Refs;
} SampleObject;

static HRESULT STDMETHODCALLTYPE ObjQueryInterface(IUnknown* This, REFIID Iid, void** Out) {
  if (!Out) return E_POINTER;
  if (IsEqualIID(Iid, &IID_IUnknown)) {
    *Out = This;
    IUnknown_AddRef(This);
    return S_OK;
  }
  *Out = NULL;
  return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE ObjAddRef(IUnknown* This) {
  return (ULONG)InterlockedIncrement(&((SampleObject*)This)->Refs);
}

static ULONG STDMETHODCALLTYPE ObjRelease(IUnknown* This) {
  SampleObject* Obj = (SampleObject*)This;
  LONG Left = InterlockedDecrement(&Obj->Refs);
  if (Left == 0) {
    HeapFree(GetProcessHeap(), 0, Obj);
    InterlockedDecrement(&Locks);
  }
  return (ULONG)Left;
}

static IUnknownVtbl ObjVtbl = {ObjQueryInterface, ObjAddRef, ObjRelease};

/* --- its class factory ------------------------------------------------------ */

static HRESULT STDMETHODCALLTYPE FactQueryInterface(IClassFactory* This, REFIID Iid, void** Out) {
  if (!Out) return E_POINTER;
  if (IsEqualIID(Iid, &IID_IUnknown) || IsEqualIID(Iid, &IID_IClassFactory)) {
    *Out = This;
    return S_OK;
  }
  *Out = NULL;
  return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE FactAddRef(IClassFactory* This) {
  (void)This;
  return 2;
}

static ULONG STDMETHODCALLTYPE FactRelease(IClassFactory* This) {
  (void)This;
  return 1;
}

static HRESULT STDMETHODCALLTYPE FactCreateInstance(IClassFactory* This, IUnknown* Outer, REFIID Iid,
                                                    void** Out) {
  (void)This;
  if (!Out) return E_POINTER;
  *Out = NULL;
  if (Outer) return CLASS_E_NOAGGREGATION;
  SampleObject* Obj = (SampleObject*)HeapAlloc(GetProcessHeap(), 0, sizeof(SampleObject));
  if (!Obj) return E_OUTOFMEMORY;
  Obj->Unknown.lpVtbl = &ObjVtbl;
  Obj->Refs = 1;
  InterlockedIncrement(&Locks);
  HRESULT Result = ObjQueryInterface(&Obj->Unknown, Iid, Out);
  ObjRelease(&Obj->Unknown);
  return Result;
}

static HRESULT STDMETHODCALLTYPE FactLockServer(IClassFactory* This, BOOL Lock) {
  (void)This;
  if (Lock)
    InterlockedIncrement(&Locks);
  else
    InterlockedDecrement(&Locks);
  return S_OK;
}

static IClassFactoryVtbl FactVtbl = {FactQueryInterface, FactAddRef, FactRelease, FactCreateInstance,
                                     FactLockServer};
static IClassFactory Factory = {&FactVtbl};

/* --- the server's exports ----------------------------------------------------- */

HRESULT WINAPI DllGetClassObject(REFCLSID Clsid, REFIID Iid, void** Out) {
  if (!IsEqualCLSID(Clsid, &CLSID_QvSampleComponent)) return CLASS_E_CLASSNOTAVAILABLE;
  return FactQueryInterface(&Factory, Iid, Out);
}

HRESULT WINAPI DllCanUnloadNow(void) { return Locks == 0 ? S_OK : S_FALSE; }

static BOOL SetKeyValue(const char* Key, const char* Name, const char* Value) {
  HKEY K;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, Key, 0, NULL, 0, KEY_WRITE, NULL, &K, NULL) != ERROR_SUCCESS)
    return FALSE;
  LONG R = RegSetValueExA(K, Name, 0, REG_SZ, (const BYTE*)Value, (DWORD)strlen(Value) + 1);
  RegCloseKey(K);
  return R == ERROR_SUCCESS;
}

HRESULT WINAPI DllRegisterServer(void) {
  char Path[MAX_PATH];
  if (!GetModuleFileNameA(Module, Path, sizeof Path)) return SELFREG_E_CLASS;
  const char* Class = "CLSID\\" QV_SAMPLE_CLSID_TEXT;
  char Server[128];
  snprintf(Server, sizeof Server, "%s\\InprocServer32", Class);
  BOOL Ok = SetKeyValue(Class, NULL, "Quorvane Sample Component") && SetKeyValue(Server, NULL, Path) &&
            SetKeyValue(Server, "ThreadingModel", "Apartment") &&
            SetKeyValue(QV_SAMPLE_PROGID, NULL, "Quorvane Sample Component") &&
            SetKeyValue(QV_SAMPLE_PROGID "\\CLSID", NULL, QV_SAMPLE_CLSID_TEXT);
  return Ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT WINAPI DllUnregisterServer(void) {
  LONG A = SHDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID\\" QV_SAMPLE_CLSID_TEXT);
  LONG B = SHDeleteKeyA(HKEY_CLASSES_ROOT, QV_SAMPLE_PROGID);
  /* Already gone counts as done: unregistering twice is harmless. */
  return (A == ERROR_SUCCESS || A == ERROR_FILE_NOT_FOUND) && (B == ERROR_SUCCESS || B == ERROR_FILE_NOT_FOUND)
             ? S_OK
             : SELFREG_E_CLASS;
}

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID Reserved) {
  (void)Reserved;
  if (Reason == DLL_PROCESS_ATTACH) {
    Module = Instance;
    DisableThreadLibraryCalls(Instance);
  }
  return TRUE;
}
