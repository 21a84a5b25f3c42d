// Single-line edits over the system's EDIT class.  The text lives in the
// window once there is one; before that (and while a form loads) in the
// caption.
#pragma once

#include "controls/cmp_TStdCtrls.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
extern const TEnumInfo EditCharCaseInfo;

class TCustomEdit : public TWinControl {
  QV_CLASS()
 public:
  explicit TCustomEdit(TComponent* AOwner);

  // What the window holds, the user's typing included.
  std::string Text() const;
  virtual void SetText(const std::string& S);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool V);
  // Typed text turns upper or lower case as it arrives.
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase V);
  // 0: as long as the system allows.
  int32_t MaxLength() const { return FMaxLength; }
  void SetMaxLength(int32_t V);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle V);
  // Tabbing into the edit selects its text.
  bool AutoSelect = true;
  void SelectAll();

  // The text changed: typed, or set in code once the form has loaded.
  TNotifyEvent OnChange;

  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CommandNotify(WORD NotifyCode) override;
  bool CaptionFollowsFont() const override { return false; }
  virtual void Change();
  // Puts S into the window (a rich edit may read it as rich text).
  virtual void ShowText(const std::string& S);
  // Keeps the text over the window's re-creation.
  virtual void RecreateEdit();
  bool FReadOnly = false;
  TEditCharCase FCharCase = ecNormal;
  int32_t FMaxLength = 0;
  TBorderStyle FBorderStyle = bsSingleBorder;
  int FChanges = 0;  // Change calls so far: a text set in code changes once
};

class TEdit : public TCustomEdit {
  QV_CLASS()
 public:
  using TCustomEdit::TCustomEdit;
};
