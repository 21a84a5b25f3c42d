// Multi-line edits.  Lines is the text a line at a time: set from a stream
// or in code it shows in the window; read after the user typed, it gives
// what the window holds.
#pragma once

#include "controls/cmp_TEdit.h"
#include "rtl/cmp_TStrings.h"

class TCustomMemo : public TCustomEdit {
  QV_CLASS()
 public:
  explicit TCustomMemo(TComponent* AOwner);

  TStrings* Lines() const;
  void SetText(const std::string& S) override;
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle V);
  // Long lines break at the right edge; no horizontal scrolling meanwhile.
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool V);
  // Enter makes a new line (else it presses the form's default button);
  // Tab types a tab (else it moves the focus).
  bool WantReturns = true;
  bool WantTabs = false;

  LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void RecreateEdit() override;
  void LinesChanged();
  // The lines as one window text: CR LF between lines, none after the last.
  std::string JoinedLines() const;

 private:
  mutable TStrings FLines;
  mutable bool FReadingBack = false;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
  QV_CLASS()
 public:
  using TCustomMemo::TCustomMemo;
};
