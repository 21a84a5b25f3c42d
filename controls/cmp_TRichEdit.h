// Rich edits over the system's rich edit control (riched20.dll).  Lines that
// begin with "{\rtf" are rich text and show formatted; any other text shows
// as it is.  Lines keep the text as set until the user edits the window;
// then they give its plain text.
#pragma once

#include "controls/cmp_TMemo.h"

class TCustomRichEdit : public TCustomMemo {
  QV_CLASS()
 public:
  explicit TCustomRichEdit(TComponent* AOwner);
  // Rich text shows as its source, markup and all.
  bool PlainText() const { return FPlainText; }
  void SetPlainText(bool V);
  void SetColor(TColor C) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void ShowText(const std::string& S) override;

 private:
  bool FPlainText = false;
};

class TRichEdit : public TCustomRichEdit {
  QV_CLASS()
 public:
  using TCustomRichEdit::TCustomRichEdit;
};
