// Top-level windows.  A form is the root of a stream: creating one from a
// resource reads the raw-data resource named after its class (upper case)
// and builds the components it describes, owned by the form.
#pragma once

#include "controls/cmp_TControl.h"

enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                 poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = uint8_t;
extern const TEnumInfo PositionInfo, WindowStateInfo, FormBorderStyleInfo, BorderIconInfo,
    CloseActionInfo;

// Modal results.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
              mrYes = 6, mrNo = 7, mrAll = 8;

// Asked before a form closes; CanClose starts true.
using TCloseQueryEvent = TEvent<void(TPersistent* Sender, bool& CanClose)>;
// What closing does: nothing, hide the form, free it, minimise it.
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = TEvent<void(TPersistent* Sender, TCloseAction& Action)>;

class TCustomForm : public TWinControl {
  QV_CLASS()
 public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition P) { FPosition = P; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState S);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle S) { FBorderStyle = S; }
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons I) { FBorderIcons = I; }
  int32_t StoredClientWidth() const { return FClientWidth; }
  int32_t StoredClientHeight() const { return FClientHeight; }
  void SetStoredClientWidth(int32_t W);
  void SetStoredClientHeight(int32_t H);

  // Forms are designed at this density; with Scaled, a screen of another
  // density scales the controls and fonts on loading.
  int32_t PixelsPerInch = 96;
  bool Scaled = true;
  // From the density it was designed at (PixelsPerInch) to the screen's;
  // Loaded does it for a Scaled form.
  void ScaleToScreen();
  int32_t TextHeight = 13;  // of the designer's font; kept for the stream

  // A non-zero modal result ends ShowModal, once the form agrees to close.
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int R) { FModalResult = R; }

  void Show();
  void Hide() { SetVisible(false); }
  // Runs the form in a message loop of its own, every other window of the
  // program disabled meanwhile, until a modal result sticks; returns it.
  int ShowModal();
  // Asks OnCloseQuery, then OnClose for the action; a modal form gets
  // mrCancel, the main form ends the program.
  void Close();
  bool CloseQuery();
  void SetVisible(bool V) override;
  bool Active() const { return FActive; }
  bool Modal() const { return FInModal; }

  // Keys a dialog handles before the focused control: Enter presses the
  // default button (or the focused one), Escape the cancel button,
  // Alt+letter the control of that accelerator, Tab and Shift+Tab and the
  // arrows move the focus.  The message loop offers every message of the
  // form's windows here; true when it was taken (and dispatched).
  bool IsDialogMessage(MSG& Msg);

  TNotifyEvent OnActivate;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnResize;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  bool HasParent() const override { return false; }
  void Loaded() override;
  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Resize() override;

 private:
  void PlaceOnScreen();
  void CloseModal();
  void ScaleControls(int M, int D);
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = (1 << biSystemMenu) | (1 << biMinimize) | (1 << biMaximize);
  int32_t FClientWidth = 0, FClientHeight = 0;
  int FModalResult = mrNone;
  bool FActive = false;
  bool FInModal = false;
};

class TForm : public TCustomForm {
  QV_CLASS()
 public:
  using TCustomForm::TCustomForm;
};

// Looks up the raw-data resource (type 10) Name in the running module;
// false when there is none.
bool FindStreamResource(const std::string& Name, const void*& Data, size_t& Size);
// Reads the resource named after Instance's class into Instance.  Returns
// false when the module has no such resource.
bool InitInheritedComponent(TComponent* Instance, const std::string& ResourceName);

// The screen's dots per inch (LOGPIXELSY): 96 at 100 %, 192 at 200 %.
int ScreenPixelsPerInch();
