// The two controls that carry the id of their caption in the language tables,
// and the connection of the translator to the controls: which components are
// controls, forms, labels, what their fonts and child controls are.
#pragma once

#include "controls/cmp_TButtons.h"
#include "controls/cmp_TStdCtrls.h"
#include "i18n/cmp_TTranslator.h"

// A label whose caption is the text of GLID in the target language (0: none,
// the caption is then translated by its text like any label's).
class TTranslateLabel : public TLabel {
  QV_CLASS()
 public:
  using TLabel::TLabel;
  int32_t GLID = 0;
};

class TTranslateBitBtn : public TBitBtn {
  QV_CLASS()
 public:
  using TBitBtn::TBitBtn;
  int32_t GLID = 0;
};

// Lets the translator see controls as controls: which are forms, labels,
// what their child controls are.
void ConnectTranslatorToControls();
