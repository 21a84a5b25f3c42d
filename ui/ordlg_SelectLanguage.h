// The language page: a grid of the languages the project has tables for, one
// picture each.  Choosing one makes it the translator's target language and
// re-translates every open window at once, this page included.
#pragma once

#include <array>
#include <memory>

#include "controls/cmp_TGraphics.h"
#include "controls/cmp_TStringGrid.h"
#include "ui/ordlg_WizardPage.h"

class TSelectLanguageForm : public TWizardPage {
  QV_CLASS()
 public:
  explicit TSelectLanguageForm(TComponent* AOwner);
  ~TSelectLanguageForm() override;

  void Loaded() override;
  // Fills the grid, then the buttons as every page.
  void PreparePage() override;
  // Passed over without a translator.
  bool SkipPage() override;

  // Handlers named by the stream.
  void LanguageListClick(TPersistent* Sender);
  void LanguageListKeyPress(TPersistent* Sender, char& Key);
  void LanguageGridDrawCell(TPersistent* Sender, int ACol, int ARow, const RECT& Rect,
                            TGridDrawState State);
  void FormCreate(TPersistent* Sender);
  void FormDestroy(TPersistent* Sender);

  TStringGrid* LanguageGrid() const { return FGrid; }
  // The picture of a language identity.
  const TBitmap* LanguageBitmap(TQrvnLanguage L) const;

 private:
  void FillGrid(TTranslator& T);
  TStringGrid* FGrid = nullptr;
  // One per TQrvnLanguage value, indexed by the identity.
  std::array<std::unique_ptr<TBitmap>, QrvnLanguageCount> FBitmaps;
  // Set while the page itself moves the selection: that is no choice.
  bool FGuard = false;
};
