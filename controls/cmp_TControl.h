// Controls: thin wrappers over real windows.  A TControl has bounds, a
// caption, visibility and a font; a TWinControl owns a window handle and
// child controls; forms are in cmp_TForm.h.  Windows are created lazily, the
// first time a handle is needed, from the published property values.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "rtl/cmp_TComponent.h"
#include "rtl/cmp_TFont.h"

class TWinControl;

constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
constexpr TColor clBtnShadow = static_cast<TColor>(0x80000010);
constexpr TColor clBtnHighlight = static_cast<TColor>(0x80000014);
constexpr TColor clWindow = static_cast<TColor>(0x80000005);
constexpr TColor clWindowFrame = static_cast<TColor>(0x80000006);
constexpr TColor clBlack = 0;
constexpr TColor clWhite = 0xFFFFFF;
// A colour value as GDI wants it: system colours are resolved.
COLORREF ColorToRGB(TColor C);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
extern const TEnumInfo AlignInfo;

// Keyboard events: the virtual key (a handler may set it to 0 to swallow
// it) with the shift state, or the character typed.
enum TShiftStateBit { ssShift, ssAlt, ssCtrl };
using TShiftState = uint8_t;
TShiftState KeyboardShiftState();
using TKeyEvent = TEvent<void(TPersistent* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TPersistent* Sender, char& Key)>;

class TControl : public TComponent {
  QV_CLASS()
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);

  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetLeft(int32_t V) { SetBounds(V, FTop, FWidth, FHeight); }
  void SetTop(int32_t V) { SetBounds(FLeft, V, FWidth, FHeight); }
  void SetWidth(int32_t V) { SetBounds(FLeft, FTop, V, FHeight); }
  void SetHeight(int32_t V) { SetBounds(FLeft, FTop, FWidth, V); }
  virtual void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);
  // Bounds and own font M/D times as large: the form scales its controls
  // so for the screen's density.
  virtual void ChangeScale(int M, int D);

  const std::string& Caption() const { return FCaption; }
  virtual void SetCaption(const std::string& S);
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool V);
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool V);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign A);
  TColor Color() const { return FColor; }
  virtual void SetColor(TColor C);
  // A control with ParentColor shows its parent's colour, until its own
  // colour is set.
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool V);
  TFont* Font() const { return FFont; }
  // A control with ParentFont takes its parent's font, until its own font
  // is set.
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool V);

  TNotifyEvent OnClick;

  void SetParentComponent(TComponent* Value) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }

  void Invalidate();
  // A control without a window of its own paints into its parent's.
  virtual void PaintTo(HDC DC) {}
  // Alt+letter (or the letter alone where the focused control takes no
  // characters): a control whose accelerator it is acts and returns true.
  // Windowless controls answer here; windows answer through the system's
  // dialog handling.
  virtual bool DialogChar(char C) { return false; }

 protected:
  // The font changed: a font of its own ends ParentFont; children that
  // follow this control's font get the new one.
  virtual void FontChanged();
  void TakeParentFont();
  void TakeParentColor();
  bool FParentFont = true;
  bool FParentColor = false;
  bool FTakingParentFont = false;
  int32_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  std::string FCaption;
  bool FVisible = true;
  bool FEnabled = true;
  TAlign FAlign = alNone;
  TColor FColor = clBtnFace;
  TFont* FFont;
  TWinControl* FParent = nullptr;
  friend class TWinControl;
};

struct TCreateParams {
  std::string ClassName;  // window class; empty = the kit's own class
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  // The control id a dialog's messages carry (WM_COMMAND, GetDlgItem).
  int Id = 0;
};

class TWinControl : public TControl {
  QV_CLASS()
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void ChangeScale(int M, int D) override;  // the controls within too

  HWND Handle();  // creates the window when it does not exist yet
  // A control without a kit parent can sit in a window of someone else's
  // (a system dialog it extends): its window becomes a child of that one.
  // That window's messages about the control do not reach the kit; its
  // owner reflects them where it needs them.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND H) { FParentWindow = H; }
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  void DestroyHandle();
  // Makes the window anew, for styles a system window takes only when it
  // is created; it keeps its place among its siblings.
  void RecreateWnd();

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int Index) const { return FControls.at(static_cast<size_t>(Index)); }
  void InsertControl(TControl* C);
  void RemoveControl(TControl* C);
  bool HasChildWindows() const;

  int32_t ClientWidth();
  int32_t ClientHeight();
  void SetClientSize(int32_t W, int32_t H);
  // The part of the client area aligned children share out: all of it
  // here; a panel keeps its border and bevels.
  virtual void AdjustClientRect(RECT& R);

  // Keyboard focus and the tab order: Tab visits the controls with TabStop
  // in TabOrder (creation order by default); the windows are created so.
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool V);
  int32_t TabOrder() const { return FTabOrder; }
  void SetTabOrder(int32_t V);
  bool Focused() const;
  bool CanFocus() const;
  void SetFocus();

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void SetCaption(const std::string& S) override;
  void SetVisible(bool V) override;
  void SetEnabled(bool V) override;
  void SetColor(TColor C) override;
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;
  // Lays out the aligned children in the client area.
  void Realign();

  // The window procedure of every kit window dispatches here.
  virtual LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
  // The kit control of a window; nullptr for any other window.
  static TWinControl* FromHandle(HWND H);
  void AttachHandle(HWND H) { FHandle = H; }
  // The name under which the window driver of the tests finds the window.
  static const char* NameProperty() { return "QuorvaneName"; }
  // Asks a kit window for the captions of its visible windowless children
  // (labels), which no window text shows: WPARAM is the asking window, to
  // which they go as WM_COPYDATA, one caption a line.  Answers 1.
  static const char* WindowlessTextsMessage() { return "Quorvane.WindowlessTexts"; }

 protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  // Fills the background, then lets the windowless children paint.
  virtual void Paint(HDC DC);
  void PaintBackground(HDC DC);
  void PaintGraphicChildren(HDC DC);
  LRESULT DefaultHandler(UINT Msg, WPARAM WParam, LPARAM LParam);
  void SendWindowlessTexts(HWND Receiver) const;
  void FontChanged() override;
  // Whether the window shows the caption in the code page of the font's
  // character set (see ShowCaption); edits keep the system's, since the
  // user types in it.
  virtual bool CaptionFollowsFont() const { return true; }
  // A message that a system control sent its parent about itself
  // (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR...,
  // WM_HSCROLL/WM_VSCROLL of a bar); the parent hands it back here.  True
  // when handled, with the parent's answer in Result.  By default WM_COMMAND
  // goes to CommandNotify and the colour messages paint in the control's
  // Color and font colour.
  virtual bool ReflectedMessage(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);
  virtual void CommandNotify(WORD NotifyCode) {}
  // The window changed size (after the children were realigned).
  virtual void Resize() {}
  // WM_NOTIFY from a common control.
  virtual LRESULT NotifyMessage(NMHDR& Header) { return 0; }
  // A brush of the control's Color, kept until the colour changes.
  HBRUSH ColorBrush();
  // Fires the key events; false when a handler swallowed the key.
  bool DoKeyDown(WORD& Key);
  bool DoKeyUp(WORD& Key);
  bool DoKeyPress(char& Key);

  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  WNDPROC FDefWndProc = nullptr;  // set when wrapping a system window class
  std::vector<TControl*> FControls;
  bool FAligning = false;
  // A mouse-up over the window fires OnClick; controls whose system window
  // reports its own clicks (BN_CLICKED, LBN_SELCHANGE) turn this off.
  bool FClickOnMouseUp = true;
  bool FTabStop = false;
  int32_t FTabOrder = -1;
  HBRUSH FColorBrush = nullptr;
  uint16_t FNameAtom = 0;
  UINT FCaptionCodePage = CP_ACP;  // the code page the window's text was given in

 private:
  // Gives the window its caption, read in the code page of the font's
  // character set: texts of a language whose character set is not the
  // system's (Russian picked on an English Windows) show as written.
  void ShowCaption();
};

// The window class all kit windows without a system class use.
const char* KitWindowClassName();
